"""`./kelvo release`: two builds from two clean copies of the sources give the same zip, and that zip is the drive
image a user copies to a stick (layout, names flagged UTF-8, fixed times, the version in the suite's profile,
programs without link times, a Korean readme with a BOM, no autorun.inf)."""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path
from xml.etree import ElementTree

ROOT = Path(__file__).resolve().parents[2]
VERSION = "2.4.6"
HOSTS = ["--http-host", "store.example:8080", "--ftp-host", "ftp.store.example"]
PROGRAMS = ["Tolv.exe", "Marlo.exe", "TolvSet.exe", "KelvoUp.exe"]


def clean_copy(target):
    """The tracked sources as they are in the working tree, without any build output."""
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                           capture_output=True, check=True).stdout
    with open(target / "sources.tar", "wb") as archive:
        subprocess.run(["tar", "--null", "-T", "-", "-cf", "-"], cwd=ROOT, input=files, check=True, stdout=archive)
    tree = target / "kelvo"
    tree.mkdir()
    subprocess.run(["tar", "-xf", str(target / "sources.tar")], cwd=tree, check=True)
    return tree


def release(tree, *args):
    out = tree / "out" / "release"
    env = dict(os.environ, KELVO_RELEASE_OUT=str(out))
    env.pop("KELVO_RELEASE_BUILD", None)
    result = subprocess.run([str(tree / "kelvo"), "release", *args], capture_output=True, text=True, env=env)
    return result, out


def pe_timestamp(data):
    """TimeDateStamp of a PE file's COFF header."""
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[offset:offset + 4] == b"PE\0\0"
    return struct.unpack_from("<I", data, offset + 8)[0]


class ReleaseZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory(prefix="kelvo-release-")
        cls.zips = []
        for copy in ("a", "b"):
            target = Path(cls.work.name) / copy
            target.mkdir()
            tree = clean_copy(target)
            result, out = release(tree, *HOSTS, "--version", VERSION)
            if result.returncode != 0:
                raise AssertionError(f"release in {tree} failed:\n{result.stdout[-3000:]}\n{result.stderr[-3000:]}")
            cls.zips.append(out / f"kelvo-{VERSION}.zip")
        cls.tree = tree

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    # Catches: anything in the programs or the zip that depends on when or where it was built (link times,
    # resource times, checkout paths, file times, entry order), and a SHA-256 file that does not name the zip.
    def test_two_clean_builds_give_the_same_zip(self):
        first, second = (path.read_bytes() for path in self.zips)
        self.assertEqual(hashlib.sha256(first).hexdigest(), hashlib.sha256(second).hexdigest())
        digest = self.zips[0].with_name(self.zips[0].name + ".sha256").read_text()
        self.assertEqual(digest, f"{hashlib.sha256(first).hexdigest()}  kelvo-{VERSION}.zip\n")

    # Catches: a drive image that is not what a user copies to a stick's root, names a Korean Windows would
    # misread, a shipped autorun.inf, a profile without the version or with entries that do not match the files,
    # and programs that still carry a link time.
    def test_the_zip_is_the_drive_image(self):
        with zipfile.ZipFile(self.zips[0]) as archive:
            infos = archive.infolist()
            names = [info.filename for info in infos]
            self.assertEqual(names[0], "Start.exe")
            for program in PROGRAMS:
                self.assertIn(f"Kelvo/{program}", names)
            for layout in ("mainpoint.kpt", "pagepos.kpt", "EditCtrlPoint.kpt"):
                self.assertIn(f"Kelvo/{layout}", names)
            self.assertIn("Portable Programs/", names)
            self.assertFalse([n for n in names if n.startswith("Portable Programs/") and n != "Portable Programs/"])
            self.assertFalse([n for n in names if n.lower().endswith("autorun.inf")])
            self.assertFalse([n for n in names if "sample" in n.lower() or "kdrive" in n.lower()])
            for info in infos:
                self.assertTrue(info.flag_bits & 0x800, f"{info.filename}: name not flagged UTF-8")
                self.assertEqual(info.date_time, (2026, 1, 1, 0, 0, 0), info.filename)

            readme = archive.read("읽어보기.txt")
            self.assertTrue(readme.startswith(b"\xef\xbb\xbf"))
            text = readme[3:].decode("utf-8")
            self.assertIn(VERSION, text)
            self.assertIn("Start.exe", text)
            self.assertIn("\r\n", text)

            profile = ElementTree.fromstring(archive.read("Kelvo/Profile.xml"))
            self.assertEqual(profile.tag, "UPDATEPROFILE")
            self.assertEqual(profile.findtext("HEAD/VERSION"), VERSION)
            listed = {f.findtext("FILENAME"): f for f in profile.find("GAMEFILELIST")}
            self.assertIn("KelvoUp.ex_", listed)
            self.assertIn("Start.exe", listed)
            for name, entry in listed.items():
                member = {"KelvoUp.ex_": "Kelvo/KelvoUp.exe", "Start.exe": "Start.exe"}.get(name, f"Kelvo/{name}")
                data = archive.read(member)
                self.assertIn("S", entry.findtext("COMPARISON"), name)
                self.assertEqual(entry.findtext("FILESIZE"), str(len(data)), name)
                self.assertEqual(entry.findtext("CHECKSUM"), hashlib.sha256(data).hexdigest(), name)

            for member in ["Start.exe"] + [f"Kelvo/{p}" for p in PROGRAMS]:
                data = archive.read(member)
                self.assertEqual(pe_timestamp(data), 0, member)
                # The given hosts are in the programs that talk to the store.
                if member in ("Kelvo/Marlo.exe", "Kelvo/KelvoUp.exe"):
                    self.assertIn("ftp.store.example".encode("utf-16-le"), data, member)

    # Catches: a release for hosts or a version that the programs or the zip's name could not carry.
    def test_bad_hosts_and_versions_are_refused(self):
        for args, message in (
                (["--http-host", "http://store.example/", "--ftp-host", "ftp.example"], "not a host"),
                (["--http-host", "store.example", "--ftp-host", "ftp.example:port"], "not a host"),
                (["--http-host", "store.example", "--ftp-host", "ftp.example", "--version", "1.0"], "not a version"),
                (["--http-host", "store.example"], "usage")):
            result, _ = release(self.tree, *args)
            self.assertNotEqual(result.returncode, 0, args)
            self.assertIn(message, result.stderr, args)


if __name__ == "__main__":
    unittest.main(verbosity=2)
