#!/usr/bin/env bash
# Twenty qpeek processes of one user report IDocs at the same time, each with a cold
# definition cache: every one of them must complete with the same, correct report.
# With PROBE (tests/qpeek_lock_probe, which holds the user's lock as the IDoc engine takes
# it): while another process holds the lock, a run of messages of an unknown IDoc type
# (a dozen acquisitions each) waits for it once, about 5 s, and reports as usual. Run as
# root on Linux, also as a user without a passwd entry: its lock is its own, a squatted
# private lock directory is reported once per run, and files planted in /tmp are ignored.
#
#   lock_contention.sh QPEEK ROOT [PROBE]
set -euo pipefail
qpeek=$1 root=$2 probe=${3:-}
T=$(mktemp -d)
cleanup() {
    [ -n "${squatted:-}" ] && rm -rf "$squatted" "/tmp/${uid_without_name:-none}IDOCSHARE.SEM" \
        /tmp/IDOCSHARE.SEM
    rm -rf "$T"
}
trap cleanup EXIT
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

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# ---- A holder that does not let go: the run waits once, not at every acquisition.
if [ -n "$probe" ]; then
    mkdir "$T/unknown"
    for m in a b; do cp "$root/tests/data/idoc/error_1001_unknown_type.qpk" "$T/unknown/$m.qpk"; done
    (cd "$T/unknown" && "$T/qpeek" '*.qpk') >"$T/unknown.txt" 2>"$T/unknown.err"
    "$probe" - 15000 >"$T/holder.txt" 2>&1 &
    holder=$!
    for _ in $(seq 1 600); do grep -q '^acquired 1' "$T/holder.txt" && break; sleep 0.1; done
    if grep -q '^acquired 1' "$T/holder.txt"; then
        start=$(now_ms)
        (cd "$T/unknown" && "$T/qpeek" '*.qpk') >"$T/held.txt" 2>"$T/held.err"
        waited=$(( $(now_ms) - start ))
        echo "held lock: two unknown-type messages in ${waited} ms"
        if [ "$waited" -lt 4500 ] || [ "$waited" -ge 10000 ]; then
            echo "expected one wait of about 5000 ms"; failed=1
        fi
        cmp -s "$T/unknown.txt" "$T/held.txt" || { echo "held lock: report differs"; failed=1; }
        cmp -s "$T/unknown.err" "$T/held.err" || { echo "held lock: errors differ"; failed=1; }
    else
        echo "the holder never owned the lock: $(tr '\n' ' ' <"$T/holder.txt")"; failed=1
    fi
    wait "$holder" || true
else
    echo "skipped: held lock (no lock probe given)"
fi

# ---- Another user: a user without a passwd entry, and a squatter.
uid_without_name=54321 squatter=54322
if [ "$(id -u)" != 0 ]; then
    echo "skipped: second user (needs root to run as another user)"
elif [[ $(head -c 2 "$T/qpeek") == "#!" ]]; then
    echo "skipped: second user (the program runs under an emulator, as one user)"
elif ! command -v setpriv >/dev/null; then
    echo "skipped: second user (needs setpriv)"
elif getent passwd "$uid_without_name" >/dev/null; then
    echo "skipped: second user (uid $uid_without_name has a passwd entry here)"
else
    as_other() { setpriv --reuid="$uid_without_name" --regid="$uid_without_name" --clear-groups \
        env -u XDG_RUNTIME_DIR "$@"; }
    chmod 755 "$T"
    chmod 644 "$T/reference.txt"
    squatted=/tmp/qpeek-$uid_without_name
    rm -rf "$squatted"
    # Lock files planted where earlier versions looked for them: ignored.
    for f in "/tmp/${uid_without_name}IDOCSHARE.SEM" /tmp/IDOCSHARE.SEM; do
        rm -rf "$f"; touch "$f"; chown "$squatter:$squatter" "$f"
    done
    as_other "$T/qpeek" "${samples[@]}" -d >"$T/other.txt" 2>"$T/other.err"
    cmp -s "$T/reference.txt" "$T/other.txt" || { echo "second user: report differs"; failed=1; }
    mode=$(stat -c '%a %u %F' "$squatted" 2>/dev/null || echo missing)
    [ "$mode" = "700 $uid_without_name directory" ] ||
        { echo "second user: private lock directory is '$mode'"; failed=1; }
    [ -f "$squatted/${uid_without_name}IDOCSHARE.SEM" ] ||
        { echo "second user: no lock ${uid_without_name}IDOCSHARE.SEM"; failed=1; }
    # The private directory made by someone else first: one message per run, on time.
    rm -rf "$squatted"
    mkdir -m 700 "$squatted"
    chown "$squatter:$squatter" "$squatted"
    message="Unable to CreateMutex(${uid_without_name}IDOCSHARE.SEM)"
    start=$(now_ms)
    as_other "$T/qpeek" "${samples[@]}" -d >"$T/squatted.txt" 2>"$T/squatted.err"
    waited=$(( $(now_ms) - start ))
    count=$(grep -a -c -F -x "$message" "$T/squatted.txt" || true)
    echo "squatted lock directory: $count message line(s), ${waited} ms"
    [ "$count" = 1 ] || { echo "expected the message once"; failed=1; }
    grep -a -v -F -x "$message" "$T/squatted.txt" | cmp -s "$T/reference.txt" - ||
        { echo "squatted lock directory: report differs"; failed=1; }
    [ "$waited" -lt 4000 ] || { echo "squatted lock directory: run too slow"; failed=1; }
fi
exit $failed
