"""End-to-end harness: runs the real programs under Wine on a fresh test drive and drives them with kdrive.

Every program is started with Wine's exception log on; a run fails when that log shows an access violation,
because Wine otherwise hides a crash inside a window procedure that another process called.
"""
import hashlib
import os
import shutil
import subprocess
import time
import sys
import unittest
from pathlib import Path

ROOT = Path(os.environ.get("KELVO_ROOT", Path(__file__).resolve().parents[2]))
BIN = Path(os.environ.get("KELVO_BIN", ROOT / "build" / "win" / "bin"))
DRIVE = ROOT / "build" / "testdrive"  # mapped to T: in the Wine prefix
DRIVE_LETTER = "T:"
# The suite's names and numbers, written by the build from the C++ headers (tests/e2e runs them from ctest,
# which puts the module on the path; a script run by hand finds it in the Windows build tree).
sys.path.append(str(ROOT / "build" / "win" / "generated" / "python"))
import kelvo_ids as ids  # noqa: E402

SUITE = ids.kSuiteFolder
# The ports the build baked into the programs' store hosts (tools/env.sh sets them; these are its defaults).
STORE_HTTP_PORT = os.environ.get("KELVO_HTTP_PORT", "18080")
STORE_FTP_PORT = os.environ.get("KELVO_FTP_PORT", "18021")
SCREENS = ROOT / "out" / "screens"
SETTINGS_PANE_ID = 0xE900  # the settings frame's view pane
LOGS = ROOT / "out" / "e2e"

# Characters that are not a letter or a digit, as (virtual key, with Shift) on a US keyboard.
KEYS_US = {" ": (0x20, False), ":": (0xBA, True), ";": (0xBA, False), "\\": (0xDC, False), ".": (0xBE, False),
           "-": (0xBD, False), "_": (0xBD, True), "#": (0x33, True), "/": (0xBF, False)}

WM_NULL = 0x0000
WM_DESTROY = 0x0002
WM_CLOSE = 0x0010
WM_USER = 0x0400
WM_APP = 0x8000



# The launcher's page of items: its client origin and the grid of four columns.
PAGE_X, PAGE_Y = 21, 140
SLOT_X0, SLOT_DX, SLOT_Y0, SLOT_DY = 12, 72, 10, 84


