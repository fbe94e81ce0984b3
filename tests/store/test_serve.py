"""`./kelvo store serve`: a published store root answered by nginx and vsftpd as the suite expects (the store page
listing the published packages, the notices, the files over active-mode FTP only, read-only, the servers' own
folder out of reach), the password masked in the web log, a clean stop, and a refused port that leaves nothing
behind."""
import ftplib
import io
import hashlib
import os
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.request
from pathlib import Path

sys.path.append(str(Path(__file__).resolve().parents[2] / "build" / "win" / "generated" / "python"))
import kelvo_ids as ids  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
KELVO = ROOT / "kelvo"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def server_processes(store):
    """Pids of the nginx and vsftpd processes whose command line names this store's folder."""
    found = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                cmdline = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
            except OSError:
                continue
            if str(store) in cmdline and ("nginx" in cmdline or "vsftpd" in cmdline):
                found.append(int(entry.name))
    return found


class StoreServe(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        os.chmod(self.work.name, 0o755)
        work = Path(self.work.name)
        self.store = work / "store"
        source = work / "package"
        source.mkdir()
        (source / "viewer.exe").write_bytes(b"MZ viewer")
        for name, index in (("Viewer", "301"), ("Hidden", None)):
            args = [str(KELVO), "store", "publish", str(source), str(self.store), name, "--dir", "graphics"]
            if index:
                args += ["--index", index, "--title", "그림 '뷰어'", "--summary", "<그림>"]
            subprocess.run(args, check=True, capture_output=True)
        self.http_port, self.ftp_port = free_port(), free_port()
        while self.ftp_port in (self.http_port, self.http_port + 1):
            self.ftp_port = free_port()

    def tearDown(self):
        for pid in server_processes(self.store):
            os.killpg(pid, signal.SIGKILL)
        self.work.cleanup()

    def serve(self):
        return subprocess.Popen([str(KELVO), "store", "serve", str(self.store), "--http-port", str(self.http_port),
                                 "--ftp-port", str(self.ftp_port), "--listen", "127.0.0.1"],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    def pam_service(self):
        """This store's own PAM service: other tests start stock servers with services of their own meanwhile."""
        state = os.path.abspath(self.store / ".kelvo-store")
        return Path("/etc/pam.d") / ("kelvo-stock-" + hashlib.sha256(state.encode()).hexdigest()[:12])

    def wait_serving(self, server):
        lines = []
        for line in server.stdout:
            lines.append(line)
            if "serving" in line:
                return
        self.fail("the store did not start:\n" + "".join(lines))

    def web(self, path):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.http_port}{path}", timeout=10) as reply:
            return reply.read().decode()

    # Catches: a page without the published package or in a form the store browser cannot call, a package
    # without an index on the page, notices the agent would see fail, a password in the log, files not served
    # over active FTP, passive mode, uploads or the servers' folder reachable, and a stop that leaves a server.
    def test_a_served_store_answers_as_the_suite_expects_and_stops_cleanly(self):
        server = self.serve()
        try:
            self.wait_serving(server)
            self.assertTrue(self.pam_service().exists(), "the account's PAM service while serving")
            page = self.web("/")
            self.assertIn("<table", page)
            self.assertIn("window.external.CB_InstallPackage('301', 'graphics', 'Viewer')", page)
            self.assertIn("그림 &#x27;뷰어&#x27;", page)
            self.assertIn("&lt;그림&gt;", page)
            self.assertNotIn("Hidden", page)
            self.assertEqual(self.web("/redirect.asp?menu=application&userID=me&userPwd=s%26cret"), page)
            self.assertEqual(self.web("/apps/update_Set.asp?userID=me&userPwd=s%26cret&appIdx=301"), "OK")
            self.assertEqual(self.web("/apps/delete_Set.asp?userID=me&userPwd=x&appIdx=301"), "OK")
            self.assertIn("<ALIAS>Viewer</ALIAS>", self.web("/application/graphics/Viewer/Profile.xml"))
            with self.assertRaises(urllib.error.HTTPError):
                self.web("/.kelvo-store/nginx.conf")

            ftp = ftplib.FTP()
            ftp.connect("127.0.0.1", self.ftp_port, timeout=10)
            ftp.login(ids.kStoreFtpUser, ids.kStoreFtpPassword)
            ftp.set_pasv(False)
            data = io.BytesIO()
            ftp.retrbinary("RETR /application/graphics/Viewer/viewer.exe", data.write)
            self.assertEqual(data.getvalue(), b"MZ viewer")
            for command in ("RETR /.kelvo-store/vsftpd.conf", "RETR /application/../.kelvo-store/ports"):
                with self.assertRaises(ftplib.error_perm):
                    ftp.retrbinary(command, io.BytesIO().write)
            with self.assertRaises(ftplib.error_perm):
                ftp.storbinary("STOR /up.bin", io.BytesIO(b"x"))
            ftp.set_pasv(True)
            with self.assertRaises(ftplib.all_errors):
                ftp.retrbinary("RETR /application/graphics/Viewer/viewer.exe", io.BytesIO().write)
            ftp.close()
        finally:
            server.send_signal(signal.SIGTERM)
            output = server.communicate(timeout=30)[0]
        self.assertEqual(server.returncode, 0, output)
        log = (self.store / ".kelvo-store" / "nginx-access.log").read_text()
        self.assertIn("userPwd=***&appIdx=301", log)
        self.assertNotIn("cret", log)
        self.assertEqual(server_processes(self.store), [])
        self.assertFalse(self.pam_service().exists(), "the account's PAM service after the stop")
        for port in (self.http_port, self.ftp_port):
            with socket.socket() as s:
                self.assertNotEqual(s.connect_ex(("127.0.0.1", port)), 0, f"port {port} still answers")

    # Catches: a store that looks started on a port another program holds (and then answers with that
    # program), an unclear refusal, and servers or their account left behind by the refusal.
    def test_a_port_in_use_is_refused_and_leaves_nothing_behind(self):
        own_service = self.pam_service()
        for taken in ("http_port", "ftp_port"):
            with self.subTest(taken=taken), socket.socket() as holder:
                holder.bind(("127.0.0.1", getattr(self, taken)))
                holder.listen()
                server = self.serve()
                output = server.communicate(timeout=60)[0]
                self.assertNotEqual(server.returncode, 0, output)
                self.assertIn(f"port {getattr(self, taken)}", output)
                self.assertIn("in use", output)
                self.assertEqual(server_processes(self.store), [])
                self.assertFalse(own_service.exists(), f"{own_service} left behind")


if __name__ == "__main__":
    unittest.main(verbosity=2)
