#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a number of seconds each, seeded from
# the shipped samples, the test data and the shipped definitions. Fails on any finding.
#
#   fuzz/run_all.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
build=$(cd "$1" && pwd) seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in "$root"/fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The targets make their private definition lock directory here (gone with the run even
# when a target crashes): never the user's lock, which a stopped qpeek may hold.
export TMPDIR=$work
for t in "${targets[@]}"; do
    corpus="$work/$t"
    mkdir -p "$corpus"
    # Raw seeds, and the same files behind each selector byte the report target reads
    # (text report: 0-3; its JSON line: 4-7).
    selectors="0 1 2 3"
    [ "$t" = fuzz_report ] && selectors="0 1 2 3 4 5 6 7"
    i=0
    while IFS= read -r -d '' f; do
        [ "$(stat -c %s "$f")" -le 1048576 ] || continue
        i=$((i + 1))
        cp "$f" "$corpus/raw$i"
        for sel in $selectors; do
            { printf "\\x0$sel"; cat "$f"; } >"$corpus/s$sel-$i"
        done
    done < <(find "$root/samples" "$root/tests/data" "$root/Resources" -type f \
                  ! -name '*.py' -print0 2>/dev/null)
    # The target's dictionary: fuzz/TARGET.dict and every fuzz/TARGET.*.dict together.
    dict=()
    dicts=()
    for d in "$root"/fuzz/"$t".dict "$root"/fuzz/"$t".*.dict; do
        [ -f "$d" ] && dicts+=("$d")
    done
    if [ ${#dicts[@]} -gt 0 ]; then
        cat "${dicts[@]}" >"$work/$t.dict"
        dict=(-dict="$work/$t.dict")
    fi
    echo "== fuzzing $t for ${seconds}s ($i seed files)"
    log="$work/$t.log"
    (cd "$work" && UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/fuzz/$t" "${dict[@]}" -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=2048 -max_len=200000 -close_fd_mask=3 -print_final_stats=1 "$corpus" >"$log" 2>&1) || true
    grep -E 'stat::number_of_executed_units|stat::peak_rss|cov:.*Done|^Done' "$log" || true
    if grep -qE 'runtime error|ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|SUMMARY: ' "$log" ||
        ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* >/dev/null 2>&1; then
        grep -E -A20 'runtime error|ERROR:' "$log" | head -60
        echo "fuzz target $t found a fault:"
        ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null
        exit 1
    fi
done
echo "fuzzing: ${#targets[@]} targets, no findings"
