"""The agent Marlo on the test drive: start-up with the launcher, single instance, exit, default files, auto-close."""
import shutil
import unittest

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, KelvoTestCase, wait_until
from sample_env import env_xml
from sample_settings import settings_xml

IDYES = 6
WM_LBUTTONDBLCLK = 0x0203
EXIT_BUTTON = ids.kIdExitButton
ASK_EXIT = "Kelvo를 종료 하시겠습니까?"


class Agent(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)

    def start_agent(self):
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "20000")
        return agent

    def wait_launcher(self):
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms", "20000")

    def exit_through_the_launcher(self):
        """The launcher's exit button posts the shut-down message to the agent, which asks before it ends the suite."""
        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(ids.kMsgButtonNotice), "--wparam", str(EXIT_BUTTON),
                    "--lparam", "0")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        text = self.kdrive("dialog-text", "--class", "#32770", "--title", "정보")
        self.assertIn(ASK_EXIT, text)
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDYES))

    # Catches: a swap of a package's files that an earlier agent did not live through (killed, the stick pulled)
    # and that the next start leaves half done. Here the first file was moved in and the second only moved aside,
    # as the journal says: the start must give the package folder back its old version whole.
    def test_an_interrupted_swap_is_rolled_back_at_the_next_start(self):
        package = DRIVE / ids.kPackagesFolder / "Notes"
        job = self.suite_dir / ids.kStagingFolder / "104"
        old = {("notes.exe",): b"MZ old program", ("data", "a.dat"): "옛 자료".encode("utf-8")}
        new = {("notes.exe",): b"MZ new program", ("data", "a.dat"): "새 자료".encode("utf-8")}
        placed = {("notes.exe",): new[("notes.exe",)]}  # moved in
        backups = dict(old)  # both moved aside
        staged = {("data", "a.dat"): new[("data", "a.dat")]}  # not moved in yet
        for folder, files in ((package, placed), (job / "backup", backups), (job / "files", staged)):
            for parts, data in files.items():
                path = folder.joinpath(*parts)
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(data)

        def win(*parts):
            return "\\".join((DRIVE_LETTER,) + parts)
        lines = ["kelvo-swap 1", "swapping", "3"]
        for parts in old:
            lines.append("\t".join((win(ids.kSuiteFolder, ids.kStagingFolder, "104", "files", *parts),
                                    win(ids.kPackagesFolder, "Notes", *parts),
                                    win(ids.kSuiteFolder, ids.kStagingFolder, "104", "backup", *parts))))
        lines.append("end")
        journal = job / "swap.journal"
        journal.write_bytes(("\n".join(lines) + "\n").encode("utf-8"))

        self.start_agent()
        self.wait_launcher()
        wait_until(lambda: not journal.exists(), 15.0, what="the journal to be settled")
        for parts, data in old.items():
            self.assertEqual(package.joinpath(*parts).read_bytes(), data, parts)
        self.assertEqual((job / "files" / "notes.exe").read_bytes(), new[("notes.exe",)],
                         "the new file goes back to the staging folder, for the job queued again")
        self.assertFalse((job / "backup").exists())

    # Catches: an agent that does not bring up the launcher, a hidden window under another class or title, and a
    # second agent that stays (two tray icons, hotkeys held twice).
    def test_starts_the_launcher_and_a_second_agent_ends_at_once(self):
        agent = self.start_agent()
        self.wait_launcher()
        self.assertEqual(self.window_info(ids.kAgentClass, ids.kAgentClass)["visible"], "0")
        second = self.start(self.win_path(ids.kAgentProgram))
        self.assertEqual(second.wait(20), 0)
        self.assertEqual(self.kdrive("count", "--class", ids.kAgentClass), "1")
        self.assertTrue(agent.is_running())
        self.screenshot("agent-started")

    # Catches: the launcher's exit notice not reaching the exit procedure, or a Yes leaving a program behind.
    def test_exit_notice_asks_and_ends_launcher_and_agent(self):
        agent = self.start_agent()
        self.wait_launcher()
        launcher_window = self.kdrive("find", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle)
        self.assertTrue(launcher_window)
        self.exit_through_the_launcher()
        self.assertEqual(agent.wait(30), 0)
        self.kdrive("wait-gone", "--class", ids.kLauncherClass, "--timeout-ms", "15000")
        self.assertEqual(self.kdrive("count", "--class", ids.kAgentClass), "0")

    # Catches: an unreadable environment file overwritten without a copy, or a copy that is not byte for byte.
    def test_corrupt_environment_is_kept_and_replaced_by_the_default(self):
        corrupt = b"\xff\xfe" + "<TolvEnv><MAINMENU>깨진".encode("utf-16-le")
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(corrupt)
        self.start_agent()
        self.wait_launcher()
        self.assertEqual((self.suite_dir / (ids.kEnvironmentFile + ".bak")).read_bytes(), corrupt)
        fresh = (self.suite_dir / ids.kEnvironmentFile).read_bytes()
        self.assertEqual(fresh[:2], b"\xff\xfe")
        self.assertIn("<PageNum>0</PageNum>", fresh[2:].decode("utf-16-le"))
        # A missing settings file is written from the default, with nothing to keep.
        self.assertTrue((self.suite_dir / ids.kSettingsFile).exists())
        self.assertFalse((self.suite_dir / (ids.kSettingsFile + ".bak")).exists())

    # Catches: auto-close programs not run at the end, or run before the agent has let go of the suite.
    def test_auto_close_program_runs_when_the_agent_ends(self):
        shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / "marker.exe")
        page = [(1, 50, 0, "마커", "{drive}\\Kelvo\\marker.exe", 0)]
        text = env_xml(DRIVE_LETTER, (page,))[2:].decode("utf-16-le")
        text = text.replace("<STARTCLOSE>0</STARTCLOSE>", "<STARTCLOSE>1</STARTCLOSE>")
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
        agent = self.start_agent()
        self.wait_launcher()
        marker = self.suite_dir / "marker.exe.ran"
        self.assertFalse(marker.exists(), "an auto-close program runs only at the end")
        self.exit_through_the_launcher()
        self.assertEqual(agent.wait(30), 0)
        wait_until(marker.exists, 20.0, what="the auto-close program's marker")

    # Catches: the launcher brought up in tray-icon mode (the user asked for the icon only), and the tray icon's
    # double-click not bringing it up afterwards.
    def test_tray_icon_mode_starts_no_launcher_until_asked(self):
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml({"TrayIconMode": 1}))
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, ((),)))
        self.start_agent()
        # Answered once start-up is over and the agent reads its messages.
        self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", "0", "--timeout-ms", "30000")
        self.assertEqual(self.kdrive("count", "--class", ids.kLauncherClass), "0", "no launcher in tray-icon mode")
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgTrayNotify),
                    "--wparam", "0", "--lparam", str(WM_LBUTTONDBLCLK))
        self.wait_launcher()

    # Catches: a settings file the agent rejects (not a missing one) overwritten without a copy, or the suite going
    # on with the rejected values instead of the default.
    def test_rejected_settings_file_is_kept_and_replaced_by_the_default(self):
        rejected = b"\xff\xfe" + "<TolvSet><Broken>깨진 설정</Broken></TolvSet>".encode("utf-16-le")
        (self.suite_dir / ids.kSettingsFile).write_bytes(rejected)
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, ((),)))
        self.start_agent()
        self.wait_launcher()
        self.assertEqual((self.suite_dir / (ids.kSettingsFile + ".bak")).read_bytes(), rejected)
        shipped = (BIN.parent / "generated" / "defaults" / "DefaultSettings.xml").read_bytes()
        self.assertEqual((self.suite_dir / ids.kSettingsFile).read_bytes(), shipped, "the default, byte for byte")
        self.assertFalse((self.suite_dir / (ids.kSettingsFile + ".bak2")).exists())


if __name__ == "__main__":
    unittest.main()
