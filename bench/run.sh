#!/usr/bin/env bash
# Benchmarks qpeek against cat and hexdump -C over generated corpora, in one run.
#
#   bench/run.sh [--smoke] [--double] [--runs N] [--keep DIR] [--baseline BINARY]
#
# --smoke     small corpora, one run each, for the test suite (checks the script still works)
# --double    also times corpora of twice the size, to show that the cost grows linearly
# --baseline  also times another qpeek binary (an earlier build) in the same run, so that a
#             before/after comparison sees the same machine load
# Corpora (see bench/generate.py): (a) message files of every kind, (b) one large IDoc,
# (c) one large parser-definition file; and the shapes: a large point-of-sale log, XML of
# many small tags, deep XML, and IDocs whose type needs the version fallback beside the same
# IDocs with a defined type.
# The machine-readable report (-j) is timed over (a) and (b) beside the text report of the
# same files in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=5 smoke=0 double=0 keep="" baseline=""
while [ $# -gt 0 ]; do
    case $1 in
    --smoke) smoke=1 runs=1 ;;
    --double) double=1 ;;
    --runs) runs=$2; shift ;;
    --keep) keep=$2; shift ;;
    --baseline) baseline=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift ;;
    *) echo "usage: $0 [--smoke] [--double] [--runs N] [--keep DIR] [--baseline BINARY]" >&2; exit 2 ;;
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
mkdir -p "$work"
# The definition lock is shared by every qpeek process of the user: a lock directory of the
# benchmark's own keeps other qpeek runs (tests, fuzzing) from making these runs wait.
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
[ -z "$keep" ] && trap 'rm -rf "$work"' EXIT
command -v hexdump >/dev/null || { echo "hexdump is missing (apt-get install bsdextrautils)" >&2; exit 2; }

results="$work/results.txt" sizes="$work/sizes.txt"
: >"$results"
: >"$sizes"

# Runs measure.py in a corpus directory (relative names: forty thousand full paths would
# pass the system's limit on the argument list) and keeps its RESULT lines.
measure() { # dir label bytes cmd...
    local dir=$1 label=$2 bytes=$3
    shift 3
    local args=() command
    for command in "$@"; do args+=(--cmd "$command"); done
    python3 "$root/bench/measure.py" --runs "$runs" --label "$label" --bytes "$bytes" \
        --cwd "$dir" "${args[@]}" | tee -a "$results" | grep -v '^RESULT'
}

