#!/usr/bin/env bash
# Runs the Windows test suite under wine: the unit tests (qpeek_unit_tests.exe), every
# golden case of tests/golden/GROUP/CASE against qpeek.exe (expected files X.win where the Windows
# build differs, skip.win where a case cannot apply), the system tests of tests/system, and
# the definition-lock tests of processes that contend for the per-user mutex.
# qpeek.exe writes standard output and standard error in text mode: the golden cases expect
# the common stdout and stderr with CR LF line ends there, and a stdout.win or stderr.win
# holds the exact bytes (see tests/golden/run_case.sh).
#
#   tests/windows/run_wine_tests.sh [BUILD_DIR]     (default: build-win)
#
# Environment: WINE (the wine64 loader, found when unset), CASES (a grep -E pattern that
# selects golden cases by their name GROUP.CASE, as "^pos\." or "windows\.named_pipe"),
# UPDATE_GOLDEN=1 (writes the .win expected files of the selected cases from the run instead
# of comparing; check them by hand).
# Ends with the line "N passed, M failed" (", K skipped" when cases were skipped).
set -uo pipefail
exec </dev/null
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd) || exit 2
qpeek_exe=$build/qpeek.exe
unit_exe=$build/tests/qpeek_unit_tests.exe
probe_exe=$build/tests/qpeek_lock_probe.exe
for f in "$qpeek_exe" "$unit_exe" "$probe_exe"; do
    [ -f "$f" ] || { echo "missing $f: build with cmake/mingw-w64-x86_64.cmake first"; exit 2; }
done

. "$root/tests/windows/find_wine.sh"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Names on the Unix side in UTF-8, as wine reads them; wine's active code page is then 1252,
# which the cases with names outside the code page expect.
export LC_ALL=C.UTF-8
cleanup() {
    [ -n "$wineserver" ] && WINEPREFIX=$WINEPREFIX "$wineserver" -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A new prefix takes a while to create; keep its server running for the whole suite so
# that every later start is quick.
echo "== wine prefix ($("$WINE" --version 2>/dev/null))"
if ! timeout 600 "$WINE" wineboot -i >"$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log"
    echo "wineboot failed"
    exit 2
fi
[ -n "$wineserver" ] && "$wineserver" -p 2>/dev/null

passed=0 failed=0 skipped=0
pass() { passed=$((passed + 1)); echo "PASS $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
skip() { skipped=$((skipped + 1)); echo "SKIP $1: $2"; }

# ---- unit tests: one process; each test counts.
echo "== unit tests under wine"
(cd "$root" && QPEEK_ROOT=$root timeout 600 "$WINE" "$unit_exe") >"$work/unit.log" 2>&1
unit_rc=$?
grep -E '^\[ +(OK|FAILED|SKIPPED) +\] [A-Za-z0-9_./]+ \(' "$work/unit.log" || true
unit_passed=$(grep -cE '^\[ +OK +\] ' "$work/unit.log")
unit_failed=$(grep -cE '^\[ +FAILED +\] [A-Za-z0-9_./]+ \(' "$work/unit.log")
unit_skipped=$(grep -cE '^\[ +SKIPPED +\] [A-Za-z0-9_./]+ \(' "$work/unit.log")
if [ "$unit_rc" != 0 ] && [ "$unit_failed" = 0 ]; then
    tail -n 40 "$work/unit.log"
    unit_failed=1 # crashed or hung
fi
[ "$unit_failed" = 0 ] || grep -B2 -A12 'Failure' "$work/unit.log" | head -n 80
passed=$((passed + unit_passed)) failed=$((failed + unit_failed)) skipped=$((skipped + unit_skipped))
# Test files left out of the Windows build because they are built on POSIX calls.
if [ -s "$build/tests/posix_only_unit_tests.txt" ]; then
    while IFS= read -r line; do
        skip "unit.${line%%:*}" "${line#*: }"
        unit_skipped=$((unit_skipped + 1))
    done <"$build/tests/posix_only_unit_tests.txt"
fi
echo "unit tests under wine: $((unit_passed + unit_failed + unit_skipped)) run, $unit_passed passed, $unit_failed failed, $unit_skipped skipped"

# ---- golden cases against qpeek.exe.
echo "== golden cases under wine"
# $QPEEK for the cases: runs qpeek.exe under wine. A case that copies $QPEEK elsewhere (to
# have its own program directory) gets a copy of qpeek.exe beside the copied script.
mkdir -p "$work/bin"
wrapper=$work/bin/qpeek
cat >"$wrapper" <<EOF
#!/bin/sh
exe='$qpeek_exe'
here=\$(cd "\$(dirname "\$0")" && pwd)
if [ "\$here" != '$work/bin' ]; then
    [ -f "\$here/qpeek.exe" ] || cp "\$exe" "\$here/qpeek.exe" || exit 126
    exe=\$here/qpeek.exe
fi
exec '$WINE' "\$exe" "\$@"
EOF
chmod +x "$wrapper"
# qpeek-import.exe beside it, where cases find it ($(dirname "$QPEEK")/qpeek-import).
printf '#!/bin/sh\nexec %s %s "$@"\n' "'$WINE'" "'$build/qpeek-import.exe'" >"$work/bin/qpeek-import"
chmod +x "$work/bin/qpeek-import"
g_passed=0 g_failed=0 g_skipped=0
for cmd in "$root"/tests/golden/*/*/cmd; do
    [ -f "$cmd" ] || continue
    case_dir=$(dirname "$cmd")
    name=$(basename "$(dirname "$case_dir")").$(basename "$case_dir")
    [ -n "${CASES:-}" ] && ! [[ $name =~ $CASES ]] && continue
    QPEEK_VARIANT=win bash "$root/tests/golden/run_case.sh" "$wrapper" "$root" "$case_dir" >"$work/case.log" 2>&1
    case $? in
    0)
        if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then cat "$work/case.log"; continue; fi
        g_passed=$((g_passed + 1)); pass "golden.$name" ;;
    77)
        g_skipped=$((g_skipped + 1)); skip "golden.$name" "$(sed 's/^skipped: //' "$work/case.log")" ;;
    *)
        g_failed=$((g_failed + 1)); fail "golden.$name"; sed 's/^/    /' "$work/case.log" ;;
    esac
