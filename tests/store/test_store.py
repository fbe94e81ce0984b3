#!/usr/bin/python3
"""Tests of the local store (tools/store/store.py), run as a real process.

    /usr/bin/python3 tests/store/test_store.py [-v]
"""

import ftplib
import http.client
import io
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
STORE = os.path.join(REPO, "tools", "store", "store.py")
CONTENT = os.path.join(REPO, "tools", "store", "content")
PYTHON = "/usr/bin/python3"

FTP_USER = "mvtrloze"
FTP_PASSWORD = "mvtrloze$%^"
KOREAN_NAME = "스토어 안내.txt"
DEADLINE = 10.0


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def port_listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


def wait_for(cond, what, deadline=DEADLINE):
    end = time.monotonic() + deadline
    while True:
        value = cond()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def read(path, mode="r"):
    try:
        with open(path, mode) as f:
            return f.read()
    except FileNotFoundError:
        return "" if "b" not in mode else b""


class Store:
    """One store.py process on fresh ports with its own log directory."""

    def __init__(self, root=CONTENT, ftp_root=None, http_port=None, ftp_port=None):
        self.dir = tempfile.mkdtemp(prefix="kelvo-store-test-")
        self.log_dir = os.path.join(self.dir, "logs")
        self.http_port = http_port or free_port()
        self.ftp_port = ftp_port or free_port()
        self.out_path = os.path.join(self.dir, "stdout")
        self.err_path = os.path.join(self.dir, "stderr")
        cmd = [PYTHON, STORE, "--root", root, "--log-dir", self.log_dir,
               "--http-port", str(self.http_port), "--ftp-port", str(self.ftp_port)]
        if ftp_root:
            cmd += ["--ftp-root", ftp_root]
        with open(self.out_path, "w") as out, open(self.err_path, "w") as err:
            self.proc = subprocess.Popen(cmd, stdout=out, stderr=err, stdin=subprocess.DEVNULL)

    @property
    def pid_file(self):
        return os.path.join(self.log_dir, "store.pid")

    def wait_ready(self):
        def ready():
            if self.proc.poll() is not None:
                raise AssertionError("store exited %s before ready: %s"
                                     % (self.proc.returncode, read(self.err_path)))
            return "ready" in read(self.out_path)
        wait_for(ready, "store to be ready")
        return self

    def wait_exit(self, deadline=DEADLINE):
        try:
            return self.proc.wait(deadline)
        except subprocess.TimeoutExpired:
            raise AssertionError("store did not exit within %ss" % deadline)

    def log(self, name):
        return read(os.path.join(self.log_dir, name))

    def wait_log(self, name, text):
        wait_for(lambda: text in self.log(name), "%r in %s" % (text, name))

    def close(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(DEADLINE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


def http_request(port, method, target, body=None, headers=None):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=DEADLINE)
    try:
        conn.request(method, target, body=body, headers=headers or {})
        resp = conn.getresponse()
        return resp.status, resp.getheaders(), resp.read()
    finally:
        conn.close()


def raw_http(port, data):
    """Send raw bytes, read the reply until the server closes."""
    with socket.create_connection(("127.0.0.1", port), timeout=DEADLINE) as s:
        s.sendall(data)
        chunks = []
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            chunks.append(chunk)
    reply = b"".join(chunks)
    head, _, body = reply.partition(b"\r\n\r\n")
    return head.split(b"\r\n")[0], body


def ftp_login(port, passive=False, encoding="utf-8", password=FTP_PASSWORD):
    ftp = ftplib.FTP(timeout=DEADLINE, encoding=encoding)
    ftp.connect("127.0.0.1", port)
    ftp.login(FTP_USER, password)
    ftp.set_pasv(passive)
    return ftp


def ftp_get(ftp, path):
    buf = io.BytesIO()
    ftp.retrbinary("RETR " + path, buf.write)
    return buf.getvalue()


class RunningStore(unittest.TestCase):
    """Requests against one store serving the committed content (HTTP) and a
    scratch copy of it with a Korean file name added (FTP)."""

    @classmethod
    def setUpClass(cls):
        cls.ftp_root = tempfile.mkdtemp(prefix="kelvo-store-ftproot-")
        shutil.copytree(CONTENT, cls.ftp_root, dirs_exist_ok=True)
        cls.korean_bytes = "한글 이름의 파일\n".encode("utf-8") * 3
        with open(os.path.join(cls.ftp_root, "pub", KOREAN_NAME), "wb") as f:
            f.write(cls.korean_bytes)
        cls.store = Store(ftp_root=cls.ftp_root)
        try:
            cls.store.wait_ready()
        except BaseException:
            cls.store.close()
            raise
        cls.hello = read(os.path.join(CONTENT, "hello.txt"), "rb")
        cls.sample = read(os.path.join(CONTENT, "pub", "sample.bin"), "rb")

    @classmethod
    def tearDownClass(cls):
        cls.store.close()
        shutil.rmtree(cls.ftp_root, ignore_errors=True)

    def test_content_is_small_and_present(self):
        self.assertTrue(self.hello)
        self.assertTrue(0 < len(self.sample) <= 8192)

    # -- HTTP

    def test_http_static_files_and_log_with_query(self):
        port = self.store.http_port
        status, _, body = http_request(port, "GET", "/hello.txt?appIdx=7&x=%20y")
        self.assertEqual((status, body), (200, self.hello))
        self.store.wait_log("http.log", " GET /hello.txt?appIdx=7&x=%20y 200")

        status, _, body = http_request(port, "GET", "/pub/sample.bin")
        self.assertEqual((status, body), (200, self.sample))

        status, headers, body = http_request(port, "HEAD", "/pub/sample.bin?h=1")
        self.assertEqual(status, 200)
        self.assertEqual(body, b"")
        self.assertEqual(dict(headers).get("Content-Length"), str(len(self.sample)))
        self.store.wait_log("http.log", " HEAD /pub/sample.bin?h=1 200")

    def test_http_missing_file_is_404_and_logged(self):
        status, _, _ = http_request(self.store.http_port, "GET", "/no/such/file.zip?v=2")
        self.assertEqual(status, 404)
        self.store.wait_log("http.log", " GET /no/such/file.zip?v=2 404")

    def test_http_does_not_serve_outside_root(self):
        for target in ("/../store.py", "/..%2fstore.py", "/pub/../../store.py"):
            line, body = raw_http(self.store.http_port,
                                  b"GET " + target.encode() + b" HTTP/1.0\r\n\r\n")
            self.assertNotIn(b"200", line, target)
            self.assertNotIn(b"import", body, target)

    def test_notices_post_without_body(self):
        # What an HTTP/1.0 client sends when all data is in the query:
        # no Content-Length, no body, connection left open for the reply.
        for path in ("/apps/update_Set.asp", "/apps/delete_Set.asp"):
            target = path + "?userID=a&userPwd=b&appIdx=3"
            line, body = raw_http(self.store.http_port,
                                  b"POST " + target.encode() + b" HTTP/1.0\r\nHost: x\r\n\r\n")
            self.assertIn(b" 200 ", line, path)
            self.assertEqual(body, b"OK", path)
            self.store.wait_log("http.log", " POST %s 200" % target)

    def test_notice_with_form_body_and_unknown_post(self):
        status, _, body = http_request(
            self.store.http_port, "POST", "/apps/update_Set.asp?appIdx=9", body=b"a=1&b=2",
            headers={"Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual((status, body), (200, b"OK"))
        status, _, _ = http_request(self.store.http_port, "POST", "/hello.txt?p=1", body=b"")
        self.assertEqual(status, 405)
        self.store.wait_log("http.log", " POST /hello.txt?p=1 405")

    # -- FTP

    def test_ftp_active_and_passive_download(self):
        for passive in (False, True):
            ftp = ftp_login(self.store.ftp_port, passive=passive)
            try:
                self.assertEqual(ftp_get(ftp, "/pub/sample.bin"), self.sample, passive)
                self.assertEqual(ftp_get(ftp, "hello.txt"), self.hello, passive)
            finally:
                ftp.quit()
        log = self.store.log("ftp.log")
        self.assertIn("<- PORT 127,0,0,1,", log)
        self.assertIn("<- RETR /pub/sample.bin", log)
        self.assertNotIn(FTP_PASSWORD, log)

    def test_ftp_wrong_password_and_other_users_refused(self):
        for user, password in ((FTP_USER, "wrong"), ("anonymous", "a@b"), ("root", FTP_PASSWORD)):
            ftp = ftplib.FTP(timeout=DEADLINE)
            ftp.connect("127.0.0.1", self.store.ftp_port)
            try:
                with self.assertRaises(ftplib.error_perm, msg=user) as cm:
                    ftp.login(user, password)
                self.assertTrue(str(cm.exception).startswith("530"), str(cm.exception))
            finally:
                ftp.close()

    def test_ftp_is_read_only(self):
        ftp = ftp_login(self.store.ftp_port)
        try:
            for call in (lambda: ftp.storbinary("STOR new.bin", io.BytesIO(b"x")),
                         lambda: ftp.delete("hello.txt"),
                         lambda: ftp.mkd("newdir"),
                         lambda: ftp.rename("hello.txt", "moved.txt")):
                with self.assertRaises(ftplib.error_perm):
                    call()
        finally:
            ftp.quit()
        self.assertEqual(sorted(os.listdir(self.ftp_root)), ["hello.txt", "pub"])

    def test_ftp_korean_name_in_utf8_and_cp949(self):
        path = "/pub/" + KOREAN_NAME
        for encoding in ("utf-8", "cp949"):
            ftp = ftp_login(self.store.ftp_port, encoding=encoding)
            try:
                self.assertEqual(ftp_get(ftp, path), self.korean_bytes, encoding)
                ftp.cwd("/pub")
                self.assertEqual(ftp_get(ftp, KOREAN_NAME), self.korean_bytes, encoding)
                self.assertEqual(ftp.size(KOREAN_NAME), len(self.korean_bytes), encoding)
                # A missing name is refused, quoting the name back as sent,
                # and the session carries on.
                with self.assertRaises(ftplib.error_perm):
                    ftp_get(ftp, "없는 파일.txt")
                with self.assertRaises(ftplib.error_perm) as cm:
                    ftp.size("없는 파일.txt")
                self.assertIn("550 /pub/없는 파일.txt", str(cm.exception))
                self.assertEqual(ftp_get(ftp, "sample.bin"), self.sample, encoding)
            finally:
                ftp.quit()


class Lifecycle(unittest.TestCase):

    def tearDown(self):
        for s in getattr(self, "stores", []):
            s.close()

    def start(self, **kw):
        s = Store(**kw)
        self.stores = getattr(self, "stores", []) + [s]
        return s

    def test_second_store_on_same_ports_fails_clearly(self):
        first = self.start().wait_ready()
        second = self.start(http_port=first.http_port, ftp_port=first.ftp_port)
        self.assertEqual(second.wait_exit(), 3)
        err = read(second.err_path)
        self.assertIn("HTTP port 127.0.0.1:%d is already in use" % first.http_port, err)
        self.assertIn("FTP port 127.0.0.1:%d is already in use" % first.ftp_port, err)
        self.assertNotIn("ready", read(second.out_path))
        self.assertFalse(os.path.exists(second.pid_file))
        # The first one is unaffected.
        self.assertEqual(http_request(first.http_port, "GET", "/hello.txt")[0], 200)

    def test_one_port_taken_starts_nothing(self):
        with socket.socket() as blocker:
            blocker.bind(("127.0.0.1", 0))
            blocker.listen(1)
            ftp_port = blocker.getsockname()[1]
            s = self.start(ftp_port=ftp_port)
            self.assertEqual(s.wait_exit(), 3)
            self.assertIn("FTP port 127.0.0.1:%d is already in use" % ftp_port, read(s.err_path))
            self.assertFalse(port_listening(s.http_port))

    def test_sigterm_stops_cleanly(self):
        s = self.start().wait_ready()
        self.assertEqual(read(s.pid_file).strip(), str(s.proc.pid))
        # An open FTP session must not keep the store alive.
        ftp = ftp_login(s.ftp_port)
        try:
            s.proc.send_signal(signal.SIGTERM)
            self.assertEqual(s.wait_exit(), 0)
        finally:
            ftp.close()
        self.assertFalse(os.path.exists(s.pid_file))
        self.assertFalse(port_listening(s.http_port))
        self.assertFalse(port_listening(s.ftp_port))
        self.assertNotIn("Traceback", read(s.err_path))
        # Ports are really free again: a new store takes them at once.
        again = self.start(http_port=s.http_port, ftp_port=s.ftp_port).wait_ready()
        self.assertEqual(http_request(again.http_port, "GET", "/hello.txt")[0], 200)


if __name__ == "__main__":
    unittest.main()
