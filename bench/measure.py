#!/usr/bin/env python3
"""Times shell commands over repeated runs and prints min/median wall time, peak resident
memory and the ratios between them.

    measure.py --runs N --label NAME --bytes B --cmd 'label=shell command' ...

Every command runs with standard output to /dev/null; the first --cmd is the reference
(qpeek), the others are compared with it. Prints one table row per command and writes a
machine-readable line "RESULT label min median maxrss_kb" for each.
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time


GNU_TIME = "/usr/bin/time"


def run_once(command):
    """Wall seconds, peak resident KB and exit code of one run. A child forked from this
    interpreter would inherit its resident size in the peak figure, so the peak comes from
    GNU time when it is there (its floor is then the shell's few MB)."""
    argv = ["bash", "-c", "exec " + command]
    rss_file = None
    if os.path.exists(GNU_TIME):
        rss_file = tempfile.NamedTemporaryFile(delete=False)
        rss_file.close()
        argv = [GNU_TIME, "-f", "%M", "-o", rss_file.name] + argv
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    rss = usage.ru_maxrss
    if rss_file:
        with open(rss_file.name) as f:
            lines = f.read().split()
        os.unlink(rss_file.name)
        rss = int(lines[-1]) if lines and lines[-1].isdigit() else rss
    return elapsed, rss, os.waitstatus_to_exitcode(status)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--label", required=True)
    ap.add_argument("--bytes", type=int, required=True, help="input bytes, for MB/s")
    ap.add_argument("--cmd", action="append", required=True)
    args = ap.parse_args()
    rows = []
    for spec in args.cmd:
        label, command = spec.split("=", 1)
        run_once(command)  # warm the page cache
        times, rss = [], 0
        for _ in range(args.runs):
            t, r, rc = run_once(command)
            if rc not in (0,):
                raise SystemExit("command failed (%d): %s" % (rc, command))
            times.append(t)
            rss = max(rss, r)
        rows.append((label, min(times), statistics.median(times), rss))
    ref = rows[0]
    mb = args.bytes / 1e6
    print("%-34s %10s %10s %9s %10s %10s" % (args.label, "min s", "median s", "MB/s", "peak MB",
                                              "qpeek/this"))
    for label, tmin, tmed, rss in rows:
        print("%-34s %10.4f %10.4f %9.1f %10.1f %10.2f" % (
            label, tmin, tmed, mb / tmin if tmin > 0 else 0, rss / 1024, ref[1] / tmin))
        print("RESULT %s %s %.6f %.6f %d" % (args.label, label, tmin, tmed, rss))


if __name__ == "__main__":
    main()
