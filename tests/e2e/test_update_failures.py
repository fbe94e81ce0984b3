"""Updates that fail on the drive: the agent killed in the middle of the swap, whose next start gives the package
folder back its old version byte for byte, and a drive without room for the new version."""
import os
import shutil
import subprocess
import time
import unittest

from pathlib import Path

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, ROOT, KelvoTestCase, read_env_packages, wait_until
from sample_env import env_xml
from sample_settings import settings_xml

PROGRAM_UPDATE = 1050
# The store's package of 300 small files, whose swap lasts long enough to be cut off.
STORE = ROOT / "build" / "store-content" / "application"
STORE_FILES = STORE / "office" / "Pieces"
PACKAGE_ID = 106
# Steps into the swap before the kill: well inside it, neither at its start nor at its end.
KILL_AT_STEP = 40
VK_TAB, VK_RETURN = 0x09, 0x0D


def folder_bytes(folder):
    return {path.relative_to(folder): path.read_bytes() for path in sorted(folder.rglob("*")) if path.is_file()}


def journal_state(journal):
    """(state, step) of a swap journal, or None while there is none or it is being replaced."""
    try:
        lines = journal.read_bytes().decode("utf-8").split("\n")
    except (FileNotFoundError, UnicodeDecodeError):
        return None
    if len(lines) < 3 or not lines[2].isdigit():
        return None
    return lines[1], int(lines[2])


def write_old_version(folder, store_files, new_version, old_version):
    """Writes an older version of a store package into folder: every file the new one has, with other contents,
    and its profile with old_version. Returns the folder's bytes."""
    for relative, data in folder_bytes(store_files).items():
        target = folder / relative
        target.parent.mkdir(parents=True, exist_ok=True)
        if relative.name == ids.kProfileFile:
            target.write_bytes(data.replace(b"<VERSION>" + new_version + b"<", b"<VERSION>" + old_version + b"<"))
        else:
            target.write_bytes(b"old " + str(relative).encode("utf-8"))
    return folder_bytes(folder)


class InterruptedUpdate(KelvoTestCase):
    def setUp(self):
        super().setUp()
        for program in (ids.kAgentProgram, ids.kSettingsProgram):
            shutil.copy2(BIN / program, self.suite_dir / program)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        # The old version on the drive: every file the new one has, with other contents, and an older profile.
        self.folder = DRIVE / ids.kPackagesFolder / "Pieces"
        self.old = write_old_version(self.folder, STORE_FILES, b"2.0", b"1.0")
        page = [(1, PACKAGE_ID, 0, "조각들", "{drive}\\Portable Programs\\Pieces\\pieces.exe", 0)]
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (page,)))
        self.journal = self.suite_dir / ids.kStagingFolder / str(PACKAGE_ID) / "swap.journal"

    def update_flags(self):
        return [item["UPDATEFLAG"] for page in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for item in page
                if item["PKGID"] == str(PACKAGE_ID)]

    def start_agent(self):
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "20000")
        return agent

    def wait_for_the_swap(self):
        """Polls the journal until the swap is KILL_AT_STEP steps in; the state seen last."""
        deadline = time.monotonic() + 120.0
        state = None
        while time.monotonic() < deadline:
            state = journal_state(self.journal) or state
            if state and state[0] == "swapping" and state[1] >= KILL_AT_STEP:
                return state
            if state and state[0] == "committed":
                break
            time.sleep(0.005)
        self.fail(f"the swap was not caught in the middle (last seen: {state})")

    # Catches: an agent killed during the swap that leaves old and new files mixed in the package folder, a
    # next start that does not settle the journal, and a launcher item left marked as being updated.
    def test_a_kill_in_the_middle_of_the_swap_is_rolled_back_at_the_next_start(self):
        self.start_local_store()
        agent = self.start_agent()
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms",
                    "20000")
        self.start(self.win_path(ids.kSettingsProgram), "-2", "-1", f"-{PACKAGE_ID}")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "프로그램 관리", "--visible", "--timeout-ms", "20000")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_UPDATE), "--bm-click")

        self.wait_for_the_swap()
        agent.kill()
        state = journal_state(self.journal)
        self.assertEqual(state[0], "swapping", "killed before the swap ended")
        self.assertNotEqual(folder_bytes(self.folder), self.old, "the kill left the folder half swapped")
        self.assertEqual(self.update_flags(), ["2"], "the launcher marks the item while the update runs")

        self.start_agent()
        wait_until(lambda: not self.journal.exists(), 30.0, what="the journal to be settled")
        self.assertEqual(folder_bytes(self.folder), self.old)
        wait_until(lambda: self.update_flags() == ["0"], 30.0, what="the launcher's item without its updating mark")


