"""What the user does with the launcher's entries: running them, their context menus, removal and the command
panel, with real mouse and keyboard input."""
import shutil
import subprocess
import unittest

from kelvo_e2e import (ids, BIN, DRIVE, DRIVE_LETTER, LAUNCHER_FREE_SPACE, PAGE_X, PAGE_Y, KelvoTestCase, read_env_packages,
                       slot_centre, wait_until)
from sample_env import env_xml

PANEL_X, PANEL_Y = PAGE_X, PAGE_Y + 40
VK_DOWN, VK_RETURN = 0x28, 0x0D
IDOK, IDCANCEL = 1, 2
ENV_CHANGED = ids.kMsgEnvChanged


def ink_height(path, box):
    """How many pixel rows in box hold dark text (any pixel with every channel below 110)."""
    from PIL import Image
    with Image.open(path) as opened:
        image = opened.convert("RGB")
    x0, y0, x1, y1 = box
    rows = [y for y in range(y0, y1) if any(max(image.getpixel((x, y))) < 110 for x in range(x0, x1))]
    return max(rows) - min(rows) + 1 if rows else 0


# The settings button sits in the last slot, as in the default file.
MENU = [(12, "스토어", "explorer.exe"), (13, "드라이브", "c:\\"), (11, "찾기", ""),
        (10, "설정", "{drive}\\Kelvo\\settings.exe")]
MENU_Y = 54 + 24


def menu_centre(slot):
    return (PAGE_X + 12 + 72 * slot + 24, MENU_Y)
PAGE = [
    (1, 60, 0, "마커", "{drive}\\Kelvo\\marker.exe", 0),
    (1, 61, 0, "지울앱", "{drive}\\Portable Programs\\지울앱\\app.exe", 0),
    (1, 62, 0, "..", "{drive}\\Portable Programs\\dots.exe", 0),
    (1, 63, 0, "설치중", "{drive}\\Kelvo\\busy.exe", 2),
    (1, 64, 0, "깨진앱", "{drive}\\Kelvo\\broken.exe", 0),
    (4, 0, 0, "내명령", "{drive}\\Kelvo\\marker.exe", 0),
    (1, 65, 0, "새버전", "{drive}\\Kelvo\\marker.exe", 1),
]


