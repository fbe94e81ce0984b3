"""The settings program TolvSet on the test drive: its views, a save that reaches the file and the agent, the
agent's requests for a view, and a single instance."""
import shutil
import unittest

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, ROOT, KelvoTestCase, read_env_packages, sha256, wait_until
from sample_env import env_xml
from sample_settings import settings_xml

SETTINGS_SAVED = ids.kMsgSettingsSaved
SHOW_HELP = ids.kMsgShowHelpView
ALWAYS_ON_TOP = 1035
GENERAL_SAVE = 1034
VIEW_OTHER_OPTIONS = 5603
ENV_CHANGED = ids.kMsgEnvChanged
PROGRAM_SAVE, PROGRAM_REMOVE, PROGRAM_START_OPEN, PROGRAM_CAPTION, PROGRAM_UPDATE = 1029, 1001, 1048, 1044, 1050
STORE_PACKAGES = ROOT / "build" / "store-content" / "application"
IDOK, IDCANCEL = 1, 2
APP_ABOUT = 57664
WM_COMMAND = 273
VIEW_GENERAL = 5600
VK_UP, VK_DOWN, VK_RETURN = 0x26, 0x28, 0x0D
# The bar at 96 DPI: a 26-pixel header, then 76-pixel items, 100 pixels wide.
BAR_X = 50


def bar_item_y(index):
    return 26 + 76 * index + 38


VIEWS = (("일반설정", "general"), ("프로그램 관리", "program-management"), ("백업설정", "backup"),
         ("기타옵션", "other-options"), ("도움말", "help"))