def slot_centre(slot):
    """The middle of an item's icon, by its place on the page, in the launcher's client coordinates."""
    return (PAGE_X + SLOT_X0 + SLOT_DX * (slot % 4) + 24, PAGE_Y + SLOT_Y0 + SLOT_DY * (slot // 4) + 24)


def _launcher_free_space():
    """The launcher's free-space line (it depends on the machine's disk), as a window rectangle to leave out of
    screen checks: from the middle of the window to its right end, around the line's right-end point."""
    import struct
    values = struct.unpack("<34h", (ROOT / "launcher" / "skin" / "mainpoint.kpt").read_bytes()[:68])
    end_x, y = values[28], values[29]
    return (end_x - 160, y - 4, end_x + 8, y + 16)


LAUNCHER_FREE_SPACE = _launcher_free_space()

CRASH_MARKERS = ("EXCEPTION_ACCESS_VIOLATION", "c0000005", "Unhandled page fault", "Unhandled exception")


def wait_until(condition, timeout=10.0, interval=0.05, what="condition"):
    """Polls condition() until it is true; fails the test with `what` after the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


SUITE_PROGRAMS = (ids.kLauncherProgram, ids.kAgentProgram, ids.kSettingsProgram, ids.kUpdaterProgram,
                  ids.kStarterProgram, "kdrive.exe",
                  "kelvo_marker.exe")


def kill_suite_processes():
    """Ends every process of this Wine prefix that runs one of the suite's programs or the driver."""
    prefix = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit() or int(entry.name) == os.getpid():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().replace(b"\x00", b" ").decode("utf-8", "replace")
            if prefix not in (entry / "environ").read_bytes().split(b"\x00"):
                continue
        except OSError:
            continue
        if any(name.lower() in cmdline.lower() for name in SUITE_PROGRAMS):
            try:
                os.kill(int(entry.name), 9)
            except OSError:
                pass


class Program:
    """A Windows program started under Wine, with its stderr (the exception log) kept in a file."""

    def __init__(self, argv, log_path, debug="warn+seh"):
        self.log_path = Path(log_path)
        self.log_path.parent.mkdir(parents=True, exist_ok=True)
        env = dict(os.environ, WINEDEBUG=debug)
        self._log = open(self.log_path, "wb")
        self.process = subprocess.Popen(["wine", *argv], stdout=self._log, stderr=subprocess.STDOUT, env=env)

    def wait(self, timeout=15.0):
        try:
            return self.process.wait(timeout=timeout)
        finally:
            if self.process.poll() is not None:
                self._log.close()

    def is_running(self):
        return self.process.poll() is None

    def kill(self):
        if self.is_running():
            self.process.kill()
            self.process.wait()
        self._log.close()

    def crash_lines(self):
        text = self.log_path.read_text(errors="replace") if self.log_path.exists() else ""
        return [line for line in text.splitlines() if any(m in line for m in CRASH_MARKERS)]


class KelvoTestCase(unittest.TestCase):
    """Gives each test a fresh drive image, a kdrive helper and crash checks of every program it started."""

    def setUp(self):
        self.name = self.id().split(".", 1)[-1].replace(".", "_")
        self.logs = LOGS / self.name
        shutil.rmtree(self.logs, ignore_errors=True)
        self.logs.mkdir(parents=True)
        self.programs = []
        self.reset_drive()

    def tearDown(self):
        # Killing the Wine process ends the Windows process and its windows, so nothing leaks into the next test.
        for program in self.programs:
            program.kill()
        # Programs the suite started itself (the agent starts the launcher) are not ours to wait for; end them.
        kill_suite_processes()
        crashes = [(p.log_path.name, line) for p in self.programs for line in p.crash_lines()]
        self.assertEqual(crashes, [], "a program under test crashed (see its log)")

    # Drive image -----------------------------------------------------------------------------------------
    def reset_drive(self):
        if DRIVE.exists():
            shutil.rmtree(DRIVE)
        (DRIVE / SUITE).mkdir(parents=True)
        (DRIVE / ids.kPackagesFolder).mkdir()
        (DRIVE / ".windows-label").write_text("KELVOTEST\n")
        (DRIVE / ".windows-serial").write_text("4B454C56\n")
        for exe in (ids.kLauncherProgram,):
            shutil.copy2(BIN / exe, DRIVE / SUITE / exe)
        # The shipped layout files, as the drive image holds them.
        for layout in (BIN.parent / "skin").glob("*.kpt"):
            shutil.copy2(layout, DRIVE / SUITE / layout.name)

    @property
    def suite_dir(self):
        return DRIVE / SUITE

    def win_path(self, *parts):
        return "\\".join([DRIVE_LETTER, SUITE, *parts])

    # Programs --------------------------------------------------------------------------------------------
    def start(self, exe_win_path, *args, log_name=None):
        log_name = log_name or f"{Path(exe_win_path.replace(chr(92), '/')).stem}-{len(self.programs)}.log"
        program = Program([exe_win_path, *args], self.logs / log_name)
        self.programs.append(program)
        return program

    def start_launcher(self, wait_visible=True):
        program = self.start(self.win_path(ids.kLauncherProgram))
        if wait_visible:
            self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms", "15000")
        return program

    def start_real_agent(self, settings=None, env=None):
        """The agent on the drive with the given TolvSet.xml and TolvEnv.xml bytes (None: none, or no pages),
        returned once its start-up is over and it reads its messages."""
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)
        if settings is not None:
            (self.suite_dir / ids.kSettingsFile).write_bytes(settings)
        if env is None:
            from sample_env import env_xml
            env = env_xml(DRIVE_LETTER, ((),))
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env)
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "20000")
        self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(WM_NULL),
                    "--timeout-ms", "30000")
        return agent

    def write_credentials(self, user_id, password):
        """TolvIni.dat as ./kelvo credentials writes it, into the drive's suite folder."""
        tool = ROOT / "build" / "native" / "tools" / "credentials" / "kelvo-credentials"
        subprocess.run([str(tool), user_id, password, str(self.suite_dir / ids.kCredentialsFile)], check=True,
                       capture_output=True)

    def launcher_visible(self):
        """"1" or "0" while the launcher's window exists, None when there is none."""
        if self.kdrive("count", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle) == "0":
            return None
        return self.window_info(ids.kLauncherClass, ids.kLauncherTitle)["visible"]

    def start_standin_agent(self):
        """A hidden window of the agent's class that logs every message it gets, as the agent would receive them."""
        log = self.logs / "agent-messages.log"
        ready = self.logs / "agent-ready"
        program = self.start(str(BIN / "kdrive.exe"), "peer", "--class", ids.kAgentClass, "--log", self.to_wine(log),
                             "--ready", self.to_wine(ready), log_name="standin-agent.log")
        wait_until(ready.exists, 15.0, what="the stand-in agent's window")
        return program, log

    @staticmethod
    def to_wine(path):
        """A Linux path as Wine's Z: drive sees it."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def start_local_store(self, *options):
        """The local store on the build's store ports with the content the build laid out, and any further
        options of store.py; ended when the test ends. Returns the folder of its logs (http.log, ftp.log)."""
        log_dir = self.logs / "store"
        log_dir.mkdir(parents=True, exist_ok=True)
        store = subprocess.Popen(
            ["/usr/bin/python3", str(ROOT / "tools" / "store" / "store.py"), "--http-port", STORE_HTTP_PORT,
             "--ftp-port", STORE_FTP_PORT, "--root", str(ROOT / "build" / "store-content"), "--log-dir", str(log_dir),
             *options],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.addCleanup(lambda: (store.terminate(), store.wait(10)))
        line = store.stdout.readline().decode(errors="replace")
        self.assertTrue(line.startswith("ready"), f"the local store did not start: {line}")
        return log_dir

    def start_stock_store(self, content, work):
        """Debian's nginx and vsftpd on the build's store ports serving `content`, through the Windows-side tests'
        own start and stop (tests/platform/stock_store.sh); ended when the test ends. Returns the state folder
        (nginx-access.log, vsftpd.log)."""
        script = ROOT / "tests" / "platform" / "stock_store.sh"
        env = dict(os.environ, KELVO_STOCK_HTTP_PORT=STORE_HTTP_PORT, KELVO_STOCK_FTP_PORT=STORE_FTP_PORT)
        started = subprocess.run(["bash", "-c", 'source "$0" && start_stock_store "$1" "$2"', str(script),
                                  str(content), str(work)], env=env, capture_output=True, text=True)
        state = Path(work) / "stock"
        self.addCleanup(lambda: subprocess.run(["bash", "-c", 'source "$0" && stock_state="$1" stop_stock_store',
                                                str(script), str(state)], capture_output=True))
        self.assertEqual(started.returncode, 0, f"the stock servers did not start: {started.stderr}")
        return state

    # Driver ----------------------------------------------------------------------------------------------
    def kdrive(self, *args, check=True, timeout=30.0):
        for attempt in range(2):
            result = subprocess.run(["wine", str(BIN / "kdrive.exe"), *args], capture_output=True, timeout=timeout,
                                    env=dict(os.environ, WINEDEBUG="-all"))
            # Under load a Wine process now and then fails to start at all: no output, not even kdrive's own
            # error line. That is no answer from kdrive, so it is asked once more.
            if result.returncode == 0 or result.stdout.strip() or result.stderr.strip():
                break
        out = result.stdout.decode("utf-8", "replace").strip()
        if check and result.returncode != 0:
            err = result.stderr.decode("utf-8", "replace").strip().splitlines()
            raise AssertionError(f"kdrive {' '.join(args)} failed ({result.returncode}): {err[-3:] if err else ''}")
        return out if check else (result.returncode, out)

    def children(self, cls, title=None):
        """Every child window of a top-level window: hwnd, parent, id, class, visible and its screen rectangle."""
        rows = []
        args = ["children", "--class", cls] + (["--title", title] if title is not None else [])
        for line in self.kdrive(*args).splitlines():
            fields = dict(token.split("=", 1) for token in line.split() if "=" in token)
            for key in ("id", "visible", "left", "top", "right", "bottom"):
                fields[key] = int(fields[key])
            rows.append(fields)
        return rows

    def click_child(self, cls, child, x=None, y=None):
        """A real click into a child window (a row of children(cls)), at its middle unless told where."""
        x = (child["left"] + child["right"]) // 2 if x is None else child["left"] + x
        y = (child["top"] + child["bottom"]) // 2 if y is None else child["top"] + y
        origin_x, origin_y = self.client_origin(cls)
        self.kdrive("click", "--class", cls, "--x", str(x - origin_x), "--y", str(y - origin_y))

    def settings_control(self, control_id):
        """A control of the settings program's shown view: the views share control ids, so the visible pane's."""
        rows = self.children(ids.kSettingsClass)
        pane = [r for r in rows if r["id"] == SETTINGS_PANE_ID and r["visible"]][0]
        return [r for r in rows if r["parent"] == pane["hwnd"] and r["id"] == control_id][0]

    def type_keys(self, text):
        """Types ASCII text with real key presses, as a US keyboard makes it, into whatever has the focus."""
        for char in text:
            vk, shift = KEYS_US[char] if char in KEYS_US else (ord(char.upper()), char.isupper())
            self.kdrive("keys", "--vk", str(vk), *(["--shift"] if shift else []))

    def window_info(self, cls, title=None):
        args = ["info", "--class", cls] + (["--title", title] if title is not None else [])
        fields = {}
        for token in self.kdrive(*args).split():
            if "=" in token:
                key, value = token.split("=", 1)
                fields.setdefault(key, value)
        return fields

    def screenshot(self, name, cls=None):
        SCREENS.mkdir(parents=True, exist_ok=True)
        out = SCREENS / f"{name}.png"
        args = ["shot", "--out", self.to_wine(out)] + (["--class", cls] if cls else [])
        self.kdrive(*args)
        return out

    def check_screen(self, name, cls, title=None, masks=(), timeout=10.0, park_pointer=True):
        """Shoots a window as the screen shows it, caption and frame included, once it has stopped changing, and
        compares the shot with its reference (screen_check); masks are window-relative rectangles to leave out.
        Unless told otherwise the pointer is parked first, so nothing is lit by a pointer resting over it."""
        import screen_check
        out = self.settled_screenshot(name, cls, title, timeout, park_pointer)
        failure = screen_check.check(name, out, masks)
        if failure:
            self.fail(failure)
        return out

    def settled_screenshot(self, name, cls, title=None, timeout=10.0, park_pointer=True):
        """A window as the screen shows it, caption and frame included (window-relative pixels), once it has
        stopped changing; saved under out/screens. The pointer is parked first unless told otherwise."""
        from PIL import Image, ImageChops
        SCREENS.mkdir(parents=True, exist_ok=True)
        out = SCREENS / f"{name}.png"
        args = ["shot", "--out", self.to_wine(out), "--class", cls] + (["--title", title] if title else [])
        previous = []
        if park_pointer:
            width, height = (int(v) for v in os.environ.get("KELVO_SCREEN_SIZE", "1280x1024").split("x"))
            self.kdrive("pointer", "--x", str(width - 1), "--y", str(height - 1))

        def settled():
            self.kdrive(*args)
            with Image.open(out) as opened:
                shot = opened.convert("RGB")
            done = bool(previous) and previous[-1].size == shot.size and \
                ImageChops.difference(previous[-1], shot).getbbox() is None
            previous.append(shot)
            return done

        # A window still being drawn (a slide, a late repaint) differs between two shots in a row.
        wait_until(settled, timeout, interval=0.1, what=f"the {name} screen to stop changing")
        return out

    def client_origin(self, cls, title=None):
        """The screen point of a framed window's client origin: frames are as wide on the left, right and bottom."""
        info = self.window_info(cls, title)
        left, top, right, bottom = (int(v) for v in info["rect"].split(","))
        width, height = (int(v) for v in info["client"].split(","))
        border = (right - left - width) // 2
        return left + border, bottom - border - height

    def window_shot(self, name):
        """The launcher window as the screen shows it, saved under out/screens and opened with PIL."""
        from PIL import Image
        return Image.open(self.screenshot(name, ids.kLauncherClass)).convert("RGB")

    @staticmethod
    def read_log_lines(path):
        return Path(path).read_text(errors="replace").splitlines() if Path(path).exists() else []


