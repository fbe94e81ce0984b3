"""The store window on a store page somebody else wrote, served by Debian's nginx and vsftpd on the build's store
ports: an EUC-KR page (its <meta> says so, the server says only text/html) with a table taller than the window
whose buttons call a function of the page's script. A user scrolls to the last row with the mouse and clicks its
button, or walks to the first button with the keyboard; each package lands on the drive as the store holds it, the
first with its names stored on the server as UTF-8 bytes, the last as code page 949 bytes."""
import shutil
import subprocess
import unittest
import urllib.parse
import urllib.request

from PIL import Image

import screen_buttons
import stock_page_content
from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, ROOT, STORE_FTP_PORT, STORE_HTTP_PORT, KelvoTestCase, \
    read_env_packages, wait_until
from sample_env import env_xml
from store_window import STORE_CLASS, VK_RETURN, VK_TAB, StoreWindowMixin

WORK = ROOT / "build" / "stock-store-page"
SCROLL_BAR_GRIP = 8  # from the view's right edge: the middle of a standard vertical scroll bar
SCROLL_ARROW = 16    # a scroll bar arrow's height at the prefix's DPI


class StockStorePage(StoreWindowMixin, KelvoTestCase):
    def setUp(self):
        super().setUp()
        self.content = WORK / "content"
        self.packages = stock_page_content.build(self.content)
        self.stock = self.start_stock_store(self.content, WORK)
        # The log goes on from earlier runs: only this test's lines count.
        self.earlier_lines = len(self.read_log_lines(self.stock / "nginx-access.log"))

    def start_agent(self):
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, ((),)))
        self.agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "20000")

    def web_log(self):
        return self.read_log_lines(self.stock / "nginx-access.log")[self.earlier_lines:]

    def open_store_page(self):
        """The store window on the stock server's page, its view the agent's own page view."""
        self.start_agent()
        self.assertIn("page view", self.open_store())
        wait_until(lambda: any('"GET / ' in line and '" 200 ' in line for line in self.web_log()), 30.0,
                   what="the page served by nginx")

    def assert_installed(self, package):
        """The package's files on the drive byte for byte, the launcher's entry finished, the store told."""
        wait_until(lambda: any(item["CAPTION"] == package.name and item["UPDATEFLAG"] == "0"
                               for page in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for item in page),
                   90.0, what=f"{package.name} finished in the launcher's TolvEnv.xml")
        folder = DRIVE / ids.kPackagesFolder / package.name
        for directory, name, data in package.files:
            path = folder / directory.lstrip("/") / name
            self.assertTrue(path.is_file(), f"{path} is missing")
            self.assertEqual(path.read_bytes(), data, f"{path} differs from the store's file")
        self.assertTrue((folder / ids.kProfileFile).is_file())
        notice = f"update_Set.asp?userID=&userPwd=&appIdx={package.index} "
        wait_until(lambda: any(notice in line for line in self.web_log()), 15.0,
                   what=f"the installation notice of {package.index} in nginx's log")

    def window_box(self, row):
        """A child's screen rectangle (a row of children()) in the store window's screenshot pixels."""
        left, top, _, _ = (int(v) for v in self.window_info(STORE_CLASS, ids.kStoreName)["rect"].split(","))
        return row["left"] - left, row["top"] - top, row["right"] - left, row["bottom"] - top

    def click_store_at(self, x, y):
        """A real click at a point of the store window's screenshot."""
        left, top, _, _ = (int(v) for v in self.window_info(STORE_CLASS, ids.kStoreName)["rect"].split(","))
        origin_x, origin_y = self.client_origin(STORE_CLASS, ids.kStoreName)
        self.kdrive("click", "--class", STORE_CLASS, "--title", ids.kStoreName, "--x", str(left + x - origin_x),
                    "--y", str(top + y - origin_y))

    def drag_scroll_bar_to_the_end(self, view):
        """Drags the view's scroll bar thumb from the top of its track down to the lower arrow, as a user does."""
        origin_x, origin_y = self.client_origin(STORE_CLASS, ids.kStoreName)
        x = view["right"] - SCROLL_BAR_GRIP - origin_x
        start = view["top"] + SCROLL_ARROW + 6 - origin_y
        end = view["bottom"] - SCROLL_ARROW // 2 - origin_y
        self.kdrive("drag", "--class", STORE_CLASS, "--title", ids.kStoreName, "--from", f"{x},{start}",
                    "--to", f"{x},{end}", "--steps", "12")

    # Catches: nginx naming a charset of its own (the page's <meta> would no longer decide), and package files the
    # FTP server cannot hand out in active mode under the byte names they are stored with.
    def test_the_stock_servers_serve_the_page_and_both_packages(self):
        with urllib.request.urlopen(f"http://127.0.0.1:{STORE_HTTP_PORT}/", timeout=10) as reply:
            self.assertEqual(reply.headers["Content-Type"], "text/html")
            page = reply.read()
        self.assertEqual(page, (self.content / "index.html").read_bytes())
        self.assertIn(b'<meta charset="euc-kr">', page)
        self.assertIn("자료실 프로그램 목록", page.decode("euc-kr"))
        for package, encoding in zip(self.packages, ("utf-8", "cp949")):
            # The profile over HTTP, as the install asks for it: the name percent-encoded in its stored bytes.
            profile = f"/application/{package.store_dir}/{package.name}/{ids.kProfileFile}".encode(encoding)
            with urllib.request.urlopen(f"http://127.0.0.1:{STORE_HTTP_PORT}{urllib.parse.quote(profile)}",
                                        timeout=10) as reply:
                self.assertIn(f"<ALIAS>{package.name}</ALIAS>".encode("utf-8"), reply.read())
            for directory, name, data in package.files:
                path = f"/application/{package.store_dir}/{package.name}{directory}/{name}".encode(encoding)
                fetched = subprocess.run(
                    ["curl", "-sS", "--max-time", "20", "-P", "-", "--user",
                     f"{ids.kStoreFtpUser}:{ids.kStoreFtpPassword}",
                     f"ftp://127.0.0.1:{STORE_FTP_PORT}{urllib.parse.quote(path)}", "-o", "-"],
                    capture_output=True)
                self.assertEqual(fetched.returncode, 0, fetched.stderr.decode(errors="replace"))
                self.assertEqual(fetched.stdout, data, f"{package.name}{directory}/{name} over FTP")

    # Catches: a page view that cannot scroll (the last row stays out of reach), a scroll bar that moves without
    # the page following it, a button drawn where its click does not land, the page's own function not run (or
    # its call to window.external not reaching the agent), and a package whose code page 949 names the install
    # cannot find on the server.
    def test_the_mouse_scrolls_to_the_last_row_and_installs_its_package(self):
        self.open_store_page()
        top = self.settled_screenshot("stock-store-page-top", STORE_CLASS, ids.kStoreName)
        view = self.page_view()
        with Image.open(top) as shot:
            first_buttons = screen_buttons.find_buttons(shot.convert("RGB"), self.view_box(view))
        self.assertTrue(first_buttons, f"no button found on {top}")
        self.drag_scroll_bar_to_the_end(view)
        bottom = self.settled_screenshot("stock-store-page-bottom", STORE_CLASS, ids.kStoreName)
        with Image.open(bottom) as shot:
            buttons = screen_buttons.find_buttons(shot.convert("RGB"), self.view_box(view))
        self.assertTrue(buttons, f"no button found on {bottom}")
        self.assertNotEqual(buttons, first_buttons, f"the page did not scroll (see {top} and {bottom})")
        self.click_store_at(*screen_buttons.centre(buttons[-1]))
        self.assert_installed(self.packages[-1])
        self.settled_screenshot("stock-store-page-installed", STORE_CLASS, ids.kStoreName)
        self.assertFalse((DRIVE / ids.kPackagesFolder / self.packages[0].name).exists())

    # Catches: Tab not reaching the page's first button, Enter not pressing it, and the first package (UTF-8 names
    # on the server) not installed whole.
    def test_tab_and_enter_install_the_first_rows_package(self):
        self.open_store_page()
        self.focus_page()
        self.kdrive("keys", "--vk", str(VK_TAB))
        self.settled_screenshot("stock-store-page-first-button", STORE_CLASS, ids.kStoreName)
        self.kdrive("keys", "--vk", str(VK_RETURN))
        self.assert_installed(self.packages[0])
        self.settled_screenshot("stock-store-page-first-installed", STORE_CLASS, ids.kStoreName)
        self.assertFalse((DRIVE / ids.kPackagesFolder / self.packages[-1].name).exists())

    def view_box(self, view):
        """The page part of the view in screenshot pixels: its scroll bar left out."""
        left, top, right, bottom = self.window_box(view)
        return left, top, right - 2 * SCROLL_BAR_GRIP - 2, bottom


if __name__ == "__main__":
    unittest.main()
