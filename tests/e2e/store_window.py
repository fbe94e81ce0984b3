"""The agent's store window as the end-to-end tests drive it: opening it, the view it chose, its page view child,
and the checks that it and the agent still answer."""
from kelvo_e2e import ids, wait_until

# The line the agent writes to stderr (and OutputDebugString) once it knows which view shows the store's page.
STORE_VIEW_REPORT = "Marlo store view: "
STORE_CLASS = "#32770"
PAGE_VIEW_ID = 1008  # the store window's child that shows the page
MENU_CLASS = "#32768"
WM_RBUTTONDOWN = 0x0204
VK_TAB, VK_RETURN, VK_ESCAPE, VK_END = 0x09, 0x0D, 0x1B, 0x23


class StoreWindowMixin:
    """For a KelvoTestCase whose agent runs as self.agent."""

    def store_view_decisions(self):
        return [line for line in self.agent.log_path.read_text(errors="replace").splitlines()
                if line.startswith(STORE_VIEW_REPORT)]

    def open_store(self):
        """Opens the store window and waits until it has chosen the view that shows the page."""
        decisions = len(self.store_view_decisions())
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgOpenStore))
        self.kdrive("wait", "--class", STORE_CLASS, "--title", ids.kStoreName, "--visible", "--timeout-ms", "20000")
        wait_until(lambda: len(self.store_view_decisions()) > decisions, 30.0, what="the store view's decision")
        return self.store_view_decisions()[-1]

    def page_view(self):
        """The page view child as children() gives it (screen rectangle)."""
        return [row for row in self.children(STORE_CLASS, ids.kStoreName) if row["id"] == PAGE_VIEW_ID][0]

    def focus_page(self):
        self.kdrive("click", "--class", STORE_CLASS, "--title", ids.kStoreName, "--x", "4", "--y", "4")

    def assert_store_answers(self, rounds=3):
        # A message answers in well under a millisecond; the bound only tells "answers" from "frozen" (seconds).
        for _ in range(rounds):
            self.kdrive("send", "--class", STORE_CLASS, "--title", ids.kStoreName, "--msg", "0", "--timeout-ms", "3000")

    def assert_tray_menu_opens(self):
        """The agent answers, and its tray icon's menu opens and closes again with Esc."""
        self.kdrive("send", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", "0", "--timeout-ms", "3000")
        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgTrayNotify),
                    "--wparam", "0", "--lparam", str(WM_RBUTTONDOWN))
        self.kdrive("wait", "--class", MENU_CLASS, "--visible", "--timeout-ms", "10000")
        self.kdrive("keys", "--vk", str(VK_ESCAPE))
        self.kdrive("wait-gone", "--class", MENU_CLASS, "--timeout-ms", "10000")

    def close_store_with_escape(self):
        self.focus_page()
        self.kdrive("keys", "--vk", str(VK_ESCAPE))
        self.kdrive("wait-gone", "--class", STORE_CLASS, "--title", ids.kStoreName, "--timeout-ms", "10000")
