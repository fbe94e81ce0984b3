#!/usr/bin/python3
"""Local Storvia store: the web site (HTTP) and the file server (FTP) on loopback.

Both servers run in one process and serve the same content root read-only.
Every HTTP request and every FTP command is logged, one line each, flushed at
once, so tests can watch what a client asked for.

    store.py [--root DIR] [--ftp-root DIR] [--http-port N] [--ftp-port N]
             [--log-dir DIR] [--pid-file FILE] [--host ADDR]

Prints "ready ..." on stdout and writes the pid file only once both servers
listen. Exits 3 if a port is already taken (nothing is started then), 0 after
SIGTERM/SIGINT.
"""

import argparse
import errno
import http.server
import logging
import os
import signal
import socket
import sys
import threading
import time
import urllib.parse

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_ROOT = os.path.join(HERE, "content")
DEFAULT_LOG_DIR = os.path.join(os.path.dirname(os.path.dirname(HERE)), "out", "store")

# The one account of the file server; the clients have it built in.
FTP_USER = "mvtrloze"
FTP_PASSWORD = "mvtrloze$%^"

EXIT_PORT_IN_USE = 3


def _stamp():
    return time.strftime("%Y-%m-%dT%H:%M:%S")


class LineLog:
    """Append-only log, one line per event, flushed per line, shared by threads."""

    def __init__(self, path):
        self._f = open(path, "a", encoding="utf-8", errors="backslashreplace")
        self._lock = threading.Lock()

    def write(self, line):
        with self._lock:
            self._f.write(line + "\n")
            self._f.flush()

    def close(self):
        with self._lock:
            self._f.close()


# --------------------------------------------------------------------------
# HTTP

def _notice(req):
    """Store notices sent by the clients after an update or a removal.

    The parameters come in the query string; the request line (with the
    query) is already in http.log, so answering is all there is to do here.
    """
    req.read_body()
    req.send_text(200, "OK")


def _cut_short(req):
    """Announces 100000 bytes and closes after 1000: a server that breaks off a transfer (tests)."""
    req.send_response(200)
    req.send_header("Content-Type", "application/octet-stream")
    req.send_header("Content-Length", "100000")
    req.end_headers()
    req.wfile.write(b"x" * 1000)
    req.wfile.flush()
    req.close_connection = True


def _stall(req):
    """Announces 1000000 bytes, sends 64 KiB and then nothing for a minute: a transfer that hangs (tests)."""
    req.send_response(200)
    req.send_header("Content-Type", "application/octet-stream")
    req.send_header("Content-Length", "1000000")
    req.end_headers()
    req.wfile.write(b"s" * 65536)
    req.wfile.flush()
    time.sleep(60)
    req.close_connection = True


def _store_page(req):
    """The store's root and its login address both answer with the store page (the login is logged with its
    query, which is all a test needs to see)."""
    page = os.path.join(req.server.content_root, "index.asp")
    try:
        with open(page, "rb") as f:
            body = f.read()
    except OSError:
        req.send_text(404, "no store page")
        return
    req.send_response(200)
    req.send_header("Content-Type", "text/html; charset=utf-8")
    req.send_header("Content-Length", str(len(body)))
    req.end_headers()
    if req.command != "HEAD":
        req.wfile.write(body)


# Dynamic endpoints by lower-case path. A handler gets the request object
# (a StoreRequestHandler) and answers through it; any method is accepted.
# Everything not listed here is a static file under the content root.
ROUTES = {
    "/apps/update_set.asp": _notice,
    "/apps/delete_set.asp": _notice,
    "/test/cut-short.bin": _cut_short,
    "/test/stall.bin": _stall,
    "/": _store_page,
    "/redirect.asp": _store_page,
}


