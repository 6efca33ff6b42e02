#!/usr/bin/env bash
# Runs one golden case and compares stdout, stderr, the exit code and the -o file with the
# expected files of the case, byte for byte.
#
#   run_case.sh QPEEK ROOT CASE_DIR
#
# Cases live in tests/golden/GROUP/CASE, grouped by what they cover (command_line, files,
# headers, idoc, idoc_summary, ecedoc, xml, pos, ims, cics, import, windows); ctest names
# them golden.GROUP.CASE.
# The case's `cmd` is a bash snippet run from ROOT with $QPEEK (the binary), $T (a fresh
# temporary directory) and $OUT ($T/out.txt) set. Expected files: stdout (required),
# stderr (empty when absent), rc (0 when absent), out (compared when present).
# Time stamps at the start of a line ("07 13:45:02 "), $T and ROOT are masked (also in
# their Windows spelling, "Z:\tmp\..." as wine shows them).
# UPDATE_GOLDEN=1 writes the expected files from the run instead of comparing.
#
# QPEEK_VARIANT=win runs the case for the Windows build: an expected file X.win (stdout.win,
# stderr.win, rc.win, out.win) replaces X where the Windows build differs by design, and a
# case with a skip.win file (one line: why it cannot apply on Windows) is not run; the
# script then prints that line and exits with 77. With UPDATE_GOLDEN=1 it writes X.win only
# where the run differs from X.
# The Windows build writes standard output and standard error in text mode, so the common
# stdout and stderr are expected there with every line feed written as CR LF (a "\r\n" of
# the report becoming "\r\r\n"); the -o file is binary and expected as it is. A stdout.win
# or stderr.win holds the exact bytes, CR LF included (a case whose cmd adds lines of its
# own, with echo say, has LF alone on those).
set -u
qpeek=$1 root=$2 case=$3
variant=${QPEEK_VARIANT:-}
if [ -n "$variant" ] && [ -f "$case/skip.$variant" ]; then
    echo "skipped: $(head -n 1 "$case/skip.$variant")"
    exit 77
fi
T=$(mktemp -d)
trap 'chmod -R u+rwx "$T" 2>/dev/null; rm -rf "$T"' EXIT
export QPEEK="$qpeek" T OUT="$T/out.txt"
cd "$root" || exit 2
timeout 60 bash "$case/cmd" >"$T/.stdout" 2>"$T/.stderr" </dev/null
rc=$?

mask() {
    ROOT="$root" TMPD="$T" perl -pe '
        BEGIN { ($wt, $wr) = map { "Z:" . ($_ =~ tr{/}{\\}r) } @ENV{"TMPD", "ROOT"}; }
        s/^\d\d \d\d:\d\d:\d\d /DD HH:MM:SS /;
        s/\Q$ENV{TMPD}\E/<TMP>/g;
        s/\Q$wt\E/<TMP>/g;
        s/\Q$ENV{ROOT}\E/<ROOT>/g;
        s/\Q$wr\E/<ROOT>/g;' "$1"
}

mask "$T/.stdout" >"$T/.stdout.m"
mask "$T/.stderr" >"$T/.stderr.m"
[ -f "$OUT" ] && mask "$OUT" >"$T/.out.m"

# The expected file for NAME: NAME.<variant> when the variant has one, else NAME (for the
# Windows variant, stdout and stderr with CR LF line ends).
expected() {
    if [ -n "$variant" ] && [ -f "$case/$1.$variant" ]; then echo "$case/$1.$variant"
    elif [ "$variant" = win ] && [ -f "$case/$1" ] && { [ "$1" = stdout ] || [ "$1" = stderr ]; }; then
        perl -pe 's/\n/\r\n/' "$case/$1" >"$T/.expected.$1"
        echo "$T/.expected.$1"
    else echo "$case/$1"; fi
}

if [ "${UPDATE_GOLDEN:-0}" = 1 ] && [ -n "$variant" ]; then
    # Keep the common expectation; write the variant's file only where the run differs.
    [ -s "$T/.stderr.m" ] || : >"$T/.stderr.m"
    echo "$rc" >"$T/.rc"
    put() { # base-name actual (missing base file: the default content)
        local base="$case/$1" default
        default=$T/.default
        case $1 in
        stderr) : >"$default" ;;
        rc) echo 0 >"$default" ;;
        esac
        if [ -f "$base" ] && [ "$variant" = win ] && { [ "$1" = stdout ] || [ "$1" = stderr ]; }; then
            perl -pe 's/\n/\r\n/' "$base" >"$default"
        elif [ -f "$base" ]; then
            default=$base
        fi
        if [ -f "$2" ] && ! cmp -s "$default" "$2"; then cp "$2" "$base.$variant"
        else rm -f "$base.$variant"; fi
    }
    put stdout "$T/.stdout.m"
    put stderr "$T/.stderr.m"
    put rc "$T/.rc"
    if [ -f "$case/out" ] || [ -f "$T/.out.m" ]; then put out "$T/.out.m"; fi
    echo "updated $case ($variant)"
    exit 0
fi
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
check "$(expected stdout)" "$T/.stdout.m" stdout
if [ -f "$(expected stderr)" ]; then check "$(expected stderr)" "$T/.stderr.m" stderr
else check /dev/null "$T/.stderr.m" stderr; fi
expected_rc=0
[ -f "$(expected rc)" ] && expected_rc=$(cat "$(expected rc)")
if [ "$rc" != "$expected_rc" ]; then echo "--- exit code $rc, expected $expected_rc"; fail=1; fi
if [ -f "$(expected out)" ]; then
    if [ -f "$T/.out.m" ]; then check "$(expected out)" "$T/.out.m" "-o file"
    else echo "--- no -o file written"; fail=1; fi
fi
exit $fail
