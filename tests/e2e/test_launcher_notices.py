"""The agent's notices reach the launcher's items and TolvEnv.xml on disk, as another program reads it back."""
import unittest

from kelvo_e2e import (ids, BIN, KelvoTestCase, package_announce, package_record, read_env_packages,
                       wait_until)
from sample_env import env_xml
from test_launcher import DEFAULT_ENV

ONE_PAGE_ENV = DEFAULT_ENV.replace(
    "\t\t<CurrentPage>0</CurrentPage>\r\n".encode("utf-16-le"),
    ("\t\t<CurrentPage>0</CurrentPage>\r\n\t\t<Page>\r\n\t\t\t<PackageCount>1</PackageCount>\r\n"
     "\t\t\t<Package>\r\n\t\t\t\t<PKGTYPE>3</PKGTYPE>\r\n\t\t\t\t<PKGID>0</PKGID>\r\n\t\t\t\t<TYPE>15</TYPE>\r\n"
     "\t\t\t\t<CAPTION>Backup</CAPTION>\r\n\t\t\t\t<PATH>T:\\Kelvo\\TolvSet.exe</PATH>\r\n"
     "\t\t\t\t<UPDATEFLAG>0</UPDATEFLAG>\r\n\t\t\t</Package>\r\n\t\t</Page>\r\n").encode("utf-16-le"))


class AgentNotices(KelvoTestCase):
    def setUp(self):
        super().setUp()
        self.env_file = self.suite_dir / ids.kEnvironmentFile
        self.env_file.write_bytes(ONE_PAGE_ENV)
        self.start_standin_agent()
        self.launcher = self.start_launcher()

    def send(self, kind, payload):
        path = self.logs / f"payload-{kind}.bin"
        path.write_bytes(payload)
        return self.kdrive("copydata", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--kind", str(kind), "--file",
                           self.to_wine(path))

    def post(self, msg, wparam=0, lparam=0):
        self.kdrive("post", "--class", ids.kLauncherClass, "--msg", str(msg), "--wparam", str(wparam), "--lparam", str(lparam))

    def packages(self):
        return [package for page in read_env_packages(self.env_file) for package in page]

    def find(self, pkg_id):
        return [p for p in self.packages() if p.get("PKGID") == str(pkg_id)]

    def test_install_progress_finish_and_removal_reach_the_file(self):
        program = "T:\\Portable Programs\\메모장\\notepad.exe"
        self.assertEqual(self.send(3, package_announce(77, "메모장", program)), "1")
        added = wait_until(lambda: self.find(77), what="the installing item in TolvEnv.xml")[0]
        self.assertEqual((added["PKGTYPE"], added["CAPTION"], added["PATH"], added["UPDATEFLAG"]),
                         ("1", "메모장", program, "2"))
        self.assertEqual(added["TYPE"], "-1", "the program does not exist yet")
        self.assertEqual(len(self.packages()), 2)

        before = self.env_file.read_bytes()
        self.post(ids.kMsgJobProgress, 40, 77)
        self.post(ids.kMsgJobProgress, 150, 77)
        self.post(ids.kMsgJobFinished, 0, 77)
        wait_until(lambda: self.find(77) and self.find(77)[0]["UPDATEFLAG"] == "0", what="the finished state")
        self.assertNotEqual(self.env_file.read_bytes(), before)

        # Removal needs the id and the caption; the caption is compared ignoring case.
        self.assertEqual(self.send(5, package_record(pkg_id=77, caption="메모장 ")), "1")
        self.assertEqual(self.send(5, package_record(pkg_id=78, caption="메모장")), "1")
        self.assertTrue(self.find(77), "neither a wrong caption nor a wrong id removes anything")
        self.assertEqual(self.send(5, package_record(pkg_id=0, caption="BACKUP")), "1")
        wait_until(lambda: all(p["CAPTION"] != "Backup" for p in self.packages()), what="Backup removed")
        self.assertEqual(self.send(5, package_record(pkg_id=77, caption="메모장")), "1")
        wait_until(lambda: not self.find(77), what="the package removed")
        self.assertTrue(self.launcher.is_running())

    def test_update_announcement_marks_the_existing_item(self):
        self.assertEqual(self.send(4, package_record(pkg_type=1, pkg_id=5, type_=0, caption="Viewer",
                                                     path="T:\\Portable Programs\\Viewer\\view.exe")), "1")
        wait_until(lambda: self.find(5), what="the added record")
        self.assertEqual(self.send(2, package_announce(5, "Viewer", "T:\\Portable Programs\\Viewer\\view.exe")), "1")
        wait_until(lambda: self.find(5)[0]["UPDATEFLAG"] == "2", what="the update mark")
        self.assertEqual(len(self.find(5)), 1, "an update marks, it does not add")


