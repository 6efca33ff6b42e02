#!/usr/bin/env bash
# Runs check_reports.py with a Python that has the jsonschema module. Without one the test is
# skipped (exit 77), unless QPEEK_REQUIRE_JSONSCHEMA is set (CI installs python3-jsonschema).
for python in python3 /usr/bin/python3; do
    if "$python" -c "import jsonschema" 2>/dev/null; then
        exec "$python" "$(dirname "$0")/check_reports.py" "$@"
    fi
done
echo "no Python with the jsonschema module (install python3-jsonschema)"
[ -n "${QPEEK_REQUIRE_JSONSCHEMA:-}" ] && exit 1
exit 77
