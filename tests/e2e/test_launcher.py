"""The launcher window as the agent and the user meet it: start-up, single instance, exit, and hostile payloads."""
import unittest

from kelvo_e2e import ids, BIN, WM_CLOSE, WM_DESTROY, WM_NULL, KelvoTestCase, sha256, utf16_field, wait_until

SCREEN_W, SCREEN_H = 1280, 1024
WIN_W, WIN_H = 330, 556

# Exactly the sizes each kind needs; anything shorter or longer must be refused.
KIND_SIZES = {2: ids.kPackageAnnounceBytes, 3: ids.kPackageAnnounceBytes, 4: ids.kPackageRecordBytes, 5: ids.kPackageRecordBytes}


class LauncherWindow(KelvoTestCase):
    def test_window_sits_bottom_right_with_colour_key(self):
        _, agent_log = self.start_standin_agent()
        self.start_launcher()
        info = self.window_info(ids.kLauncherClass, ids.kLauncherClass)
        left, top, right, bottom = map(int, info["rect"].split(","))
        self.assertEqual((right - left, bottom - top), (WIN_W, WIN_H))
        self.assertEqual(right, SCREEN_W, "right edge at the screen's right edge")
        self.assertEqual(bottom, SCREEN_H - 50, "bottom edge 50 pixels above the screen's bottom")
        self.assertEqual(info["visible"], "1")
        self.assertTrue(int(info["exstyle"], 16) & 0x00080000, "layered window")
        self.assertEqual(info.get("lwa-key"), "255,0,255", "magenta is the transparent colour")
        self.assertTrue(int(info["lwa-flags"], 16) & 0x1, "colour key in use")
        self.screenshot("launcher-window")

    def test_second_start_only_raises_the_first(self):
        self.start_standin_agent()
        self.start_launcher()
        first = self.kdrive("find", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle)
        second = self.start(self.win_path(ids.kLauncherProgram))
        self.assertEqual(second.wait(20), 0, "the second launcher ends at once with 0")
        self.assertEqual(self.kdrive("find", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle), first)
        self.assertEqual(self.kdrive("count", "--class", ids.kLauncherClass), "1")

    def test_exit_button_asks_the_agent_to_shut_down(self):
        _, agent_log = self.start_standin_agent()
        launcher = self.start_launcher()
        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(ids.kMsgButtonNotice), "--wparam", str(ids.kIdExitButton), "--lparam", "0")
        wait_until(lambda: any(line.startswith(f"msg={ids.kMsgShutDown} ") for line in self.read_log_lines(agent_log)),
                   what="the shut-down message at the agent")
        self.assertTrue(launcher.is_running(), "with an agent, the launcher waits to be destroyed")
        # At shut-down the agent sends the launcher WM_DESTROY.
        self.kdrive("send", "--class", ids.kLauncherClass, "--msg", str(WM_DESTROY), "--wparam", "0", "--lparam", "0")
        self.assertEqual(launcher.wait(20), 1)

    def test_exit_button_without_agent_ends_the_launcher(self):
        agent, _ = self.start_standin_agent()
        launcher = self.start_launcher()
        self.kdrive("post", "--class", ids.kAgentClass, "--msg", str(WM_CLOSE), "--wparam", "0", "--lparam", "0")
        self.assertEqual(agent.wait(20), 0)
        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(ids.kMsgButtonNotice), "--wparam", str(ids.kIdExitButton), "--lparam", "0")
        self.assertEqual(launcher.wait(20), 1)

    def test_home_button_hides_without_ending(self):
        self.start_standin_agent()
        launcher = self.start_launcher()
        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(ids.kMsgButtonNotice), "--wparam", str(ids.kIdHomeButton), "--lparam", "0")
        wait_until(lambda: self.window_info(ids.kLauncherClass, ids.kLauncherClass)["visible"] == "0", what="the window to hide")
        self.assertTrue(launcher.is_running())

    def test_start_without_agent_starts_it_and_shows_nothing(self):
        standin = self.suite_dir / ids.kAgentProgram
        standin.write_bytes((BIN / "kdrive.exe").read_bytes())
        launcher = self.start(self.win_path(ids.kLauncherProgram))
        self.assertEqual(launcher.wait(20), 0)
        started = self.suite_dir / "standin-agent.log"
        wait_until(lambda: "started" in self.read_log_lines(started), what="the stand-in agent to start")
        code, _ = self.kdrive("find", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, check=False)
        self.assertNotEqual(code, 0, "no launcher window without an agent")
        self.kdrive("post", "--class", ids.kAgentClass, "--msg", str(WM_CLOSE), "--wparam", "0", "--lparam", "0")
        self.kdrive("wait-gone", "--class", ids.kAgentClass, "--timeout-ms", "15000")


