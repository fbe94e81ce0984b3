"""The suite started the ways a user starts it: Start.exe at the drive root, or the launcher alone."""
import shutil
import unittest

from kelvo_e2e import BIN, DRIVE, KelvoTestCase
from sample_env import env_xml


class SuiteStart(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / "Marlo.exe", self.suite_dir / "Marlo.exe")
        shutil.copy2(BIN / "Start.exe", DRIVE / "Start.exe")
        (self.suite_dir / "TolvEnv.xml").write_bytes(env_xml("T:"))

    def wait_for_suite(self):
        self.kdrive("wait", "--class", "Marlo", "--timeout-ms", "20000")
        self.kdrive("wait", "--class", "TolvApp", "--title", "TolvApp", "--visible", "--timeout-ms", "30000")
        self.assertEqual(self.kdrive("count", "--class", "Marlo"), "1")
        self.assertEqual(self.kdrive("count", "--class", "TolvApp"), "1")

    def test_start_at_the_drive_root_brings_up_agent_and_launcher(self):
        self.start("T:\\Start.exe")
        self.wait_for_suite()
        self.screenshot("suite-started-from-start-exe")
        # The agent wrote its missing settings file with the defaults.
        self.assertTrue((self.suite_dir / "TolvSet.xml").is_file())

    def test_launcher_alone_starts_the_agent_which_starts_the_launcher(self):
        first = self.start(self.win_path("Tolv.exe"))
        self.assertEqual(first.wait(20), 0, "without an agent the launcher only starts it")
        self.wait_for_suite()


if __name__ == "__main__":
    unittest.main(verbosity=2)
