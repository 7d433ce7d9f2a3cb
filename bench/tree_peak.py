#!/usr/bin/python3
"""tree_peak.py OUT COMMAND: runs COMMAND with bash -c and writes to OUT its wall time in
seconds, the largest process's peak memory, the sum of the peaks of every process it
started (quarbel-batch and its worker processes, or two peer processes at a time), and the
largest sum of their proportional set sizes (PSS: shared library pages counted once between
the processes that share them) seen at one time (read every 100 ms), in KB.

The sum is taken from each process's VmHWM, read every 20 ms from /proc while the process
lives (the children of each known process are found in /proc/PID/task/*/children), so it
may miss what a process adds in its last 20 ms. The peaks of processes that lived at
different times are added too, so the sum is an upper bound of what was in use at once."""

import os
import resource
import subprocess
import sys
import time


def children(pid):
    found = []
    try:
        for task in os.listdir("/proc/%d/task" % pid):
            with open("/proc/%d/task/%s/children" % (pid, task)) as f:
                found += [int(p) for p in f.read().split()]
    except OSError:
        pass
    return found


def hwm(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def pss(pid):
    try:
        with open("/proc/%d/smaps_rollup" % pid) as f:
            for line in f:
                if line.startswith("Pss:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def main():
    out, command = sys.argv[1], sys.argv[2]
    start = time.monotonic()
    shell = subprocess.Popen(["bash", "-c", command])
    peaks = {}
    most_pss = 0
    sample = 0
    pss_every = max(1, int(os.environ.get("PSS_EVERY", "5")))
    while shell.poll() is None:
        todo, seen = [shell.pid], set()
        now_pss = 0
        # PSS walks every page of a process and holds its memory map's lock meanwhile: read
        # every 20 ms for quarbel-batch and its two workers, the sampling itself took 21 % of
        # a core (ps, jpg75), time the measured tool lost on a 2-core machine; every 100 ms it
        # takes 9 %. VmHWM, which costs next to nothing, is still read every 20 ms.
        # PSS_EVERY=1 reads PSS at every 20 ms sample: for runs that measure memory only, as
        # a peak shorter than 100 ms is otherwise missed.
        with_pss = sample % pss_every == 0
        sample += 1
        while todo:
            pid = todo.pop()
            if pid in seen:
                continue
            seen.add(pid)
            value = hwm(pid)
            if value is not None:
                peaks[pid] = max(peaks.get(pid, 0), value)
                if with_pss:
                    now_pss += pss(pid)
            todo += children(pid)
        most_pss = max(most_pss, now_pss)
        time.sleep(0.02)
    wall = time.monotonic() - start
    # The largest single peak as the kernel counts it (what /usr/bin/time reports).
    largest = max([resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss] + list(peaks.values()))
    with open(out, "w") as f:
        f.write("%.2f %d %d %d\n" % (wall, largest, max(sum(peaks.values()), largest), most_pss))
    sys.exit(shell.returncode)


if __name__ == "__main__":
    main()
