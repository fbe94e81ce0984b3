"""The agent applies a saved settings file when told it was saved, and answers hotkeys and drive removal."""
import shutil
import struct
import unittest

from kelvo_e2e import (ids, BIN, DRIVE, DRIVE_LETTER, KelvoTestCase, read_env_packages, utf16_field,
                       wait_until)
from sample_env import env_xml
from sample_settings import settings_xml

SETTINGS_SAVED = ids.kMsgSettingsSaved
WS_EX_TOPMOST = 0x8
AUTORUN_TEXT = (b"[autorun]\r\naction=Kelvo\r\nTitle=Kelvo\r\nShell=Shell00\r\nShell\\Shell00=Kelvo\r\n"
                b"Shell\\Shell00\\Command=" + ids.kStarterProgram.encode())
VK_7 = 0x37
VK_8 = 0x38
VK_9 = 0x39
RUN_PACKAGE = ids.kMsgRunPackage
SHUT_DOWN = ids.kMsgShutDown
ENV_CHANGED = ids.kMsgEnvChanged
IDYES = 6
ASK_REMOVED = "Kelvo가 제거 되었습니다."


class AgentSettings(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)

    def start_suite(self, settings=None, env=None):
        if settings is not None:
            (self.suite_dir / ids.kSettingsFile).write_bytes(settings)
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env if env is not None else env_xml(DRIVE_LETTER, ((),)))
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "20000")
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms", "20000")
        return agent

    def save_settings(self, data):
        """What the settings program does after the user pressed OK: save, then tell the agent."""
        (self.suite_dir / ids.kSettingsFile).write_bytes(data)
        # A sent message returns once the agent has applied everything, so the checks below need no polling.
        self.assertEqual(self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(SETTINGS_SAVED),
                                     "--timeout-ms", "20000"), "0")

    def is_launcher_top_most(self):
        return int(self.window_info(ids.kLauncherClass, ids.kLauncherClass)["exstyle"], 16) & WS_EX_TOPMOST != 0

    def launcher_items(self):
        return [item for page in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for item in page]

    # Catches: autorun.inf with LF line ends or a trailing newline, a file left behind when the setting is turned
    # off, a Documents button that is not delivered to the launcher or points elsewhere, the top-most flag not
    # applied to the running launcher, and a rejected file applied as zeros (which would undo all of it).
    def test_saved_settings_reach_the_drive_root_the_launcher_and_its_file(self):
        self.start_suite()
        autorun = DRIVE / "autorun.inf"
        self.assertFalse(autorun.exists())
        self.assertFalse(self.is_launcher_top_most())

        turned_on = settings_xml({"AutoRun": 1, "AddDocumentBtn": 1, "AlwaysOnTop": 1})
        self.save_settings(turned_on)
        self.assertEqual(autorun.read_bytes(), AUTORUN_TEXT)
        self.assertTrue((DRIVE / "Documents").is_dir())
        wait_until(lambda: any(i["CAPTION"] == "Documents" for i in self.launcher_items()), 10.0,
                   what="the Documents item in TolvEnv.xml")
        documents = [i for i in self.launcher_items() if i["CAPTION"] == "Documents"]
        self.assertEqual(len(documents), 1)
        self.assertEqual((documents[0]["TYPE"], documents[0]["PATH"]), ("1", DRIVE_LETTER + "\\Documents"))
        self.assertTrue(self.is_launcher_top_most())
        self.screenshot("settings-applied-documents-button")

        # An unchanged value is not acted on again: a deleted autorun.inf stays deleted.
        autorun.unlink()
        self.save_settings(turned_on)
        self.assertFalse(autorun.exists())
        self.assertEqual(sum(i["CAPTION"] == "Documents" for i in self.launcher_items()), 1)

        # A file that the agent does not accept changes nothing.
        self.save_settings(settings_xml({"AutoRun": 1})[: 400])
        self.save_settings(b"\xff\xfe" + "<TolvSet><General>".encode("utf-16-le"))
        self.assertTrue(self.is_launcher_top_most())
        self.assertEqual(sum(i["CAPTION"] == "Documents" for i in self.launcher_items()), 1)

        self.save_settings(settings_xml({"AutoRun": 1, "AddDocumentBtn": 1, "AlwaysOnTop": 1}))
        self.assertFalse(autorun.exists(), "values seen before the rejected files are still the stored ones")
        self.save_settings(settings_xml())
        self.assertFalse(autorun.exists())
        self.assertFalse(self.is_launcher_top_most())
        wait_until(lambda: not any(i["CAPTION"] == "Documents" for i in self.launcher_items()), 10.0,
                   what="the Documents item to leave TolvEnv.xml")
        self.assertTrue((DRIVE / "Documents").is_dir(), "the folder and what the user put there stay")

        self.save_settings(settings_xml({"AutoRun": 1}))
        self.assertEqual(autorun.read_bytes(), AUTORUN_TEXT)
        self.save_settings(settings_xml())
        self.assertFalse(autorun.exists())

    # Catches: hotkeys read but not registered, the hide key not hiding, a key changed in the settings program
    # kept under its old combination, and an emptied entry still held.
    def test_hotkeys_from_the_settings_show_and_hide_the_launcher(self):
        keys = {"LauncherOpen": ("7", {"CTRL": 1, "ALT": 1}), "LauncherHide": ("8", {"CTRL": 1, "ALT": 1})}
        self.start_suite(settings_xml(hotkeys=keys))
        # The built-in keys are registered after the launcher is up.
        wait_until(lambda: self.kdrive("hotkey-free", "--vk", str(VK_8), "--ctrl", "--alt") == "held", 15.0,
                   what="the agent to hold Ctrl+Alt+8")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_8), "--ctrl"), "free")

        self.kdrive("keys", "--vk", str(VK_8), "--ctrl", "--alt")
        wait_until(lambda: self.window_info(ids.kLauncherClass, ids.kLauncherClass)["visible"] == "0", 10.0,
                   what="the launcher to hide")
        self.kdrive("keys", "--vk", str(VK_7), "--ctrl", "--alt")
        wait_until(lambda: self.window_info(ids.kLauncherClass, ids.kLauncherClass)["visible"] == "1", 10.0,
                   what="the launcher to show")

        # The hide key moves to Shift+8 and the open key is emptied, without a restart.
        self.save_settings(settings_xml(hotkeys={"LauncherHide": ("8", {"SHIFT": 1})}))
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_8), "--ctrl", "--alt"), "free")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_7), "--ctrl", "--alt"), "free")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_8), "--shift"), "held")
        self.kdrive("keys", "--vk", str(VK_8), "--shift")
        wait_until(lambda: self.window_info(ids.kLauncherClass, ids.kLauncherClass)["visible"] == "0", 10.0,
                   what="the launcher to hide on the new key")

    # Catches: the settings program's longer kind-1 record refused, a kind-6 hotkey not registered or not passed
    # on to the launcher as its PKGID, a re-check request not relayed (or an unknown one relayed), and an
    # auto-close program added at run time not run at the end.
    def test_program_settings_from_the_settings_program_take_effect(self):
        launcher_log = self.logs / "launcher-messages.log"
        ready = self.logs / "launcher-ready"
        self.start(str(BIN / "kdrive.exe"), "peer", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--log",
                   self.to_wine(launcher_log), "--ready", self.to_wine(ready), log_name="standin-launcher.log")
        wait_until(ready.exists, 15.0, what="the stand-in launcher's window")
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, ((),)))
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "20000")
        # Answered once start-up is over and the agent reads its messages.
        self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", "0", "--timeout-ms", "30000")

        hotkey = self.logs / "hotkey.bin"
        hotkey.write_bytes(struct.pack("<6i", VK_9, 1, 0, 1, 0, 50))
        self.assertEqual(self.kdrive("copydata", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--kind", "6", "--file",
                                     self.to_wine(hotkey)), "1")
        self.assertEqual(self.kdrive("hotkey-free", "--vk", str(VK_9), "--ctrl", "--alt"), "held")
        self.kdrive("keys", "--vk", str(VK_9), "--ctrl", "--alt")
        wait_until(lambda: f"msg={RUN_PACKAGE} wparam=50 lparam=0" in self.read_log_lines(launcher_log), 10.0,
                   what="the launcher to be asked to run package 50")

        # The settings program's re-check requests reach the launcher through the agent; unknown kinds do not.
        self.assertEqual(self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ENV_CHANGED),
                                     "--wparam", "2", "--timeout-ms", "20000"), "1")
        self.assertEqual(self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ENV_CHANGED),
                                     "--wparam", "7", "--timeout-ms", "20000"), "0")
        wait_until(lambda: f"msg={ENV_CHANGED} wparam=2 lparam=0" in self.read_log_lines(launcher_log), 10.0,
                   what="the re-check request at the launcher")
        self.assertFalse(any(line.startswith(f"msg={ENV_CHANGED} wparam=7") for line in
                             self.read_log_lines(launcher_log)))

        shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / "closing.exe")
        programs = self.logs / "programs.bin"
        # As the settings program sends it: both paths, then the rest of its record.
        programs.write_bytes(utf16_field("", 260) + utf16_field(self.win_path("closing.exe"), 260) + b"\0" * 524)
        self.assertEqual(len(programs.read_bytes()), 1564)
        self.assertEqual(self.kdrive("copydata", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--kind", "1", "--file",
                                     self.to_wine(programs)), "1")
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(SHUT_DOWN))
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDYES))
        self.assertEqual(agent.wait(30), 0)
        wait_until((self.suite_dir / "closing.exe.ran").exists, 20.0, what="the auto-close program's marker")
        self.assertIn("msg=2 wparam=0 lparam=0", self.read_log_lines(launcher_log), "the launcher is told to end")

    # Catches: auto-start programs not started at start-up, and a program with STARTOPEN 0 started anyway.
    def test_auto_start_programs_run_when_the_agent_starts(self):
        shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / "first.exe")
        shutil.copy2(BIN / "kelvo_marker.exe", self.suite_dir / "second.exe")
        page = [(1, 50, 0, "첫째", "{drive}\\Kelvo\\first.exe", 0), (1, 51, 0, "둘째", "{drive}\\Kelvo\\second.exe", 0)]
        text = env_xml(DRIVE_LETTER, (page,))[2:].decode("utf-16-le")
        text = text.replace("<STARTOPEN>0</STARTOPEN>", "<STARTOPEN>1</STARTOPEN>", 1)
        self.start_suite(env=b"\xff\xfe" + text.encode("utf-16-le"))
        wait_until((self.suite_dir / "first.exe.ran").exists, 20.0, what="the auto-start program's marker")
        self.assertFalse((self.suite_dir / "second.exe.ran").exists())

    # Catches: a removal notice that does not reach the agent with its drive mask, another drive's removal
    # ending the suite, and a Yes that asks the exit question again.
    def test_removing_the_suite_drive_asks_once_and_ends_the_suite(self):
        agent = self.start_suite()
        self.kdrive("devicechange", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--drives", "K", "--timeout-ms", "20000")
        self.assertEqual(self.kdrive("count", "--class", "#32770", "--title", "정보"), "0")
        # The question is modal inside the handler, so this send is not answered; Wine drops a send whose time
        # ran out before the receiver took it, hence the generous wait.
        self.kdrive("devicechange", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--drives", "KT", "--timeout-ms", "3000",
                    check=False)
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.assertIn(ASK_REMOVED, self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDYES))
        self.assertEqual(agent.wait(30), 0)
        self.kdrive("wait-gone", "--class", ids.kLauncherClass, "--timeout-ms", "15000")


if __name__ == "__main__":
    unittest.main()
