#!/usr/bin/env bash
# Benchmarks qpeek-import on a generated queue unload file of X lines (messages of 100 KB
# bodies, each with a full descriptor), against cat of the same file in the same run:
# writing the message files, and reading only (-n). Prints min and median times, MB/s of
# input and peak memory, and fails when writing runs below 200 MB/s (not for --smoke).
#
#   bench/import.sh [--smoke] [--runs N] [--size MB] [--keep DIR]
#
# --smoke  a 2 MB file, one run, no speed check: for the test suite (checks the script works)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=5 size=100 smoke=0 keep=""
while [ $# -gt 0 ]; do
    case $1 in
    --smoke) smoke=1 runs=1 size=2 ;;
    --runs) runs=$2; shift ;;
    --size) size=$2; shift ;;
    --keep) keep=$2; shift ;;
    *) echo "usage: $0 [--smoke] [--runs N] [--size MB] [--keep DIR]" >&2; exit 2 ;;
    esac
    shift
done

if [ -z "${QPEEK_BENCH_IMPORT:-}" ]; then
    build="$root/build-release"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQPEEK_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target qpeek-import >/dev/null
    binary="$build/qpeek-import"
else
    binary=$QPEEK_BENCH_IMPORT
fi

work=${keep:-$(mktemp -d)}
mkdir -p "$work/out"
[ -z "$keep" ] && trap 'rm -rf "$work"' EXIT
cp "$binary" "$work/qpeek-import"
python3 "$root/tests/data/make_unload.py" --big "$size" "$work/big.unl"
bytes=$(stat -c %s "$work/big.unl")
python3 "$root/bench/recache.py" "$work/big.unl"
# The message count, and a check that the import is whole before it is timed.
"$work/qpeek-import" -o "$work/out" "$work/big.unl"
rm -f "$work"/out/*

results=$work/results.txt
echo "== $bytes bytes of X lines, $runs runs each"
python3 "$root/bench/measure.py" --runs "$runs" --label "import $size MB unload" \
    --bytes "$bytes" --cwd "$work" \
    --cmd "qpeek-import=./qpeek-import -q -f -o out big.unl" \
    --cmd "qpeek-import -n=./qpeek-import -q -n big.unl" \
    --cmd "cat=cat big.unl" | tee "$results" | grep -v '^RESULT'

# Input MB/s of the writing import from its median time.
rate=$(awk -F'\t' -v b="$bytes" '$1 == "RESULT" && $3 == "qpeek-import" { printf "%.0f", b / 1e6 / $5 }' "$results")
peak=$(awk -F'\t' '$1 == "RESULT" && $3 == "qpeek-import" { printf "%.1f", $6 / 1024 }' "$results")
echo "qpeek-import: $rate MB/s of input (median), peak memory $peak MB"
if [ $smoke = 0 ] && [ "$rate" -lt 200 ]; then
    echo "below 200 MB/s"
    exit 1
fi
echo "bench done"
