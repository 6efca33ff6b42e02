#!/usr/bin/env bash
# Twenty qpeek processes of one user report IDocs at the same time, each with a cold
# definition cache: every one of them must complete with the same, correct report.
#
#   lock_contention.sh QPEEK ROOT
set -euo pipefail
qpeek=$1 root=$2
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
export XDG_RUNTIME_DIR="$T/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The definitions are found beside the executable: a private copy of the program.
cp "$qpeek" "$T/qpeek"
cp "$root"/Resources/*.parser "$T/"
samples=("$root"/samples/idoc_*.qpk)
"$T/qpeek" "${samples[@]}" -d >"$T/reference.txt" 2>"$T/reference.err"
grep -q "Unable to open\|Unable to CreateMutex" "$T/reference.txt" && {
    echo "reference run did not find its definitions or its lock"; exit 1; }
start=$(date +%s)
pids=()
for i in $(seq 1 20); do
    "$T/qpeek" "${samples[@]}" -d >"$T/out$i.txt" 2>"$T/err$i.txt" &
    pids+=($!)
done
failed=0
for i in $(seq 1 20); do
    if ! wait "${pids[$((i - 1))]}"; then echo "process $i failed"; failed=1; fi
    cmp -s "$T/reference.txt" "$T/out$i.txt" || { echo "process $i: report differs"; failed=1; }
    cmp -s "$T/reference.err" "$T/err$i.txt" || { echo "process $i: errors differ"; failed=1; }
done
elapsed=$(( $(date +%s) - start ))
echo "20 processes, $(wc -c <"$T/reference.txt") report bytes each, ${elapsed}s"
[ "$elapsed" -lt 60 ] || { echo "contention took too long"; failed=1; }
exit $failed
