#!/usr/bin/python3
"""Where a Wine process's private memory lies: /proc/PID/smaps summed per mapping kind, and its threads.

Linux counts a file page as private (Private_Clean) whenever no other process maps it, although nothing ever wrote
to it; Windows' "private bytes" never count a DLL's unwritten image pages. `written_kb` is the private figure
without those clean file-backed pages: every anonymous page plus every dirty one.
usage: private_memory.py PID [PID...]   prints each process's kinds side by side, in kB
"""
import sys
from pathlib import Path

ANONYMOUS = "anonymous (Windows heaps, stacks, images Wine read in, Wine's views)"
UNIX_HEAP = "[heap] (the Unix side's malloc: X11, fontconfig, Wine's .so)"
WINE_SO = "Wine's own .so (ntdll.so, win32u.so, winex11.so ...)"
SYSTEM_SO = "system libraries (.so)"


def kind_of(path):
    """The kind a mapping's pathname (empty for anonymous memory) counts under."""
    if not path or path.startswith("[anon") or path in ("[stack]", "[vvar]", "[vdso]", "[vsyscall]"):
        return ANONYMOUS
    if path == "[heap]":
        return UNIX_HEAP
    name = path.rsplit("/", 1)[-1]
    if "/wine/" in path and ".so" in name:
        return WINE_SO
    if ".so" in name:
        return SYSTEM_SO
    if "/wine/" in path or name.lower().endswith((".dll", ".drv", ".exe", ".nls", ".sys", ".ocx")):
        return name.lower()  # a PE image or table, each by its name
    return "other files (" + name + ")"


def read_smaps(pid):
    """[(pathname, {field: kB})] of every mapping of the process."""
    mappings = []
    for line in Path(f"/proc/{pid}/smaps").read_text(errors="replace").splitlines():
        head, _, rest = line.partition(":")
        if " " not in head and rest.strip().endswith("kB"):
            mappings[-1][1][head] = int(rest.split()[0])
        elif "-" in line.split(" ", 1)[0]:
            parts = line.split(None, 5)
            mappings.append((parts[5].strip() if len(parts) > 5 else "", {}))
    return mappings


class Breakdown:
    """One process's private pages per kind, in kB: {kind: (clean, dirty)}, and its thread count."""

    def __init__(self, pid):
        self.kinds = {}
        for path, fields in read_smaps(pid):
            kind = kind_of(path)
            clean, dirty = self.kinds.get(kind, (0, 0))
            self.kinds[kind] = (clean + fields.get("Private_Clean", 0), dirty + fields.get("Private_Dirty", 0))
        self.threads = len(list(Path(f"/proc/{pid}/task").iterdir()))

    def private_kb(self):
        return sum(clean + dirty for clean, dirty in self.kinds.values())

    def written_kb(self):
        """Anonymous pages, clean or not, and dirty pages of files: what Windows would call private bytes."""
        return sum(dirty + (clean if kind in (ANONYMOUS, UNIX_HEAP) else 0)
                   for kind, (clean, dirty) in self.kinds.items())

    def file_clean_kb(self):
        return self.private_kb() - self.written_kb()


def table(columns, limit=14):
    """Markdown lines: the kinds (largest difference between the columns first) by columns {title: Breakdown},
    each cell "clean + dirty" in MB, then the totals and thread counts."""
    titles = list(columns)
    kinds = {kind for breakdown in columns.values() for kind in breakdown.kinds}

    def total(breakdown, kind):
        return sum(breakdown.kinds.get(kind, (0, 0)))

    def spread(kind):
        values = [total(columns[title], kind) for title in titles]
        return max(values) - min(values), max(values)

    ordered = sorted((kind for kind in kinds if any(total(b, kind) for b in columns.values())), key=spread,
                     reverse=True)

    def cell(clean, dirty):
        return f"{clean / 1024:.2f} + {dirty / 1024:.2f}" if clean or dirty else "–"

    lines = ["| private pages, MB: clean + dirty | " + " | ".join(titles) + " |", "|---|" + "---|" * len(titles)]
    for kind in ordered[:limit]:
        lines.append(f"| {kind} | " + " | ".join(cell(*columns[t].kinds.get(kind, (0, 0))) for t in titles) + " |")
    rest = ordered[limit:]
    if rest:
        sums = [tuple(sum(columns[t].kinds.get(k, (0, 0))[i] for k in rest) for i in (0, 1)) for t in titles]
        lines.append(f"| {len(rest)} other kinds | " + " | ".join(cell(*s) for s in sums) + " |")
    lines.append("| **all (the row's figure)** | " + " | ".join(f"{columns[t].private_kb() / 1024:.2f}"
                                                             for t in titles) + " |")
    lines.append("| of which clean file pages | " + " | ".join(f"{columns[t].file_clean_kb() / 1024:.2f}"
                                                            for t in titles) + " |")
    lines.append("| threads | " + " | ".join(str(columns[t].threads) for t in titles) + " |")
    return lines


if __name__ == "__main__":
    print("\n".join(table({pid: Breakdown(pid) for pid in sys.argv[1:]}, limit=40)))