bench_scale() { # scale-name files idoc-records definition-types
    local name=$1 dir="$work/$1"
    mkdir -p "$dir"
    python3 "$root/bench/generate.py" "$dir" --files "$2" --idoc-records "$3" --definition-types "$4"
    # The definitions are found in the program directory: put a copy of qpeek beside them.
    for c in messages idoc definitions; do
        cp "$binary" "$dir/$c/qpeek"
        [ -n "$baseline" ] && cp "$baseline" "$dir/$c/qpeek-baseline"
    done
    # With a baseline: its row "baseline" follows qpeek's; qpeek/this is then after/before.
    local bs=() bd=() bb=() bc=()
    if [ -n "$baseline" ]; then
        bs=("baseline=./qpeek-baseline '*.qpk' -s") bd=("baseline=./qpeek-baseline '*.qpk' -d")
        bb=("baseline=./qpeek-baseline big.qpk") bc=("baseline=./qpeek-baseline last.qpk")
    fi
    local a="$dir/messages" b="$dir/idoc" c="$dir/definitions"
    local abytes bbytes cbytes jbytes
    abytes=$(cd "$a" && find . -name '*.qpk' -print0 | xargs -0 cat | wc -c)
    bbytes=$(stat -c %s "$b/big.qpk")
    cbytes=$(stat -c %s "$c/qpeek.parser")
    echo "$name a $abytes" >>"$sizes"
    echo "$name b $bbytes" >>"$sizes"
    echo "$name b-defs $(stat -c %s "$b/qpeek.parser")" >>"$sizes"
    echo "$name c $cbytes" >>"$sizes"
    "$b/qpeek" "$b/big.qpk" >"$b/report.txt"
    grep -q "Unable to open" "$b/report.txt" && { echo "definitions not found for corpus (b)"; exit 1; }
    jbytes=$("$b/qpeek" "$b/big.qpk" -j | wc -c)
    # Every input as if read from disk, whatever the state of memory when it was written.
    python3 "$root/bench/recache.py" "$a" "$b" "$c"
    echo
    echo "== $name: (a) $(cd "$a" && find . -name '*.qpk' | wc -l) files, $abytes bytes;" \
         "(b) $bbytes bytes, report $(stat -c %s "$b/report.txt") bytes," \
         "JSON $jbytes bytes; (c) $cbytes bytes"
    measure "$a" "$name/a summary" "$abytes" \
        "qpeek -s=./qpeek '*.qpk' -s" "${bs[@]}" "cat=cat *.qpk" "hexdump -C=hexdump -C *.qpk"
    measure "$a" "$name/a detailed" "$abytes" \
        "qpeek -d=./qpeek '*.qpk' -d" "${bd[@]}" "cat=cat *.qpk" "hexdump -C=hexdump -C *.qpk"
    measure "$b" "$name/b idoc detailed" "$bbytes" \
        "qpeek=./qpeek big.qpk" "${bb[@]}" "cat input=cat big.qpk" "cat report=cat report.txt" \
        "hexdump -C=hexdump -C big.qpk"
    measure "$a" "$name/a json" "$abytes" \
        "qpeek -j=./qpeek '*.qpk' -j" "text=./qpeek '*.qpk'" "text -d=./qpeek '*.qpk' -d" \
        "qpeek -j -s=./qpeek '*.qpk' -j -s"
    measure "$b" "$name/b idoc json" "$bbytes" "qpeek -j=./qpeek big.qpk -j" "text=./qpeek big.qpk"
    measure "$c" "$name/c definitions" "$cbytes" \
        "qpeek=./qpeek last.qpk" "${bc[@]}" "cat=cat qpeek.parser"
}

bench_shapes() { # scale-name megabytes fallback-files definition-types
    local name=$1 dir="$work/$1-shapes"
    mkdir -p "$dir"
    python3 "$root/bench/generate.py" "$dir" --files 0 --idoc-records 10 --definition-types "$4" \
        --shapes "$2" --fallback-files "$3"
    local s="$dir/shapes" c bytes
    for c in pos xml-tags xml-deep direct fallback; do
        cp "$binary" "$s/$c/qpeek"
        [ -n "$baseline" ] && cp "$baseline" "$s/$c/qpeek-baseline"
    done
    python3 "$root/bench/recache.py" "$s"
    echo
    echo "== $name shapes: $2 MB each; $3 IDocs beside a $(stat -c %s "$s/direct/qpeek.parser")-byte" \
         "default definition file"
    for c in pos xml-tags xml-deep; do
        bytes=$(stat -c %s "$s/$c/big.qpk")
        echo "$name $c $bytes" >>"$sizes"
        local bl=()
        [ -n "$baseline" ] && bl=("baseline=./qpeek-baseline big.qpk -d")
        measure "$s/$c" "$name/$c detailed" "$bytes" "qpeek=./qpeek big.qpk -d" "${bl[@]}" \
            "cat=cat big.qpk"
    done
    for c in direct fallback; do
        bytes=$(cd "$s/$c" && cat ./*.qpk | wc -c)
        echo "$name $c $bytes" >>"$sizes"
        local bl=()
        [ -n "$baseline" ] && bl=("baseline=./qpeek-baseline '*.qpk' -d")
        measure "$s/$c" "$name/$c idocs" "$bytes" "qpeek=./qpeek '*.qpk' -d" "${bl[@]}"
    done
}

if [ $smoke = 1 ]; then
    # (b) above 1 MB: large message files are mapped, not read, and the smoke run covers that.
    bench_scale smoke 90 1100 8
    bench_shapes smoke 0.2 20 8
else
    bench_scale full 20000 100000 9200
    bench_shapes full 16 2000 1000
    [ $double = 1 ] && bench_scale double 40000 200000 18400
fi
echo
python3 "$root/bench/summarize.py" --sizes "$sizes" <"$results"
echo
echo "bench done"