class SettingsProgram(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kSettingsProgram, self.suite_dir / ids.kSettingsProgram)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        (self.suite_dir / ids.kProfileFile).write_text(
            "<UPDATEPROFILE><HEAD><VERSION>1.0.1</VERSION></HEAD></UPDATEPROFILE>", encoding="utf-8")

    def wait_title(self, title):
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", title, "--visible", "--timeout-ms", "20000")

    # Catches: a settings program that opens elsewhere than the general view, a save that does not reach the
    # file or is not announced to the agent, and a launcher told of a background that did not change.
    def test_a_saved_option_reaches_the_file_and_the_agent(self):
        _, agent_log = self.start_standin_agent()
        self.start(self.win_path(ids.kSettingsProgram), "-0")
        self.wait_title("일반설정")
        self.screenshot("settings-general")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(ALWAYS_ON_TOP), "--bm-click")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(GENERAL_SAVE), "--bm-click")
        wait_until(lambda: f"msg={SETTINGS_SAVED} wparam=0 lparam=0" in self.read_log_lines(agent_log), 15.0,
                   what="the agent to hear of the save")
        text = (self.suite_dir / ids.kSettingsFile).read_bytes()[2:].decode("utf-16-le")
        self.assertIn("<AlwaysOnTop>1</AlwaysOnTop>", text)
        self.assertIn("<AutoRun>0</AutoRun>", text)

    # Catches: the agent's start arguments not opening their view, its help request not switching views, the
    # help view without the suite's version, and a second settings program that stays.
    def test_views_from_the_command_line_and_the_agent(self):
        first = self.start(self.win_path(ids.kSettingsProgram), "-1", "-2")
        self.wait_title("백업설정")
        self.kdrive("post", "--class", ids.kSettingsClass, "--msg", str(SHOW_HELP))
        self.wait_title("도움말")
        self.assertIn("* 제품 버젼 : 1.0.1", self.kdrive("dialog-text", "--class", ids.kSettingsClass))
        self.kdrive("post", "--class", ids.kSettingsClass, "--msg", "273", "--wparam", str(VIEW_OTHER_OPTIONS))
        self.wait_title("기타옵션")
        self.screenshot("settings-other-options")
        second = self.start(self.win_path(ids.kSettingsProgram))
        self.assertEqual(second.wait(20), 0)
        self.assertEqual(self.kdrive("count", "--class", ids.kSettingsClass), "1")
        self.assertTrue(first.is_running())

    # Catches: the package named on the command line not the one edited, a start flag not saved or not told to
    # the agent, a removal that leaves the entry or the folder, the agent not told of it, and boxes left empty
    # (or holding the removed row) after a removal.
    def test_program_management_saves_and_removes_a_package(self):
        programs = DRIVE / ids.kPackagesFolder
        for folder in ("memo", "viewer"):
            (programs / folder).mkdir(parents=True)
            shutil.copy2(BIN / "kelvo_marker.exe", programs / folder / f"{folder}.exe")
        page = [(1, 60, 0, "메모장", "{drive}\\Portable Programs\\memo\\memo.exe", 0),
                (1, 61, 0, "뷰어", "{drive}\\Portable Programs\\viewer\\viewer.exe", 0)]
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (page,)))
        _, agent_log = self.start_standin_agent()
        self.start(self.win_path(ids.kSettingsProgram), "-2", "-1", "-61")
        self.wait_title("프로그램 관리")
        self.screenshot("settings-program-management")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_START_OPEN), "--bm-click")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_SAVE), "--bm-click")
        wait_until(lambda: f"msg={ENV_CHANGED} wparam=3 lparam=0" in self.read_log_lines(agent_log), 15.0,
                   what="the agent to hear of the saved file")
        lines = self.read_log_lines(agent_log)
        self.assertTrue(any(" kind=6 size=24 " in line for line in lines), "the package's hot key record")
        self.assertTrue(any(" kind=1 size=1564 " in line for line in lines), "the package's start record")
        viewer = [i for p in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for i in p if i["PKGID"] == "61"][0]
        self.assertEqual(viewer["STARTOPEN"], "1")

        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_REMOVE), "--bm-click")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.assertIn("프로그램이 성공적으로 제거되었습니다.", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK))
        self.assertEqual([i["PKGID"] for p in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for i in p], ["60"])
        self.assertFalse((programs / "viewer").exists())
        self.assertTrue((programs / "memo" / "memo.exe").exists())
        # The boxes show the row that took the removed one's place, not empty fields a later save would write.
        caption = self.kdrive("control-text", "--class", ids.kSettingsClass, "--id", str(PROGRAM_CAPTION))
        self.assertEqual(caption.strip(), "메모장")
        wait_until(lambda: f"msg={ENV_CHANGED} wparam=1 lparam=61" in self.read_log_lines(agent_log), 15.0,
                   what="the agent to hear of the removal")


    # Catches: a view whose controls or buttons are cut by the pane or the status bar, a bar item that does not
    # show its view or does not light up as the shown one, and captions or caption buttons missing from the frame.
    def test_every_view_as_the_screen_shows_it(self):
        programs = DRIVE / ids.kPackagesFolder / "memo"
        programs.mkdir(parents=True)
        shutil.copy2(BIN / "kelvo_marker.exe", programs / "memo.exe")
        page = [(1, 60, 0, "메모장", "{drive}\\Portable Programs\\memo\\memo.exe", 0)]
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (page,)))
        self.start(self.win_path(ids.kSettingsProgram), "-0")
        self.wait_title("일반설정")
        for view, (title, name) in enumerate(VIEWS):
            self.kdrive("post", "--class", ids.kSettingsClass, "--msg", str(WM_COMMAND), "--wparam",
                        str(VIEW_GENERAL + view))
            self.wait_title(title)
            self.check_screen(f"settings-{name}", ids.kSettingsClass)

    # Catches: bar items that a click or Up, Down and Enter do not reach, a focus that does not follow the shown
    # view, and an item under the pointer that does not light up.
    def test_the_bar_shows_views_by_click_and_keyboard(self):
        self.start(self.win_path(ids.kSettingsProgram), "-0")
        self.wait_title("일반설정")
        # The bar has the keyboard from the start.
        self.kdrive("keys", "--vk", str(VK_DOWN))
        self.kdrive("keys", "--vk", str(VK_RETURN))
        self.wait_title("프로그램 관리")
        self.kdrive("click", "--class", ids.kSettingsClass, "--x", str(BAR_X), "--y", str(bar_item_y(2)))
        self.wait_title("백업설정")
        self.kdrive("keys", "--vk", str(VK_UP))
        self.kdrive("keys", "--vk", str(VK_RETURN))
        self.wait_title("프로그램 관리")
        for _ in range(4):
            self.kdrive("keys", "--vk", str(VK_DOWN))
        self.kdrive("keys", "--vk", str(VK_RETURN))
        self.wait_title("도움말")
        x, y = self.client_origin(ids.kSettingsClass)
        self.kdrive("pointer", "--x", str(x + BAR_X), "--y", str(y + bar_item_y(3)))
        self.check_screen("settings-bar-hover", ids.kSettingsClass, park_pointer=False)

    # Catches: an About box that is not the dialog template, does not end on OK or Esc, or ends the program with it.
    def test_the_about_box_opens_from_the_menu_and_closes_on_ok_and_cancel(self):
        program = self.start(self.win_path(ids.kSettingsProgram), "-0")
        self.wait_title("일반설정")
        for button in (IDOK, IDCANCEL):
            self.kdrive("post", "--class", ids.kSettingsClass, "--msg", str(WM_COMMAND), "--wparam", str(APP_ABOUT))
            self.kdrive("wait", "--class", "#32770", "--title", "TolvSet 정보", "--visible", "--timeout-ms", "15000")
            self.assertIn("TolvSet: Kelvo 런처 설정",
                          self.kdrive("dialog-text", "--class", "#32770", "--title", "TolvSet 정보"))
            self.kdrive("post", "--class", "#32770", "--title", "TolvSet 정보", "--msg", str(WM_COMMAND),
                        "--wparam", str(button))
            self.kdrive("wait-gone", "--class", "#32770", "--title", "TolvSet 정보", "--timeout-ms", "15000")
        self.assertTrue(program.is_running())
        self.assertEqual(self.kdrive("count", "--class", ids.kSettingsClass, "--visible"), "1")

