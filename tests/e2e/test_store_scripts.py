"""Store pages whose scripts go wrong: one throws while the page loads and again when its buttons are pressed, one
never ends, at load and in a button's onclick. Whatever the page's script does, the store window and the agent keep
answering, the tray menu opens, and Esc closes the store window."""
import http.server
import shutil
import threading
import unittest

from kelvo_e2e import ids, BIN, DRIVE_LETTER, STORE_HTTP_PORT, KelvoTestCase, wait_until
from sample_env import env_xml
from store_window import STORE_CLASS, VK_RETURN, VK_TAB, StoreWindowMixin

THROWING_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>스토어</title>
<script>
var shelf = null;
shelf.open();
function press() { throw new Error("설치할 수 없습니다"); }
</script></head>
<body><h1>스토어</h1>
<p><button onclick="press()">설치</button> <button onclick="nowhere(1)">업데이트</button></p>
</body></html>
"""

ENDLESS_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>스토어</title>
<script>
var turns = 0;
while (true) { turns++; }
</script></head>
<body><h1>스토어</h1>
<p><button onclick="while (true) {}">설치</button> <button onclick="for (;;) { turns--; }">업데이트</button></p>
</body></html>
"""


class PageServer:
    """Answers every GET on the store's web port with one page, and counts the requests."""

    def __init__(self, port, page):
        self.requests = 0
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                body = page.encode("utf-8")
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                server.requests += 1

            def log_message(self, *args):
                pass

        self.http = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.http.daemon_threads = True
        threading.Thread(target=self.http.serve_forever, daemon=True).start()

    def close(self):
        self.http.shutdown()
        self.http.server_close()


class StoreScripts(StoreWindowMixin, KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, ((),)))

    def use_page(self, page, screen):
        """Opens the store on the page, presses each of its two buttons from the keyboard, and checks after each
        step that everything still answers; Esc closes the store window at the end."""
        server = PageServer(int(STORE_HTTP_PORT), page)
        self.addCleanup(server.close)
        self.agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "20000")
        self.assertIn("page view", self.open_store())
        wait_until(lambda: server.requests > 0, 15.0, what="the page view's request")
        self.assert_store_answers()
        self.focus_page()
        for _ in range(2):
            self.kdrive("keys", "--vk", str(VK_TAB))
            self.kdrive("keys", "--vk", str(VK_RETURN))
            self.assert_store_answers()
        self.screenshot(screen, STORE_CLASS)
        self.assert_tray_menu_opens()
        self.assert_store_answers()
        self.close_store_with_escape()

    # Catches: an exception of the page's script that ends the page view (or the agent), and a failed onclick
    # (thrown, or calling what the page never defined) that leaves the view stuck.
    def test_a_script_that_throws_at_load_and_on_click(self):
        self.use_page(THROWING_PAGE, "store-script-throws")

    # Catches: a page script run without a bound on the user-interface thread, which freezes the store window,
    # the tray icon and the agent's messages for good, at load and again on a click.
    def test_a_script_that_never_ends_at_load_and_on_click(self):
        self.use_page(ENDLESS_PAGE, "store-script-endless")


if __name__ == "__main__":
    unittest.main()