# Records the agent sends ------------------------------------------------------------------------------------
def utf16_field(text, units):
    """A NUL-padded UTF-16LE field of `units` code units, cut to leave room for the terminator."""
    data = text.encode("utf-16-le")[: (units - 1) * 2]
    return data + b"\x00" * (units * 2 - len(data))


def package_announce(package_id, caption, program_path):
    """The 624-byte payload of WM_COPYDATA kinds 2 and 3."""
    import struct
    return struct.pack("<i", package_id) + utf16_field(caption, 50) + utf16_field(program_path, 260)


def package_record(pkg_type=0, pkg_id=0, type_=0, caption="", path="", param="", icon="", update_flag=0):
    """The 3644-byte item record of WM_COPYDATA kinds 4 and 5."""
    import struct
    record = struct.pack("<iii", pkg_type, pkg_id, type_) + utf16_field(caption, 1024) + utf16_field(path, 260)
    record += utf16_field(param, 260) + utf16_field(icon, 260) + struct.pack("<ii", 0, update_flag)
    record += b"\x00" * (3644 - len(record))
    assert len(record) == 3644
    return record


def read_env_packages(path):
    """The environment file's pages as lists of {field: text}, read the way another program would."""
    import xml.etree.ElementTree as ET
    data = Path(path).read_bytes()
    text = data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("utf-8-sig")
    root = ET.fromstring(text)
    page_env = root[1]
    pages = []
    for page in list(page_env)[2:]:
        pages.append([{field.tag: (field.text or "") for field in package} for package in list(page)[1:]])
    return pages
