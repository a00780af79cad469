#!/usr/bin/env python3
"""The demo station: a small local HTTP server for the Station client.

It serves the player page, the advert pages, the chat page, both manifests
and the advert picture from files under a content folder, so the client can
run and be tested with no network beyond loopback. Python standard library
only.

    python3 demo-station/server.py [--host 127.0.0.1] [--port 18480]
        [--root demo-station/site] [--log FILE] [--misbehave MODE[,MODE...]]
        [--tls CERT KEY]

Once listening it prints "ready http://127.0.0.1:PORT/" (flushed) on stdout;
SIGTERM or SIGINT stop it cleanly with exit status 0. --port 0 picks a free
port (the ready line tells which). With --tls it serves HTTPS with the
certificate and key in those PEM files ("ready https://..."). Only loopback addresses are accepted for
--host.

File lookup
    The request target's path (query and fragment dropped, percent-escapes
    decoded once) names a file under the root: "/bofang/ad/ad.php" is
    ROOT/bofang/ad/ad.php, and a path ending in "/" names the folder's
    index.html ("/bofang/" is ROOT/bofang/index.html). A folder asked for
    without the trailing slash is redirected (301) to the slash form. A path
    with a ".." segment, a backslash or a NUL byte, encoded or not, or one
    that resolves (through links) outside the root, is refused with 403;
    a file that does not exist gives 404 with a small HTML page. An
    absolute-form target ("http://host/path") is served by its path.
    GET and HEAD are answered (POST like GET, its body ignored); other
    methods get 501.

Responses
    HTTP/1.0 style: status line, Server, Date, Content-Type (by file name
    suffix: .html/.htm/.php text/html, .xml text/xml, .gif image/gif,
    .swf application/x-shockwave-flash, ...), Content-Length,
    "Connection: close"; then the body; then the connection is closed.

Request log (--log FILE)
    The file is truncated at start. Every request that parses gets one line,
    written and flushed as soon as its head has been read (before the
    answer), a JSON object with:
        "method"    e.g. "GET"
        "path"      the raw request target, query included, as sent
        "protocol"  e.g. "HTTP/1.0" ("HTTP/0.9" for a bare request line)
        "headers"   [[name, value], ...] in the order received, names as sent
        "time"      seconds since the epoch (float)
    Bytes above 0x7F in the target or headers appear as the characters
    U+0080..U+00FF (latin-1); encode("latin-1") gives the raw bytes back.

Misbehaviour (--misbehave, or server.misbehave = Misbehaviour.parse(...) in
process; several modes may be joined with commas). Every request gets it,
unless a mode ends in "@PATH": then only requests for that path (query
dropped) get that mode, e.g. "trickle@/bofang/ad/tingweitz.xml".
    drop-after:N   send the head with a Content-Length larger than the body
                   (the body's length, or N + 1 if that is not larger than
                   N), send the first N body bytes, then close
    no-length      send the head without Content-Length; the body ends when
                   the connection closes
    status:CODE    answer with status CODE and the file's body, or a small
                   error page when there is no such file
    redirect:ADDRESS  answer 302 with "Location: ADDRESS" (absolute or
                   relative; no "," or "@" in it)
    slow:MS        wait MS milliseconds before answering (after logging)
  Stalls, each held until the client hangs up (or the server stops):
    no-answer      read the request and never answer
    silent         send the head (with the body's Content-Length), then
                   nothing
    trickle[:MS]   send the head, then the body one byte every MS
                   milliseconds (default 1000)
  When a client hangs up on a stall, the request log gets a line
        {"hung_up": path, "mode": mode, "sent": body bytes sent,
         "seconds": from the request's head to the hang-up, "time": ...}

In-process use (tests):
    server, thread = start_server(root, port=0, log_path=None, misbehave=None)
    port = server.server_address[1]
    ...
    stop_server(server, thread)
"""

import argparse
import http
import http.server
import ipaddress
import json
import os
import select
import signal
import ssl
import socket
import socketserver
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_ROOT = os.path.join(HERE, "site")
DEFAULT_PORT = 18480

