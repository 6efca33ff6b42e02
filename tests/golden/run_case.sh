#!/usr/bin/env bash
# Runs one golden case and compares stdout, stderr, the exit code and the -o file with the
# expected files of the case, byte for byte.
#
#   run_case.sh QPEEK ROOT CASE_DIR
#
# The case's `cmd` is a bash snippet run from ROOT with $QPEEK (the binary), $T (a fresh
# temporary directory) and $OUT ($T/out.txt) set. Expected files: stdout (required),
# stderr (empty when absent), rc (0 when absent), out (compared when present).
# Time stamps at the start of a line ("07 13:45:02 "), $T and ROOT are masked.
# UPDATE_GOLDEN=1 writes the expected files from the run instead of comparing.
set -u
qpeek=$1 root=$2 case=$3
T=$(mktemp -d)
trap 'chmod -R u+rwx "$T" 2>/dev/null; rm -rf "$T"' EXIT
export QPEEK="$qpeek" T OUT="$T/out.txt"
cd "$root" || exit 2
timeout 60 bash "$case/cmd" >"$T/.stdout" 2>"$T/.stderr" </dev/null
rc=$?

mask() {
    ROOT="$root" TMPD="$T" perl -pe '
        s/^\d\d \d\d:\d\d:\d\d /DD HH:MM:SS /;
        s/\Q$ENV{TMPD}\E/<TMP>/g;
        s/\Q$ENV{ROOT}\E/<ROOT>/g;' "$1"
}

mask "$T/.stdout" >"$T/.stdout.m"
mask "$T/.stderr" >"$T/.stderr.m"
[ -f "$OUT" ] && mask "$OUT" >"$T/.out.m"

if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$T/.stdout.m" "$case/stdout"
    if [ -s "$T/.stderr.m" ]; then cp "$T/.stderr.m" "$case/stderr"; else rm -f "$case/stderr"; fi
    if [ "$rc" != 0 ]; then echo "$rc" >"$case/rc"; else rm -f "$case/rc"; fi
    if [ -f "$T/.out.m" ]; then cp "$T/.out.m" "$case/out"; else rm -f "$case/out"; fi
    echo "updated $case"
    exit 0
fi

fail=0
check() { # expected actual label
    if ! cmp -s "$1" "$2"; then
        echo "--- $3 differs:"
        diff -a "$1" "$2" | head -40
        fail=1
    fi
}
check "$case/stdout" "$T/.stdout.m" stdout
if [ -f "$case/stderr" ]; then check "$case/stderr" "$T/.stderr.m" stderr
else check /dev/null "$T/.stderr.m" stderr; fi
expected_rc=0
[ -f "$case/rc" ] && expected_rc=$(cat "$case/rc")
if [ "$rc" != "$expected_rc" ]; then echo "--- exit code $rc, expected $expected_rc"; fail=1; fi
if [ -f "$case/out" ]; then
    if [ -f "$T/.out.m" ]; then check "$case/out" "$T/.out.m" "-o file"
    else echo "--- no -o file written"; fail=1; fi
fi
exit $fail
