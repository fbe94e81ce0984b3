#!/usr/bin/python3
"""Slide step interval of the launcher under Wine, from the loop's 1 ms sleeps as strace sees them.

Each loop turn sleeps 1 ms (a pselect6 with a ~1 ms timeout under Wine 8); a turn that also steps the slide
and paints takes longer. The script swipes with real mouse input in two moves (so that nearly every busy turn
is a slide step), records the sleeps of the launcher's thread for two seconds, and reports the intervals
between sleeps that include a paint (over 2 ms), with the idle-turn interval (1 to 2 ms) of the same run as
the baseline.
usage: slide_interval.py   (run under the project's Wine environment, e.g. from ./kelvo's shell)
"""
import re
import statistics
import subprocess
import sys
import time
from datetime import datetime
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))

from idle_cpu import find_pid  # noqa: E402
from kelvo_e2e import KelvoTestCase, ids  # noqa: E402
from sample_env import env_xml  # noqa: E402

SLEEP = re.compile(r"^\d+\s+(\d+:\d+:\d+\.\d+) pselect6\(0, NULL, NULL, NULL, \{tv_sec=0, tv_nsec=(\d+)\}")


def stamps(path):
    result = []
    for line in Path(path).read_text(errors="replace").splitlines():
        match = SLEEP.match(line)
        if match and 900000 <= int(match.group(2)) <= 1000000:
            t = datetime.strptime(match.group(1), "%H:%M:%S.%f")
            result.append(t.hour * 3600 + t.minute * 60 + t.second + t.microsecond / 1e6)
    return result


class Probe(KelvoTestCase):
    def runTest(self):
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml("T:"))
        self.start_standin_agent()
        self.start_launcher()
        time.sleep(1)
        pid = find_pid(ids.kLauncherProgram)
        trace = self.logs / "strace.txt"
        tracer = subprocess.Popen(["strace", "-f", "-tt", "-e", "trace=pselect6", "-p", str(pid), "-o", str(trace)],
                                  stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        self.kdrive("drag", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--from", "280,260", "--to", "40,260",
                    "--steps", "2")
        time.sleep(2)
        tracer.terminate()
        tracer.wait()
        times = stamps(trace)
        gaps = [(b - a) * 1000 for a, b in zip(times, times[1:])]
        painted = [g for g in gaps if 2 < g < 500]
        idle = [g for g in gaps if g <= 2]
        print(f"loop turns seen: {len(times)}; idle turns {len(idle)}"
              + (f" (median {statistics.median(idle):.2f} ms)" if idle else "")
              + f"; painting turns {len(painted)}"
              + (f" (median {statistics.median(painted):.2f} ms, mean {statistics.mean(painted):.2f} ms)"
                 if painted else ""))
        print("intervals (ms): " + " ".join(f"{g:.1f}" for g in painted))


if __name__ == "__main__":
    result = __import__("unittest").TextTestRunner(verbosity=0).run(Probe())
    sys.exit(0 if result.wasSuccessful() else 1)