CONTENT_TYPES = {
    ".html": "text/html",
    ".htm": "text/html",
    ".php": "text/html",
    ".xml": "text/xml",
    ".gif": "image/gif",
    ".swf": "application/x-shockwave-flash",
    ".jpg": "image/jpeg",
    ".jpeg": "image/jpeg",
    ".png": "image/png",
    ".bmp": "image/bmp",
    ".css": "text/css",
    ".js": "application/javascript",
    ".txt": "text/plain",
}


STALLS = ("no-answer", "silent", "trickle")


class Misbehaviour:
    """What the server does wrong on purpose; all None means behave. Modes
    given for one path only are kept aside; `for_path` gives what a request
    for a path gets."""

    def __init__(self, drop_after=None, no_length=False, status=None, slow_ms=None, stall=None,
                 trickle_ms=1000, redirect=None):
        self.redirect = redirect
        self.drop_after = drop_after
        self.no_length = no_length
        self.status = status
        self.slow_ms = slow_ms
        self.stall = stall  # one of STALLS, or None
        self.trickle_ms = trickle_ms
        self.per_path = []  # [(path, "mode[:value]"), ...]

    @classmethod
    def parse(cls, text):
        """Parses "mode[@PATH][,mode[@PATH]...]"; raises ValueError on
        anything unknown."""
        result = cls()
        for item in (text or "").split(","):
            item = item.strip()
            if not item:
                continue
            mode, at, path = item.partition("@")
            if at:
                if not path.startswith("/"):
                    raise ValueError(f"a path starts with /: {item}")
                cls()._apply(mode)  # checked now, applied per request
                result.per_path.append((path, mode))
            else:
                result._apply(mode)
        return result

    def _apply(self, item):
        name, _, value = item.partition(":")
        if name == "drop-after":
            self.drop_after = _non_negative(value, item)
        elif name == "no-length" and not value:
            self.no_length = True
        elif name == "status":
            code = _non_negative(value, item)
            if not 100 <= code <= 999:
                raise ValueError(f"status out of range: {item}")
            self.status = code
        elif name == "slow":
            self.slow_ms = _non_negative(value, item)
        elif name == "redirect" and value:
            self.redirect = value
        elif name in ("no-answer", "silent") and not value:
            self.stall = name
        elif name == "trickle":
            self.stall = name
            if value:
                self.trickle_ms = _non_negative(value, item)
        else:
            raise ValueError(f"unknown misbehaviour: {item}")

    def for_path(self, path):
        """What a request for this path (its query dropped) gets."""
        if not self.per_path:
            return self
        result = Misbehaviour(self.drop_after, self.no_length, self.status, self.slow_ms, self.stall,
                              self.trickle_ms, self.redirect)
        for only, mode in self.per_path:
            if only == path:
                result._apply(mode)
        return result


def _non_negative(value, item):
    if not value.isdigit():
        raise ValueError(f"needs a non-negative number: {item}")
    return int(value)


class Refused(Exception):
    """A request path that must not be looked up (it would leave the root)."""


def resolve(root, target):
    """Maps a request target to (kind, value).

    kind is "file" (value: the file's path, bytes), "redirect" (value: the
    target with a slash added to the path) or "missing" (value: None).
    Raises Refused for paths that would leave the root.
    """
    if target.lower().startswith(("http://", "https://")):
        parts = urllib.parse.urlsplit(target)
        target = (parts.path or "/") + ("?" + parts.query if parts.query else "")
    raw_path = target.split("#", 1)[0].split("?", 1)[0]
    if not raw_path.startswith("/"):
        raise Refused(target)
    decoded = urllib.parse.unquote_to_bytes(raw_path.encode("latin-1"))
    parts = []
    for segment in decoded.split(b"/"):
        if segment == b".." or b"\\" in segment or b"\0" in segment:
            raise Refused(target)
        if segment and segment != b".":
            parts.append(segment)
    root_b = os.path.realpath(os.fsencode(root))
    path = os.path.join(root_b, *parts) if parts else root_b
    real = os.path.realpath(path)
    if real != root_b and not real.startswith(root_b + b"/"):
        raise Refused(target)
    if os.path.isdir(real):
        if not decoded.endswith(b"/"):
            query = target[len(raw_path):]
            return "redirect", raw_path + "/" + query
        path = os.path.join(real, b"index.html")
        return ("file", path) if os.path.isfile(path) else ("missing", None)
    if decoded.endswith(b"/") or not os.path.isfile(real):
        return "missing", None
    return "file", real