class FullDrive(KelvoTestCase):
    """The suite on a small drive of its own (a tmpfs as Wine's U:) with room for the suite but not for the
    20 MB package's new version."""

    LETTER = "U:"
    SIZE = "48m"

    def setUp(self):
        super().setUp()
        self.drive = ROOT / "build" / "smalldrive"
        self.drive.mkdir(parents=True, exist_ok=True)
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={self.SIZE}", "tmpfs", str(self.drive)],
                                 capture_output=True)
        if mounted.returncode != 0:
            self.skipTest(f"a small drive needs a tmpfs mount: {mounted.stderr.decode(errors='replace').strip()}")
        self.addCleanup(lambda: subprocess.run(["umount", "-l", str(self.drive)], check=False))
        letter = Path(os.environ["WINEPREFIX"]) / "dosdevices" / self.LETTER.lower()
        if letter.is_symlink():
            letter.unlink()
        letter.symlink_to(self.drive)
        self.addCleanup(letter.unlink)
        suite = self.drive / ids.kSuiteFolder
        suite.mkdir()
        for program in (ids.kAgentProgram, ids.kSettingsProgram, ids.kLauncherProgram):
            shutil.copy2(BIN / program, suite / program)
        for layout in (BIN.parent / "skin").glob("*.kpt"):
            shutil.copy2(layout, suite / layout.name)
        (suite / ids.kSettingsFile).write_bytes(settings_xml())
        self.folder = self.drive / ids.kPackagesFolder / "BigData"
        self.env_file = suite / ids.kEnvironmentFile
        self.env_file.write_bytes(env_xml(self.LETTER, ((),)))
        self.staging = suite / ids.kStagingFolder

    def start_suite(self):
        self.start_local_store()
        self.free = shutil.disk_usage(self.drive).free
        self.assertLess(self.free, 20 * 1024 * 1024, "the drive is too large for the test")
        self.agent = self.start(self.suite_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms",
                    "20000")

    def wait_for_the_refusal(self, screen):
        """The agent's box saying the package could not be fetched for want of room (code 112)."""
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "60000")
        wait_until(lambda: "(오류코드:112)" in self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"), 15.0,
                   what="the agent to say that the drive is full")
        self.assertIn("BigData", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.screenshot(screen)
        staged = sum(p.stat().st_size for p in self.staging.rglob("*") if p.is_file()) if self.staging.exists() else 0
        self.assertLess(staged, 1024 * 1024, "no part of the 20 MB was fetched")
        self.assertGreaterEqual(shutil.disk_usage(self.drive).free, self.free - 1024 * 1024)

    def suite_path(self, name):
        return "\\".join((self.LETTER, ids.kSuiteFolder, name))

    # Catches: an update started on a drive that cannot hold it (the old version moved aside for a new one that
    # never fits), a failure told with no reason, the staging folder left holding part of the 20 MB, and the
    # launcher's item lost or left marked.
    def test_an_update_without_room_is_refused_and_the_old_version_stays(self):
        # BigData 0.8 on the drive: small files where 0.9 brings 20 MB.
        old = write_old_version(self.folder, STORE / "data" / "BigData", b"0.9", b"0.8")
        page = [(1, 103, 0, "큰 자료", "{drive}\\Portable Programs\\BigData\\bigdata.exe", 0)]
        self.env_file.write_bytes(env_xml(self.LETTER, (page,)))
        self.start_suite()
        self.start(self.suite_path(ids.kSettingsProgram), "-2", "-1", "-103")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "프로그램 관리", "--visible", "--timeout-ms", "20000")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_UPDATE), "--bm-click")
        self.wait_for_the_refusal("update-drive-full")
        self.assertEqual(folder_bytes(self.folder), old)
        wait_until(lambda: [(i["PKGID"], i["UPDATEFLAG"]) for p in read_env_packages(self.env_file) for i in p]
                   == [("103", "0")], 30.0, what="the launcher's item, kept and without its updating mark")

    # Catches: a first install that does not fit started anyway, and the item its announcement added left in the
    # launcher (or a package folder left) after the refusal.
    def test_a_first_install_without_room_leaves_no_folder_and_no_item(self):
        self.start_suite()
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgOpenStore))
        self.kdrive("wait", "--class", "#32770", "--title", ids.kStoreName, "--visible", "--timeout-ms", "20000")
        wait_until(lambda: "Marlo store view: " in self.agent.log_path.read_text(errors="replace"), 30.0,
                   what="the store view's decision")
        # The page's fifth button: the third package's (BigData's) install.
        self.kdrive("click", "--class", "#32770", "--title", ids.kStoreName, "--x", "4", "--y", "4")
        for _ in range(5):
            self.kdrive("keys", "--vk", str(VK_TAB))
        self.kdrive("keys", "--vk", str(VK_RETURN))
        self.wait_for_the_refusal("install-drive-full")
        self.assertFalse(self.folder.exists())
        wait_until(lambda: [i["PKGID"] for p in read_env_packages(self.env_file) for i in p] == [], 30.0,
                   what="the launcher to take back the item of the failed install")

if __name__ == "__main__":
    unittest.main()
