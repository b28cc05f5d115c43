#!/usr/bin/env python3
"""Times ゼント's start-up from outside the process, against an empty window.

Launches the start-up probe (the program's own start-up, which prints one line
when the main window has been painted and ends) in a folder holding the given
store, and the empty-window probe (a Qt Widgets window with one label that
does the same), alternately, N times each, so that both see the same load of
the machine. Reports for each the median and the 90th percentile of the wall
time from launch to that line, the median of the processor time the process
had used by then (the steadier figure on a machine others use too) and the
largest peak resident memory, and the ratios of the medians. The program's
probe ends as the program does when closed, so each launch finds the store as
a user's next start finds it.

    measure-startup.py PROBE STORE [--empty EMPTY_PROBE] [--runs N] [--ini FILE]
                       [--cpu N]

STORE "-" starts the program with no store beside it: the main window and its
controls alone, with nothing read, which no store can start faster than.

With --ini, FILE is put beside the store as its settings file "zento.ini".

With --cpu, every launch runs on that one processor. On a machine whose
processors run at different speeds (virtual machines often do), launches
that land on either one at random make both medians, and so the ratio,
depend on the draw; pinned, both probes see the same processor.

EMPTY_PROBE defaults to zento-emptyprobe beside PROBE. Run it under xvfb-run
for a real X server; with QT_QPA_PLATFORM=offscreen for the offscreen one.
"""
import argparse
import os
import select
import shutil
import statistics
import subprocess
import tempfile
import time


def launch_once(probe, folder):
    start = time.perf_counter()
    process = subprocess.Popen([probe], cwd=folder, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    ready, _, _ = select.select([process.stdout], [], [], 60)
    line = process.stdout.readline() if ready else ""
    elapsed = time.perf_counter() - start
    if not ready:
        process.kill()
    process.wait()
    if not line.startswith("painted"):
        return None
    # "painted peak_rss_kib=N cpu_ms=T": the peak memory and the processor
    # time of the start up to that moment.
    fields = dict(part.split("=") for part in line.split()[1:])
    return elapsed * 1000, int(fields["peak_rss_kib"]) / 1024, float(fields["cpu_ms"])


def launch(probe, folder):
    # A busy X server now and then drops a client before its first paint:
    # such a launch is tried again, up to three times.
    for _ in range(3):
        result = launch_once(probe, folder)
        if result:
            return result
    raise SystemExit(f"{os.path.basename(probe)} did not report a painted window")


def percentile(values, q):
    ordered = sorted(values)
    at = q * (len(ordered) - 1)
    low = int(at)
    high = min(low + 1, len(ordered) - 1)
    return ordered[low] + (ordered[high] - ordered[low]) * (at - low)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("probe")
    parser.add_argument("store")
    parser.add_argument("--empty")
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--ini")
    parser.add_argument("--cpu", type=int)
    args = parser.parse_args()
    if args.cpu is not None:
        os.sched_setaffinity(0, {args.cpu})  # the launches inherit it
    probe = os.path.abspath(args.probe)
    empty = os.path.abspath(args.empty or os.path.join(os.path.dirname(probe),
                                                       "zento-emptyprobe"))
    results = {probe: ([], [], []), empty: ([], [], [])}
    with tempfile.TemporaryDirectory() as folder:
        if args.store != "-":
            shutil.copy(args.store, os.path.join(folder, "zento.dll"))
        if args.ini:
            shutil.copy(args.ini, os.path.join(folder, "zento.ini"))
        for run in range(args.runs + 1):
            # Alternate which goes first, so neither always follows the other.
            order = (probe, empty) if run % 2 else (empty, probe)
            for which in order:
                elapsed, peak, cpu = launch(which, folder)
                if run == 0:
                    continue  # the first round warms the file cache
                results[which][0].append(elapsed)
                results[which][1].append(peak)
                results[which][2].append(cpu)
    for name, which in (("empty window", empty), ("ゼント", probe)):
        times, peaks, cpus = results[which]
        print(f"{name}: start to painted median {statistics.median(times):.1f} ms, "
              f"p90 {percentile(times, 0.9):.1f} ms, min {min(times):.1f} ms "
              f"over {len(times)} runs; processor time median "
              f"{statistics.median(cpus):.1f} ms; peak RSS {max(peaks):.1f} MiB")
    ratio = statistics.median(results[probe][0]) / statistics.median(results[empty][0])
    cpu_ratio = statistics.median(results[probe][2]) / statistics.median(results[empty][2])
    print(f"ratio to the empty window (medians): {ratio:.2f}; "
          f"of processor time: {cpu_ratio:.2f}")


if __name__ == "__main__":
    main()
