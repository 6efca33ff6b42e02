#!/usr/bin/env bash
# Builds the Windows zip and checks it as a Windows user gets it: unpacked into a fresh
# directory, one folder qpeek-VERSION with the program, its definitions, the samples and the
# documentation; the executable a stripped Release build with a version resource and a
# manifest, importing system DLLs only; and the unpacked qpeek.exe run under wine from
# another current directory on the shipped samples (definitions found; no "Unable to open"
# but the one for an IDoc type beside the program, whose file ships in Resources\; CR LF on standard output, LF in the -o file), with the README's cmd lines as well.
#
#   tests/packaging/zip_check.sh [BUILD_DIR]     (default: build-win-zip)
#
# Environment: WINE (the wine64 loader, found when unset).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(mkdir -p "${1:-$root/build-win-zip}" && cd "${1:-$root/build-win-zip}" && pwd)
version=$(sed -n 's/^project(qpeek VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
folder=qpeek-$version

. "$root/tests/windows/find_wine.sh"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
cleanup() {
    [ -n "$wineserver" ] && WINEPREFIX=$WINEPREFIX "$wineserver" -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failed=0
check() { # DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failed=1; fi
}

echo "== Release build and zip in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQPEEK_TESTS=OFF >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$build" -j2
rm -f "$build/$folder-win64.zip"
(cd "$build" && cpack -G ZIP) >"$work/cpack.log" || { cat "$work/cpack.log"; exit 1; }
zip=$build/$folder-win64.zip
[ -f "$zip" ] || { echo "no $zip"; exit 1; }
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"

echo "== unpacked"
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")
top=$work/unpacked/$folder
check "one folder $folder" [ "$(ls -A "$work/unpacked")" = "$folder" ]
for f in bin/qpeek.exe bin/qpeek-import.exe bin/qpeek.parser README.txt doc/qpeek.txt \
         doc/qpeek-import.txt doc/copyright.txt; do
    check "$f" [ -s "$top/$f" ]
done
for f in "$root"/Resources/*.parser; do
    check "Resources/$(basename "$f")" cmp -s "$f" "$top/Resources/$(basename "$f")"
done
for f in "$root"/samples/*.qpk; do
    check "samples/$(basename "$f")" cmp -s "$f" "$top/samples/$(basename "$f")"
done
check "README.txt with CR LF line ends" bash -c "head -n 1 '$top/README.txt' | grep -q \$'\\r\$'"
check "the manual page as plain text" bash -c "grep -q '^NAME' '$top/doc/qpeek.txt' && ! grep -q \$'\\b\\|\\e' '$top/doc/qpeek.txt'"

exe=$top/bin/qpeek.exe
echo "bin/qpeek.exe: $(stat -c %s "$exe") bytes"
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
check "stripped (no debug sections, no symbol table)" \
    bash -c "! '$objdump' -h '$exe' | grep -q debug && '$objdump' -t '$exe' | grep -q 'no symbols'"
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
check "imports system DLLs only ($dlls)" bash -c "[ -z \"\$(echo '$dlls' | tr ' ' '\n' | grep -vxE 'KERNEL32.DLL|ADVAPI32.DLL|MSVCRT.DLL|')\" ]"
strings -el "$exe" >"$work/strings16"
check "version resource (FileVersion and ProductVersion $version)" \
    bash -c "grep -A1 -x FileVersion '$work/strings16' | grep -qx '$version' && grep -A1 -x ProductVersion '$work/strings16' | grep -qx '$version' && grep -qx FileDescription '$work/strings16'"
check "application manifest (asInvoker, no code page of its own)" \
    bash -c "grep -aq 'requestedExecutionLevel level=\"asInvoker\"' '$exe' && ! grep -aq '<activeCodePage' '$exe'"

echo "== the unpacked qpeek.exe under wine ($("$WINE" --version 2>/dev/null))"
timeout 600 "$WINE" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 2; }
[ -z "$wineserver" ] || "$wineserver" -p 2>/dev/null || true
wtop=$("$WINE" winepath -w "$top" 2>/dev/null | tr -d '\r')
mkdir "$work/elsewhere"
cd "$work/elsewhere"
set +e
"$WINE" "$exe" "$wtop\\samples\\*.qpk" >stdout.txt 2>stderr.txt
rc=$?
"$WINE" "$exe" "$wtop\\samples\\descriptor_text.qpk" -d -o:report.txt >stdout-o.txt 2>&1
rc_o=$?
set -e
samples=$(ls "$root"/samples/*.qpk | wc -l)
# The IDoc types ship in Resources\, which is looked in after the program's directory: the
# one "Unable to open" line of each type's name beside the program is expected, no other.
unexpected_unable() {
    local allowed=() f
    for f in "$root"/Resources/*.parser; do
        [ "${f##*/}" != qpeek.parser ] && allowed+=(-e "Unable to open .*\\\\bin\\\\${f##*/}")
    done
    ! tr -d '\r' <"$1" | grep 'Unable to open' | grep -qv "${allowed[@]}"
}
check "exit status 0" [ "$rc" = 0 ]
check "one Processing line per sample ($samples)" [ "$(grep -c '^Processing ' stdout.txt)" = "$samples" ]
check "no Unable to open but the program directory's IDoc type files" \
    bash -c "$(declare -f unexpected_unable); root='$root'; unexpected_unable stdout.txt && unexpected_unable stderr.txt"
check "definitions found (no parse error 1000, 1001 or 1031)" \
    bash -c "! grep -qE 'failed with error (1000|1001|1031)\\.' stderr.txt"
check "IDoc fields described from the definitions" grep -q 'Segment (external name)' stdout.txt
check "standard output in CR LF line ends" bash -c "head -n 1 stdout.txt | grep -qx \$'Qpeek Jul  2 2001\\r'"
check "-o file written, LF line ends" bash -c "[ '$rc_o' = 0 ] && grep -q '^MQMD' report.txt && ! grep -q \$'\\r' report.txt"
if [ "$failed" != 0 ]; then
    echo "--- standard output (start)"; head -n 20 stdout.txt
    echo "--- standard error"; head -n 20 stderr.txt
fi

echo "== the README's cmd lines"
cat >readme.cmd <<EOF
cd /d $wtop
bin\\qpeek samples\\*.qpk -s
bin\\qpeek samples\\idoc_order.qpk -d -o:%TEMP%\\order.txt
set PATH=%CD%\\bin;%PATH%
cd samples
qpeek descriptor_text.qpk -d
EOF
set +e
"$WINE" cmd /c readme.cmd >cmd.txt 2>&1
set -e
check "cmd: summary of every sample" [ "$(grep -c '^Processing .*samples\\' cmd.txt)" -ge "$((samples + 2))" ]
check "cmd: no Unable to open but the program directory's IDoc type files" \
    bash -c "$(declare -f unexpected_unable); root='$root'; unexpected_unable cmd.txt"
check "cmd: the -o file in %TEMP%" bash -c "find '$WINEPREFIX' -name order.txt -size +1k | grep -q ."
[ "$failed" = 0 ] || { sed -n 1,40p cmd.txt; echo "zip check failed"; exit 1; }
echo "zip check passed"