class LauncherPayloads(KelvoTestCase):
    """WM_COPYDATA is read only for a known kind with enough bytes; anything else changes nothing."""

    def setUp(self):
        super().setUp()
        self.env_file = self.suite_dir / ids.kEnvironmentFile
        self.env_file.write_bytes(DEFAULT_ENV)
        self.start_standin_agent()
        self.launcher = self.start_launcher()

    def send_payload(self, kind, payload):
        path = self.logs / f"payload-{kind}-{len(payload)}.bin"
        path.write_bytes(payload)
        args = ["copydata", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--kind", str(kind)]
        args += ["--empty"] if not payload else ["--file", self.to_wine(path)]
        return self.kdrive(*args)

    def test_wrong_sized_payloads_are_refused(self):
        before = sha256(self.env_file)
        cases = []
        for kind, size in KIND_SIZES.items():
            # One byte longer than the record is refused too: a zero record of kind 2 or 3 would add an item.
            cases += [(kind, b""), (kind, b"\x01"), (kind, b"\x41" * (size - 1)), (kind, b"\x00" * (size + 1)),
                      (kind, b"\x00" * (2 * size))]
        # Kind 7 is the sender's whole 520-byte buffer with a terminator inside; kind 8 carries nothing.
        cases += [(7, b""), (7, b"A\x00" * 260), (7, b"A\x00" * 300), (7, b"\x41"),
                  (7, "C:\\배경.bmp".encode("utf-16-le") + b"\x00\x00"), (7, b"\x00" * 522),
                  (8, b"\x00" * 520), (8, b"\x00")]
        # Unknown kinds, including the agent's own, are never read by the launcher.
        cases += [(0, b"\x00" * 1024), (1, b"\x00" * 1040), (6, b"\x00" * 64), (9, b"\x00" * 8), (0xFFFFFFFF, b"x")]
        for kind, payload in cases:
            with self.subTest(kind=kind, size=len(payload)):
                self.assertEqual(self.send_payload(kind, payload), "0")
        self.assertEqual(self.kdrive("send", "--class", ids.kLauncherClass, "--msg", str(WM_NULL), "--wparam", "0",
                                     "--lparam", "0"), "0")
        self.assertTrue(self.launcher.is_running())
        self.assertEqual(sha256(self.env_file), before, "no refused payload touched TolvEnv.xml")

    def test_well_formed_background_payloads_are_taken(self):
        self.assertEqual(self.send_payload(7, utf16_field("C:\\배경.bmp", 260)), "1")
        self.assertEqual(self.send_payload(8, b""), "1")
        self.assertTrue(self.launcher.is_running())

    def test_page_and_reload_notices_with_wild_values_are_harmless(self):
        before = sha256(self.env_file)
        for msg, wparam in ((ids.kMsgGoToPage, 99), (ids.kMsgGoToPage, 0xFFFFFFFF), (ids.kMsgEnvChanged, 1),
                            (ids.kMsgEnvChanged, 3), (ids.kMsgEnvChanged, 77), (ids.kMsgButtonNotice, 0x7FFF)):
            self.kdrive("send", "--class", ids.kLauncherClass, "--msg", str(msg), "--wparam", str(wparam), "--lparam", "0")
        self.assertTrue(self.launcher.is_running())
        self.assertEqual(sha256(self.env_file), before)


def _default_env():
    lines = ["<TolvEnv>", "\t<MAINMENU>"]
    for n, (kind, caption, path) in enumerate(((12, "Storvia", "explorer.exe"), (13, "열기", "c:\\"),
                                               (11, "검색", ""), (10, "설정", ids.kSettingsProgram)), start=1):
        lines += [f"\t\t<BUTTON0{n}>", "\t\t\t<PKGTYPE>0</PKGTYPE>", f"\t\t\t<PKGID>{n - 1}</PKGID>",
                  f"\t\t\t<TYPE>{kind}</TYPE>", f"\t\t\t<CAPTION>{caption}</CAPTION>", f"\t\t\t<PATH>{path}</PATH>",
                  "\t\t\t<PARAM></PARAM>", "\t\t\t<ICON></ICON>", "\t\t\t<DELETED>0</DELETED>",
                  "\t\t\t<UPDATEFLAG>0</UPDATEFLAG>", f"\t\t</BUTTON0{n}>"]
    lines += ["\t</MAINMENU>", "\t<PAGEENV>", "\t\t<PageNum>0</PageNum>", "\t\t<CurrentPage>0</CurrentPage>",
              "\t</PAGEENV>", "</TolvEnv>", ""]
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le")


DEFAULT_ENV = _default_env()

if __name__ == "__main__":
    unittest.main(verbosity=2)
