#!/usr/bin/env bash
# Checks the manual page: groff reports no warning in plain and UTF-8 rendering, the
# source holds no control character other than tab, and its title line names the page's
# program (QPEEK for qpeek.1, QPEEK\-IMPORT for qpeek-import.1) and the project's version.
#
#   manpage_lint.sh MANPAGE VERSION      (exit 77: groff is not installed)
set -uo pipefail
page=$1 version=$2
command -v groff >/dev/null || { echo "groff is not installed"; exit 77; }
fail=0
for dev in ascii utf8; do
    msgs=$(groff -ww -z -man -T"$dev" "$page" 2>&1)
    [ -z "$msgs" ] || { echo "groff -T$dev:"; echo "$msgs"; fail=1; }
done
if LC_ALL=C grep -n $'[\x01-\x08\x0b-\x1f\x7f]' "$page"; then
    echo "control characters in $page"; fail=1
fi
program=$(basename "$page" .1)
title=$(echo "$program" | tr 'a-z' 'A-Z' | sed 's/-/\\\\-/g')
grep -q "^\.TH $title 1 [0-9-]* \"qpeek $version\"" "$page" ||
    { echo "the .TH line does not name $program and qpeek $version"; fail=1; }
exit $fail
