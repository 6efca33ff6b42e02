#!/usr/bin/env bash
# Checks that the C++ sources follow the repository's .clang-format: runs clang-format in
# --dry-run --Werror mode over src/, tests/ and fuzz/, prints what it would change and the
# files it flags, and fails when any file is not formatted.
#
#   tests/format_check.sh [PATH...]     (default: src tests fuzz)
#
# Environment: CLANG_FORMAT (the program; clang-format when unset).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 2
clang_format=${CLANG_FORMAT:-clang-format}
command -v "$clang_format" >/dev/null || { echo "$clang_format not found (apt-get install clang-format)"; exit 2; }
[ $# -gt 0 ] || set -- src tests fuzz
mapfile -d '' files < <(find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0 | sort -z)
flagged=()
for f in "${files[@]}"; do
    "$clang_format" --style=file --dry-run --Werror "$f" 2>&1 | head -n 20
    [ "${PIPESTATUS[0]}" = 0 ] || flagged+=("$f")
done
if [ ${#flagged[@]} -gt 0 ]; then
    echo "== not formatted (${#flagged[@]} of ${#files[@]} files; clang-format -i FILE fixes one):"
    printf '    %s\n' "${flagged[@]}"
    exit 1
fi
echo "== ${#files[@]} files formatted"