class StoreRequestHandler(http.server.SimpleHTTPRequestHandler):
    server_version = "StorviaLocal/1.0"
    # HTTP/1.0 replies: one request per connection, no chunking; what
    # WinINet and old clients handle without surprises.
    protocol_version = "HTTP/1.0"

    def __init__(self, request, client_address, server):
        super().__init__(request, client_address, server, directory=server.content_root)

    # -- helpers for dynamic handlers

    @property
    def url_path(self):
        return urllib.parse.urlsplit(self.path).path

    @property
    def query(self):
        """Parsed query string: dict of name -> last value."""
        q = urllib.parse.urlsplit(self.path).query
        return dict(urllib.parse.parse_qsl(q, keep_blank_values=True))

    def read_body(self):
        """Request body, b"" when there is none.

        Without Content-Length nothing is read: an HTTP/1.0 client posting
        nothing sends no length and keeps the connection open for the reply.
        """
        length = self.headers.get("Content-Length")
        try:
            n = int(length) if length is not None else 0
        except ValueError:
            n = 0
        return self.rfile.read(n) if n > 0 else b""

    def send_text(self, code, text, content_type="text/html; charset=utf-8"):
        body = text.encode("utf-8")
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    # -- dispatch

    def _dispatch(self):
        route = ROUTES.get(self.url_path.lower())
        if route is not None:
            route(self)
            return True
        return False

    def translate_path(self, path):
        """The file for a request path; a path whose non-ASCII name came as code page 949 bytes (raw or
        percent-escaped), as WinINet on a Korean Windows sends it, finds the file as well."""
        local = super().translate_path(path)
        if os.path.lexists(local):
            return local
        plain = urllib.parse.urlsplit(path).path
        candidates = []
        for raw in (plain.encode("latin-1", "ignore"), urllib.parse.unquote_to_bytes(plain)):
            try:
                candidates.append(raw.decode("cp949"))
            except UnicodeDecodeError:
                pass
        for name in candidates:
            alt = super().translate_path(urllib.parse.quote(name))
            if os.path.lexists(alt):
                return alt
        return local

    def do_GET(self):
        if not self._dispatch():
            super().do_GET()

    def do_HEAD(self):
        if not self._dispatch():
            super().do_HEAD()

    def do_POST(self):
        if not self._dispatch():
            self.read_body()
            self.send_error(405, "Method Not Allowed")

    # -- logging: one line per request in http.log, nothing on stderr

    def log_request(self, code="-", size="-"):
        if isinstance(code, http.HTTPStatus):
            code = code.value
        method = getattr(self, "command", None) or "-"
        target = getattr(self, "path", None) or repr(getattr(self, "requestline", ""))
        self.server.http_log.write(
            "%s %s %s %s %s" % (_stamp(), self.client_address[0], method, target, code))

    def log_error(self, format, *args):
        pass

    def log_message(self, format, *args):
        pass


class StoreHTTPServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, content_root, http_log):
        self.content_root = content_root
        self.http_log = http_log
        super().__init__(address, StoreRequestHandler)


# --------------------------------------------------------------------------
# FTP
#
# Names on disk are UTF-8. WinINet on a Korean Windows sends names in code
# page 949. pyftpdlib 1.5.7 decodes each command line with
# bytes.decode('utf8', handler.unicode_errors), default 'replace', which turns
# CP949 bytes into U+FFFD and loses them. With unicode_errors set to
# 'surrogateescape' the undecodable bytes survive as U+DC80..U+DCFF, so the
# file-system layer can re-encode them and try CP949.

def _has_escaped_bytes(s):
    return any("\udc80" <= c <= "\udcff" for c in s)


def cp949_to_text(name):
    """Reinterpret a name that was not valid UTF-8 as CP949; else unchanged."""
    if not _has_escaped_bytes(name):
        return name
    raw = name.encode("utf-8", "surrogateescape")
    try:
        return raw.decode("cp949")
    except UnicodeDecodeError:
        return name


class StoreFS(AbstractedFS):
    def ftp2fs(self, ftppath):
        path = super().ftp2fs(ftppath)
        alt_name = cp949_to_text(ftppath)
        if alt_name is not ftppath and not os.path.lexists(path):
            alt = super().ftp2fs(alt_name)
            if os.path.lexists(alt):
                return alt
        return path

    def _in_client_encoding(self, lines):
        # Listings name files in CP949, as a Korean Windows server does for its clients (WinINet on a Korean
        # Windows reads them so), unless the client asked for UTF-8 with "OPTS UTF8 ON".
        for line in lines:
            if not getattr(self.cmd_channel, "speaks_utf8", False):
                line = line.decode("utf-8", "surrogateescape").encode("cp949", "replace")
            yield line

    def format_list(self, basedir, listing, ignore_err=True):
        return self._in_client_encoding(super().format_list(basedir, listing, ignore_err))

    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        return self._in_client_encoding(super().format_mlsx(basedir, listing, perms, facts, ignore_err))


class _CutShortProducer:
    """1000 bytes, then a failed read: the server breaks the transfer off with a 426 reply (tests)."""

    def __init__(self):
        self._is_sent = False

    def more(self):
        if self._is_sent:
            raise RuntimeError("transfer cut short on purpose")
        self._is_sent = True
        return b"x" * 1000


class StallingDTPHandler(DTPHandler):
    """A download that sends its first `stall_after` bytes and then nothing more: the data connection stays open
    and silent until the client gives up (tests of a server that stalls in the middle of a file)."""
    stall_after = 0

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        self._sent = 0
        self.ac_out_buffer_size = min(self.ac_out_buffer_size, self.stall_after)

    def use_sendfile(self):
        return False

    def send(self, data):
        sent = super().send(data[: max(self.stall_after - self._sent, 0)])
        self._sent += sent
        if self._sent >= self.stall_after:
            self.del_channel()  # off the loop: nothing more is sent, and the socket is not closed
        return sent


class StoreFTPHandler(FTPHandler):
    abstracted_fs = StoreFS
    unicode_errors = "surrogateescape"
    banner = "Storvia file server ready."
    auth_failed_timeout = 1

    def ftp_RETR(self, file):
        if self.fs.fs2ftp(file) == "/test/cut-short.bin":
            self.push_dtp_data(_CutShortProducer(), isproducer=True, cmd="RETR")
            return file
        return super().ftp_RETR(file)

    def ftp_OPTS(self, line):
        if line.strip().upper() == "UTF8 ON":
            self.speaks_utf8 = True
        return super().ftp_OPTS(line)

    # Replies quote the client's own path bytes back to it.
    def push(self, s):
        super(FTPHandler, self).push(s.encode("utf-8", self.unicode_errors))


