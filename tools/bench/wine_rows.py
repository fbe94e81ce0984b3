"""The bench's figures taken under Wine: transfers, the install job, start to first paint, idle CPU and memory.

Each function returns bench.Row objects; it runs with the project's Wine prefix, a running wineserver and the
Xvfb display that bench.sh starts.
"""
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from urllib.parse import quote

from bench import ROOT, WIN_BIN, Row

sys.path.insert(0, str(ROOT / "tools" / "measure"))
from idle_cpu import find_pid  # noqa: E402
from private_memory import Breakdown, table  # noqa: E402
from kelvo_e2e import DRIVE, DRIVE_LETTER, KelvoTestCase, ids, read_env_packages, wait_until  # noqa: E402
from sample_env import env_xml  # noqa: E402
from sample_settings import settings_xml  # noqa: E402
from test_update_failures import write_old_version  # noqa: E402

CONTENT = ROOT / "build" / "store-content"
BIG_DATA = CONTENT / "application" / "data" / "BigData"
BLOB = "/application/data/BigData/data/blob.bin"
MB = 1e6
PROGRAM_UPDATE = 1050  # the settings program's Update button
STORE_VIEW_ID = 1008  # the store window's view
BARE_STORE_CLASS = "KelvoBareStore"  # bare_program.exe store's window and dialog title
WM_CLOSE = 0x0010
STRIP = "x86_64-w64-mingw32-strip"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def to_wine(path):
    return KelvoTestCase.to_wine(path)


def wine(*args, timeout=120):
    """Runs a Windows program to its end and returns its output. The output goes through files, not pipes: a
    program it starts inherits them, and a pipe would stay open as long as that one runs."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        result = subprocess.run(["wine", *map(str, args)], stdout=out, stderr=err, timeout=timeout,
                                env=dict(os.environ, WINEDEBUG="-all"))
        out.seek(0)
        err.seek(0)
        if result.returncode != 0:
            raise RuntimeError(f"{Path(str(args[0])).name} failed: {err.read().decode(errors='replace')[-200:]}")
        return out.read().decode(errors="replace").replace("\r", "")


class LocalStore:
    """The local store (pyftpdlib and the HTTP server) on free ports, or on the build's ports."""

    def __init__(self, work, http_port=None, ftp_port=None):
        self.http_port, self.ftp_port = http_port or free_port(), ftp_port or free_port()
        self.process = subprocess.Popen(
            ["/usr/bin/python3", str(ROOT / "tools" / "store" / "store.py"), "--http-port", str(self.http_port),
             "--ftp-port", str(self.ftp_port), "--root", str(CONTENT), "--log-dir", str(work)],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        line = self.process.stdout.readline().decode(errors="replace")
        if not line.startswith("ready"):
            self.close()
            raise RuntimeError(f"the local store did not start: {line.strip()}")

    def close(self):
        self.process.terminate()
        self.process.wait(10)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()


def fetch_runs(host, runs, work):
    """{way: [seconds per run]} of fetch_bench's interleaved runs (ftpfetch, bare8k, bare64k)."""
    text = wine(WIN_BIN / "fetch_bench.exe", host, BLOB, to_wine(work / "blob.bin"), runs)
    times = {}
    for line in text.splitlines():
        key, _, value = line.partition(" ")
        if "." in key:
            times.setdefault(key.split(".")[0], []).append(float(value))
    return times


def curl_active(port, work):
    url = f"ftp://{quote(ids.kStoreFtpUser, safe='')}:{quote(ids.kStoreFtpPassword, safe='')}@127.0.0.1:{port}{BLOB}"
    out = subprocess.run(["curl", "-s", "--ftp-port", "-", "-o", str(work / "curl.bin"), "-w", "%{time_total}", url],
                         check=True, capture_output=True, text=True).stdout
    return float(out)


def blob_mb():
    return (BIG_DATA / "data" / "blob.bin").stat().st_size / MB


def rows_ftp(runs, work):
    row = Row("FtpFetch of the 20 MB sample, loopback, under Wine (local store, pyftpdlib)",
              "bare WinINet loop, same 8 KB reads", "≥ 0.95× throughput", unit="MB/s", scale=1.0,
              higher_is_better=True, limit=0.95)
    with LocalStore(work) as store:
        times = fetch_runs(f"127.0.0.1:{store.ftp_port}", runs, work)
    size = blob_mb()
    row.values = [size / t for t in times["ftpfetch"]]
    row.base_values = [size / t for t in times["bare8k"]]
    wide = statistics.median(size / t for t in times["bare64k"])
    row.note = (f"fetch_bench.exe takes turns between the three ways in one process; a bare loop with 64 KB reads "
                f"gives {wide:.0f} MB/s in the same run (the read size is the server's and Wine's bound, not ours)")
    return row


def row_stock(runs, work):
    row = Row("the same fetch from the store's stock vsftpd (active mode), FtpFetch under Wine",
              "curl in active mode", "reported", unit="MB/s", scale=1.0, higher_is_better=True)
    state = work / "stock"
    state.mkdir()
    env = dict(os.environ)
    subprocess.run([str(ROOT / "tools" / "store" / "stock" / "stock.sh"), "start", str(state), str(CONTENT)],
                   check=True, env=env, capture_output=True, timeout=60)
    try:
        ports = dict(line.split("=", 1) for line in (state / "ports").read_text().split())
        port = int(ports["ftp_port"])
        size = blob_mb()
        for _ in range(runs):
            row.values += [size / t for t in fetch_runs(f"127.0.0.1:{port}", 1, work)["ftpfetch"]]
            row.base_values.append(size / curl_active(port, work))
    finally:
        subprocess.run([str(ROOT / "tools" / "store" / "stock" / "stock.sh"), "stop", str(state)], env=env,
                       capture_output=True, timeout=60)
    row.note = "FtpFetch (fetch_bench.exe) and curl --ftp-port - take turns, one download each per run"
    return row


class Suite(KelvoTestCase):
    """The test harness's fresh drive and program handling, used outside a test run."""

    def runTest(self):
        pass

    def __init__(self):
        super().__init__()
        self.setUp()

    def close(self):
        try:
            self.tearDown()
        except AssertionError as error:
            print(f"[bench] {error}", file=sys.stderr)

    def with_agent_files(self, env_pages):
        for program in (ids.kAgentProgram, ids.kSettingsProgram):
            shutil.copy2(WIN_BIN / program, self.suite_dir / program)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, env_pages))

    def strip_debug(self, *programs):
        """The programs are measured as shipped, without their debug information (page-aligned in the file, the
        image is mapped and its debug sections are never read; at MinGW's 512-byte default Wine read them all)."""
        for program in programs:
            subprocess.run([STRIP, "--strip-debug", str(self.suite_dir / program)], check=True)

    def start_agent(self):
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "30000")
        return agent


