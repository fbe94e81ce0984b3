"""The stock servers' start and stop (tools/store/stock/stock.sh): vsftpd answers the store's account in active
mode only, chrooted and read-only, nginx serves the same content, and a stop leaves no process, port, PAM service
or generated file behind, so a start can follow at once."""
import ftplib
import io
import os
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
STOCK = ROOT / "tools" / "store" / "stock" / "stock.sh"
KOREAN = "한글 파일.bin"


def run_stock(*args):
    return subprocess.run(["bash", str(STOCK), *args], capture_output=True, text=True)


def read_ports(state):
    ports = {}
    for line in (state / "ports").read_text().splitlines():
        key, value = line.split("=")
        ports[key] = int(value)
    return ports


def runs(pid):
    """True while the process exists and is not a zombie waiting for its adopter to reap it."""
    try:
        return Path("/proc", str(pid), "stat").read_text().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def is_listening(port):
    with socket.socket() as s:
        return s.connect_ex(("127.0.0.1", port)) == 0


class StockServers(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        work = Path(self.work.name)
        os.chmod(work, 0o755)
        self.content = work / "content"
        (self.content / "pub").mkdir(parents=True)
        self.data = bytes(range(256)) * 40
        (self.content / "pub" / "data.bin").write_bytes(self.data)
        with open(os.path.join(bytes(self.content), b"pub", KOREAN.encode("cp949")), "wb") as f:
            f.write(b"cp949")
        subprocess.run(["chmod", "-R", "a+rX", str(self.content)], check=True)
        self.state = work / "state"
        started = run_stock("start", str(self.state), str(self.content))
        self.assertEqual(started.returncode, 0, started.stderr)
        self.ports = read_ports(self.state)
        self.pids = [int((self.state / name).read_text()) for name in ("vsftpd.pid", "nginx-master.pid")]

    def tearDown(self):
        run_stock("stop", str(self.state))
        self.work.cleanup()

    def ftp(self, passive=False, password=ids.kStoreFtpPassword, encoding="utf-8"):
        client = ftplib.FTP(encoding=encoding)
        client.connect("127.0.0.1", self.ports["ftp_port"], timeout=10)
        client.login(ids.kStoreFtpUser, password)
        client.set_pasv(passive)
        return client

    def retrieve(self, client, path):
        out = io.BytesIO()
        client.retrbinary("RETR " + path, out.write)
        return out.getvalue()

    def test_ftp_is_the_stores_account_in_active_mode_chrooted_and_read_only(self):
        client = self.ftp()
        self.assertEqual(self.retrieve(client, "/pub/data.bin"), self.data)
        # Names go to the server as the bytes they are stored with.
        korean = self.ftp(encoding="cp949")
        self.assertEqual(self.retrieve(korean, "/pub/" + KOREAN), b"cp949")
        korean.quit()
        client.cwd("/..")
        self.assertEqual(client.pwd(), "/", "the account cannot leave the content")
        with self.assertRaises(ftplib.error_perm):
            client.storbinary("STOR /pub/new.bin", io.BytesIO(b"x"))
        with self.assertRaises(ftplib.error_perm):
            client.mkd("/pub/folder")
        client.quit()
        passive = self.ftp(passive=True)
        with self.assertRaises(ftplib.error_perm):
            self.retrieve(passive, "/pub/data.bin")
        passive.quit()
        with self.assertRaises(ftplib.error_perm):
            self.ftp(password="wrong")

    def test_http_serves_the_same_content(self):
        url = "http://127.0.0.1:%d/pub/data.bin" % self.ports["http_port"]
        with urllib.request.urlopen(url, timeout=10) as reply:
            self.assertEqual(reply.read(), self.data)

    def test_stop_leaves_nothing_and_a_new_start_works(self):
        service = (self.state / "pam-service").read_text().strip()
        self.assertTrue(Path("/etc/pam.d", service).exists())
        stopped = run_stock("stop", str(self.state))
        self.assertEqual(stopped.returncode, 0, stopped.stderr)
        for pid in self.pids:
            self.assertFalse(runs(pid), "server %d still runs" % pid)
        self.assertFalse(is_listening(self.ports["ftp_port"]))
        self.assertFalse(is_listening(self.ports["http_port"]))
        self.assertFalse(Path("/etc/pam.d", service).exists())
        left = sorted(p.name for p in self.state.iterdir())
        self.assertTrue(all(name.endswith((".log", ".out")) for name in left), left)
        # The same state folder starts again.
        started = run_stock("start", str(self.state), str(self.content))
        self.assertEqual(started.returncode, 0, started.stderr)
        self.ports = read_ports(self.state)
        client = self.ftp()
        self.assertEqual(self.retrieve(client, "/pub/data.bin"), self.data)
        client.quit()


if __name__ == "__main__":
    unittest.main()
