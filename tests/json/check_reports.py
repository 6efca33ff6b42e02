#!/usr/bin/env python3
"""Checks qpeek's machine-readable output (-j) against its published schema.

Every file of the given directories goes through qpeek with -j, -j -s and -j -d, one run per
directory; so do cut copies of each file (its first 0, 1, 7, half and all but one bytes). Each
output line must parse as JSON, validate against docs/qpeek-json.schema.json, name the file of
its Processing line, and give the file's size; every file that opens gives exactly one line.

    check_reports.py QPEEK SCHEMA DIR...
"""
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

OPTION_SETS = (["-j"], ["-j", "-s"], ["-j", "-d"])


def run(qpeek, pattern, options, work):
    out = os.path.join(work, "out.jsonl")
    result = subprocess.run([qpeek, pattern, *options, "-o" + out], capture_output=True,
                            cwd=work)
    processed = []
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        if line.startswith("Processing "):
            processed.append(line[len("Processing "):])
        elif line.startswith("Unable to open ") and processed and \
                line[len("Unable to open "):] == processed[-1]:
            processed.pop()
    with open(out, "rb") as f:
        data = f.read()
    return processed, data


def check(qpeek, validator, pattern, options, work, failures):
    processed, data = run(qpeek, pattern, options, work)
    where = "%s %s" % (pattern, " ".join(options))
    if data and not data.endswith(b"\n"):
        failures.append("%s: the output does not end with a line end" % where)
    lines = data.split(b"\n")[:-1] if data else []
    if len(lines) != len(processed):
        failures.append("%s: %d lines for %d files" % (where, len(lines), len(processed)))
        return
    for path, line in zip(processed, lines):
        try:
            report = json.loads(line.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            failures.append("%s: %s: not JSON: %s" % (where, path, error))
            continue
        for error in validator.iter_errors(report):
            failures.append("%s: %s: %s at %s" % (where, path, error.message,
                                                   "/".join(map(str, error.path))))
            break
        if report.get("file") != path:
            failures.append("%s: %s: file is %r" % (where, path, report.get("file")))
        elif os.path.isfile(os.path.join(work, path)) and \
                report.get("size") != os.path.getsize(os.path.join(work, path)):
            failures.append("%s: %s: size %r" % (where, path, report.get("size")))


def main():
    qpeek, schema_path, directories = sys.argv[1], sys.argv[2], sys.argv[3:]
    with open(schema_path) as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    failures = []
    files = 0
    with tempfile.TemporaryDirectory() as work:
        cut = os.path.join(work, "cut")
        os.mkdir(cut)
        for directory in directories:
            for root, _, names in sorted(os.walk(directory)):
                names = sorted(n for n in names if os.path.isfile(os.path.join(root, n)))
                if not names:
                    continue
                files += len(names)
                for options in OPTION_SETS:
                    check(qpeek, validator, os.path.join(root, "*"), options, work, failures)
                for name in names:
                    with open(os.path.join(root, name), "rb") as f:
                        data = f.read()
                    for size in sorted({0, 1, 7, len(data) // 2, max(len(data) - 1, 0)}):
                        with open(os.path.join(cut, "%s.%d" % (name, size)), "wb") as f:
                            f.write(data[:size])
        for options in OPTION_SETS:
            check(qpeek, validator, os.path.join(cut, "*"), options, work, failures)
    for failure in failures[:50]:
        print(failure)
    print("%d files, %d failures" % (files, len(failures)))
    return 1 if failures or files == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