def kill_pid(fragment):
    pid = find_pid(fragment)
    if pid:
        os.kill(pid, 9)
        wait_until(lambda: find_pid(fragment) is None, 10.0, what=f"{fragment} to end")


def row_paint(runs, work):
    row = Row("launcher start to first paint (Tolv.exe, agent running)",
              "bare MinGW window program, start to first paint", "≤ 1.5×", limit=1.5)
    suite = Suite()
    try:
        suite.strip_debug(ids.kLauncherProgram)
        suite.start_standin_agent()
        launcher = suite.win_path(ids.kLauncherProgram)
        for _ in range(runs):
            row.values.append(float(wine(WIN_BIN / "paint_probe.exe", "start", ids.kLauncherClass, 20000, launcher)))
            kill_pid(ids.kLauncherProgram)
            row.base_values.append(float(wine(WIN_BIN / "paint_probe.exe", "start", "KelvoBareWindow", 20000,
                                              to_wine(WIN_BIN / "bare_program.exe"), "window")))
            kill_pid("bare_program.exe")
    finally:
        suite.close()
    row.note = ("paint_probe.exe starts the program with CreateProcess and polls every millisecond until a top-level "
                "window of its class is visible and GetUpdateRect finds no update region left (its first WM_PAINT "
                "was done); the same probe for both, with a stand-in agent window (kdrive peer) running; Tolv.exe "
                "without debug information, as shipped")
    return row


