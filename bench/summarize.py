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
        fields = line.rstrip("\n").split("\t")
        label, cmd, tmin, tmed, rss = fields[1:6]
        cpu = float(fields[6]) if len(fields) > 6 else float("nan")
        res[(label, cmd)] = (float(tmin), float(tmed), int(rss), cpu)

    def get(scale, what, cmd):
        return res.get(("%s/%s" % (scale, what), cmd))

    rows = []

    def check(name, limit, fmt, test, wall, cpu=None):
        """One target: judged on the wall figure; the CPU figure beside it."""
        cpu_text = fmt % cpu if cpu is not None and cpu == cpu else "-"
        rows.append("%-50s %10s %10s %10s  %s" % (name, fmt % wall, cpu_text, limit,
                                                  "ok" if test(wall) else "MISSED"))

    def ratio(x, y):
        return x[0] / y[0], (x[3] / y[3] if y[3] > 0 else float("nan"))

    def rate(nbytes, x):
        return nbytes / 1e6 / x[0], (nbytes / 1e6 / x[3] if x[3] > 0 else float("nan"))

    scales = sorted({s for s, _ in sizes}, key=lambda s: sizes[(s, "a")])
    for scale in scales:
        for what, mode, limit in (("a summary", "qpeek -s", 1.5), ("a detailed", "qpeek -d", 3)):
            q, cat, hexd = get(scale, what, mode), get(scale, what, "cat"), get(scale, what, "hexdump -C")
            if q and cat and hexd:
                check("%s (%s) qpeek/cat" % (scale, what), "<= %g" % limit, "%.2f",
                      lambda v, l=limit: v <= l, *ratio(q, cat))
                check("%s (%s) qpeek/hexdump -C" % (scale, what), "< 1", "%.3f",
                      lambda v: v < 1, *ratio(q, hexd))
                check("%s (%s) peak MB" % (scale, what), "< 10", "%.1f",
                      lambda v: v < 10, q[2] / 1024)
        b, b_rep = get(scale, "b idoc detailed", "qpeek"), get(scale, "b idoc detailed", "cat report")
        if b and b_rep:
            check(scale + " (b) detailed MB/s of input", ">= 150", "%.1f", lambda v: v >= 150,
                  *rate(sizes[(scale, "b")], b))
            check(scale + " (b) qpeek/cat of the report", "<= 3", "%.2f", lambda v: v <= 3,
                  *ratio(b, b_rep))
            limit = (2 * sizes[(scale, "b")] + sizes[(scale, "b-defs")]) / 2**20
            check(scale + " (b) peak MB", "< %.1f" % limit, "%.1f", lambda v: v < limit,
                  b[2] / 1024)
        c = get(scale, "c definitions", "qpeek")
        if c:
            check(scale + " (c) definitions MB/s", ">= 200", "%.1f", lambda v: v >= 200,
                  *rate(sizes[(scale, "c")], c))

    for scale in scales:
        for what, cmd in (("a summary", "qpeek -s"), ("a detailed", "qpeek -d"),
                          ("b idoc detailed", "qpeek"), ("c definitions", "qpeek")):
            x, base = get(scale, what, cmd), get(scale, what, "baseline")
            if x and base:
                check("%s (%s) baseline/qpeek (speed-up)" % (scale, what), "-", "%.2f",
                      lambda v: True, *ratio(base, x))

    if len(scales) == 2:
        small, big = scales
        for what, cmd in (("a summary", "qpeek -s"), ("a detailed", "qpeek -d"),
                          ("b idoc detailed", "qpeek"), ("c definitions", "qpeek")):
            x, y = get(small, what, cmd), get(big, what, cmd)
            if x and y:
                check("doubling (%s): %s / %s" % (what, big, small), "<= 2", "%.2f",
                      lambda v: v <= 2, *ratio(y, x))
    title = "target (min times" + ("; smoke sizes are too small to judge)" if "smoke" in scales
                                   else ")")
    print("%-50s %10s %10s %10s" % (title, "wall", "cpu", "limit"))
    print("\n".join(rows))


if __name__ == "__main__":
    main()
