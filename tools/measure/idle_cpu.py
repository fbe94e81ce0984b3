#!/usr/bin/python3
"""Idle CPU of the launcher under Wine: utime + stime of its process over a window, from /proc.

Run with the project's Wine environment (./kelvo builds it); prints one line per run and a ratio against a
baseline process (the test driver's stand-in agent, which blocks in GetMessage) measured in the same run.
usage: idle_cpu.py [SECONDS]
"""
import os
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from kelvo_e2e import BIN, DRIVE, SUITE, KelvoTestCase, ids  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def find_pid(fragment):
    """The Linux pid of the Wine process of this prefix whose command line holds `fragment`."""
    prefix = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().replace(b"\x00", b" ").decode("utf-8", "replace")
            if prefix not in (entry / "environ").read_bytes().split(b"\x00"):
                continue
        except OSError:
            continue
        if fragment in cmdline and "wine" not in cmdline.split(" ")[0].rsplit("/", 1)[-1]:
            return int(entry.name)
    return None


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


class Probe(KelvoTestCase):
    def runTest(self):
        seconds = float(os.environ.get("KELVO_IDLE_SECONDS", "20"))
        self.start_standin_agent()
        self.start_launcher()
        time.sleep(2)  # let start-up work finish before the window opens
        launcher = find_pid(ids.kLauncherProgram)
        agent = find_pid("kdrive.exe")
        assert launcher and agent, "processes not found"
        start = (cpu_seconds(launcher), cpu_seconds(agent), time.monotonic())
        time.sleep(seconds)
        end = (cpu_seconds(launcher), cpu_seconds(agent), time.monotonic())
        wall = end[2] - start[2]
        tolv = (end[0] - start[0]) / wall * 100
        peer = (end[1] - start[1]) / wall * 100
        print(f"idle over {wall:.1f} s: Tolv.exe {tolv:.2f} % of one core; "
              f"blocked stand-in agent {peer:.2f} % (baseline)")


if __name__ == "__main__":
    result = __import__("unittest").TextTestRunner(verbosity=0).run(Probe())
    sys.exit(0 if result.wasSuccessful() else 1)