def cpu_seconds(pid):
    """CPU time of every thread of a process so far, from the scheduler's nanosecond counters (/proc/PID/stat
    counts 10 ms ticks, too coarse for a 0.1 % goal over a few seconds)."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # a thread that just ended
    return total / 1e9


def memory_rows(name, baseline):
    """The private memory row of `name` and the same figure without clean file pages."""
    return (Row(f"{name} private memory, idle", baseline, "≤ 1.5×", unit="MB", scale=1.0, limit=1.5),
            Row(f"{name} private memory, idle, written pages only", baseline, "≤ 1.5×", unit="MB", scale=1.0,
                limit=1.5))


def rows_idle(runs, work):
    seconds = float(os.environ.get("KELVO_BENCH_IDLE_SECONDS", "30"))
    window = seconds / runs
    names = {"agent": ids.kAgentProgram, "launcher": ids.kLauncherProgram}
    cpu = {name: Row(f"{name} idle CPU ({seconds:.0f} s in {runs} windows)", "blocked bare window program",
                     "< 0.1 % of a core", unit="%", scale=1.0) for name in names}
    bases = {"agent": "tray", "launcher": "window"}
    memory = {"agent": memory_rows("agent", "bare tray program"),
              "launcher": memory_rows("launcher", "bare window program")}
    for row in cpu.values():
        row.absolute = lambda median: median < 0.1
    suite = Suite()
    try:
        suite.with_agent_files(([(1, 20 + n, 0, f"프로그램 {n}", "{drive}\\Kelvo\\Tolv.exe", 0) for n in range(8)],))
        suite.strip_debug(ids.kAgentProgram, ids.kLauncherProgram)
        suite.start_agent()
        bare_window = suite.start(str(WIN_BIN / "bare_program.exe"), "window")
        bare_tray = suite.start(str(WIN_BIN / "bare_program.exe"), "tray")
        del bare_window, bare_tray
        time.sleep(3)  # start-up work ends before the window opens
        pids = {name: find_pid(fragment) for name, fragment in names.items()}
        bare = [int(p.name) for p in Path("/proc").iterdir() if p.name.isdigit() and _is_bare(p)]
        bare_pids = {mode: pid for pid in bare for mode in ("window", "tray") if _mode_of(pid) == mode}
        if None in pids.values() or len(bare_pids) != 2:
            raise RuntimeError(f"processes not found: {pids} {bare_pids}")
        for _ in range(runs):
            before = {pid: cpu_seconds(pid) for pid in [*pids.values(), *bare_pids.values()]}
            started = time.monotonic()
            time.sleep(window)
            wall = time.monotonic() - started
            used = {pid: (cpu_seconds(pid) - before[pid]) / wall * 100 for pid in before}
            for name, pid in pids.items():
                cpu[name].values.append(used[pid])
                cpu[name].base_values.append(used[bare_pids["window"]])
            for name, (row, written) in memory.items():
                ours, floor = Breakdown(pids[name]), Breakdown(bare_pids[bases[name]])
                row.values.append(ours.private_kb() / 1024)
                row.base_values.append(floor.private_kb() / 1024)
                written.values.append(ours.written_kb() / 1024)
                written.base_values.append(floor.written_kb() / 1024)
        # Where the figures lie, after the last window.
        breakdown = table({"agent": Breakdown(pids["agent"]), "bare tray": Breakdown(bare_pids["tray"]),
                           "launcher": Breakdown(pids["launcher"]), "bare window": Breakdown(bare_pids["window"])})
    finally:
        for pid in _bare_pids():
            os.kill(pid, 9)
        suite.close()
    for row in cpu.values():
        row.note = "CPU time of all threads of the Wine process (/proc/PID/task/*/schedstat, ns) over each window"
    for row, written in memory.values():
        row.note = ("Private_Clean + Private_Dirty of the Wine process, summed over /proc/PID/smaps (Wine has no "
                    "working-set figure of its own that means the same), sampled once per idle window; the agent and "
                    "the launcher as shipped, without debug information (which, the images being page-aligned, "
                    "Wine no longer reads: unstripped they measured the same)")
        written.note = ("the same samples without the clean pages of mapped files: anonymous pages and written file "
                        "pages, as Windows counts private bytes. Linux counts an image's or table's unwritten pages "
                        "as private whenever no other process maps them (the kernel also maps the cached pages around "
                        "each one read), Windows counts none of them; the bare programs load none of the DLLs the "
                        "suite needs")
    memory["agent"][0].details = [
        "Private pages per mapping kind after the last window (the four processes read one after another):", "",
        *breakdown, "", "Where the rest is Wine's: MSXML must be read through COM, and Wine 8's msxml3 answers "
        "DllCanUnloadNow with S_FALSE, so msxml3 and what it imports (urlmon, oleaut32) stay loaded (CoFreeUnused"
        "Libraries cannot let them go); wininet, ws2_32 and mpr the agent needs for its transfers; msvcrt's setlocale(\"kor\"), the Korean locale the suite's names compare under, enumerates every "
        "locale and maps all ANSI code page tables (locale.nls, c_874 ... c_1258); the image pages are clean and "
        "would be shared or not counted on Windows. Each Wine thread keeps about 1 MB (the touched top of its "
        "stack): the bare programs have one, and so do the agent (its package worker runs only for jobs) and the "
        "launcher. The launcher keeps two frame-sized 16-bit pictures (its back buffer and the skin, 0.7 MB), the "
        "skin's resources read once (clean pages of Tolv.exe) and more Unix heap than the bare window, not broken "
        "down further (it draws text and keys its window's colour, the bare window does neither)."]
    return [*cpu.values(), *[row for pair in memory.values() for row in pair]]


def _cmdline(pid):
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().decode("utf-8", "replace").split("\x00")
    except OSError:
        return []


def _in_our_prefix(pid):
    """Whether the process runs in this bench's Wine prefix: other sessions on the machine run their own."""
    prefix = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    try:
        return prefix in Path(f"/proc/{pid}/environ").read_bytes().split(b"\x00")
    except OSError:
        return False


