"""The local store's generated content: every profile lists files that exist at their FTP paths with the sizes
it announces, names the store page offers lead to a profile, and the big package really holds 20 MB."""
import hashlib
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.append(str(Path(__file__).resolve().parents[2] / "build" / "win" / "generated" / "python"))
import kelvo_ids as ids  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
MAKE = ROOT / "tools" / "store" / "make_content.py"


class StoreContent(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        bins = Path(cls.work.name) / "bin"
        bins.mkdir()
        for name in ("sample_memo.exe", "sample_viewer.exe", "sample_bigdata.exe", ids.kLauncherProgram, ids.kAgentProgram):
            (bins / name).write_bytes(b"MZ" + name.encode() * 10)
        cls.out = Path(cls.work.name) / "content"
        subprocess.run([sys.executable, str(MAKE), str(bins), str(cls.out)], check=True, capture_output=True)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def profiles(self):
        return sorted((self.out / "application").glob("*/*/" + ids.kProfileFile))

    def test_suite_update_lists_the_built_suite_files_with_sizes(self):
        root = ET.fromstring((self.out / "application" / "launcher" / ids.kProfileFile).read_bytes())
        self.assertEqual(root.tag, "UPDATEPROFILE")
        self.assertTrue(root.find("HEAD").findtext("VERSION"))
        names = []
        for entry in root.find("GAMEFILELIST"):
            self.assertIn("S", entry.findtext("COMPARISON"))
            path = self.out / "application" / "Launcher" / entry.findtext("FILENAME")
            self.assertEqual(path.stat().st_size, int(entry.findtext("FILESIZE")))
            names.append(entry.findtext("FILENAME"))
        self.assertEqual(names, [ids.kLauncherProgram, ids.kAgentProgram], "only files that were built are listed")

    def test_profiles_list_files_that_exist_with_their_sizes(self):
        self.assertEqual(len(self.profiles()), 6)
        for profile in self.profiles():
            root = ET.fromstring(profile.read_bytes())
            head = root.find("HEAD")
            base = self.out / "application" / head.findtext("BASEDIR") / head.findtext("ALIAS")
            files = root.find("GAMEFILELIST")
            self.assertTrue(any(f.findtext("FILENAME") == head.findtext("EXEFILE") for f in files))
            for entry in files:
                directory = entry.findtext("DIRECTORY")
                self.assertTrue(directory == "" or directory.startswith("/"), directory)
                path = base / directory.lstrip("/") / entry.findtext("FILENAME")
                self.assertTrue(path.is_file(), path)
                self.assertEqual(path.stat().st_size, int(entry.findtext("FILESIZE")))
                self.assertIn("C", entry.findtext("COMPARISON"))
                digest = hashlib.sha256(path.read_bytes()).hexdigest()
                if head.findtext("ALIAS") == "BadSum" and entry.findtext("FILENAME") == "data.bin":
                    self.assertNotEqual(entry.findtext("CHECKSUM"), digest, "the damaged package stays damaged")
                else:
                    self.assertEqual(entry.findtext("CHECKSUM"), digest, path)

    def test_store_page_offers_each_package_by_a_profile_path(self):
        page = (self.out / "index.asp").read_text(encoding="utf-8")
        for profile in self.profiles():
            directory, name = profile.parent.parent.name, profile.parent.name
            offer = f"&#x27;{directory}&#x27;, &#x27;{name}&#x27;"
            if name == "Pieces":  # reached through updates only
                self.assertNotIn(offer, page)
                continue
            self.assertIn(f"CB_InstallPackage(&#x27;", page)
            self.assertIn(offer, page)

    def test_big_package_holds_twenty_megabytes_and_korean_names_are_kept(self):
        blob = self.out / "application" / "data" / "BigData" / "data" / "blob.bin"
        self.assertEqual(blob.stat().st_size, 20 * 1024 * 1024)
        self.assertTrue((self.out / "application" / "graphics" / "Viewer" / "doc" / "img" / "한글 설명.txt").is_file())
        self.assertTrue((self.out / "application" / "utility" / "한글메모장" / "메모장.exe").is_file())


if __name__ == "__main__":
    unittest.main(verbosity=2)