class LauncherCommands(KelvoTestCase):
    def setUp(self):
        super().setUp()
        for name in ("marker.exe", "settings.exe", "busy.exe"):
            shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / name)
        # There, so the item is enabled, but no program the system can start.
        (self.suite_dir / "broken.exe").write_bytes(b"not a program\n")
        programs = DRIVE / ids.kPackagesFolder
        (programs / "지울앱").mkdir()
        shutil.copy2(BIN / "kelvo_marker.exe", programs / "지울앱" / "app.exe")
        shutil.copy2(BIN / "kelvo_marker.exe", programs / "dots.exe")
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (PAGE,), MENU))
        self.agent, self.agent_log = self.start_standin_agent()
        self.start_launcher()

    def click(self, point, button="left"):
        self.kdrive("click", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--x", str(point[0]), "--y", str(point[1]),
                    "--button", button)

    def choose_from_menu(self, position):
        """Right-clicked menus are worked with the keyboard, as the arrow keys and Enter reach the menu's loop."""
        self.kdrive("wait", "--class", "#32768", "--visible", "--timeout-ms", "10000")
        for _ in range(position + 1):
            self.kdrive("keys", "--vk", str(VK_DOWN))
        self.kdrive("keys", "--vk", str(VK_RETURN))
        self.kdrive("wait-gone", "--class", "#32768", "--timeout-ms", "10000")

    def captions(self):
        return [item["CAPTION"] for page in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for item in page]

    def answer_box(self, title, button):
        self.kdrive("press", "--class", "#32770", "--title", title, "--id", str(button))
        self.kdrive("wait-gone", "--class", "#32770", "--title", title, "--timeout-ms", "10000")

    def box_text(self, title):
        self.kdrive("wait", "--class", "#32770", "--title", title, "--visible", "--timeout-ms", "10000")
        return self.kdrive("dialog-text", "--class", "#32770", "--title", title)

    # Catches: a click that runs nothing or runs the item from a stale drive letter, an item being installed that
    # still runs, and the settings button run without "-0" or outside the suite folder.
    def test_clicks_run_entries(self):
        self.click(slot_centre(0))
        ran = self.suite_dir / "marker.exe.ran"
        wait_until(ran.exists, 15.0, what="the clicked package's program")
        self.click(slot_centre(3))  # the item being installed: checked below, after the next program ran
        self.click(menu_centre(3))
        settings = self.suite_dir / "settings.exe.ran"
        wait_until(settings.exists, 15.0, what="the settings button's program")
        parameters, folder = settings.read_text(encoding="utf-8").splitlines()[:2]
        self.assertEqual(parameters.strip(), "-0")
        self.assertEqual(folder.rstrip("\\").lower(), self.win_path().lower())
        self.assertFalse((self.suite_dir / "busy.exe.ran").exists(), "an item being installed runs nothing")

    # Catches: a program that cannot start passed over without a word, or the error code lost from the warning.
    def test_a_program_that_cannot_start_is_reported_with_its_code(self):
        self.click(slot_centre(4))
        text = self.box_text("경고")
        self.assertIn("해당 명령을 실행 할 수 없습니다.", text)
        self.assertRegex(text, r"Error Code : \(\d+\)")
        self.screenshot("launcher-run-failure")
        self.answer_box("경고", IDOK)

    # Catches: a full removal that leaves the program folder, a caption that deletes outside its own folder, the
    # agent not told of a removal, and "edit" on a store package not opening the settings program on it.
    def test_removal_and_edit_from_the_context_menu(self):
        self.click(slot_centre(1), "right")
        self.choose_from_menu(1)  # 항목편집, 프로그램 제거
        self.assertIn("지울앱을(를) 시스템에서 제거합니다.", self.box_text("항목 삭제"))
        self.check_screen("launcher-remove-dialog", "#32770", "항목 삭제")
        self.answer_box("항목 삭제", IDOK)
        wait_until(lambda: "지울앱" not in self.captions(), 10.0, what="the removed item to leave TolvEnv.xml")
        self.assertFalse((DRIVE / ids.kPackagesFolder / "지울앱").exists(), "a full removal deletes the folder")
        wait_until(lambda: f"msg={ENV_CHANGED} wparam=1 lparam=61" in self.read_log_lines(self.agent_log), 10.0,
                   what="the agent to be told of the removal")

        # The item named ".." now sits in slot 1; a full removal of it must not touch "Portable Programs".
        self.click(slot_centre(1), "right")
        self.choose_from_menu(1)
        self.box_text("항목 삭제")
        self.answer_box("항목 삭제", IDOK)
        wait_until(lambda: ".." not in self.captions(), 10.0, what="the '..' item to leave TolvEnv.xml")
        self.assertTrue((DRIVE / ids.kPackagesFolder / "dots.exe").exists())
        self.assertTrue((DRIVE / ids.kPackagesFolder).is_dir())

        # An item being installed (now slot 1) has no menu at all.
        self.click(slot_centre(1), "right")
        self.assertEqual(self.kdrive("count", "--class", "#32768", "--visible"), "0")

        self.click(slot_centre(0), "right")
        self.choose_from_menu(0)
        settings = self.suite_dir / "settings.exe.ran"
        wait_until(settings.exists, 15.0, what="the settings program for the edited package")
        self.assertEqual(settings.read_text(encoding="utf-8").splitlines()[0].strip(), "-2 -1 -60")

    # Catches: the panel not opening from the page's menu, typed text not reaching its fields or written larger
    # than the panel's labels, an empty command accepted, and the new entry stored without its type, caption
    # default or icon.
    def test_command_panel_adds_a_typed_command(self):
        empty_slot = slot_centre(15)
        self.click(empty_slot, "right")
        self.choose_from_menu(0)  # 사용자 명령 추가, 새로고침
        ok_button = (PANEL_X + 124 + 37, PANEL_Y + 226 + 12)
        self.click(ok_button)
        self.assertIn("사용자 명령을 입력하세요.", self.box_text("정보"))
        self.answer_box("정보", IDOK)

        command_field = (PANEL_X + 12 + 93, PANEL_Y + 102 + 11)
        self.click(command_field)
        command = self.win_path("marker.exe")
        self.kdrive("type", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--text", command)
        shot = self.check_screen("launcher-command-panel", ids.kLauncherClass, ids.kLauncherTitle,
                                 [LAUNCHER_FREE_SPACE])
        # Typed text is written in the labels' size: its ink is no taller than the label's above the field.
        label = ink_height(shot, (PANEL_X + 12, PANEL_Y + 82, PANEL_X + 60, PANEL_Y + 102))
        typed = ink_height(shot, (PANEL_X + 15, PANEL_Y + 102, PANEL_X + 112, PANEL_Y + 126))
        self.assertGreater(typed, 0)
        self.assertLessEqual(typed, label, "typed text taller than the panel's labels")
        self.click(ok_button)
        wait_until(lambda: "marker.exe" in self.captions(), 10.0, what="the typed command in TolvEnv.xml")
        added = [item for page in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for item in page
                 if item["CAPTION"] == "marker.exe"][0]
        self.assertEqual((added["PKGTYPE"], added["TYPE"], added["PATH"], added["ICON"]), ("4", "0", command, command))

    # Catches: the update entry saved to the file, an item marked as updating still offering a menu or running,
    # a cancelled removal that removes or reports anything, an edit that loses the entry's kind or fields, and a
    # user command's removal touching its program.
    def test_update_cancel_edit_and_remove_a_user_command(self):
        self.click(slot_centre(6), "right")
        self.choose_from_menu(0)  # 업데이트, 항목편집, 프로그램 제거
        self.assertEqual([i["UPDATEFLAG"] for p in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for i in p
                          if i["CAPTION"] == "새버전"], ["1"], "the update entry saves nothing")
        # Now shown as being updated: no menu, and a click runs nothing. The click on the marker after it proves
        # both were handled (an open menu would have swallowed that click).
        self.click(slot_centre(6), "right")
        self.click(slot_centre(6))
        self.click(slot_centre(0))
        wait_until((self.suite_dir / "marker.exe.ran").exists, 15.0, what="the marker after the updating item")
        (self.suite_dir / "marker.exe.ran").unlink()

        self.click(slot_centre(1), "right")
        self.choose_from_menu(1)
        self.box_text("항목 삭제")
        self.answer_box("항목 삭제", IDCANCEL)
        self.assertIn("지울앱", self.captions())
        self.assertTrue((DRIVE / ids.kPackagesFolder / "지울앱" / "app.exe").exists())

        self.click(slot_centre(5), "right")
        self.choose_from_menu(0)  # 항목편집, 프로그램 제거
        caption_field = (PANEL_X + 12 + 93, PANEL_Y + 57 + 11)
        self.click(caption_field)
        self.kdrive("type", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--text", "2")
        self.click((PANEL_X + 124 + 37, PANEL_Y + 226 + 12))
        wait_until(lambda: "내명령2" in self.captions(), 10.0, what="the edited caption in TolvEnv.xml")
        edited = [i for p in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for i in p
                  if i["CAPTION"] == "내명령2"][0]
        self.assertEqual((edited["PKGTYPE"], edited["PATH"]), ("4", self.win_path("marker.exe")))

        self.click(slot_centre(5), "right")
        self.choose_from_menu(1)
        self.assertIn("내명령2을 시스템에서 제거합니다.", self.box_text("정보"))
        self.answer_box("정보", IDOK)
        wait_until(lambda: "내명령2" not in self.captions(), 10.0, what="the user command to leave TolvEnv.xml")
        self.assertTrue((self.suite_dir / "marker.exe").exists(), "a user command's program is not touched")
        self.assertFalse(any(line.startswith(f"msg={ENV_CHANGED} ") for line in self.read_log_lines(self.agent_log)),
                         "neither the cancelled removal nor a user command's is reported to the agent")


# The user's drag setting, as Windows keeps it: wider and taller than the system's default of 4 pixels.
DRAG_SIZE = 12
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"


def set_drag_size(value):
    for name in ("DragWidth", "DragHeight"):
        args = ["add", DESKTOP_KEY, "/v", name, "/t", "REG_SZ", "/d", str(value), "/f"] if value is not None else \
               ["delete", DESKTOP_KEY, "/v", name, "/f"]
        subprocess.run(["wine", "reg", *args], capture_output=True, timeout=60, check=value is not None)


class ClickOrSwipe(KelvoTestCase):
    """A press and release on an item is a click while the pointer stays within the user's drag distance, on
    either axis; further than that it is a swipe (or a drag) and runs nothing."""

    def setUp(self):
        super().setUp()
        for name in ("first.exe", "second.exe"):
            shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / name)
        page = [(1, 70, 0, "첫째", "{drive}\\Kelvo\\first.exe", 0), (1, 71, 0, "둘째", "{drive}\\Kelvo\\second.exe", 0)]
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (page,), MENU))
        # The launcher reads the setting when it starts; it is put back before the next test.
        set_drag_size(DRAG_SIZE)
        self.addCleanup(set_drag_size, None)
        self.start_standin_agent()
        self.start_launcher()

    def drag(self, start, dx, dy):
        self.kdrive("drag", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--from",
                    f"{start[0]},{start[1]}", "--to", f"{start[0] + dx},{start[1] + dy}", "--steps", "4")

    # Catches: a fixed 4-pixel slop instead of the user's drag width (a small sideways jitter runs nothing), and
    # the vertical distance ignored (a release well below the press still runs the item).
    def test_jitter_within_the_drag_size_clicks_and_a_move_beyond_it_does_not(self):
        first, second = slot_centre(0), slot_centre(1)
        self.drag(first, 0, DRAG_SIZE + 4)
        self.drag(second, DRAG_SIZE - 4, 2)
        wait_until((self.suite_dir / "second.exe.ran").exists, 15.0, what="the jittered click's program")
        # The input is handled in order: the first release was decided before the second press.
        self.assertFalse((self.suite_dir / "first.exe.ran").exists(), "a move beyond the drag height ran the item")


if __name__ == "__main__":
    unittest.main()