def _is_bare(entry):
    words = _cmdline(entry.name)
    return bool(words) and words[0].endswith("bare_program.exe") and _in_our_prefix(entry.name)


def _mode_of(pid):
    words = _cmdline(pid)
    return words[1] if len(words) > 1 else ""


def _bare_pids():
    return [int(p.name) for p in Path("/proc").iterdir() if p.name.isdigit() and _is_bare(p)]


def ftp_commands(work, before=None):
    """How many of each FTP command (and HTTP requests) the local store has logged, since `before`, a count taken
    earlier."""
    counts = {}
    log = work / "ftp.log"
    for line in (log.read_text(errors="replace").splitlines() if log.exists() else []):
        _, arrow, request = line.partition("] <- ")
        if arrow:
            command = request.split(" ", 1)[0]
            counts[command] = counts.get(command, 0) + 1
    http = work / "http.log"
    if http.exists():
        counts["HTTP requests"] = len(http.read_text(errors="replace").splitlines())
    if before is None:
        return counts
    return {name: count - before.get(name, 0) for name, count in counts.items() if count - before.get(name, 0)}


BIG_DATA_JOB = ("103", "data", "BigData")  # the store's index, directory and name of the package


def store_files():
    return ["/" + str(path.relative_to(CONTENT)) for path in sorted(BIG_DATA.rglob("*")) if path.is_file()]


def rows_install(runs, work):
    return [row_install(runs, work), row_install_end_to_end(runs, work)]


def row_install(runs, work):
    row = Row("install of the 20 MB package through the agent's job (staging, verify, swap)",
              "bare fetch of its files + copy to the drive", "≤ 1.3× time", limit=1.3)
    suite = Suite()  # a fresh drive
    folder = DRIVE / ids.kPackagesFolder / BIG_DATA_JOB[2]
    stage, copies = DRIVE / ids.kSuiteFolder / "BenchStage", DRIVE / "BenchCopy"
    steps = {}
    try:
        with LocalStore(work, os.environ["KELVO_HTTP_PORT"], os.environ["KELVO_FTP_PORT"]):
            before = ftp_commands(work)
            text = wine(WIN_BIN / "fetch_bench.exe", "install", *BIG_DATA_JOB,
                        f"127.0.0.1:{os.environ['KELVO_HTTP_PORT']}", f"127.0.0.1:{os.environ['KELVO_FTP_PORT']}",
                        suite.win_path(), suite.win_path(stage.name), f"{DRIVE_LETTER}\\{copies.name}", runs,
                        *store_files(),
                        timeout=120 + 60 * runs)
            both = ftp_commands(work, before)
        for line in text.splitlines():
            key, _, value = line.partition(" ")
            if "." in key:
                steps.setdefault(key.split(".")[0], []).append(float(value))
        row.values, row.base_values = steps["install"], steps["copy"]
        if (copies / "blob.bin").read_bytes() != (folder / "data" / "blob.bin").read_bytes():
            raise RuntimeError("the job and the bare copy do not give the same file")
    finally:
        suite.close()

    def ms(name):
        return f"{statistics.median(steps[name]) * 1000:.0f} ms"
    row.note = ("a first install of BigData (103) by the agent's own job (CPackageJobRunner, the profile over HTTP, "
                "each file over FTP into the staging folder on the drive with its size and SHA-256 checked, the "
                "room check, the swap with its journal, the store's notice) in fetch_bench.exe install, timed on the "
                "job's thread from its start to its end, with a stand-in launcher window; its folder is deleted "
                "before each run. Each run the same process then fetches the same files, the profile among them, "
                "with the bare 8 KB loop (the job's read size) into a folder on the drive and copies each next to "
                "it. Medians of the "
                f"job's steps as the stand-in window sees them: to the announcement (profile) {ms('profile')}, "
                f"to the end of the fetching (files, SHA-256 inline) {ms('fetch')}, to the package's profile in "
                f"its folder (held-file check, swap with its journal; polled every ms) {ms('swap')}, to the end "
                f"message (staging folder removed, the store's notice) {ms('notice')}. Alone, in the same runs: the job's FtpFetch of its files without hashing "
                f"{ms('fetchonly')}, the SHA-256 of the 20 MB file in memory in the job's 8 KB pieces "
                f"{ms('hash8k')} (1 MB pieces {ms('hash1m')}; Wine's BCrypt), the installed files' SHA-256 read back "
                f"{ms('sha')}; the floor's copies {ms('copyonly')} of its {ms('copy')}. Requests of all runs, both ways (the job's profile "
                f"and notice over HTTP, the floor's profile over FTP): {both}")
    return row


