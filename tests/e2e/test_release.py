"""A release as a user gets it, against a store as an operator runs it: the zip of `./kelvo release` unpacked onto a
fresh drive, a store served by `./kelvo store serve` holding a package and a newer suite, and then under Wine
Start.exe, the updater's offer of the newer suite, the suite coming up from the new files, and an install from the
store page."""
import os
import shutil
import subprocess
import tempfile
import unittest
import zipfile

from kelvo_e2e import (ids, BIN, DRIVE, DRIVE_LETTER, ROOT, STORE_FTP_PORT, STORE_HTTP_PORT, KelvoTestCase,
                       read_env_packages, wait_until)
from sample_settings import settings_xml

KELVO = ROOT / "kelvo"
OLD_VERSION, NEW_VERSION = "1.0.0", "1.0.1"
PACKAGE = {"index": "301", "directory": "graphics", "name": "Viewer", "exe": "viewer.exe"}
IDYES = 6
VK_TAB, VK_RETURN = 0x09, 0x0D
STORE_VIEW_REPORT = "Marlo store view: "


def kelvo(*args, env=None):
    result = subprocess.run([str(KELVO), *args], capture_output=True, text=True, env=env)
    if result.returncode != 0:
        raise AssertionError(f"./kelvo {' '.join(args)} failed:\n{result.stdout}\n{result.stderr}")
    return result


