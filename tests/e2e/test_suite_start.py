"""The suite started the ways a user starts it: Start.exe at the drive root, or the launcher alone."""
import shutil
import unittest

from kelvo_e2e import ids, BIN, DRIVE, KelvoTestCase
from sample_env import env_xml


class SuiteStart(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)
        shutil.copy2(BIN / ids.kStarterProgram, DRIVE / ids.kStarterProgram)
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml("T:"))

    def wait_for_suite(self):
        self.kdrive("wait", "--class", ids.kAgentClass, "--timeout-ms", "20000")
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms", "30000")
        self.assertEqual(self.kdrive("count", "--class", ids.kAgentClass), "1")
        self.assertEqual(self.kdrive("count", "--class", ids.kLauncherClass), "1")

    def test_start_at_the_drive_root_brings_up_agent_and_launcher(self):
        self.start("T:\\" + ids.kStarterProgram)
        self.wait_for_suite()
        self.screenshot("suite-started-from-start-exe")
        # The agent wrote its missing settings file with the defaults.
        self.assertTrue((self.suite_dir / ids.kSettingsFile).is_file())

    def test_launcher_alone_starts_the_agent_which_starts_the_launcher(self):
        first = self.start(self.win_path(ids.kLauncherProgram))
        self.assertEqual(first.wait(20), 0, "without an agent the launcher only starts it")
        self.wait_for_suite()


if __name__ == "__main__":
    unittest.main(verbosity=2)
