#!/usr/bin/env python3
"""Reads the RESULT lines of bench/measure.py (from standard input) and prints the issue's
targets with the figures of this run: ratios to cat and hexdump, throughput, peak memory,
and the growth from each corpus to its double.

    summarize.py --sizes FILE < results
FILE holds lines "scale corpus bytes" (corpus a, b, c; b also "b-defs" for its definitions).
"""
import argparse
import sys


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sizes", required=True)
    args = ap.parse_args()
    sizes = {}
    with open(args.sizes) as f:
        for line in f:
            scale, corpus, n = line.split()
            sizes[(scale, corpus)] = int(n)
    res = {}
    for line in sys.stdin:
        if not line.startswith("RESULT\t"):
            continue
        _, label, cmd, tmin, tmed, rss = line.rstrip("\n").split("\t")
        res[(label, cmd)] = (float(tmin), float(tmed), int(rss))

    def get(scale, what, cmd):
        return res.get(("%s/%s" % (scale, what), cmd))

    rows = []

    def check(name, value, limit, fmt, ok):
        rows.append("%-58s %12s %12s  %s" % (name, fmt % value, limit, "ok" if ok else "MISSED"))

    scales = sorted({s for s, _ in sizes}, key=lambda s: sizes[(s, "a")])
    for scale in scales:
        a_s, a_d = get(scale, "a summary", "qpeek -s"), get(scale, "a detailed", "qpeek -d")
        a_cat, a_hex = get(scale, "a summary", "cat"), get(scale, "a summary", "hexdump -C")
        if a_s and a_cat and a_hex:
            check(scale + " (a) summary qpeek/cat", a_s[0] / a_cat[0], "<= 1.5", "%.2f",
                  a_s[0] <= 1.5 * a_cat[0])
            check(scale + " (a) summary qpeek/hexdump -C", a_s[0] / a_hex[0], "< 1", "%.3f",
                  a_s[0] < a_hex[0])
        a_cat2, a_hex2 = get(scale, "a detailed", "cat"), get(scale, "a detailed", "hexdump -C")
        if a_d and a_cat2 and a_hex2:
            check(scale + " (a) detailed qpeek/cat", a_d[0] / a_cat2[0], "<= 3", "%.2f",
                  a_d[0] <= 3 * a_cat2[0])
            check(scale + " (a) detailed qpeek/hexdump -C", a_d[0] / a_hex2[0], "< 1", "%.3f",
                  a_d[0] < a_hex2[0])
        for r, label in ((a_s, "summary"), (a_d, "detailed")):
            if r:
                check(scale + " (a) %s peak MB" % label, r[2] / 1024, "< 10", "%.1f",
                      r[2] < 10 * 1024)
        b, b_rep = get(scale, "b idoc detailed", "qpeek"), get(scale, "b idoc detailed", "cat report")
        if b and b_rep:
            mbs = sizes[(scale, "b")] / 1e6 / b[0]
            check(scale + " (b) detailed MB/s of input", mbs, ">= 150", "%.1f", mbs >= 150)
            check(scale + " (b) qpeek/cat of the report", b[0] / b_rep[0], "<= 3", "%.2f",
                  b[0] <= 3 * b_rep[0])
            limit = 2 * sizes[(scale, "b")] + sizes[(scale, "b-defs")]
            check(scale + " (b) peak MB", b[2] / 1024, "< %.1f" % (limit / 2**20), "%.1f",
                  b[2] * 1024 < limit)
        c = get(scale, "c definitions", "qpeek")
        if c:
            mbs = sizes[(scale, "c")] / 1e6 / c[0]
            check(scale + " (c) definitions MB/s", mbs, ">= 200", "%.1f", mbs >= 200)

    if len(scales) == 2:
        small, big = scales
        for what, cmd in (("a summary", "qpeek -s"), ("a detailed", "qpeek -d"),
                          ("b idoc detailed", "qpeek"), ("c definitions", "qpeek")):
            x, y = get(small, what, cmd), get(big, what, cmd)
            if x and y:
                check("doubling %s: time %s / %s" % (what, big, small), y[0] / x[0], "<= 2",
                      "%.2f", y[0] <= 2 * x[0])
    print("%-58s %12s %12s" % ("target (min times; smoke sizes are too small to judge)"
                                if "smoke" in scales else "target (min times)", "figure", "limit"))
    print("\n".join(rows))


if __name__ == "__main__":
    main()