done
[ "${UPDATE_GOLDEN:-0}" = 1 ] && exit 0
echo "golden cases under wine: $((g_passed + g_failed + g_skipped)) run, $g_passed passed, $g_failed failed, $g_skipped skipped"

# ---- system tests (tests/system/*.sh QPEEK ROOT PROBE) against qpeek.exe: many processes at
# once, and the lock probe holding the definition lock.
echo "== system tests under wine"
probe_wrapper=$work/bin/qpeek_lock_probe
printf '#!/bin/sh\nexec %s %s "$@"\n' "'$WINE'" "'$probe_exe'" >"$probe_wrapper"
chmod +x "$probe_wrapper"
for script in "$root"/tests/system/*.sh; do
    [ -f "$script" ] || continue
    name=$(basename "$script" .sh)
    if timeout 600 bash "$script" "$wrapper" "$root" "$probe_wrapper" >"$work/system.log" 2>&1; then
        pass "system.$name"
    else
        fail "system.$name"
    fi
    sed 's/^/    /' "$work/system.log" | tail -n 20
done

# ---- the definition lock between processes of the same user.
echo "== definition lock under wine"
l_passed=$passed l_failed=$failed l_skipped=$skipped
probe() { "$WINE" "$probe_exe" "$@"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits until FILE has a line matching PATTERN (at most 60 s).
wait_for() {
    local i
    for ((i = 0; i < 600; i++)); do
        grep -qE "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
# The waited milliseconds of a probe's "acquired OWNED waited MS" line, with OWNED checked.
waited() { sed -nE "s/^acquired $2 waited ([0-9]+)\r?$/\1/p" "$1"; }
# check NAME CONDITION DETAIL
check() {
    if eval "$2"; then pass "lock.$1"; else fail "lock.$1"; echo "    $3"; fi
}

# 1. A holds the lock for 3 s; a probe of another user's lock name gets that one at once;
#    a second probe of the same user waits for A and then owns it.
probe - 3000 >"$work/a1" 2>&1 &
a=$!
if wait_for "$work/a1" '^acquired 1'; then
    probe otheruserIDOCSHARE.SEM 0 >"$work/d1" 2>&1
    probe - 0 >"$work/b1" 2>&1
    wait $a
    w=$(waited "$work/b1" 1)
    check second_process_waits_and_proceeds '[ -n "$w" ] && [ "$w" -ge 700 ] && [ "$w" -lt 5000 ] && grep -q released "$work/b1"' \
        "second probe: $(tr '\n' ' ' <"$work/b1")"
    check owner_acquires_again '[ -n "$(waited "$work/a1" 1)" ] && grep -q "^nested 1" "$work/a1"' \
        "first probe: $(tr '\n' ' ' <"$work/a1")"
    w=$(waited "$work/d1" 1)
    check other_user_not_excluded '[ -n "$w" ] && [ "$w" -lt 1000 ]' "other name: $(tr '\n' ' ' <"$work/d1")"
else
    fail lock.second_process_waits_and_proceeds
    echo "    the first probe never owned the lock: $(tr '\n' ' ' <"$work/a1")"
    wait $a
fi

# 2. A holds it for 10 s: a second probe gives up after 5000 ms and carries on; its release
#    does not free A's lock, so a third probe started after it still has to wait.
probe - 10000 >"$work/a2" 2>&1 &
a=$!
if wait_for "$work/a2" '^acquired 1'; then
    probe - 0 >"$work/b2" 2>&1
    b_rc=$?
    probe - 0 >"$work/c2" 2>&1
    wait $a
    w=$(waited "$work/b2" 0)
    check wait_gives_up_after_5000ms '[ "$b_rc" = 0 ] && [ -n "$w" ] && [ "$w" -ge 4900 ] && [ "$w" -lt 7000 ] && grep -q released "$work/b2"' \
        "second probe (rc $b_rc): $(tr '\n' ' ' <"$work/b2")"
    w=$(waited "$work/c2" 1)
    check failed_release_keeps_owner '[ -n "$w" ] && [ "$w" -ge 200 ]' \
        "third probe: $(tr '\n' ' ' <"$work/c2")"
else
    fail lock.wait_gives_up_after_5000ms
    echo "    the first probe never owned the lock: $(tr '\n' ' ' <"$work/a2")"
    wait $a
fi

# 3. qpeek.exe itself: while another process of the user holds the definition lock, an
#    IDoc report waits for it, then completes.
if grep -rlq --include='*.cpp' acquireDefinitionLock "$root/src/idoc" 2>/dev/null; then
    mkdir -p "$work/idoc"
    { printf 'EDI_DC40 800'; head -c 512 /dev/zero | tr '\0' ' '; } >"$work/idoc/order.qpk"
    probe - 3000 >"$work/a3" 2>&1 &
    a=$!
    if wait_for "$work/a3" '^acquired 1'; then
        start=$(now_ms)
        (cd "$work/idoc" && timeout 60 "$WINE" "$qpeek_exe" order.qpk) >"$work/q3" 2>&1
        q_rc=$? elapsed=$(($(now_ms) - start))
        wait $a
        check qpeek_waits_for_other_process '[ "$q_rc" = 0 ] && [ "$elapsed" -ge 1500 ] && grep -q "^Processing " "$work/q3"' \
            "qpeek.exe rc $q_rc after $elapsed ms: $(head -c 300 "$work/q3" | tr '\n' ' ')"
    else
        fail lock.qpeek_waits_for_other_process
        wait $a
    fi
else
    skip lock.qpeek_waits_for_other_process "the IDoc engine in this tree does not take the definition lock yet"
fi
# 4. Another kind of object (an event) holds the lock's name: no mutex of that name can be
#    opened or created. qpeek.exe says so once per run, not at every definition search, and
#    reports every message as it does with the lock.
mkdir -p "$work/lock4/bin" "$work/lock4/messages"
cp "$qpeek_exe" "$work/lock4/bin/qpeek.exe"
cp "$root"/Resources/*.parser "$work/lock4/bin/"
cp "$root"/samples/idoc_*.qpk "$work/lock4/messages/"
(cd "$work/lock4/messages" && timeout 60 "$WINE" "$work/lock4/bin/qpeek.exe" '*.qpk' -d) >"$work/q4free" 2>&1
probe --event - 10000 >"$work/e4" 2>&1 &
a=$!
if wait_for "$work/e4" '^event 1'; then
    start=$(now_ms)
    (cd "$work/lock4/messages" && timeout 60 "$WINE" "$work/lock4/bin/qpeek.exe" '*.qpk' -d) >"$work/q4" 2>&1
    q_rc=$? elapsed=$(($(now_ms) - start))
    message=$'^Unable to CreateMutex\\(.*IDOCSHARE\\.SEM\\)\r?$'
    count=$(grep -a -c -E "$message" "$work/q4")
    check mutex_name_taken_reported_once '[ "$q_rc" = 0 ] && [ "$count" = 1 ] && [ "$elapsed" -lt 9000 ] && grep -a -v -E "$message" "$work/q4" | cmp -s "$work/q4free" -' \
        "qpeek.exe rc $q_rc after $elapsed ms, $count message line(s); $(grep -a -c '^Processing' "$work/q4") messages; without the lock: $(grep -a -c -E "$message" "$work/q4free") message line(s)"
else
    fail lock.mutex_name_taken_reported_once
    echo "    the probe could not hold the event: $(tr '\n' ' ' <"$work/e4")"
fi
wait "$a"
echo "lock tests under wine: $((passed - l_passed + failed - l_failed + skipped - l_skipped)) run, $((passed - l_passed)) passed, $((failed - l_failed)) failed, $((skipped - l_skipped)) skipped"

echo "== Windows suite under wine: $((passed + failed + skipped)) tests run"
if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ "$failed" = 0 ]