class ProgramUpdate(KelvoTestCase):
    """The program management view's Update button with the real agent and the local store."""

    def setUp(self):
        super().setUp()
        for program in (ids.kSettingsProgram, ids.kAgentProgram):
            shutil.copy2(BIN / program, self.suite_dir / program)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        # An older 한글메모장 on the drive, installed into its own folder, whose caption the user has renamed.
        self.store_files = STORE_PACKAGES / "utility" / "한글메모장"
        self.folder = DRIVE / ids.kPackagesFolder / "한글메모장"
        self.folder.mkdir(parents=True)
        shutil.copy2(BIN / "kelvo_marker.exe", self.folder / "메모장.exe")
        profile = (self.store_files / ids.kProfileFile).read_text(encoding="utf-8")
        (self.folder / ids.kProfileFile).write_text(profile.replace("<VERSION>1.0.2<", "<VERSION>1.0.1<"),
                                                    encoding="utf-8")
        page = [(1, 101, 0, "내 메모장", "{drive}\\Portable Programs\\한글메모장\\메모장.exe", 0)]
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (page,)))

    # Catches: an Update button whose newer version only gets checked and never installed, an update looked up
    # by caption instead of by the folder it was installed into, and a second press that does not say the
    # package is now up to date.
    def test_the_update_button_installs_the_newer_version(self):
        self.start_local_store()
        self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms", "20000")
        self.start(self.win_path(ids.kSettingsProgram), "-2", "-1", "-101")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "프로그램 관리", "--visible", "--timeout-ms", "20000")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_UPDATE), "--bm-click")

        program = self.folder / "메모장.exe"
        wait_until(lambda: sha256(program) == sha256(self.store_files / "메모장.exe"), 60.0,
                   what="the store's newer program on the drive")
        wait_until(lambda: "<VERSION>1.0.2<" in (self.folder / ids.kProfileFile).read_text(encoding="utf-8",
                                                                                           errors="replace"),
                   30.0, what="the newer profile on the drive")
        self.assertEqual((self.folder / "도움말" / "읽어보기.txt").read_bytes(),
                         (self.store_files / "도움말" / "읽어보기.txt").read_bytes())
        wait_until(lambda: [(i["CAPTION"], i["UPDATEFLAG"]) for p in read_env_packages(self.suite_dir / ids.kEnvironmentFile)
                            for i in p if i["PKGID"] == "101"] == [("내 메모장", "0")],
                   30.0, what="the launcher's entry, caption kept, no longer updating")

        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_UPDATE), "--bm-click")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "30000")
        self.assertIn("최신 버젼입니다.", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))


if __name__ == "__main__":
    unittest.main()
