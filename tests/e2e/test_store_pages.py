"""The store window's own page view against store servers that misbehave: the agent keeps answering while the
store's web server holds the page back."""
import shutil
import socket
import threading
import unittest

from kelvo_e2e import ids, BIN, DRIVE_LETTER, STORE_HTTP_PORT, KelvoTestCase, wait_until
from sample_env import env_xml
from store_window import StoreWindowMixin, VK_ESCAPE, WM_RBUTTONDOWN

STALL_SECONDS = 30


class StallingServer:
    """Accepts every connection on the store's web port, reads the request and says nothing for STALL_SECONDS."""

    def __init__(self, port):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", port))
        self.listener.listen(8)
        self.requests = 0
        self.stop = threading.Event()
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        self.listener.settimeout(0.5)
        while not self.stop.is_set():
            try:
                client, _ = self.listener.accept()
            except (socket.timeout, OSError):
                continue
            threading.Thread(target=self.hold, args=(client,), daemon=True).start()

    def hold(self, client):
        with client:
            client.settimeout(5)
            try:
                client.recv(4096)
            except OSError:
                return
            self.requests += 1
            self.stop.wait(STALL_SECONDS)

    def close(self):
        self.stop.set()
        self.listener.close()


class StorePagesTest(StoreWindowMixin, KelvoTestCase):
    def setUp(self):
        super().setUp()
        shutil.copy2(BIN / ids.kAgentProgram, self.suite_dir / ids.kAgentProgram)
        (self.suite_dir / ids.kEnvironmentFile).write_bytes(env_xml(DRIVE_LETTER, ((),)))

    # Catches: the page fetched on the agent's user-interface thread, which freezes the tray icon, the hot keys and
    # the messages of the launcher for as long as the store's server takes.
    def test_the_agent_answers_while_the_store_server_stalls(self):
        server = StallingServer(int(STORE_HTTP_PORT))
        self.addCleanup(server.close)
        self.agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "20000")
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgOpenStore))
        self.kdrive("wait", "--class", "#32770", "--title", ids.kStoreName, "--visible", "--timeout-ms", "20000")
        wait_until(lambda: any("page view" in line for line in self.store_view_decisions()), 30.0,
                   what="the page view taking over the store window")
        wait_until(lambda: server.requests > 0, 15.0, what="the page view's request reaching the stalled server")
        # The server holds the page back from here on. A message answers in well under a millisecond; the bound
        # only tells "answers" from "frozen until the fetch gives up" (seconds), and holds for several rounds.
        for _ in range(3):
            self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", "0",
                        "--timeout-ms", "3000")
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgTrayNotify),
                    "--wparam", "0", "--lparam", str(WM_RBUTTONDOWN))
        self.kdrive("wait", "--class", "#32768", "--visible", "--timeout-ms", "10000")
        self.screenshot("store-page-loading", "#32770")
        self.kdrive("keys", "--vk", str(VK_ESCAPE))
        self.kdrive("wait-gone", "--class", "#32768", "--timeout-ms", "10000")
        self.kdrive("send", "--class", "#32770", "--title", ids.kStoreName, "--msg", "0", "--timeout-ms", "10000")


if __name__ == "__main__":
    unittest.main()
