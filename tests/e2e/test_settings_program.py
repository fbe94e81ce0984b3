"""The settings program TolvSet on the test drive: its views, a save that reaches the file and the agent, the
agent's requests for a view, and a single instance."""
import shutil
import unittest

from PIL import Image

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, ROOT, KelvoTestCase, read_env_packages, sha256, wait_until
from sample_env import env_xml
from sample_settings import settings_xml
from test_launcher_screens import AREA, close

SETTINGS_SAVED = ids.kMsgSettingsSaved
SHOW_HELP = ids.kMsgShowHelpView
ALWAYS_ON_TOP = 1035
GENERAL_SAVE = 1034
VIEW_OTHER_OPTIONS = 5603
ENV_CHANGED = ids.kMsgEnvChanged
PROGRAM_SAVE, PROGRAM_REMOVE, PROGRAM_START_OPEN, PROGRAM_CAPTION, PROGRAM_UPDATE = 1029, 1001, 1048, 1044, 1050
PROGRAM_LIST, PROGRAM_KEY, PROGRAM_ALT, PROGRAM_CTRL = 1043, 1047, 1053, 1055
GENERAL_BACK_IMAGE = 1004
VK_HOME, VK_END, VK_DELETE = 0x24, 0x23, 0x2E
FALLBACK_ICON = ROOT / "agent" / "res" / "Marlo.ico"
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


def icon_matches(shot, icon, left, top, tolerance=40):
    """Whether the 16-pixel icon, laid on the list's white, stands at (left, top) of the shot."""
    for y in range(16):
        for x in range(16):
            r, g, b, a = icon.getpixel((x, y))
            expected = tuple((c * a + 255 * (255 - a)) // 255 for c in (r, g, b))
            if not close(shot.getpixel((left + x, top + y)), expected, tolerance):
                return False
    return True


class ProgramManagementEdits(KelvoTestCase):
    """The program management view's boxes with two packages on the drive and a standin agent."""

    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kSettingsProgram, self.suite_dir / ids.kSettingsProgram)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        self.packages = DRIVE / ids.kPackagesFolder
        for folder in ("memo", "viewer"):
            (self.packages / folder).mkdir(parents=True)
            shutil.copy2(BIN / "kelvo_marker.exe", self.packages / folder / f"{folder}.exe")
        page = [(1, 60, 0, "메모장", "{drive}\\Portable Programs\\memo\\memo.exe", 0),
                (1, 61, 0, "뷰어", "{drive}\\Portable Programs\\viewer\\viewer.exe", 0),
                (1, 62, 0, "사진첩", "{drive}\\Portable Programs\\album\\album.exe", 0)]
        self.env_file = self.suite_dir / ids.kEnvironmentFile
        self.env_file.write_bytes(env_xml(DRIVE_LETTER, (page,)))
        _, self.agent_log = self.start_standin_agent()
        self.start(self.win_path(ids.kSettingsProgram), "-2", "-1", "-60")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "프로그램 관리", "--visible", "--timeout-ms", "20000")

    def box(self, control_id):
        return self.kdrive("control-text", "--class", ids.kSettingsClass, "--id", str(control_id)).strip()

    def entry(self, pkg_id):
        return [i for p in read_env_packages(self.env_file) for i in p if i["PKGID"] == str(pkg_id)][0]

    def click_row(self, index):
        """Rows of the list are at least as tall as their 16-pixel icons: the middle of the icon is inside."""
        list_box = self.settings_control(PROGRAM_LIST)
        self.click_child(ids.kSettingsClass, list_box, x=40, y=2 + 8 + 18 * index)

    # Catches: a hot-key box that takes what no hot key can be (the agent would register garbage), that keeps
    # the refused character, and a key and modifier that do not reach the agent's record and the file.
    def test_the_hot_key_box_takes_a_digit_or_a_letter_only(self):
        self.click_child(ids.kSettingsClass, self.settings_control(PROGRAM_KEY))
        self.type_keys("#")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.assertIn("숫자 또는 영문자만 입력가능 합니다.", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK))
        self.kdrive("wait-gone", "--class", "#32770", "--title", "정보", "--timeout-ms", "15000")
        self.assertEqual(self.box(PROGRAM_KEY), "")

        self.click_child(ids.kSettingsClass, self.settings_control(PROGRAM_KEY))
        self.type_keys("k")
        wait_until(lambda: self.box(PROGRAM_KEY) == "K", 10.0, what="the key box to show the letter, upper case")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_ALT), "--bm-click")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_SAVE), "--bm-click")
        # K, Alt, no Shift, Ctrl or Win, package 60: the 24-byte record the agent registers the hot key from.
        record = "4b000000" + "01000000" + "00000000" * 3 + "3c000000"
        wait_until(lambda: any(f" kind=6 size=24 data={record}" in line for line in self.read_log_lines(self.agent_log)),
                   15.0, what="the agent to get the hot key record")
        wait_until(lambda: f"msg={ENV_CHANGED} wparam=3 lparam=0" in self.read_log_lines(self.agent_log), 15.0,
                   what="the agent to hear of the saved file")
        memo = self.entry(60)
        self.assertEqual((memo["SHORTCUT"], memo["ALT"], memo["CTRL"]), ("K", "1", "0"))

    # Catches: edits of one row lost, or written into another row, when the user picks another row before saving.
    def test_edits_survive_switching_rows_before_the_save(self):
        self.click_child(ids.kSettingsClass, self.settings_control(PROGRAM_CAPTION))
        self.kdrive("keys", "--vk", str(VK_END))
        self.type_keys("2")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_CTRL), "--bm-click")
        self.click_row(1)
        wait_until(lambda: self.box(PROGRAM_CAPTION) == "뷰어", 10.0, what="the second row in the boxes")
        self.assertEqual(self.box(PROGRAM_CTRL), "unchecked")
        self.click_row(0)
        wait_until(lambda: self.box(PROGRAM_CAPTION) == "메모장2", 10.0, what="the first row's unsaved edit")
        self.assertEqual(self.box(PROGRAM_CTRL), "checked")
        self.click_row(1)
        wait_until(lambda: self.box(PROGRAM_CAPTION) == "뷰어", 10.0, what="the second row again")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_SAVE), "--bm-click")
        wait_until(lambda: f"msg={ENV_CHANGED} wparam=3 lparam=0" in self.read_log_lines(self.agent_log), 15.0,
                   what="the agent to hear of the saved file")
        memo, viewer = self.entry(60), self.entry(61)
        self.assertEqual((memo["CAPTION"], memo["CTRL"]), ("메모장2", "1"))
        self.assertEqual((viewer["CAPTION"], viewer["CTRL"]), ("뷰어", "0"))

    # Catches: a removal that deletes the package's folder while the file that lists it cannot be written (the
    # entry would stay, pointing at nothing), a row dropped from the list although the file kept it, and no word.
    def test_a_removal_while_the_file_is_held_keeps_the_package_whole(self):
        ready, release = self.logs / "held", self.logs / "release"
        holder = self.start(str(BIN / "kdrive.exe"), "hold", "--file", self.to_wine(self.env_file), "--ready",
                            self.to_wine(ready), "--release", self.to_wine(release), log_name="hold.log")
        wait_until(ready.exists, 15.0, what="the file to be held")
        before = self.env_file.read_bytes()
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_REMOVE), "--bm-click")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.assertIn("변경 내용을 저장하지 못하여 프로그램을 제거하지 못하였습니다.",
                      self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK))
        self.assertTrue((self.packages / "memo" / "memo.exe").exists())
        self.assertEqual(self.env_file.read_bytes(), before)
        self.assertEqual(self.box(PROGRAM_CAPTION), "메모장")
        release.write_text("")
        self.assertEqual(holder.wait(15), 0)

        # Once the file is free the same removal goes through, and the next row takes the boxes.
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_REMOVE), "--bm-click")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.assertIn("프로그램이 성공적으로 제거되었습니다.", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK))
        self.assertFalse((self.packages / "memo").exists())
        self.assertEqual([i["PKGID"] for p in read_env_packages(self.env_file) for i in p], ["61", "62"])
        self.assertEqual(self.box(PROGRAM_CAPTION), "뷰어")

    # Catches: a package whose program is gone shown with the shell's generic icon, or with none, instead of the
    # suite's own, and the suite's icon shown for programs that are there.
    def test_a_package_without_its_program_shows_the_suites_icon(self):
        with Image.open(FALLBACK_ICON) as opened:
            opened.size = (16, 16)
            opened.load()
            icon = opened.convert("RGBA")
        list_box = self.settings_control(PROGRAM_LIST)
        self.click_row(1)  # the missing one is not the selected row, so it is drawn on white
        shot_path = self.screenshot("settings-program-missing-icon")
        with Image.open(shot_path) as opened:
            shot = opened.convert("RGB")
        # Icons stand at the left of the list: find where the suite's icon is drawn there.
        hits = [y for y in range(list_box["top"], list_box["top"] + 80)
                for x in range(list_box["left"], list_box["left"] + 12) if icon_matches(shot, icon, x, y)]
        self.assertTrue(hits, "the suite's icon in the list")
        # Two rows of at least 16 pixels lie above the third one.
        self.assertGreaterEqual(min(hits) - list_box["top"], 32, "the suite's icon on a row whose program is there")


