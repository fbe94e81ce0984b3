"""An exit while a real update runs and the store's file server has gone silent in the middle of a file: the user
says Yes twice and the suite ends all the same, without leaving anything half written on the drive."""
import shutil
import time
import unittest

from kelvo_e2e import ids, BIN, DRIVE, DRIVE_LETTER, KelvoTestCase, read_env_packages, wait_until
from sample_env import env_xml
from sample_settings import settings_xml
from test_update_failures import PROGRAM_UPDATE, STORE, folder_bytes, write_old_version

IDOK = 1
IDYES = 6
PACKAGE_ID = 103
# What the stalling server sends of each file before it goes silent.
STALL_AFTER = 64 * 1024
ASK_EXIT = "Kelvo를 종료 하시겠습니까?"
ASK_EXIT_DURING_JOB = "프로그램 설치 또는 업데이트가 진행 중입니다."
STILL_STOPPING = "다운로드를 중지하고 있습니다."
# The exit waits 10 s for the job to stop; everything else is quick. Generous: this only says "it ends at all".
EXIT_BOUND_S = 40.0


class ExitDuringAJob(KelvoTestCase):
    def setUp(self):
        super().setUp()
        for program in (ids.kAgentProgram, ids.kSettingsProgram):
            shutil.copy2(BIN / program, self.suite_dir / program)
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml())
        # BigData 0.8 on the drive, where the store's 0.9 brings 20 MB.
        self.folder = DRIVE / ids.kPackagesFolder / "BigData"
        self.old = write_old_version(self.folder, STORE / "data" / "BigData", b"0.9", b"0.8")
        page = [(1, PACKAGE_ID, 0, "큰 자료", "{drive}\\Portable Programs\\BigData\\bigdata.exe", 0)]
        self.env_file = self.suite_dir / ids.kEnvironmentFile
        self.env_file.write_bytes(env_xml(DRIVE_LETTER, (page,)))
        self.staging = self.suite_dir / ids.kStagingFolder

    def staged_bytes(self):
        return sum(p.stat().st_size for p in self.staging.rglob("*") if p.is_file()) if self.staging.exists() else 0

    def answer_box(self, text, button):
        """Waits for the agent's box that says `text` and presses one of its buttons."""
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "20000")
        wait_until(lambda: text in self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"), 10.0,
                   what=f"the box saying {text!r}")
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(button))

    def item_flags(self):
        return [(i["PKGID"], i["UPDATEFLAG"]) for p in read_env_packages(self.env_file) for i in p]

    # Catches: an exit that hangs on a worker blocked in a silent download (the process never ends, or only when
    # the server gives up), a worker that moves part of the new version into the package folder as it is stopped,
    # a TolvEnv.xml cut in the middle of a save by the shut-down, and a next start that leaves the item marked.
    def test_yes_to_both_questions_ends_the_suite_and_the_package_stays_whole(self):
        store_logs = self.start_local_store("--ftp-stall-after", str(STALL_AFTER))
        agent = self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms",
                    "20000")
        self.start(self.win_path(ids.kSettingsProgram), "-2", "-1", f"-{PACKAGE_ID}")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "프로그램 관리", "--visible", "--timeout-ms", "20000")
        self.kdrive("press", "--class", ids.kSettingsClass, "--id", str(PROGRAM_UPDATE), "--bm-click")
        # The first part of a file has arrived and the server says nothing more.
        wait_until(lambda: self.staged_bytes() >= STALL_AFTER, 60.0, what="the first part of the download")
        self.assertIn("RETR", (store_logs / "ftp.log").read_text(errors="replace"))

        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(ids.kMsgButtonNotice), "--wparam",
                    str(ids.kIdExitButton), "--lparam", "0")
        self.answer_box(ASK_EXIT, IDYES)
        self.answer_box(ASK_EXIT_DURING_JOB, IDYES)
        answered = time.monotonic()
        # The suite may say once that the download is still being stopped; that box is the user's to close.
        while agent.is_running() and time.monotonic() - answered < EXIT_BOUND_S:
            if self.kdrive("count", "--class", "#32770", "--title", "정보", "--visible") != "0":
                self.assertIn(STILL_STOPPING, self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
                self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDOK), check=False)
            time.sleep(0.2)
        self.assertFalse(agent.is_running(), f"the agent still runs {EXIT_BOUND_S:.0f} s after the user said Yes")
        self.kdrive("wait-gone", "--class", ids.kLauncherClass, "--timeout-ms", "15000")
        self.kdrive("wait-gone", "--class", ids.kSettingsClass, "--timeout-ms", "15000")

        self.assertEqual(folder_bytes(self.folder), self.old, "the package folder is as it was")
        self.assertLess(self.staged_bytes(), 20 * 1024 * 1024, "what was fetched stays in the staging folder")
        self.assertEqual([flag[0] for flag in self.item_flags()], [str(PACKAGE_ID)], "TolvEnv.xml whole, item kept")

        # The next start clears the mark of the update that was cut off and leaves the old version in place.
        self.start(self.win_path(ids.kAgentProgram))
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible", "--timeout-ms",
                    "20000")
        wait_until(lambda: self.item_flags() == [(str(PACKAGE_ID), "0")], 30.0, what="the item without its mark")
        self.assertEqual(folder_bytes(self.folder), self.old)


if __name__ == "__main__":
    unittest.main()
