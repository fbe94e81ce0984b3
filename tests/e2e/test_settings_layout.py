"""The settings program's views fit their pane at 96 and 120 DPI, with the status bar shown and hidden: no control,
the Save, OK and Close buttons included, lies outside the pane or under the status bar."""
import shutil
import subprocess
import unittest

from kelvo_e2e import ids, BIN, SETTINGS_PANE_ID, KelvoTestCase, wait_until
from sample_settings import settings_xml

VIEW_STATUS_BAR = 59393
WM_COMMAND = 273
IDCANCEL = 2
TITLES = ("일반설정", "프로그램 관리", "백업설정", "기타옵션", "도움말")
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def set_dpi(dpi):
    """Wine reads the DPI from the registry when a program starts."""
    subprocess.run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class SettingsLayout(KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kSettingsProgram, self.suite_dir / ids.kSettingsProgram)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        self.addCleanup(set_dpi, 96)

    def overflowing_controls(self, title):
        """Every visible control of the shown view that does not lie inside the pane, above the status bar."""
        rows = self.children(ids.kSettingsClass)
        panes = [r for r in rows if r["id"] == SETTINGS_PANE_ID and r["visible"]]
        self.assertEqual(len(panes), 1, f"one shown view in {title}")
        pane = panes[0]
        status = [r for r in rows if r["class"] == "msctls_statusbar32" and r["visible"]]
        bottom = min([pane["bottom"]] + [s["top"] for s in status])
        inside = [r for r in rows if r["parent"] == pane["hwnd"] and r["visible"]]
        self.assertGreater(len(inside), 2, f"the controls of {title}")
        return [(title, r["id"], r["class"], (r["left"], r["top"], r["right"], r["bottom"])) for r in inside
                if r["left"] < pane["left"] or r["top"] < pane["top"] or r["right"] > pane["right"]
                or r["bottom"] > bottom]

    def check_every_view(self, dpi):
        set_dpi(dpi)
        program = self.start(self.win_path(ids.kSettingsProgram), "-0", log_name=f"settings-{dpi}.log")
        try:
            self.kdrive("wait", "--class", ids.kSettingsClass, "--title", TITLES[0], "--visible", "--timeout-ms",
                        "20000")
            self.client_widths[dpi] = int(self.window_info(ids.kSettingsClass)["client"].split(",")[0])
            overflowing = []
            for view, title in enumerate(TITLES):
                self.kdrive("post", "--class", ids.kSettingsClass, "--msg", str(WM_COMMAND), "--wparam", str(5600 + view))
                self.kdrive("wait", "--class", ids.kSettingsClass, "--title", title, "--visible", "--timeout-ms", "20000")
                overflowing += self.overflowing_controls(title)
            # Without the status bar the view grows, and its buttons follow the pane's bottom.
            close_before = self.settings_control(IDCANCEL)
            self.kdrive("post", "--class", ids.kSettingsClass, "--msg", str(WM_COMMAND), "--wparam", str(VIEW_STATUS_BAR))
            wait_until(lambda: self.settings_control(IDCANCEL)["top"] > close_before["top"], 10.0,
                       what="the buttons to follow the pane down")
            self.assertFalse(any(r["class"] == "msctls_statusbar32" and r["visible"]
                                 for r in self.children(ids.kSettingsClass)))
            overflowing += self.overflowing_controls("도움말, status bar hidden")
        finally:
            # A failure at one DPI must not leave this instance to turn the next one away.
            program.kill()
        self.kdrive("wait-gone", "--class", ids.kSettingsClass, "--timeout-ms", "15000")
        return overflowing

    # Catches: buttons at fixed pixels below the pane (under the status bar), views laid out for one DPI only,
    # and buttons that stay where they were when the status bar goes.
    def test_every_view_fits_its_pane_at_96_and_120_dpi(self):
        self.client_widths = {}
        for dpi in (96, 120):
            with self.subTest(dpi=dpi):
                self.assertEqual(self.check_every_view(dpi), [])
        # The second run really was at 120 DPI: the frame grew with it.
        self.assertGreater(self.client_widths[120], self.client_widths[96] * 6 // 5)


if __name__ == "__main__":
    unittest.main()
