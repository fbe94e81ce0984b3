#!/usr/bin/python3
"""The suite's figures in one table: each a median of several runs, beside a baseline measured in the same run.

Run through ./kelvo bench (which builds the trees first). Writes out/bench.md and prints it.
usage: bench.py [--runs N] [--only NAME[,NAME...]]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import traceback
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"
NATIVE = BUILD / "bench-native" / "tests" / "bench"
WIN_BIN = BUILD / "win" / "bin"
OUT = ROOT / "out"
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))


class Row:
    """One figure: its runs and its baseline's runs (seconds, or any unit where smaller is better). A row may carry
    further baselines of the same runs (add_baseline); they are shown beside the first, which alone decides the
    verdict."""

    def __init__(self, figure, baseline, goal, unit="ms", scale=1000.0, higher_is_better=False, limit=None,
                 note=""):
        self.figure, self.baseline, self.goal, self.unit, self.scale = figure, baseline, goal, unit, scale
        self.higher_is_better, self.limit, self.note = higher_is_better, limit, note
        self.values, self.base_values = [], []
        self.more_baselines = []  # [(name, values)]
        self.error = None
        self.absolute = None  # for goals on the figure itself (idle CPU): a function of the median
        self.details = []  # markdown lines printed after the notes (a breakdown of the figure)

    def add_baseline(self, name):
        """A further baseline measured in the same runs: returns the list its runs' values go to."""
        values = []
        self.more_baselines.append((name, values))
        return values

    def ratio(self, base_values=None):
        base_values = self.base_values if base_values is None else base_values
        # Figure and baseline take turns, so each run's own ratio carries less of the shared machine's noise.
        if len(self.values) == len(base_values) and all(base_values):
            return statistics.median(v / b for v, b in zip(self.values, base_values))
        figure, base = statistics.median(self.values), statistics.median(base_values)
        return figure / base if base else float("nan")

    def verdict(self):
        if self.error or not self.values:
            return "not measured"
        if self.absolute is not None:
            return "met" if self.absolute(statistics.median(self.values)) else "missed"
        if self.limit is None:
            return "reported"
        ratio = self.ratio()
        return "met" if (ratio >= self.limit if self.higher_is_better else ratio <= self.limit) else "missed"

    def cells(self):
        def show(values):
            if not values:
                return "–", "–"
            return (f"{statistics.median(values) * self.scale:.4g} {self.unit}",
                    f"{min(values) * self.scale:.4g}–{max(values) * self.scale:.4g}")

        def against(name, values):
            base, base_spread = show(values)
            has_ratio = self.values and values and statistics.median(values) > 0
            return f"{name}: {base} ({base_spread})", f"{self.ratio(values):.3g}×" if has_ratio else "–"

        median, spread = show(self.values)
        baselines = [against(self.baseline, self.base_values)] + [against(*more) for more in self.more_baselines]
        if self.more_baselines:  # numbered, so that each ratio names its baseline
            baselines = [(f"({n}) {base}", f"({n}) {ratio}") for n, (base, ratio) in enumerate(baselines, 1)]
        verdict = self.verdict() if not self.error else f"not measured: {self.error}"
        return [self.figure, median, spread, "; ".join(base for base, _ in baselines),
                "; ".join(ratio for _, ratio in baselines), self.goal, verdict]


