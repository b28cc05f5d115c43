#!/usr/bin/env python3
"""Times ゼント's start-up from outside the process.

Launches the start-up probe (the program's own start-up, which prints one line
when the main window has been painted and ends) in a folder holding the given
store, N times, and reports the median wall time from launch to that line and
the largest peak resident memory.

    measure-startup.py PROBE STORE [--runs N] [--ini FILE]

With --ini, FILE is put beside the store as its settings file "zento.ini".

Run it under xvfb-run for a real X server; with QT_QPA_PLATFORM=offscreen for
the offscreen one.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("probe")
    parser.add_argument("store")
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--ini")
    args = parser.parse_args()
    probe = os.path.abspath(args.probe)
    times, peaks = [], []
    with tempfile.TemporaryDirectory() as folder:
        shutil.copy(args.store, os.path.join(folder, "zento.dll"))
        if args.ini:
            shutil.copy(args.ini, os.path.join(folder, "zento.ini"))
        for run in range(args.runs + 1):
            start = time.perf_counter()
            process = subprocess.Popen([probe], cwd=folder, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, text=True)
            line = process.stdout.readline()
            elapsed = time.perf_counter() - start
            process.wait()
            if not line.startswith("painted"):
                raise SystemExit("the probe did not report a painted window")
            if run == 0:
                continue  # the first run warms the file cache
            times.append(elapsed * 1000)
            peaks.append(int(line.split("peak_rss_kib=")[1]) / 1024)
    print(f"start to painted: median {statistics.median(times):.1f} ms, "
          f"min {min(times):.1f} ms, max {max(times):.1f} ms over {len(times)} runs; "
          f"peak RSS {max(peaks):.1f} MiB")


if __name__ == "__main__":
    main()