class BackgroundImage(KelvoTestCase):
    """The general view's background picture reaching the real launcher."""

    # Catches: a picture chosen in the settings program that the launcher never hears of (kind 7), a cleared
    # picture it keeps showing (kind 8), and a launcher that takes the record but does not draw it.
    def test_a_saved_background_reaches_the_launcher_and_a_cleared_one_leaves_it(self):
        shutil.copy2(BIN / ids.kSettingsProgram, self.suite_dir / ids.kSettingsProgram)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        Image.new("RGB", (64, 48), (250, 200, 40)).save(self.suite_dir / "back.bmp")
        self.start_standin_agent()
        self.start_launcher()
        corner = (AREA[0] + 2, AREA[1] + AREA[3] - 3)
        self.assertFalse(close(self.window_shot("launcher-before-background").getpixel(corner), (250, 200, 40)))
        self.start(self.win_path(ids.kSettingsProgram), "-0")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "일반설정", "--visible", "--timeout-ms", "20000")

        self.click_child(ids.kSettingsClass, self.settings_control(GENERAL_BACK_IMAGE))
        self.type_keys(self.win_path("back.bmp"))
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(GENERAL_SAVE), "--bm-click")
        wait_until(lambda: close(self.window_shot("launcher-background-set").getpixel(corner), (250, 200, 40)), 15.0,
                   what="the launcher to draw the saved picture")

        self.click_child(ids.kSettingsClass, self.settings_control(GENERAL_BACK_IMAGE))
        self.kdrive("keys", "--vk", str(VK_HOME))
        self.kdrive("keys", "--vk", str(VK_END), "--shift")
        self.kdrive("keys", "--vk", str(VK_DELETE))
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(GENERAL_SAVE), "--bm-click")
        wait_until(lambda: not close(self.window_shot("launcher-background-cleared").getpixel(corner), (250, 200, 40)),
                   15.0, what="the launcher to drop the cleared picture")
        text = (self.suite_dir / ids.kSettingsFile).read_bytes()[2:].decode("utf-16-le")
        self.assertNotIn("back.bmp", text)


if __name__ == "__main__":
    unittest.main()
