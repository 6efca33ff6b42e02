#!/usr/bin/env python3
"""Writes every generated message file: the test data under tests/data/ and the shipped
samples under samples/, each generator in turn (the builders they share are in
message_files.py). Deterministic: after a change to a builder, run it and check with
`git status` that only the files meant to change did.

    python3 tests/data/generate.py
"""
import os
import runpy
import sys

DATA = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(DATA, "..", "..", "samples")

GENERATORS = [
    (DATA, "make_headers.py"),         # descriptors, queue headers, files and patterns
    (DATA, "make_xml.py"),             # XML bodies and MQRFH headers
    (DATA, "make_idoc.py"),            # IDoc reports and definition files
    (DATA, "make_idoc_summary.py"),    # IDoc summaries
    (DATA, "make_ecedoc.py"),          # ECEDOC documents
    (DATA, "make_payloads.py"),        # point of sale, IMS, CICS, dead-letter and transmission
    (DATA, "make_unload.py"),          # unload and save files for qpeek-import
    (SAMPLES, "make_header_samples.py"),
    (SAMPLES, "make_xml_samples.py"),
    (SAMPLES, "make_idoc_samples.py"),
    (SAMPLES, "make_ecedoc_samples.py"),
    (SAMPLES, "make_payload_samples.py"),
]


def main():
    sys.dont_write_bytecode = True
    for folder, name in GENERATORS:
        path = os.path.normpath(os.path.join(folder, name))
        print("==", os.path.relpath(path))
        saved_argv, saved_path = sys.argv, list(sys.path)
        sys.argv = [path]
        try:
            runpy.run_path(path, run_name="__main__")
        finally:
            sys.argv, sys.path = saved_argv, saved_path


if __name__ == "__main__":
    main()
