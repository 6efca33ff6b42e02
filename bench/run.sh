#!/usr/bin/env bash
# Benchmarks qpeek against cat and hexdump -C over generated corpora, in one run.
#
#   bench/run.sh [--smoke] [--double] [--runs N] [--keep DIR]
#
# --smoke   small corpora, one run each, for the test suite (checks the script still works)
# --double  also times corpora of twice the size, to show that the cost grows linearly
# Corpora (see bench/generate.py): (a) message files of every kind, (b) one large IDoc,
# (c) one large parser-definition file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=5 smoke=0 double=0 keep=""
while [ $# -gt 0 ]; do
    case $1 in
    --smoke) smoke=1 runs=1 ;;
    --double) double=1 ;;
    --runs) runs=$2; shift ;;
    --keep) keep=$2; shift ;;
    *) echo "usage: $0 [--smoke] [--double] [--runs N] [--keep DIR]" >&2; exit 2 ;;
    esac
    shift
done

build="$root/build-release"
[ $smoke = 1 ] && build="${QPEEK_BENCH_BUILD:-$root/build-release}"
if [ -z "${QPEEK_BENCH_BINARY:-}" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQPEEK_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target qpeek >/dev/null
    binary="$build/qpeek"
else
    binary=$QPEEK_BENCH_BINARY
fi

work=${keep:-$(mktemp -d)}
[ -z "$keep" ] && trap 'rm -rf "$work"' EXIT
command -v hexdump >/dev/null || { echo "hexdump is missing (apt-get install bsdextrautils)" >&2; exit 2; }

bench_scale() { # scale-name files idoc-records definition-types
    local name=$1 dir="$work/$1"
    mkdir -p "$dir"
    python3 "$root/bench/generate.py" "$dir" --files "$2" --idoc-records "$3" --definition-types "$4"
    # The definitions are found in the program directory: put a copy of qpeek beside them.
    for c in messages idoc definitions; do cp "$binary" "$dir/$c/qpeek"; done
    local a="$dir/messages" b="$dir/idoc" c="$dir/definitions"
    local abytes bbytes cbytes
    abytes=$(cat "$a"/*.qpk | wc -c)
    bbytes=$(stat -c %s "$b/big.qpk")
    cbytes=$(stat -c %s "$c/qpeek.parser")
    "$b/qpeek" "$b/big.qpk" >"$b/report.txt"
    grep -q "Unable to open" "$b/report.txt" && { echo "definitions not found for corpus (b)"; exit 1; }
    echo
    echo "== $name: (a) $(ls "$a"/*.qpk | wc -l) files, $abytes bytes; (b) $bbytes bytes," \
         "report $(stat -c %s "$b/report.txt") bytes; (c) $cbytes bytes"
    python3 "$root/bench/measure.py" --runs "$runs" --label "$name/a summary" --bytes "$abytes" \
        --cmd "qpeek -s=$a/qpeek '$a/*.qpk' -s" --cmd "cat=cat $a/*.qpk" --cmd "hexdump -C=hexdump -C $a/*.qpk"
    python3 "$root/bench/measure.py" --runs "$runs" --label "$name/a detailed" --bytes "$abytes" \
        --cmd "qpeek -d=$a/qpeek '$a/*.qpk' -d" --cmd "cat=cat $a/*.qpk" --cmd "hexdump -C=hexdump -C $a/*.qpk"
    python3 "$root/bench/measure.py" --runs "$runs" --label "$name/b idoc detailed" --bytes "$bbytes" \
        --cmd "qpeek=$b/qpeek $b/big.qpk" --cmd "cat input=cat $b/big.qpk" \
        --cmd "cat report=cat $b/report.txt" --cmd "hexdump -C=hexdump -C $b/big.qpk"
    python3 "$root/bench/measure.py" --runs "$runs" --label "$name/c definitions" --bytes "$cbytes" \
        --cmd "qpeek=$c/qpeek $c/last.qpk" --cmd "cat=cat $c/qpeek.parser"
}

if [ $smoke = 1 ]; then
    bench_scale smoke 90 600 8
else
    bench_scale full 20000 100000 9200
    [ $double = 1 ] && bench_scale double 40000 200000 18400
fi
echo
echo "bench done"
