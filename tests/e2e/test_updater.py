"""The self-updater KelvoUp on the test drive: straight to the agent when no check is wanted, and a whole update
from the local store when one is."""
import shutil
import unittest

from kelvo_e2e import ids, BIN, DRIVE, ROOT, KelvoTestCase, wait_until
from sample_settings import settings_xml

IDYES = 6
STORE_CONTENT = ROOT / "build" / "store-content"


class Updater(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kUpdaterProgram, self.suite_dir / ids.kUpdaterProgram)
        # The stand-in agent records that it was started.
        shutil.copy2(BIN / "kdrive.exe", self.suite_dir / ids.kAgentProgram)
        self.started_log = self.suite_dir / "standin-agent.log"

    # Catches: an updater that checks although the user did not ask for it, or does not start the agent.
    def test_without_the_check_the_agent_starts_at_once(self):
        updater = self.start(self.win_path(ids.kUpdaterProgram))
        self.assertEqual(updater.wait(30), 0)
        wait_until(lambda: "started" in self.read_log_lines(self.started_log), 15.0, what="the agent's start")
        self.assertEqual(self.kdrive("count", "--class", "#32770", "--visible"), "0")

    # Catches: a question missing for a suite without a version, a progress dialog with a border, files not
    # installed (the starter at the drive root), the version not recorded, and the agent not started at the end.
    def test_a_whole_update_from_the_store(self):
        self.start_local_store()
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml({"UpdateCheck": 1}))
        updater = self.start(self.win_path(ids.kUpdaterProgram))
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "20000")
        self.assertIn("Kelvo 업데이트가 있습니다.", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.check_screen("updater-question", "#32770", "정보")
        # The progress dialog behind the question has no border: its window is its client area.
        dialog = self.window_info("#32770", "")
        width, height = (int(v) for v in dialog["client"].split(","))
        left, top, right, bottom = (int(v) for v in dialog["rect"].split(","))
        self.assertEqual((right - left, bottom - top), (width, height), "the updater dialog has no border")
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDYES))
        self.assertEqual(updater.wait(60), 0)
        launcher_files = STORE_CONTENT / "application" / "Launcher"
        self.assertEqual((DRIVE / ids.kStarterProgram).read_bytes(), (launcher_files / ids.kStarterProgram).read_bytes())
        self.assertEqual((self.suite_dir / ids.kLauncherProgram).read_bytes(), (launcher_files / ids.kLauncherProgram).read_bytes())
        self.assertEqual((self.suite_dir / ids.kProfileFile).read_bytes(),
                         (STORE_CONTENT / "application" / "launcher" / ids.kProfileFile).read_bytes())
        # The store's Marlo.exe is the real agent: it came up from the new files.
        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "20000")


if __name__ == "__main__":
    unittest.main()
