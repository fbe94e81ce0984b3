"""The agent's tray icon and hotkeys with the real launcher: the icon after the shell restarts, the hide key with
no launcher running, and package keys read from TolvEnv.xml."""
import shutil
import unittest

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, KelvoTestCase, read_env_packages, sha256, slot_centre, wait_until
from sample_env import env_xml
from sample_settings import settings_xml

TRAY_ICON_ID = 0xE000
VK_6 = 0x36
VK_7 = 0x37
VK_8 = 0x38
VK_5 = 0x35
VK_LWIN, VK_F = 91, 70
CTRL_ALT = {"CTRL": 1, "ALT": 1}
BACKUP_NOW = 1026  # the backup view's "백업 하기", disabled: the suite has no backup operation


def drive_contents():
    return {str(path.relative_to(DRIVE)): sha256(path) for path in DRIVE.rglob("*") if path.is_file()}


class AgentPaths(KelvoTestCase):
    def tray_state(self, *extra):
        return self.kdrive("tray", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--id", str(TRAY_ICON_ID),
                           *extra)

    # Catches: an icon lost for good when the shell restarts (Explorer crashed or was restarted): the shell
    # broadcasts TaskbarCreated and every program must add its icon again.
    def test_the_tray_icon_comes_back_when_the_shell_restarts(self):
        self.start_real_agent(settings_xml({"TrayIconMode": 1}))
        wait_until(lambda: self.tray_state() == "shown", 10.0, what="the tray icon")
        self.assertEqual(self.tray_state("--remove"), "absent")
        created = self.kdrive("registered", "--name", "TaskbarCreated")
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", created)
        wait_until(lambda: self.tray_state() == "shown", 10.0, what="the tray icon to be added again")

    # Catches: the hide key doing nothing when no launcher runs (it starts one, hidden), a launcher started by it
    # that shows itself anyway, and the open key not bringing that hidden launcher up.
    def test_the_hide_key_starts_a_hidden_launcher_that_the_open_key_shows(self):
        keys = {"LauncherOpen": ("7", CTRL_ALT), "LauncherHide": ("8", CTRL_ALT)}
        self.start_real_agent(settings_xml({"TrayIconMode": 1}, hotkeys=keys))
        self.assertIsNone(self.launcher_visible(), "no launcher in tray-icon mode")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_8), "--ctrl", "--alt"), "held")
        self.kdrive("keys", "--vk", str(VK_8), "--ctrl", "--alt")
        wait_until(lambda: self.launcher_visible() is not None, 20.0, what="a launcher started by the hide key")
        # The launcher is up and answering; it must still be hidden.
        self.kdrive("send", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--msg", "0",
                    "--timeout-ms", "20000")
        self.assertEqual(self.launcher_visible(), "0")
        self.kdrive("keys", "--vk", str(VK_8), "--ctrl", "--alt")
        self.assertEqual(self.launcher_visible(), "0")
        self.assertEqual(self.kdrive("count", "--class", ids.kLauncherClass), "1", "one launcher only")
        self.kdrive("keys", "--vk", str(VK_7), "--ctrl", "--alt")
        wait_until(lambda: self.launcher_visible() == "1", 10.0, what="the open key to show the launcher")

    # Catches: a Search key that is not registered or does nothing: the system's search on the suite's drive, or
    # where the system has none to call (as here), the same search by the keyboard (Windows key and F).
    def test_the_search_key_opens_the_search_by_the_keyboard(self):
        self.start_real_agent(settings_xml({"TrayIconMode": 1}, hotkeys={"Search": ("5", CTRL_ALT)}))
        log, ready = self.logs / "keys.log", self.logs / "keys-ready"
        self.start(str(BIN / "kdrive.exe"), "keylog", "--log", self.to_wine(log), "--ready", self.to_wine(ready),
                   log_name="keylog.log")
        wait_until(ready.exists, 15.0, what="the key log")
        self.kdrive("keys", "--vk", str(VK_5), "--ctrl", "--alt")
        search = [f"down {VK_LWIN}", f"down {VK_F}", f"up {VK_F}", f"up {VK_LWIN}"]

        def searched():
            lines = [line for line in self.read_log_lines(log) if line.endswith((f" {VK_LWIN}", f" {VK_F}"))]
            return lines == search
        wait_until(searched, 10.0, what="the Windows key and F from the agent")

    # Catches: package keys in TolvEnv.xml not registered at start, registered under another combination, or a
    # press that does not reach the launcher as that item's PKGID (the item's program does not run).
    def test_a_package_key_from_the_environment_file_runs_its_item(self):
        shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / "marker.exe")
        page = [(1, 61, 0, "다른 것", "{drive}\\Kelvo\\other.exe", 0),
                (1, 60, 0, "마커", "{drive}\\Kelvo\\marker.exe", 0, dict(CTRL_ALT, SHORTCUT="6"))]
        self.start_real_agent(env=env_xml(DRIVE_LETTER, (page,)))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "20000")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_6), "--ctrl"), "free")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_6), "--ctrl", "--alt"), "held")
        self.kdrive("keys", "--vk", str(VK_6), "--ctrl", "--alt")
        wait_until((self.suite_dir / "marker.exe.ran").exists, 20.0, what="the package key's program")

    # Catches: a removal notice that does not carry the login read from TolvIni.dat at start (or the package
    # index), a notice sent for a relay that is not a removal, and a relay of kind 1, 2 or 3 that the real launcher
    # does not act on (a reload shows the items written to TolvEnv.xml meanwhile).
    def test_relays_reach_the_real_launcher_and_the_removal_notice_the_store(self):
        store_logs = self.start_local_store()
        self.write_credentials("kelvo_user", "pa55word")
        page = [(1, 61, 0, "다른 것", "{drive}\\Kelvo\\other.exe", 0)]
        self.start_real_agent(env=env_xml(DRIVE_LETTER, (page,)))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "20000")

        def relay(kind, index, item_id=None):
            """Writes an item into TolvEnv.xml, relays, and runs the item by its PKGID through the launcher."""
            if item_id is not None:
                page.append((1, item_id, 0, f"항목 {item_id}", "{drive}\\Kelvo\\" + f"{item_id}.exe", 0))
                shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / f"{item_id}.exe")
                (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, (page,)))
            answer = self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg",
                                 str(ids.kMsgEnvChanged), "--wparam", str(kind), "--lparam", str(index),
                                 "--timeout-ms", "20000")
            if item_id is not None:
                # The agent has posted its relay by now; a later post reaches the launcher after it.
                self.kdrive("post", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--msg",
                            str(ids.kMsgRunPackage), "--wparam", str(item_id))
                wait_until((self.suite_dir / f"{item_id}.exe.ran").exists, 20.0,
                           what=f"item {item_id}, known to the launcher only after its reload")
            return answer

        self.assertEqual(relay(1, 77, item_id=70), "0")
        notices = [line for line in self.read_log_lines(store_logs / "http.log") if "delete_Set.asp" in line]
        self.assertEqual(len(notices), 1, notices)
        self.assertIn("POST /apps/delete_Set.asp?userID=kelvo_user&userPwd=pa55word&appIdx=77 ", notices[0])
        self.assertEqual(relay(3, 0, item_id=71), "1")
        self.assertEqual(relay(2, 0), "1")
        self.assertEqual(relay(7, 0), "0")
        self.assertEqual(sum("delete_Set.asp" in line for line in self.read_log_lines(store_logs / "http.log")), 1)
        self.assertEqual(self.kdrive("count", "--class", ids.kLauncherClass), "1")

    # Catches: a Backup button that does not reach the launcher when the setting is turned on, one that opens the
    # settings program elsewhere than its backup view, and a backup view that writes anything anywhere on the drive
    # (its controls are there to be seen, not used).
    def test_the_backup_button_opens_the_backup_view_and_changes_nothing(self):
        shutil.copy2(BIN / ids.kSettingsProgram, self.suite_dir / ids.kSettingsProgram)
        page = [(1, 61, 0, "다른 것", "{drive}\\Kelvo\\other.exe", 0)]
        self.start_real_agent(settings_xml(), env_xml(DRIVE_LETTER, (page,)))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "20000")
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml({"AddBackupBtn": 1}))
        self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg",
                    str(ids.kMsgSettingsSaved), "--timeout-ms", "20000")
        wait_until(lambda: [i["CAPTION"] for i in read_env_packages(self.suite_dir / ids.kEnvironmentFile)[0]] ==
                   ["다른 것", "Backup"], 10.0, what="the Backup item on the page")
        before = drive_contents()
        point = slot_centre(1)
        self.kdrive("click", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--x", str(point[0]),
                    "--y", str(point[1]))
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "백업설정", "--visible", "--timeout-ms", "20000")
        backup_now = self.settings_control(BACKUP_NOW)
        self.click_child(ids.kSettingsClass, backup_now)
        self.kdrive("send", "--class", ids.kSettingsClass, "--msg", "0", "--timeout-ms", "10000")
        self.assertEqual(self.kdrive("count", "--class", "#32770", "--visible"), "0", "nothing asks or reports")
        self.assertEqual(drive_contents(), before)


if __name__ == "__main__":
    unittest.main()
