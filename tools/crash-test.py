#!/usr/bin/env python3
"""Kills the store in the middle of edits and checks that nothing it
acknowledged is lost and that the file is whole.

    tools/crash-test.py [--runs 200] [--edits 300] BUILD_DIR

Each run starts zento-editprobe on one store (made once with the demonstration
data), stops it with SIGKILL at a random moment, then checks the file with
PRAGMA integrity_check and looks for every dish (and its line) the probe said
was committed. Prints the totals; exits 1 when anything was lost or damaged.
"""
import argparse
import os
import random
import signal
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=200)
    parser.add_argument("--edits", type=int, default=300)
    parser.add_argument("--seed", type=int, default=11)
    args = parser.parse_args()
    random.seed(args.seed)
    makedb = os.path.join(args.build, "tools", "zento-makedb")
    probe = os.path.join(args.build, "tools", "zento-editprobe")

    folder = tempfile.mkdtemp(prefix="zento-crash-")
    store = os.path.join(folder, "zento.dll")
    subprocess.run([makedb, "--demo", store], check=True, stdout=subprocess.DEVNULL)

    # How long a whole run takes, so that kills fall anywhere in it.
    start = time.monotonic()
    subprocess.run([probe, "--edits", str(args.edits), "--tag", "warmup", store], check=True,
                   stdout=subprocess.DEVNULL)
    span = time.monotonic() - start

    lost = damaged = acknowledged = killed_midway = 0
    for run in range(args.runs):
        tag = "run%d" % run
        proc = subprocess.Popen([probe, "--edits", str(args.edits), "--tag", tag, store],
                                stdout=subprocess.PIPE, text=True)
        acks = []
        reader = threading.Thread(target=lambda: acks.extend(
            line.split()[1] for line in proc.stdout if line.startswith("ack ")))
        reader.start()
        time.sleep(random.uniform(0.0, span * 1.1))
        if proc.poll() is None:
            proc.send_signal(signal.SIGKILL)
            killed_midway += 1
        proc.wait()
        reader.join()

        db = sqlite3.connect(store)
        if db.execute("PRAGMA integrity_check").fetchone()[0] != "ok":
            damaged += 1
        present = {name for (name,) in db.execute(
            "SELECT アイテム名 FROM mnu WHERE アイテム名 LIKE ?", (tag + "-%",))}
        # The last acknowledged dish has its line too (acknowledged after both).
        lined = {name for (name,) in db.execute(
            "SELECT mnu.アイテム名 FROM mnu, kou WHERE kou.アイテムCD = mnu.ID "
            "AND mnu.アイテム名 LIKE ?", (tag + "-%",))}
        db.close()
        acknowledged += len(acks)
        lost += sum(1 for name in acks if name not in present or name not in lined)

    print("%d runs (%d killed during edits), %d acknowledged edits, %d lost, "
          "%d integrity failures" % (args.runs, killed_midway, acknowledged, lost, damaged))
    return 1 if lost or damaged else 0


if __name__ == "__main__":
    sys.exit(main())