class EmptiedPage(KelvoTestCase):
    """The page an item's removal empties is the one that goes, not an empty page left earlier elsewhere."""

    def setUp(self):
        super().setUp()
        self.env_file = self.suite_dir / ids.kEnvironmentFile
        # The settings program's removal leaves empty pages behind; the first page here is one.
        pages = ([], [(1, 5, 0, "Viewer", "{drive}\\Portable Programs\\Viewer\\view.exe", 0)],
                 [(1, 77, 0, "메모장", "{drive}\\Portable Programs\\메모장\\notepad.exe", 0)])
        self.env_file.write_bytes(env_xml(pages=pages))
        self.start_standin_agent()
        self.launcher = self.start_launcher()

    def test_the_emptied_page_goes_and_the_earlier_empty_page_stays(self):
        payload = self.logs / "remove-77.bin"
        payload.write_bytes(package_record(pkg_id=77, caption="메모장"))
        self.assertEqual(self.kdrive("copydata", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle,
                                     "--kind", "5", "--file", self.to_wine(payload)), "1")
        wait_until(lambda: len(read_env_packages(self.env_file)) == 2, what="one page fewer in TolvEnv.xml")
        pages = read_env_packages(self.env_file)
        self.assertEqual([[p["CAPTION"] for p in page] for page in pages], [[], ["Viewer"]],
                         "the emptied third page went; the empty first page left by the settings program stays")
        self.assertTrue(self.launcher.is_running())


UNSAVED_TEXT = "변경 내용을 TolvEnv.xml에 저장할 수 없습니다."


class DriveThatCannotBeWritten(KelvoTestCase):
    """On a stick the launcher cannot write, what the agent adds stays shown, the user is told once, and the
    changes are saved with the first one that can be saved."""

    def setUp(self):
        super().setUp()
        self.env_file = self.suite_dir / ids.kEnvironmentFile
        self.env_file.write_bytes(env_xml(pages=([(1, 5, 0, "Viewer", "{drive}\\Kelvo\\view.exe", 0)],)))
        self.start_standin_agent()
        self.launcher = self.start_launcher()

    def hold_file(self):
        """Another program holds TolvEnv.xml open, sharing it for reading only: no save can replace it."""
        ready, self.release = self.logs / "held", self.logs / "release"
        self.holder = self.start(str(BIN / "kdrive.exe"), "hold", "--file", self.to_wine(self.env_file), "--ready",
                                 self.to_wine(ready), "--release", self.to_wine(self.release), log_name="hold.log")
        wait_until(ready.exists, 15.0, what="the file to be held")

    def let_go(self):
        self.release.write_text("")
        self.assertEqual(self.holder.wait(15), 0)

    def add(self, pkg_id, caption):
        payload = self.logs / f"add-{pkg_id}.bin"
        payload.write_bytes(package_record(pkg_type=3, pkg_id=pkg_id, type_=15, caption=caption,
                                           path="T:\\Kelvo\\TolvSet.exe"))
        self.assertEqual(self.kdrive("copydata", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle,
                                     "--kind", "4", "--file", self.to_wine(payload)), "1")

    def captions(self):
        return [[p["CAPTION"] for p in page] for page in read_env_packages(self.env_file)]

    # Catches: an add on a write-protected drive dropped (the grid rebuilt from the file), the user never told, told
    # at every change, and the held changes lost when the drive can be written again.
    def test_changes_are_kept_told_once_and_saved_when_saving_works_again(self):
        before = self.env_file.read_bytes()
        self.hold_file()
        self.add(80, "첫째")
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "15000")
        self.assertIn(UNSAVED_TEXT, self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", "1")
        self.kdrive("wait-gone", "--class", "#32770", "--title", "정보", "--timeout-ms", "10000")
        self.add(81, "둘째")
        self.assertEqual(self.env_file.read_bytes(), before, "nothing reached the file")

        self.let_go()
        self.add(82, "셋째")
        wait_until(lambda: self.captions() == [["Viewer", "첫째", "둘째", "셋째"]], what="all three saved")
        # Told once: no second box came with the later changes.
        self.kdrive("wait-gone", "--class", "#32770", "--title", "정보", "--timeout-ms", "2000")
        self.assertTrue(self.launcher.is_running())


if __name__ == "__main__":
    unittest.main(verbosity=2)