def gbench(program, filters, runs, *args):
    """Runs a Google benchmark program `runs` times (each run measures every filter once, so figure and baseline
    share each run) and returns {name: [cpu seconds per iteration, ...]}, or bytes per second when counted."""
    times = {}
    report = Path(tempfile.mkdtemp(prefix="kelvo-gbench-")) / "report.json"
    for _ in range(runs):
        subprocess.run([str(program), *args, f"--benchmark_out={report}", "--benchmark_out_format=json",
                        "--benchmark_min_time=0.2", "--benchmark_filter=^(" + "|".join(filters) + ")$"],
                       check=True, capture_output=True, text=True)
        for bench in json.loads(report.read_text())["benchmarks"]:
            seconds = bench["cpu_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[bench["time_unit"]]
            times.setdefault(bench["name"], []).append(seconds)
    shutil.rmtree(report.parent, ignore_errors=True)
    return times


def rows_frame(runs):
    """A slide step (the frames of a page sliding on after a swipe) and a whole frame (after any message)."""
    slide = Row("frame composition 330×556, 16-bit, a slide step as the launcher draws it", "memcpy of one frame",
                "≤ 2×", unit="µs", scale=1e6, limit=2.0)
    whole = Row("frame composition 330×556, 16-bit, a whole frame as the launcher draws it", "memcpy of one frame",
                "≤ 2×", unit="µs", scale=1e6, limit=2.0)
    times = gbench(NATIVE / "frame_bench", ["BM_ComposeSlideStep", "BM_ComposeFrameDirect", "BM_FrameMemcpyBaseline"],
                   runs)
    slide.values, whole.values = times["BM_ComposeSlideStep"], times["BM_ComposeFrameDirect"]
    slide.base_values = whole.base_values = times["BM_FrameMemcpyBaseline"]
    # Where the time goes: each step of the frame once more, against the baseline of that run.
    steps = ["BM_StepBackdropOpaque", "BM_StepPageSprites", "BM_StepChromeSprites", "BM_StepBackdropCompose",
             "BM_ComposeFrameBlocks", "BM_ComposeFrame"]
    parts = gbench(NATIVE / "frame_bench", steps + ["BM_FrameMemcpyBaseline"], 1)
    base = parts["BM_FrameMemcpyBaseline"][0]
    shares = ", ".join(f"{name[3:]} {parts[name][0] / base:.2f}×" for name in steps)
    slide.note = ("mid-swipe, two pages' icons in view, 8 of them cut by the page area's edges; the launcher "
                  "composes the steps of the slide after a swipe, and the frames of a page drag, with the same "
                  "drawing as a whole frame clipped to the page area (only the pointer has moved since the frame "
                  "before, and no frame control is held, so nothing outside the page area can have changed): the "
                  "backdrop's page area copied, the icons drawn, the frame's other pictures cut away by the clip")
    whole.note = (f"the same mid-swipe frame composed whole, as after any other message (a click, a job's progress): the backdrop "
                  f"of skin and background picture copied whole, every keyed picture drawn from its prepared runs, "
                  f"icons straight into the frame's page area; steps against one memcpy: {shares} (BackdropCompose "
                  f"runs only when the skin or the background picture changes; ComposeFrameBlocks is the "
                  f"launcher's way before, keying every picture in blocks each frame; ComposeFrame the older way "
                  f"through page pictures)")
    return [slide, whole]


def env_file(path, pages=16, per_page=16):
    import sample_env
    page = [(1, 20 + n, 0, f"프로그램 {n}", sample_env.LAUNCHER, 0) for n in range(per_page)]
    path.write_bytes(sample_env.env_xml(pages=[page] * pages))
    return path


def row_xml(runs, work):
    path = env_file(work / "TolvEnv.xml")
    size = path.stat().st_size
    row = Row(f"light XML parse of a 16-page TolvEnv.xml ({size // 1024} KB)", "memcpy of the file",
              "MB/s and ratio", unit="MB/s", scale=1.0, higher_is_better=True)
    times = gbench(NATIVE / "xml_bench", ["BM_ParseEnvironment", "BM_FileMemcpyBaseline"], runs, str(path))
    row.values = [size / t / 1e6 for t in times["BM_ParseEnvironment"]]
    row.base_values = [size / t / 1e6 for t in times["BM_FileMemcpyBaseline"]]
    return row


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=int(os.environ.get("KELVO_BENCH_RUNS", "7")))
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    import wine_rows
    rows_to_run = [("frame", lambda w: rows_frame(args.runs)),
                   ("ftp", lambda w: wine_rows.rows_ftp(args.runs, w)),
                   ("stock", lambda w: wine_rows.row_stock(args.runs, w)),
                   ("install", lambda w: wine_rows.rows_install(args.runs, w)),
                   ("paint", lambda w: wine_rows.row_paint(args.runs, w)),
                   ("store", lambda w: wine_rows.row_store(args.runs, w)),
                   ("idle", lambda w: wine_rows.rows_idle(args.runs, w)),
                   ("xml", lambda w: row_xml(args.runs, w))]
    only = set(filter(None, args.only.split(",")))
    rows = []
    started = time.monotonic()
    for name, run in rows_to_run:
        if only and name not in only:
            continue
        print(f"[bench] {name} ...", file=sys.stderr, flush=True)
        with tempfile.TemporaryDirectory(prefix=f"kelvo-bench-{name}-") as work:
            try:
                result = run(Path(work))
                rows += result if isinstance(result, list) else [result]
            except Exception as error:  # one broken row must not hide the others
                traceback.print_exc()
                failed = Row(name, "–", "–")
                failed.error = str(error).splitlines()[0][:120] if str(error) else type(error).__name__
                rows.append(failed)
    header = ["figure", "median", "spread (min–max)", "baseline, same run: median (spread)",
              "ratio (median of the runs' own)", "goal",
              "verdict"]
    lines = [f"# Kelvo bench ({time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {args.runs} runs each, "
             f"{time.monotonic() - started:.0f} s)", "",
             "| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(row.cells()) + " |" for row in rows]
    notes = [f"- {row.figure}: {row.note}" for row in rows if row.note]
    if notes:
        lines += ["", "How each figure is taken:", ""] + notes
    for row in rows:
        if row.details:
            lines += ["", f"{row.figure}, broken down:", ""] + row.details
    text = "\n".join(lines) + "\n"
    OUT.mkdir(exist_ok=True)
    (OUT / "bench.md").write_text(text)
    print(text)


if __name__ == "__main__":
    main()
