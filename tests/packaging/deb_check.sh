#!/usr/bin/env bash
# Builds the Debian package from a Release build, installs it with dpkg, runs the
# installed /usr/bin/qpeek from another directory on every IDoc sample, and removes the
# package again. Needs root; changes the machine's package set while it runs.
#
#   tests/packaging/deb_check.sh [BUILD_DIR]      (default build-deb)
#
# Checks: the package installs; /usr/bin/qpeek finds its definitions (no "Unable to
# open" line but those for /opt/qpeek/bin/TYPE.parser of an IDoc type shipped in Resources/,
# which the program directory is searched for first) and writes the same report as the
# build tree's qpeek on the same file;
# the manual page is reachable under /usr/share/man; purging leaves neither
# /usr/bin/qpeek nor /opt/qpeek behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-deb}
export DEBIAN_FRONTEND=noninteractive
T=$(mktemp -d)
cleanup() {
    dpkg -s qpeek >/dev/null 2>&1 && dpkg -P qpeek >/dev/null 2>&1 || true
    rm -rf "$T"
}
trap cleanup EXIT

echo "-- building the package"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQPEEK_TESTS=OFF >/dev/null
cmake --build "$build"
build=$(cd "$build" && pwd)
rm -f "$build"/qpeek_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/qpeek_*.deb)
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"

echo "-- installing $deb"
if dpkg -s qpeek >/dev/null 2>&1; then dpkg -P qpeek; fi
if ! dpkg -i "$deb"; then
    apt-get install -f -y -qq
fi
dpkg -s qpeek | grep -q '^Status: install ok installed'
[ -L /usr/bin/qpeek ] && [ "$(readlink -f /usr/bin/qpeek)" = /opt/qpeek/bin/qpeek ]
[ -f "$(readlink -f /usr/share/man/man1/qpeek.1.gz)" ]
[ -L /usr/bin/qpeek-import ] && [ "$(readlink -f /usr/bin/qpeek-import)" = /opt/qpeek/bin/qpeek-import ]
[ -f "$(readlink -f /usr/share/man/man1/qpeek-import.1.gz)" ]
(cd "$T" && printf '* QLOAD\nN\nT installed\n' | /usr/bin/qpeek-import -q -p check - && cmp -s check-000001.qpk - <<<installed) ||
    { echo "FAIL: the installed qpeek-import did not import a message"; exit 1; }
[ -f /usr/share/doc/qpeek/copyright ]

# The IDoc samples are the messages that need the definitions.
shopt -s nullglob
samples=("$root"/samples/idoc_*.qpk)
if [ ${#samples[@]} -eq 0 ]; then
    echo "FAIL: no IDoc sample (samples/idoc_*.qpk) to check the installed definitions with"
    exit 1
fi
allowed=$T/allowed
: >"$allowed"
for f in "$root"/Resources/*.parser; do
    [ "${f##*/}" != qpeek.parser ] && echo "Unable to open /opt/qpeek/bin/${f##*/}" >>"$allowed"
done
fail=0
for sample in "${samples[@]}"; do
    for opt in "" -d; do
        echo "-- /usr/bin/qpeek ${sample#$root/} $opt, run from /tmp"
        (cd /tmp && /usr/bin/qpeek "$sample" $opt) >"$T/installed.out" 2>"$T/installed.err"
        (cd "$root" && "$build/qpeek" "$sample" $opt) >"$T/built.out" 2>"$T/built.err"
        LC_ALL=C grep -a -v -x -F -f "$allowed" "$T/installed.out" >"$T/installed.kept" || true
        mv "$T/installed.kept" "$T/installed.out"
        if LC_ALL=C grep -a -n '^Unable to open' "$T/installed.out"; then
            echo "FAIL: the installed qpeek did not find its definitions"; fail=1
        fi
        if ! cmp -s "$T/built.out" "$T/installed.out" || ! cmp -s "$T/built.err" "$T/installed.err"; then
            echo "FAIL: the installed qpeek's report differs from the build tree's:"
            diff "$T/built.out" "$T/installed.out" | head -20 || true
            diff "$T/built.err" "$T/installed.err" | head -20 || true
            fail=1
        fi
        echo "   $(wc -l <"$T/installed.out") lines on standard output, $(wc -l <"$T/installed.err") on standard error"
    done
done

echo "-- removing the package"
dpkg -r qpeek
# Nothing of the package is a configuration file, so removing leaves nothing to purge.
if dpkg -s qpeek >/dev/null 2>&1; then dpkg -P qpeek; fi
if dpkg -s qpeek >/dev/null 2>&1; then echo "FAIL: qpeek is still known to dpkg"; fail=1; fi
for p in /usr/bin/qpeek /usr/bin/qpeek-import /opt/qpeek /usr/share/man/man1/qpeek.1.gz \
         /usr/share/man/man1/qpeek-import.1.gz /usr/share/doc/qpeek; do
    if [ -e "$p" ] || [ -L "$p" ]; then echo "FAIL: $p is still there"; fail=1; fi
done
[ $fail = 0 ] && echo "package check passed"
exit $fail