def row_install_end_to_end(runs, work):
    row = Row("install from the Update button, end to end (an update through the agent and its queue)",
              "bare fetch of its files + copy to the drive", "reported")
    suite = Suite()
    folder = DRIVE / ids.kPackagesFolder / "BigData"
    job = suite.suite_dir / ids.kStagingFolder / "103"
    remotes = store_files()
    stage, copies = DRIVE / ids.kSuiteFolder / "BenchStage", DRIVE / "BenchCopy"
    settings = suite.win_path(ids.kSettingsProgram)

    def installed():
        try:
            profile = (folder / ids.kProfileFile).read_bytes()
        except OSError:
            return False  # in the middle of the swap
        return (b"<VERSION>0.9<" in profile and not job.exists() and
                [i["UPDATEFLAG"] for p in read_env_packages(suite.suite_dir / ids.kEnvironmentFile) for i in p]
                == ["0"])

    try:
        with LocalStore(work, os.environ["KELVO_HTTP_PORT"], os.environ["KELVO_FTP_PORT"]):
            suite.with_agent_files(([(1, 103, 0, "큰 자료", "{drive}\\Portable Programs\\BigData\\bigdata.exe", 0)],))
            write_old_version(folder, BIG_DATA, b"0.9", b"0.8")
            suite.start_agent()
            for _ in range(runs):
                # Every file differs from the store's, so the job fetches all of them, as the baseline does.
                shutil.rmtree(folder)
                write_old_version(folder, BIG_DATA, b"0.9", b"0.8")
                program = suite.start(settings, "-2", "-1", "-103")
                suite.kdrive("wait", "--class", ids.kSettingsClass, "--title", "프로그램 관리", "--visible",
                             "--timeout-ms", "20000")
                commands = ftp_commands(work)
                started = time.monotonic()
                suite.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_UPDATE), "--bm-click")
                wait_until(installed, 120.0, interval=0.01, what="the new version on the drive")
                row.values.append(time.monotonic() - started)
                job_commands = ftp_commands(work, commands)
                program.kill()
                for folder_ in (stage, copies):
                    shutil.rmtree(folder_, ignore_errors=True)
                    folder_.mkdir(parents=True)
                commands = ftp_commands(work)
                started = time.monotonic()
                wine(WIN_BIN / "fetch_bench.exe", "copy", f"127.0.0.1:{os.environ['KELVO_FTP_PORT']}",
                     to_wine(stage), to_wine(copies), *remotes)
                row.base_values.append(time.monotonic() - started)
                bare_commands = ftp_commands(work, commands)
            if (copies / "blob.bin").read_bytes() != (folder / "data" / "blob.bin").read_bytes():
                raise RuntimeError("the job and the bare copy do not give the same file")
    finally:
        suite.close()
    row.note = ("an update of BigData 0.8 to 0.9 (the job every install runs: fetch into the staging folder on the "
                "drive, sizes and SHA-256 checked, swap with its journal), from the settings program's Update "
                "button (a kdrive press) until the new profile is in place, the staging folder gone and the "
                "launcher's item no longer marked; the baseline is one Wine process (fetch_bench.exe copy) that "
                "fetches each file with the bare 8 KB loop into a folder on the drive and copies it next to it, "
                "timed from outside the same way, Wine's start included in both. Requests the store saw in "
                f"the last run: job {job_commands}, baseline {bare_commands}")
    return row