def request_path(target):
    """The path of a request target, query and fragment dropped."""
    if target.lower().startswith(("http://", "https://")):
        return urllib.parse.urlsplit(target).path or "/"
    return target.split("#", 1)[0].split("?", 1)[0]


def content_type(path):
    suffix = os.path.splitext(os.fsdecode(path))[1].lower()
    return CONTENT_TYPES.get(suffix, "application/octet-stream")


def error_page(code):
    try:
        phrase = http.HTTPStatus(code).phrase
    except ValueError:
        phrase = "Status"
    return (f"<html><head><title>{code} {phrase}</title></head>"
            f"<body><h1>{code} {phrase}</h1></body></html>\n").encode("ascii")


class StationHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "DemoStation/1.0"

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        pass  # the request log is the JSON log; stderr stays quiet

    def parse_request(self):
        ok = super().parse_request()
        self.head_time = time.time()
        if ok:
            self.server.log_request_line({
                "method": self.command,
                "path": self.path,
                "protocol": self.request_version,
                "headers": [[k, v] for k, v in self.headers.items()],
                "time": time.time(),
            })
        return ok

    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def do_POST(self):
        length = self.headers.get("Content-Length", "")
        if length.isdigit():
            self.rfile.read(int(length))
        self.answer(send_body=True)

    def answer(self, send_body):
        mis = (self.server.misbehave or Misbehaviour()).for_path(request_path(self.path))
        if mis.stall == "no-answer":
            self.close_connection = True
            self.hold(mis.stall, 0)
            return
        if mis.slow_ms:
            time.sleep(mis.slow_ms / 1000.0)
        location = None
        ctype = "text/html"
        try:
            kind, value = resolve(self.server.root, self.path)
        except Refused:
            kind, value = "refused", None
        if kind == "file":
            try:
                with open(value, "rb") as f:
                    body = f.read()
                status = 200
                ctype = content_type(value)
            except OSError:
                kind = "missing"
        if kind == "redirect":
            status, location, body = 301, value, error_page(301)
        elif kind == "refused":
            status, body = 403, error_page(403)
        elif kind == "missing":
            status, body = 404, error_page(404)
        if mis.status is not None:
            if kind != "file":
                body, ctype, location = error_page(mis.status), "text/html", None
            status = mis.status
        if mis.redirect is not None:
            status, location, body, ctype = 302, mis.redirect, error_page(302), "text/html"

        self.send_response(status)
        self.send_header("Content-Type", ctype)
        if location:
            self.send_header("Location", location)
        if mis.drop_after is not None:
            declared = max(len(body), mis.drop_after + 1)
            body = body[:mis.drop_after]
            self.send_header("Content-Length", str(declared))
        elif not mis.no_length:
            self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        if mis.stall == "silent":
            self.wfile.flush()
            self.hold(mis.stall, 0)
        elif mis.stall == "trickle" and send_body:
            self.wfile.flush()
            for sent in range(len(body)):
                self.wfile.write(body[sent:sent + 1])
                if self.hung_up_within(mis.trickle_ms / 1000.0):
                    self.log_hang_up(mis.stall, sent + 1)
                    return
        elif send_body and body:
            self.wfile.write(body)

    def hung_up_within(self, seconds):
        """Waits up to `seconds` for the client to close its end (True), in
        short steps so that a stopping server is not held up (also True)."""
        deadline = time.monotonic() + seconds
        while not self.server.stopping.is_set():
            left = deadline - time.monotonic()
            try:
                readable, _, _ = select.select([self.connection], [], [], max(0.0, min(left, 0.05)))
                if readable and not self.connection.recv(4096):
                    return True
            except OSError:
                return True
            if left <= 0:
                return False
        return True

    def hold(self, mode, sent):
        """Keeps the connection open, sending nothing, until the client
        hangs up or the server stops."""
        while not self.hung_up_within(1.0):
            pass
        if not self.server.stopping.is_set():
            self.log_hang_up(mode, sent)

    def log_hang_up(self, mode, sent):
        self.server.log_request_line({
            "hung_up": request_path(self.path),
            "mode": mode,
            "sent": sent,
            "seconds": round(time.time() - self.head_time, 3),
            "time": time.time(),
        })


class StationServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, root, log_path=None, misbehave=None, tls=None):
        self.tls = tls  # an ssl.SSLContext: HTTPS
        self.root = os.path.abspath(root)
        self.misbehave = misbehave
        self.stopping = threading.Event()  # ends every stall
        self._log_lock = threading.Lock()
        if ":" in address[0]:
            self.address_family = socket.AF_INET6
        self._log = open(log_path, "w", encoding="utf-8") if log_path else None
        try:
            super().__init__(address, StationHandler)
        except BaseException:
            if self._log:
                self._log.close()
            raise

    def server_bind(self):
        # skips HTTPServer's reverse name look-up of the address
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def finish_request(self, request, client_address):
        # The handshake runs on the connection's own thread: a client that
        # stalls in it holds up no other.
        if self.tls is not None:
            request.settimeout(30)
            request = self.tls.wrap_socket(request, server_side=True)
            request.settimeout(None)
        super().finish_request(request, client_address)

    def handle_error(self, request, client_address):
        # a client that hangs up early, or refuses the certificate, is no
        # fault of the server
        if isinstance(sys.exc_info()[1], (ConnectionError, ssl.SSLError, socket.timeout)):
            return
        super().handle_error(request, client_address)

    def log_request_line(self, record):
        if self._log is None:
            return
        line = json.dumps(record) + "\n"
        with self._log_lock:
            if not self._log.closed:
                self._log.write(line)
                self._log.flush()

    def server_close(self):
        self.stopping.set()
        super().server_close()
        with self._log_lock:
            if self._log:
                self._log.close()


def check_loopback(host):
    try:
        if not ipaddress.ip_address(host).is_loopback:
            raise ValueError
    except ValueError:
        raise ValueError(f"not a loopback address: {host}") from None


def tls_context(cert, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def start_server(root=DEFAULT_ROOT, port=0, log_path=None, misbehave=None, host="127.0.0.1",
                 poll_interval=0.02, tls=None):
    """Starts serving on a background thread; returns (server, thread).

    poll_interval is how often the serving loop looks for a stop request,
    so it bounds how long stop_server waits. tls: (certificate file, key
    file) to serve HTTPS."""
    check_loopback(host)
    if isinstance(misbehave, str):
        misbehave = Misbehaviour.parse(misbehave)
    server = StationServer((host, port), root, log_path, misbehave, tls_context(*tls) if tls else None)
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": poll_interval},
                              name="demo-station", daemon=True)
    thread.start()
    return server, thread


def stop_server(server, thread):
    server.stopping.set()
    server.shutdown()
    server.server_close()
    thread.join(5)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Demo station server (loopback only).")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=DEFAULT_PORT)
    parser.add_argument("--root", default=DEFAULT_ROOT)
    parser.add_argument("--log", default=None)
    parser.add_argument("--misbehave", default=None, metavar="MODE[,MODE...]")
    parser.add_argument("--tls", nargs=2, default=None, metavar=("CERT", "KEY"))
    args = parser.parse_args(argv)

    try:
        check_loopback(args.host)
        misbehave = Misbehaviour.parse(args.misbehave) if args.misbehave else None
    except ValueError as e:
        parser.error(str(e))
    if not os.path.isdir(args.root):
        parser.error(f"no such folder: {args.root}")

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    try:
        server, thread = start_server(args.root, args.port, args.log, misbehave, args.host,
                                      poll_interval=0.2, tls=args.tls)
    except (OSError, ssl.SSLError) as e:
        print(f"demo-station: cannot listen on {args.host}:{args.port}: {e}", file=sys.stderr)
        return 1
    host, port = server.server_address[:2]
    print(f"ready {'https' if args.tls else 'http'}://{host}:{port}/", flush=True)
    while not stop.wait(0.5):
        pass
    stop_server(server, thread)
    return 0


if __name__ == "__main__":
    sys.exit(main())
