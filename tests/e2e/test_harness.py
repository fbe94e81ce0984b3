"""The harness itself: a crash inside a window procedure called from another process must fail the run."""
import unittest

from kelvo_e2e import BIN, KelvoTestCase, wait_until


class CrashDetection(KelvoTestCase):
    def test_crash_in_a_cross_process_window_procedure_is_seen(self):
        log = self.logs / "victim-messages.log"
        victim = self.start(str(BIN / "kdrive.exe"), "peer", "--class", "KelvoCrashVictim", "--log",
                            self.to_wine(log), "--crash-on", "1100", log_name="victim.log")
        self.kdrive("wait", "--class", "KelvoCrashVictim", "--timeout-ms", "15000")
        # Wine swallows the fault and the sender just gets 0: only the exception log tells.
        self.kdrive("send", "--class", "KelvoCrashVictim", "--msg", "1100", "--wparam", "0", "--lparam", "0",
                    check=False)
        wait_until(victim.crash_lines, what="the access violation in the exception log")
        # This test's own crash is expected; keep it from failing the tear-down check.
        self.programs.remove(victim)
        victim.kill()


if __name__ == "__main__":
    unittest.main(verbosity=2)