def row_store(runs, work):
    row = Row("store button to a painted page (fallback view)", "HTTP fetch of the page alone (curl)", "≤ 1.5×",
              limit=1.5)
    bare = row.add_baseline("bare MinGW dialog + WinINet GET + DrawText, same probe")
    suite = Suite()
    http_port = os.environ["KELVO_HTTP_PORT"]
    url = f"http://127.0.0.1:{http_port}/"
    page = work / "page.html"
    # Per program: the probe's longest WM_NULL round trip, when the window was first seen painted, its last look.
    seen = {"agent": ([], [], []), "bare": ([], [], [])}

    def probe(target_class, top_title, into, program):
        seconds, *more = map(float, wine(WIN_BIN / "paint_probe.exe", "post", target_class, ids.kMsgOpenStore,
                                         "#32770", top_title, STORE_VIEW_ID, 60000).split())
        into.append(seconds)
        for values, value in zip(seen[program], more):
            values.append(value)
        suite.kdrive("post", "--class", "#32770", "--title", top_title, "--msg", str(WM_CLOSE))
        suite.kdrive("wait-gone", "--class", "#32770", "--title", top_title, "--timeout-ms", "10000")

    try:
        with LocalStore(work, http_port, os.environ["KELVO_FTP_PORT"]):
            suite.with_agent_files(((),))
            agent = suite.start_agent()
            # The start-up steps run before the agent's message loop: an answer means they are over, and the first
            # run times the store, not the rest of the start.
            suite.kdrive("send", "--class", ids.kAgentClass, "--msg", "0", "--timeout-ms", "30000")
            suite.start(str(WIN_BIN / "bare_program.exe"), "store", url, str(ids.kMsgOpenStore), str(STORE_VIEW_ID))
            suite.kdrive("wait", "--class", BARE_STORE_CLASS, "--timeout-ms", "10000")
            for _ in range(runs):
                probe(ids.kAgentClass, ids.kStoreName, row.values, "agent")
                out = subprocess.run(["curl", "-s", "-o", str(page), "-w", "%{time_total}", url], check=True,
                                     capture_output=True, text=True)
                row.base_values.append(float(out.stdout))
                probe(BARE_STORE_CLASS, BARE_STORE_CLASS, bare, "bare")
            decisions = [line for line in agent.log_path.read_text(errors="replace").splitlines()
                         if line.startswith("Marlo store view: ")]
    finally:
        suite.close()

    def ms(program, which, pick=statistics.median):
        return f"{pick(seen[program][which]) * 1000:.0f} ms"
    row.note = ("the agent's store message posted by paint_probe.exe (post mode) until the store window and its "
                "view are visible with no update region left and the view shows a drawn page (at least 4 colours "
                "in a 4-pixel grid of its screen pixels, read in one blit); the view the agent chose: "
                f"{decisions[-1][len('Marlo store view: '):] if decisions else 'not reported'}. The message is "
                "posted; meanwhile the probe keeps timing WM_NULL round trips to the agent's window: the longest, "
                f"i.e. the agent's UI thread kept from its messages, was {ms('agent', 0, max)} (median of the runs' "
                f"longest {ms('agent', 0)}). Baselines, taking turns with the figure in each run: (1) curl fetching "
                "the same page over a new connection; (2) bare_program.exe store, a running MinGW program whose "
                "hidden window, on the same message from the same probe, opens a dialog of the store window's size "
                "from a template in memory with one child window, fetches the page with one WinINet GET on its UI "
                "thread (InternetOpen, InternetOpenUrl, InternetReadFile) and draws the page's bytes as text "
                "(DrawText) into the child, timed the same way (its UI thread kept from its messages for as long as "
                f"the fetch: longest round trip {ms('bare', 0, max)}): what Wine itself costs for a dialog, a "
                f"WinINet fetch and a paint, {statistics.median(bare) / statistics.median(row.base_values):.0f}× "
                "curl's fetch in the same runs. Where the time goes (medians, agent / bare program): the window first "
                f"seen painted after {ms('agent', 1)} / {ms('bare', 1)}; the probe's last look (its round trip, "
                "the window checks and the one screen read), the most the page can have been on the screen before "
                f"the clock stopped, {ms('agent', 2)} / {ms('bare', 2)}: under Wine the round trip and the checks "
                "of another program's windows wait while that program is busy, so the probe sees the page in its "
                "first or second look and both figures carry that wait. Within the agent the page is fetched on a "
                "thread of its own while the dialog is made and shown; the page's parse, scripts, layout and paint "
                "follow the dialog's showing on the UI thread")
    return row
