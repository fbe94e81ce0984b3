"""Start.exe at the drive root: it hands over to the updater when there is one, else to the agent, and says where to
look when the suite's programs are missing."""
import shutil
import unittest

from kelvo_e2e import ids, BIN, DRIVE, WM_CLOSE, KelvoTestCase, wait_until

IDOK = 1


class Starter(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kStarterProgram, DRIVE / ids.kStarterProgram)

    def start_starter(self):
        return self.start("T:\\" + ids.kStarterProgram)

    def standin(self, name):
        """kdrive under a program's file name: as Marlo.exe it is the stand-in agent, as KelvoUp.exe the stand-in
        updater; each appends "started" to its log in the suite folder."""
        shutil.copy2(BIN / "kdrive.exe", self.suite_dir / name)

    def started(self, log_name):
        return "started" in self.read_log_lines(self.suite_dir / log_name)

    def close_standin_agent(self):
        self.kdrive("post", "--class", ids.kAgentClass, "--msg", str(WM_CLOSE), "--wparam", "0", "--lparam", "0")
        self.kdrive("wait-gone", "--class", ids.kAgentClass, "--timeout-ms", "15000")

    def test_starts_the_agent_from_the_suite_folder(self):
        self.standin(ids.kAgentProgram)
        self.assertEqual(self.start_starter().wait(20), 0)
        wait_until(lambda: self.started("standin-agent.log"), 15.0, what="the stand-in agent to start")
        self.kdrive("wait", "--class", ids.kAgentClass, "--timeout-ms", "15000")
        self.close_standin_agent()

    def test_prefers_the_updater_which_starts_the_agent_itself(self):
        self.standin(ids.kAgentProgram)
        self.standin(ids.kUpdaterProgram)
        self.assertEqual(self.start_starter().wait(20), 0)
        wait_until(lambda: self.started("standin-updater.log"), 15.0, what="the stand-in updater to start")
        # ShellExecuteW has returned before Start.exe ends, so a second start would already be on its way.
        self.assertEqual(self.kdrive("count", "--class", ids.kAgentClass), "0")
        self.assertFalse(self.started("standin-agent.log"), "the starter must leave the agent to the updater")

    def test_without_the_suite_says_which_folder_to_check(self):
        starter = self.start_starter()
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--timeout-ms", "15000")
        lines = self.kdrive("dialog-text", "--class", "#32770", "--title", "정보").splitlines()
        # dialog-text writes a line break as "\n" and a backslash as "\\".
        self.assertIn("Kelvo를 시작할 수 없습니다.\\nT:\\\\Kelvo 폴더에 Marlo.exe 파일이 있는지 확인하십시오.", lines)
        self.screenshot("starter-missing-suite", "#32770")
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK))
        self.assertEqual(starter.wait(20), 1)

    def test_a_folder_named_like_the_agent_is_not_started(self):
        (self.suite_dir / ids.kUpdaterProgram).mkdir()
        (self.suite_dir / ids.kAgentProgram).mkdir()
        starter = self.start_starter()
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--timeout-ms", "15000")
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK))
        self.assertEqual(starter.wait(20), 1)


if __name__ == "__main__":
    unittest.main()
