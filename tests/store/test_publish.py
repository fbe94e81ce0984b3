"""Publishing a package as a store operator does: what the profile lists matches the files placed, byte for byte,
nested Korean names included, and a folder with nothing to publish is refused."""
import hashlib
import json
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
PUBLISH = ROOT / "tools" / "store" / "publish.py"


class Publish(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.source = Path(self.work.name) / "source"
        self.store = Path(self.work.name) / "store"
        (self.source / "도움말" / "그림").mkdir(parents=True)
        (self.source / "memo.exe").write_bytes(b"MZ" + bytes(range(256)) * 10)
        (self.source / "도움말" / "그림" / "한글 설명.txt").write_bytes("설명\r\n".encode("utf-8"))
        (self.source / "kelvo-package.json").write_text(json.dumps({"version": "2.1", "date": "2026-11-30"}))

    def tearDown(self):
        self.work.cleanup()

    def run_publish(self, *extra):
        return subprocess.run([sys.executable, str(PUBLISH), str(self.source), str(self.store), "메모", *extra],
                              capture_output=True, text=True)

    # Catches: a file listed with another size or digest than the one placed (the agent would refuse it, or worse
    # take a damaged one), a nested directory spelled otherwise than the FTP path, the manifest left out of the
    # head or published as a file of the package.
    def test_the_profile_lists_every_placed_file_with_its_size_and_sha256(self):
        result = self.run_publish("--dir", "utility")
        self.assertEqual(result.returncode, 0, result.stderr)
        package = self.store / "application" / "utility" / "메모"
        root = ET.fromstring((package / "Profile.xml").read_bytes())
        head = root.find("HEAD")
        self.assertEqual([head.findtext(t) for t in ("VERSION", "CHANNEL", "ALIAS", "EXEFILE", "BASEDIR")],
                         ["2.1", "utility", "메모", "memo.exe", "utility"])
        listed = {}
        for entry in root.find("GAMEFILELIST"):
            self.assertEqual(entry.findtext("COMPARISON"), "SC")
            self.assertEqual(entry.findtext("DATE"), "2026-11-30")
            listed[(entry.findtext("DIRECTORY"), entry.findtext("FILENAME"))] = entry
        self.assertEqual(set(listed), {("", "memo.exe"), ("/도움말/그림", "한글 설명.txt")})
        for (directory, name), entry in listed.items():
            placed = package / directory.lstrip("/") / name
            data = placed.read_bytes()
            self.assertEqual(data, (self.source / directory.lstrip("/") / name).read_bytes())
            self.assertEqual(int(entry.findtext("FILESIZE")), len(data))
            self.assertEqual(entry.findtext("CHECKSUM"), hashlib.sha256(data).hexdigest())
        self.assertFalse((package / "kelvo-package.json").exists())

    # Catches: a second publish that leaves files of the first one behind (the store would serve them).
    def test_publishing_again_replaces_the_package(self):
        self.assertEqual(self.run_publish().returncode, 0)
        (self.source / "memo.exe").unlink()
        (self.source / "new.exe").write_bytes(b"MZ new")
        self.assertEqual(self.run_publish().returncode, 0)
        package = self.store / "application" / "apps" / "메모"
        self.assertFalse((package / "memo.exe").exists())
        self.assertEqual(ET.fromstring((package / "Profile.xml").read_bytes()).find("HEAD").findtext("EXEFILE"),
                         "new.exe")

    def test_a_folder_without_files_is_refused(self):
        empty = Path(self.work.name) / "empty"
        empty.mkdir()
        result = subprocess.run([sys.executable, str(PUBLISH), str(empty), str(self.store), "x"], capture_output=True)
        self.assertNotEqual(result.returncode, 0)
        self.assertFalse((self.store / "application" / "apps" / "x").exists())


if __name__ == "__main__":
    unittest.main(verbosity=2)
