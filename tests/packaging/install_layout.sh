#!/usr/bin/env bash
# Installs a build into a temporary prefix, with the system links in a temporary root, and
# checks the result the way a user meets it:
#  - every shipped file is where the definition search and the manual expect it, and
#    nothing else is installed;
#  - qpeek started through the link, from another directory, finds its definitions and
#    writes byte for byte the report of the build tree's qpeek. The only "Unable to open"
#    lines allowed are those for bin/TYPE.parser of an IDoc type shipped in Resources/ (the
#    program directory is tried first; the build tree has the type beside the program).
#
#   install_layout.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd) src=$(cd "$2" && pwd)
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
prefix=$T/opt/qpeek root=$T/root
fail=0
problem() { echo "FAIL: $*"; fail=1; }

cmake --install "$build" --prefix "$prefix" >"$T/install.log"
DESTDIR=$root cmake --install "$build" --prefix "$prefix" --component system >>"$T/install.log"

# The expected files, relative to the prefix (p:) or to the root (r:).
expected=(p:bin/qpeek p:share/man/man1/qpeek.1.gz p:share/doc/qpeek/README.md
          p:share/doc/qpeek/copyright r:usr/share/doc/qpeek/copyright
          r:usr/bin/qpeek r:usr/share/man/man1/qpeek.1.gz
          p:bin/qpeek-import p:share/man/man1/qpeek-import.1.gz
          r:usr/bin/qpeek-import r:usr/share/man/man1/qpeek-import.1.gz)
[ -f "$src/Resources/qpeek.parser" ] && expected+=(p:bin/qpeek.parser)
for f in "$src"/Resources/*.parser; do [ -e "$f" ] && expected+=("p:Resources/${f##*/}"); done
for f in "$src"/samples/*.qpk; do [ -e "$f" ] && expected+=("p:share/qpeek/samples/${f##*/}"); done

printf '%s\n' "${expected[@]}" | sort >"$T/expected"
{ (cd "$prefix" && find . ! -type d | sed 's|^\./|p:|')
  (cd "$root" && find . ! -type d | sed 's|^\./|r:|'); } | sort >"$T/installed"
if ! cmp -s "$T/expected" "$T/installed"; then
    problem "installed files differ from the expected list (< expected, > installed):"
    diff "$T/expected" "$T/installed" || true
fi

# Contents: copies of the sources, the program executable, the manual page compressed.
same() { cmp -s "$1" "$2" || problem "$2 is not a copy of $1"; }
[ -x "$prefix/bin/qpeek" ] || problem "bin/qpeek is not executable"
[ -f "$src/Resources/qpeek.parser" ] && same "$src/Resources/qpeek.parser" "$prefix/bin/qpeek.parser"
for f in "$src"/Resources/*.parser; do [ -e "$f" ] && same "$f" "$prefix/Resources/${f##*/}"; done
for f in "$src"/samples/*.qpk; do [ -e "$f" ] && same "$f" "$prefix/share/qpeek/samples/${f##*/}"; done
gzip -dc "$prefix/share/man/man1/qpeek.1.gz" >"$T/qpeek.1" && same "$src/docs/qpeek.1" "$T/qpeek.1"
[ -x "$prefix/bin/qpeek-import" ] || problem "bin/qpeek-import is not executable"
gzip -dc "$prefix/share/man/man1/qpeek-import.1.gz" >"$T/qpeek-import.1" &&
    same "$src/docs/qpeek-import.1" "$T/qpeek-import.1"
same "$src/docs/copyright" "$root/usr/share/doc/qpeek/copyright"

# The links point into the prefix.
link=$root/usr/bin/qpeek
[ "$(readlink "$link")" = "$prefix/bin/qpeek" ] || problem "usr/bin/qpeek -> $(readlink "$link")"
[ "$(readlink "$root/usr/share/man/man1/qpeek.1.gz")" = "$prefix/share/man/man1/qpeek.1.gz" ] ||
    problem "the manual page link does not point into the prefix"
[ "$(readlink "$root/usr/bin/qpeek-import")" = "$prefix/bin/qpeek-import" ] ||
    problem "usr/bin/qpeek-import -> $(readlink "$root/usr/bin/qpeek-import")"
[ "$(readlink "$root/usr/share/man/man1/qpeek-import.1.gz")" = "$prefix/share/man/man1/qpeek-import.1.gz" ] ||
    problem "the manual page link of qpeek-import does not point into the prefix"

# Runs through the link from another directory. IDoc samples are the ones that need the
# definitions; without any sample a small message of our own stands in.
inputs=()
for f in "$src"/samples/idoc_*.qpk; do [ -e "$f" ] && inputs+=("$f"); done
if [ ${#inputs[@]} -eq 0 ]; then
    for f in "$src"/samples/*.qpk; do [ -e "$f" ] && inputs+=("$f"); done
fi
if [ ${#inputs[@]} -eq 0 ]; then
    printf 'EDI_DC40 stand-in body' >"$T/standin.qpk"
    inputs=("$T/standin.qpk")
fi
mkdir "$T/elsewhere"
: >"$T/allowed"
for f in "$src"/Resources/*.parser; do
    [ -e "$f" ] && [ "${f##*/}" != qpeek.parser ] && echo "Unable to open $prefix/bin/${f##*/}" >>"$T/allowed"
done
for f in "${inputs[@]}"; do
    for opt in "" -d; do
        (cd "$T/elsewhere" && "$link" "$f" $opt) >"$T/linked.out" 2>"$T/linked.err" ||
            problem "qpeek through the link failed on ${f##*/} $opt"
        (cd "$src" && "$build/qpeek" "$f" $opt) >"$T/built.out" 2>"$T/built.err" || true
        LC_ALL=C grep -a -v -x -F -f "$T/allowed" "$T/linked.out" >"$T/linked.kept" || true
        if LC_ALL=C grep -a -n '^Unable to open' "$T/linked.kept"; then
            problem "qpeek through the link did not find its definitions for ${f##*/} $opt"
        fi
        cmp -s "$T/built.out" "$T/linked.kept" && cmp -s "$T/built.err" "$T/linked.err" || {
            problem "report of ${f##*/} $opt through the link differs from the build tree's"
            diff "$T/built.out" "$T/linked.kept" | head -20 || true
        }
    done
done
[ $fail = 0 ] && echo "install layout and linked runs: ${#inputs[@]} message files checked"
exit $fail
