"""An update cut off in the middle of its swap: the agent is killed while it moves the new files in, and its next
start gives the package folder back its old version, byte for byte."""
import shutil
import time
import unittest

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, ROOT, KelvoTestCase, read_env_packages, wait_until
from sample_env import env_xml
from sample_settings import settings_xml

PROGRAM_UPDATE = 1050
# The store's package of 300 small files, whose swap lasts long enough to be cut off.
STORE_FILES = ROOT / "build" / "store-content" / "application" / "office" / "Pieces"
PACKAGE_ID = 106
# Steps into the swap before the kill: well inside it, neither at its start nor at its end.
KILL_AT_STEP = 40


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


class InterruptedUpdate(KelvoTestCase):
    def setUp(self):
        super().setUp()
        for program in (ids.kAgentProgram, ids.kSettingsProgram):
            shutil.copy2(BIN / program, self.suite_dir / program)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        # The old version on the drive: every file the new one has, with other contents, and an older profile.
        self.folder = DRIVE / ids.kPackagesFolder / "Pieces"
        for relative, data in folder_bytes(STORE_FILES).items():
            target = self.folder / relative
            target.parent.mkdir(parents=True, exist_ok=True)
            if relative.name == ids.kProfileFile:
                target.write_bytes(data.replace(b"<VERSION>2.0<", b"<VERSION>1.0<"))
            else:
                target.write_bytes(b"old " + str(relative).encode("utf-8"))
        self.old = folder_bytes(self.folder)
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


if __name__ == "__main__":
    unittest.main()
