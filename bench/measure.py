#!/usr/bin/env python3
"""Times shell commands over repeated runs and prints min/median wall time, peak resident
memory and the ratios between them.

    measure.py --runs N --label NAME --bytes B [--cwd DIR] --cmd 'label=shell command' ...

Every command runs in DIR (short relative names keep the argument list of a directory of
tens of thousands of files within the system's limit) with standard output to /dev/null;
the first --cmd is the reference (qpeek), the others are compared with it: the last column
is qpeek's time over the command's (qpeek/cat, qpeek/hexdump). Prints one table row per
command and a machine-readable, tab-separated line "RESULT label command min median maxrss_kb cpu_min"
for each. "cpu s" is the least user + system time of the runs, and the last column the
ratio of those (on a shared machine the wall time also counts waits for a processor).
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time


GNU_TIME = "/usr/bin/time"


def run_once(command, cwd):
    """Wall seconds, CPU seconds (user + system), peak resident KB and exit code of one run.
    On a shared machine the CPU time is the steadier figure: the wall time also counts the
    waits for a processor. A child forked from this
    interpreter would inherit its resident size in the peak figure, so the peak comes from
    GNU time when it is there (its floor is then the shell's few MB)."""
    argv = ["bash", "-c", "exec " + command]
    rss_file = None
    if os.path.exists(GNU_TIME):
        rss_file = tempfile.NamedTemporaryFile(delete=False)
        rss_file.close()
        argv = [GNU_TIME, "-f", "%M", "-o", rss_file.name] + argv
    start = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    rss = usage.ru_maxrss
    if rss_file:
        with open(rss_file.name) as f:
            lines = f.read().split()
        os.unlink(rss_file.name)
        rss = int(lines[-1]) if lines and lines[-1].isdigit() else rss
    cpu = usage.ru_utime + usage.ru_stime
    return elapsed, cpu, rss, os.waitstatus_to_exitcode(status)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--label", required=True)
    ap.add_argument("--bytes", type=int, required=True, help="input bytes, for MB/s")
    ap.add_argument("--cwd", default=None, help="directory the commands run in")
    ap.add_argument("--cmd", action="append", required=True)
    args = ap.parse_args()
    rows = []
    for entry in args.cmd:
        label, command = entry.split("=", 1)
        run_once(command, args.cwd)  # warm the page cache
        times, cpus, rss = [], [], 0
        for _ in range(args.runs):
            t, c, r, rc = run_once(command, args.cwd)
            if rc not in (0,):
                raise SystemExit("command failed (%d): %s" % (rc, command))
            times.append(t)
            cpus.append(c)
            rss = max(rss, r)
        rows.append((label, min(times), statistics.median(times), min(cpus), rss))
    ref = rows[0]
    mb = args.bytes / 1e6
    print("%-30s %9s %9s %9s %8s %8s %10s %9s" % (args.label, "min s", "median s", "cpu s",
                                                 "MB/s", "peak MB", "qpeek/this", "(cpu)"))
    for label, tmin, tmed, cmin, rss in rows:
        print("%-30s %9.4f %9.4f %9.4f %8.1f %8.1f %10.2f %9.2f" % (
            label, tmin, tmed, cmin, mb / tmin if tmin > 0 else 0, rss / 1024, ref[1] / tmin,
            ref[3] / cmin if cmin > 0 else 0))
        print("RESULT\t%s\t%s\t%.6f\t%.6f\t%d\t%.6f" % (args.label, label, tmin, tmed, rss, cmin))


if __name__ == "__main__":
    main()