class Release(KelvoTestCase):
    def setUp(self):
        super().setUp()
        self.out = self.logs / "release"
        env = dict(os.environ, KELVO_RELEASE_OUT=str(self.out))
        hosts = ["--http-host", f"127.0.0.1:{STORE_HTTP_PORT}", "--ftp-host", f"127.0.0.1:{STORE_FTP_PORT}"]
        for version in (OLD_VERSION, NEW_VERSION):
            kelvo("release", *hosts, "--version", version, env=env)
        self.old_zip = self.out / f"kelvo-{OLD_VERSION}.zip"
        self.new_zip = self.out / f"kelvo-{NEW_VERSION}.zip"

    def unpack_onto_fresh_drive(self, archive):
        """The drive as a user leaves it: emptied, then the zip's content at its root."""
        for entry in DRIVE.iterdir():
            if not entry.name.startswith(".windows-"):
                shutil.rmtree(entry) if entry.is_dir() else entry.unlink()
        with zipfile.ZipFile(archive) as release:
            release.extractall(DRIVE)

    def make_store(self):
        """A store root with the package and the newer suite published, served until the test ends. Returns the
        root and the web server's log."""
        work = tempfile.mkdtemp(prefix="kelvo-release-store-")
        self.addCleanup(shutil.rmtree, work, True)
        os.chmod(work, 0o755)  # the servers' unprivileged sessions must reach the content
        store = os.path.join(work, "store")
        source = os.path.join(work, "package")
        os.mkdir(source)
        shutil.copy2(BIN / "sample_viewer.exe", os.path.join(source, PACKAGE["exe"]))
        kelvo("store", "publish", source, store, PACKAGE["name"], "--dir", PACKAGE["directory"],
              "--index", PACKAGE["index"], "--title", "그림 뷰어", "--summary", "그림을 보는 프로그램", "--exe",
              PACKAGE["exe"], "--version", "2.3")
        kelvo("store", "publish-suite", str(self.new_zip), store)
        server = subprocess.Popen([str(KELVO), "store", "serve", store, "--http-port", STORE_HTTP_PORT,
                                   "--ftp-port", STORE_FTP_PORT, "--listen", "127.0.0.1"],
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

        def stop():
            server.terminate()
            output = server.communicate(timeout=30)[0]
            (self.logs / "store-serve.log").write_text(output)
        self.addCleanup(stop)
        lines = []
        while True:
            line = server.stdout.readline()
            lines.append(line)
            if not line or "serving" in line:
                break
        self.assertIn("serving", lines[-1], "the store did not start:\n" + "".join(lines))
        return store, os.path.join(store, ".kelvo-store", "nginx-access.log")

    # Catches: a release zip that does not run from a stick's root, an updater that does not offer a newer suite
    # or does not install it from the store (the updater under its staged name included), a suite that does not
    # come up from the new files, a help view without the new version, a store page without the published
    # package, and a package that does not install from it.
    def test_start_update_and_install_from_a_served_store(self):
        self.unpack_onto_fresh_drive(self.old_zip)
        self.assertFalse((DRIVE / "autorun.inf").exists())
        # Update checks are off in the defaults; the user turns them on.
        (self.suite_dir / ids.kSettingsFile).write_bytes(settings_xml({"UpdateCheck": 1}))
        store, web_log = self.make_store()

        starter = self.start(DRIVE_LETTER + "\\" + ids.kStarterProgram)
        self.kdrive("wait", "--class", "#32770", "--title", "정보", "--visible", "--timeout-ms", "30000")
        self.assertIn("Kelvo 업데이트가 있습니다.", self.kdrive("dialog-text", "--class", "#32770", "--title", "정보"))
        self.screenshot("release-update-offered")
        self.kdrive("press", "--class", "#32770", "--title", "정보", "--id", str(IDYES))

        self.kdrive("wait", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--timeout-ms", "60000")
        self.kdrive("wait", "--class", ids.kLauncherClass, "--title", ids.kLauncherTitle, "--visible",
                    "--timeout-ms", "30000")
        published = os.path.join(store, "application", "launcher", ids.kProfileFile)
        self.assertEqual((self.suite_dir / ids.kProfileFile).read_bytes(), open(published, "rb").read())
        # The agent moved the staged updater over the old one when it started.
        wait_until(lambda: not (self.suite_dir / ids.kStagedUpdaterProgram).exists(), 20.0,
                   what="the staged updater to be moved into place")
        with zipfile.ZipFile(self.new_zip) as release:
            self.assertEqual((self.suite_dir / ids.kUpdaterProgram).read_bytes(),
                             release.read(f"{ids.kSuiteFolder}/{ids.kUpdaterProgram}"))
        self.screenshot("release-suite-updated")

        self.start(self.win_path(ids.kSettingsProgram), "-1", "-4")
        self.kdrive("wait", "--class", ids.kSettingsClass, "--title", "도움말", "--visible", "--timeout-ms", "20000")
        self.assertIn(f"* 제품 버젼 : {NEW_VERSION}", self.kdrive("dialog-text", "--class", ids.kSettingsClass))
        self.screenshot("release-help-version", ids.kSettingsClass)
        self.kdrive("post", "--class", ids.kSettingsClass, "--msg", "16")  # WM_CLOSE
        self.kdrive("wait-gone", "--class", ids.kSettingsClass, "--timeout-ms", "10000")

        self.kdrive("post", "--class", ids.kAgentClass, "--title", ids.kAgentTitle, "--msg", str(ids.kMsgOpenStore))
        self.kdrive("wait", "--class", "#32770", "--title", ids.kStoreName, "--visible", "--timeout-ms", "20000")
        # The agent finds that the browser control could show no page here and shows its own view of the page.
        wait_until(lambda: STORE_VIEW_REPORT in starter.log_path.read_text(errors="replace"), 40.0,
                   what="the store view's decision")
        self.screenshot("release-store-page", "#32770")
        self.kdrive("click", "--class", "#32770", "--title", ids.kStoreName, "--x", "4", "--y", "4")
        self.kdrive("keys", "--vk", str(VK_TAB))
        self.kdrive("keys", "--vk", str(VK_RETURN))

        program = DRIVE / ids.kPackagesFolder / PACKAGE["name"] / PACKAGE["exe"]
        wait_until(program.exists, 60.0, what="the installed program on the drive")
        self.assertEqual(program.read_bytes(), (BIN / "sample_viewer.exe").read_bytes())
        wait_until(lambda: any(item["CAPTION"] == PACKAGE["name"] and item["UPDATEFLAG"] == "0"
                               for page in read_env_packages(self.suite_dir / ids.kEnvironmentFile) for item in page),
                   30.0, what="the finished package in the launcher's TolvEnv.xml")
        # The store heard of the install; its log keeps the password out.
        wait_until(lambda: f"update_Set.asp?userID=&userPwd=***&appIdx={PACKAGE['index']}" in
                   open(web_log, errors="replace").read(), 15.0, what="the store's notice of the installation")
        self.screenshot("release-package-installed", ids.kLauncherClass)


if __name__ == "__main__":
    unittest.main(verbosity=2)
