#!/usr/bin/env python3
"""Reads the RESULT lines of bench/measure.py (from standard input) and prints the issue's
targets with the figures of this run: ratios to cat and hexdump, throughput, peak memory,
and the growth from each corpus to its double.

    summarize.py --sizes FILE < results
FILE holds lines "scale corpus bytes" (corpus a, b, c; b also "b-defs" for its definitions;
the shapes pos, xml-tags, xml-deep, direct and fallback).
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

    def ratio(x, y):
        return x[0] / y[0], (x[3] / y[3] if y[3] > 0 else float("nan"))

    def rate(nbytes, x):
        return nbytes / 1e6 / x[0], (nbytes / 1e6 / x[3] if x[3] > 0 else float("nan"))

    scales = sorted({s for s, c in sizes if c == "a"}, key=lambda s: sizes[(s, "a")])
    modes = {"a summary": "qpeek -s", "a detailed": "qpeek -d", "b idoc detailed": "qpeek",
             "c definitions": "qpeek", "pos detailed": "qpeek", "xml-tags detailed": "qpeek",
             "xml-deep detailed": "qpeek", "direct idocs": "qpeek", "fallback idocs": "qpeek",
             "a json": "qpeek -j", "b idoc json": "qpeek -j"}

    def targets(who):
        """The targets for qpeek ("qpeek") or for the baseline build ("baseline"), in order:
        (name, limit, format, test, wall figure, cpu figure)."""
        rows = []

        def check(name, limit, fmt, test, wall, cpu=float("nan")):
            rows.append((name, limit, fmt, test, wall, cpu))

        def q(scale, what):
            return get(scale, what, modes[what] if who == "qpeek" else "baseline")

        for scale in scales:
            for what, limit in (("a summary", 1.5), ("a detailed", 3)):
                x, cat, hexd = q(scale, what), get(scale, what, "cat"), get(scale, what, "hexdump -C")
                if x and cat and hexd:
                    check("%s (%s) qpeek/cat" % (scale, what), "<= %g" % limit, "%.2f",
                          lambda v, l=limit: v <= l, *ratio(x, cat))
                    check("%s (%s) qpeek/hexdump -C" % (scale, what), "< 1", "%.3f",
                          lambda v: v < 1, *ratio(x, hexd))
                    check("%s (%s) peak MB" % (scale, what), "< 10", "%.1f",
                          lambda v: v < 10, x[2] / 1024)
            b, b_rep = q(scale, "b idoc detailed"), get(scale, "b idoc detailed", "cat report")
            if b and b_rep:
                check(scale + " (b) detailed MB/s of input", ">= 150", "%.1f",
                      lambda v: v >= 150, *rate(sizes[(scale, "b")], b))
                check(scale + " (b) qpeek/cat of the report", "<= 3", "%.2f", lambda v: v <= 3,
                      *ratio(b, b_rep))
                limit = (2 * sizes[(scale, "b")] + sizes[(scale, "b-defs")]) / 2**20
                check(scale + " (b) peak MB", "< %.1f" % limit, "%.1f",
                      lambda v, l=limit: v < l, b[2] / 1024)
            # The machine-readable report (-j) against the text report of the same files.
            x, text = q(scale, "a json"), get(scale, "a json", "text")
            if x and text:
                check(scale + " (a) qpeek -j / text report", "<= 1.5", "%.2f",
                      lambda v: v <= 1.5, *ratio(x, text))
                check(scale + " (a) qpeek -j peak MB", "< 10", "%.1f", lambda v: v < 10,
                      x[2] / 1024)
            x, text = q(scale, "b idoc json"), get(scale, "b idoc json", "text")
            if x and text:
                check(scale + " (b) qpeek -j / text report", "<= 1.5", "%.2f",
                      lambda v: v <= 1.5, *ratio(x, text))
                limit = (2 * sizes[(scale, "b")] + sizes[(scale, "b-defs")]) / 2**20
                check(scale + " (b) qpeek -j peak MB", "< %.1f" % limit, "%.1f", lambda v, l=limit: v < l, x[2] / 1024)
            c = q(scale, "c definitions")
            if c:
                check(scale + " (c) definitions MB/s", ">= 600", "%.1f", lambda v: v >= 600,
                      *rate(sizes[(scale, "c")], c))
            for shape, limit in (("pos", 100), ("xml-tags", 150), ("xml-deep", 150)):
                x = q(scale, shape + " detailed")
                if x and (scale, shape) in sizes:
                    check("%s %s detailed MB/s" % (scale, shape), ">= %d" % limit, "%.1f",
                          lambda v, l=limit: v >= l, *rate(sizes[(scale, shape)], x))
            direct, fallback = q(scale, "direct idocs"), q(scale, "fallback idocs")
            if direct and fallback:
                check(scale + " fallback/direct IDocs", "<= 1.5", "%.2f", lambda v: v <= 1.5,
                      *ratio(fallback, direct))
        if len(scales) == 2:
            small, big = scales
            for what in modes:
                x, y = q(small, what), q(big, what)
                if x and y:
                    check("doubling (%s): %s / %s" % (what, big, small), "<= 2", "%.2f",
                          lambda v: v <= 2, *ratio(y, x))
        return rows

    def figure(fmt, v):
        return fmt % v if v == v else "-"

    after = targets("qpeek")
    before = {r[0]: r for r in targets("baseline")}
    title = "target (min times" + ("; smoke sizes are too small to judge)" if "smoke" in scales
                                   else ")")
    print("%-46s %9s %9s %9s %9s %9s" % (title, "wall", "cpu", "limit", "base wall", "base cpu"))
    for name, limit, fmt, test, wall, cpu in after:
        b = before.get(name)
        print("%-46s %9s %9s %9s %9s %9s  %s" % (
            name, figure(fmt, wall), figure(fmt, cpu), limit,
            figure(fmt, b[4]) if b else "", figure(fmt, b[5]) if b else "",
            "ok" if test(wall) else "MISSED"))
    for scale in scales:
        for what in ("a json", "b idoc json"):
            x, text = get(scale, what, "qpeek -j"), get(scale, what, "text")
            if x and text:
                print("%-46s %9.2f %9s %9s" % ("%s (%s) peak memory qpeek -j / text" % (
                    scale, what[0]), x[2] / text[2], "", "(%.1f / %.1f MB)" % (
                    x[2] / 1024, text[2] / 1024)))
        for what, cmd in modes.items():
            x, base = get(scale, what, cmd), get(scale, what, "baseline")
            if x and base:
                w, c = ratio(base, x)
                print("%-46s %9.2f %9.2f" % ("%s (%s) speed-up baseline/qpeek" % (scale, what),
                                             w, c))


if __name__ == "__main__":
    main()