def _ftp_logging(path):
    logger = logging.getLogger("pyftpdlib")
    handler = logging.FileHandler(path, encoding="utf-8", errors="backslashreplace")
    handler.setFormatter(logging.Formatter("%(asctime)s %(message)s", "%Y-%m-%dT%H:%M:%S"))
    # pyftpdlib's own socket bookkeeping, not client traffic.
    handler.addFilter(lambda rec: not rec.getMessage().startswith("[debug]"))
    logger.handlers[:] = [handler]
    logger.setLevel(logging.DEBUG)   # DEBUG is what logs every command and reply
    logger.propagate = False
    return handler


def make_ftp_server(address, ftp_root, stall_after=0):
    """stall_after: when nonzero, every download stops after that many bytes and the server goes silent."""
    auth = DummyAuthorizer()
    auth.add_user(FTP_USER, FTP_PASSWORD, ftp_root, perm="elr")
    members = {"authorizer": auth}
    if stall_after:
        members["dtp_handler"] = type("BoundStallingDTPHandler", (StallingDTPHandler,), {"stall_after": stall_after})
    handler = type("BoundStoreFTPHandler", (StoreFTPHandler,), members)
    return FTPServer(address, handler)


# --------------------------------------------------------------------------

def port_free(host, port):
    """True if a listening socket could be bound on host:port right now."""
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    try:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind((host, port))
        s.listen(1)
        return True
    except OSError:
        return False
    finally:
        s.close()


def parse_args(argv):
    p = argparse.ArgumentParser(description="Run the local Storvia store (HTTP + FTP).")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--http-port", type=int, default=18080)
    p.add_argument("--ftp-port", type=int, default=18021)
    p.add_argument("--root", default=DEFAULT_ROOT, help="content root for HTTP (and FTP)")
    p.add_argument("--ftp-root", default=None, help="content root for FTP (default: --root)")
    p.add_argument("--log-dir", default=DEFAULT_LOG_DIR, help="where http.log and ftp.log go")
    p.add_argument("--pid-file", default=None, help="default: LOG_DIR/store.pid")
    p.add_argument("--ftp-stall-after", type=int, default=0, metavar="BYTES",
                   help="every FTP download sends this many bytes and then stalls (0: no stall)")
    return p.parse_args(argv)


def main(argv=None):
    args = parse_args(argv)
    root = os.path.abspath(args.root)
    ftp_root = os.path.abspath(args.ftp_root or args.root)
    for what, d in (("content root", root), ("FTP root", ftp_root)):
        if not os.path.isdir(d):
            print("store: %s %s is not a directory" % (what, d), file=sys.stderr)
            return 1
    os.makedirs(args.log_dir, exist_ok=True)
    pid_file = os.path.abspath(args.pid_file or os.path.join(args.log_dir, "store.pid"))

    taken = [(name, port) for name, port in (("HTTP", args.http_port), ("FTP", args.ftp_port))
             if not port_free(args.host, port)]
    if args.http_port == args.ftp_port:
        taken.append(("FTP", args.ftp_port))
    if taken:
        for name, port in taken:
            print("store: %s port %s:%d is already in use" % (name, args.host, port),
                  file=sys.stderr)
        return EXIT_PORT_IN_USE

    http_log = LineLog(os.path.join(args.log_dir, "http.log"))
    ftp_log_handler = _ftp_logging(os.path.join(args.log_dir, "ftp.log"))
    httpd = ftpd = None
    try:
        httpd = StoreHTTPServer((args.host, args.http_port), root, http_log)
        ftpd = make_ftp_server((args.host, args.ftp_port), ftp_root, args.ftp_stall_after)
    except OSError as e:
        # Lost a race for a port between the check and the bind.
        if httpd is not None:
            httpd.server_close()
        code = EXIT_PORT_IN_USE if e.errno == errno.EADDRINUSE else 1
        print("store: cannot listen: %s" % e, file=sys.stderr)
        return code

    stop = threading.Event()

    def on_signal(signum, frame):
        stop.set()

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    http_thread = threading.Thread(target=httpd.serve_forever, kwargs={"poll_interval": 0.2},
                                   name="http", daemon=True)
    http_thread.start()

    with open(pid_file + ".tmp", "w") as f:
        f.write("%d\n" % os.getpid())
    os.replace(pid_file + ".tmp", pid_file)
    print("ready http://%s:%d/ ftp://%s:%d/ pid=%d"
          % (args.host, args.http_port, args.host, args.ftp_port, os.getpid()), flush=True)

    try:
        while not stop.is_set():
            # One poll at a time so a signal is noticed within the timeout.
            ftpd.ioloop.loop(timeout=0.2, blocking=False)
    finally:
        ftpd.close_all()
        httpd.shutdown()
        httpd.server_close()
        http_log.close()
        ftp_log_handler.close()
        try:
            with open(pid_file) as f:
                if f.read().strip() == str(os.getpid()):
                    os.remove(pid_file)
        except OSError:
            pass
    print("stopped", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
