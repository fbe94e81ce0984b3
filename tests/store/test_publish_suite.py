"""Publishing a release of the suite where the self-updater looks for it: the update profile lists every placed
file byte for byte, the updater under its travelling name, the starter from the drive root, the release's version;
the user's own files and incomplete releases never reach the store."""
import hashlib
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "store"))
import publish_suite  # noqa: E402

NAMES = publish_suite.suite_names()
SUITE = NAMES["kSuiteFolder"]
PROGRAMS = ["kLauncherProgram", "kAgentProgram", "kSettingsProgram", "kUpdaterProgram"]


def release_profile(version):
    return (f'<?xml version="1.0" encoding="utf-8"?>\r\n<UPDATEPROFILE><HEAD><VERSION>{version}</VERSION></HEAD>'
            "<GAMEFILELIST/></UPDATEPROFILE>\r\n").encode("utf-8")


def release_members():
    """A release as a user copies it to a stick, each program with bytes of its own."""
    members = {NAMES["kStarterProgram"]: b"MZ start", f"{SUITE}/mainpoint.kpt": b"10 20\r\n",
               f"{SUITE}/{NAMES['kProfileFile']}": release_profile("1.2.0"), "읽어보기.txt": b"\xef\xbb\xbf"}
    for key in PROGRAMS:
        members[f"{SUITE}/{NAMES[key]}"] = b"MZ " + NAMES[key].encode() * 50
    return members


class PublishSuite(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.zip = Path(self.work.name) / "kelvo-1.2.0.zip"
        self.store = Path(self.work.name) / "store"
        self.profile = self.store / NAMES["kSuiteProfileFolder"].lstrip("/") / NAMES["kProfileFile"]
        self.files = self.store / NAMES["kSuiteFilesFolder"].lstrip("/")
        self.members = release_members()

    def tearDown(self):
        self.work.cleanup()

    def write_zip(self):
        with zipfile.ZipFile(self.zip, "w") as archive:
            archive.writestr(zipfile.ZipInfo("Portable Programs/", (2026, 12, 1, 0, 0, 0)), b"")
            for name, data in self.members.items():
                archive.writestr(zipfile.ZipInfo(name, (2026, 12, 1, 0, 0, 0)), data)

    def run_publish(self):
        self.write_zip()
        return subprocess.run([sys.executable, str(ROOT / "tools" / "store" / "publish_suite.py"), str(self.zip),
                               str(self.store)], capture_output=True, text=True)

    def listed(self):
        root = ET.fromstring(self.profile.read_bytes())
        self.assertEqual(root.tag, "UPDATEPROFILE")
        return root.findtext("HEAD/VERSION"), {f.findtext("FILENAME"): f for f in root.find("GAMEFILELIST")}

    # Catches: a listed size or digest that differs from the placed file (the updater stops with code 2), an entry
    # without S in COMPARISON (its size is never read), the updater published under its own name (it cannot
    # replace itself), the starter or a layout file left out, the readme or the release's profile published as
    # suite files, and a version other than the release's.
    def test_the_profile_lists_every_placed_file_with_the_release_version(self):
        result = self.run_publish()
        self.assertEqual(result.returncode, 0, result.stderr)
        version, entries = self.listed()
        self.assertEqual(version, "1.2.0")
        expected = {NAMES[k] for k in PROGRAMS if k != "kUpdaterProgram"}
        expected |= {NAMES["kStagedUpdaterProgram"], NAMES["kStarterProgram"], "mainpoint.kpt"}
        self.assertEqual(set(entries), expected)
        for name, entry in entries.items():
            data = (self.files / name).read_bytes()
            self.assertIn("S", entry.findtext("COMPARISON"), name)
            self.assertEqual(int(entry.findtext("FILESIZE")), len(data), name)
            self.assertEqual(int(entry.findtext("REALSIZE")), len(data), name)
            self.assertEqual(entry.findtext("CHECKSUM"), hashlib.sha256(data).hexdigest(), name)
        self.assertEqual((self.files / NAMES["kStagedUpdaterProgram"]).read_bytes(),
                         self.members[f"{SUITE}/{NAMES['kUpdaterProgram']}"])

    # Catches: a later release that leaves the old version in the profile (clients would never be offered it) or
    # the old files in place.
    def test_a_newer_release_replaces_the_profile_and_the_files(self):
        self.assertEqual(self.run_publish().returncode, 0)
        self.members[f"{SUITE}/{NAMES['kProfileFile']}"] = release_profile("1.3.0")
        self.members[f"{SUITE}/{NAMES['kAgentProgram']}"] = b"MZ newer agent"
        self.assertEqual(self.run_publish().returncode, 0)
        version, entries = self.listed()
        self.assertEqual(version, "1.3.0")
        self.assertEqual((self.files / NAMES["kAgentProgram"]).read_bytes(), b"MZ newer agent")
        self.assertEqual(entries[NAMES["kAgentProgram"]].findtext("FILESIZE"), str(len(b"MZ newer agent")))

    # Catches: a user's settings, environment or login that slipped into a zip being pushed to every client, and a
    # release without a program or without a version being published half (a profile listing what is not there).
    def test_user_files_are_left_out_and_incomplete_releases_refused(self):
        self.members[f"{SUITE}/{NAMES['kSettingsFile']}"] = b"settings"
        self.members[f"{SUITE}/{NAMES['kCredentialsFile']}"] = b"login"
        self.assertEqual(self.run_publish().returncode, 0)
        _, entries = self.listed()
        self.assertNotIn(NAMES["kSettingsFile"], entries)
        self.assertNotIn(NAMES["kCredentialsFile"], entries)
        self.assertFalse((self.files / NAMES["kCredentialsFile"]).exists())

        for broken in ({f"{SUITE}/{NAMES['kAgentProgram']}": None},
                       {f"{SUITE}/{NAMES['kProfileFile']}": b"<UPDATEPROFILE><HEAD/></UPDATEPROFILE>"},
                       {f"{SUITE}/{NAMES['kProfileFile']}": b"not xml"}):
            with self.subTest(broken=broken):
                shutil.rmtree(self.store, ignore_errors=True)
                self.members = release_members()
                for name, data in broken.items():
                    if data is None:
                        del self.members[name]
                    else:
                        self.members[name] = data
                result = self.run_publish()
                self.assertNotEqual(result.returncode, 0)
                self.assertFalse(self.profile.exists())

    # Catches: a file that is not a zip reported as a traceback instead of a message.
    def test_a_file_that_is_not_a_zip_is_refused_with_a_message(self):
        self.zip.write_bytes(b"not a zip")
        result = subprocess.run([sys.executable, str(ROOT / "tools" / "store" / "publish_suite.py"), str(self.zip),
                                 str(self.store)], capture_output=True, text=True)
        self.assertEqual(result.returncode, 2)
        self.assertIn("not a release zip", result.stderr)
        self.assertNotIn("Traceback", result.stderr)


if __name__ == "__main__":
    unittest.main()
