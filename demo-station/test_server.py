#!/usr/bin/env python3
"""Tests of the demo station: file mapping, refusals, request log,
misbehaviour modes, the command line, and the committed site content.

    python3 -m unittest demo-station/test_server.py      (from the repo root)
    python3 demo-station/test_server.py
"""

import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import make_site  # noqa: E402
import server as station  # noqa: E402

SITE = os.path.join(HERE, "site")

MAPPED = {
    "/bofang/": ("bofang/index.html", "text/html"),
    "/bofang/ad/ad.php": ("bofang/ad/ad.php", "text/html"),
    "/bofang/ad/ad2.php": ("bofang/ad/ad2.php", "text/html"),
    "/bofang/ad/ad3.php": ("bofang/ad/ad3.php", "text/html"),
    "/bofang/cchat.swf": ("bofang/cchat.swf", "application/x-shockwave-flash"),
    "/bofang/ad/tingweitz.xml": ("bofang/ad/tingweitz.xml", "text/xml"),
    "/dedazizova/dodezazoz.xml": ("dedazizova/dodezazoz.xml", "text/xml"),
    "/bofang/ad/ad256-56.gif": ("bofang/ad/ad256-56.gif", "image/gif"),
}


def site_bytes(rel):
    with open(os.path.join(SITE, *rel.split("/")), "rb") as f:
        return f.read()


class Response:
    def __init__(self, raw):
        self.raw = raw
        head, sep, self.body = raw.partition(b"\r\n\r\n")
        if not sep:
            raise AssertionError(f"no end of head in {raw[:200]!r}")
        lines = head.split(b"\r\n")
        self.status_line = lines[0].decode("latin-1")
        self.status = int(self.status_line.split()[1])
        self.headers = [tuple(x.strip() for x in line.decode("latin-1").split(":", 1)) for line in lines[1:]]

    def header(self, name):
        values = [v for k, v in self.headers if k.lower() == name.lower()]
        return values[0] if values else None


def exchange(port, request_bytes, timeout=5.0):
    """Sends raw request bytes and reads the answer until the server closes."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(request_bytes)
        chunks = []
        while True:
            data = s.recv(65536)
            if not data:
                break
            chunks.append(data)
    return Response(b"".join(chunks))


def get(port, target, method="GET", version="HTTP/1.0", headers=None):
    lines = [f"{method} {target} {version}", "Host: 127.0.0.1",
             "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)", "Accept: */*"]
    if headers is not None:
        lines = [f"{method} {target} {version}"] + headers
    return exchange(port, ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))


class ServerCase(unittest.TestCase):
    root = SITE

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="demo-station-test-")
        self.log_path = os.path.join(self.tmp, "requests.log")
        self.server, self.thread = station.start_server(self.root, 0, self.log_path)
        self.port = self.server.server_address[1]

    def tearDown(self):
        station.stop_server(self.server, self.thread)
        shutil.rmtree(self.tmp, ignore_errors=True)

    def log_records(self):
        with open(self.log_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f]


class FileMapping(ServerCase):
    def test_every_path_the_program_uses(self):
        for target, (rel, ctype) in MAPPED.items():
            with self.subTest(target=target):
                r = get(self.port, target)
                self.assertEqual(r.status_line, "HTTP/1.0 200 OK")
                self.assertEqual(r.header("Content-Type"), ctype)
                self.assertEqual(r.body, site_bytes(rel))
                self.assertEqual(r.header("Content-Length"), str(len(r.body)))
                self.assertEqual(r.header("Connection"), "close")

    def test_unknown_path_is_404_with_html(self):
        for target in ("/nope", "/bofang/ad/ad4.php", "/bofang/ad/tingweitz.xml/", "/dedazizova/"):
            with self.subTest(target=target):
                r = get(self.port, target)
                self.assertEqual(r.status, 404)
                self.assertEqual(r.header("Content-Type"), "text/html")
                self.assertIn(b"404", r.body)
                self.assertEqual(r.header("Content-Length"), str(len(r.body)))

    def test_query_and_fragment_ignored_for_lookup(self):
        expected = site_bytes("bofang/ad/tingweitz.xml")
        for target in ("/bofang/ad/tingweitz.xml?t=1", "/bofang/ad/tingweitz.xml?a=../../x&b=%2e%2e",
                       "/bofang/ad/tingweitz.xml#top", "/bofang/?x=1"):
            with self.subTest(target=target):
                r = get(self.port, target)
                self.assertEqual(r.status, 200)
                if "tingweitz" in target:
                    self.assertEqual(r.body, expected)

    def test_percent_escapes_decoded(self):
        r = get(self.port, "/bofang/ad/%61d2.php")
        self.assertEqual(r.status, 200)
        self.assertEqual(r.body, site_bytes("bofang/ad/ad2.php"))

    def test_absolute_form_target(self):
        r = get(self.port, f"http://127.0.0.1:{self.port}/bofang/cchat.swf")
        self.assertEqual(r.status, 200)
        self.assertEqual(r.body, site_bytes("bofang/cchat.swf"))

    def test_folder_without_slash_redirects(self):
        r = get(self.port, "/bofang?x=1")
        self.assertEqual(r.status, 301)
        self.assertEqual(r.header("Location"), "/bofang/?x=1")

    def test_head_sends_no_body(self):
        r = get(self.port, "/bofang/ad/ad256-56.gif", method="HEAD")
        self.assertEqual(r.status, 200)
        self.assertEqual(r.body, b"")
        self.assertEqual(r.header("Content-Length"), str(len(site_bytes("bofang/ad/ad256-56.gif"))))

    def test_other_methods_refused(self):
        r = get(self.port, "/bofang/", method="DELETE")
        self.assertEqual(r.status, 501)

    def test_connection_closes_even_when_client_asks_keep_alive(self):
        r = get(self.port, "/bofang/", version="HTTP/1.1",
                headers=["Host: 127.0.0.1", "Connection: keep-alive"])
        self.assertEqual(r.status, 200)
        self.assertEqual(r.status_line.split()[0], "HTTP/1.0")
        self.assertEqual(r.body, site_bytes("bofang/index.html"))  # read to EOF: closed

    def test_parallel_connections(self):
        results = []

        def worker():
            results.append(get(self.port, "/bofang/ad/ad256-56.gif").status)
        threads = [threading.Thread(target=worker) for _ in range(6)]
        for t in threads:
            t.start()
        for t in threads:
            t.join(5)
        self.assertEqual(results, [200] * 6)


class Traversal(ServerCase):
    def setUp(self):
        # a root of our own, with a secret beside it and a link leading out
        self.outer = tempfile.mkdtemp(prefix="demo-station-root-")
        self.root = os.path.join(self.outer, "site")
        os.makedirs(os.path.join(self.root, "bofang"))
        with open(os.path.join(self.root, "bofang", "index.html"), "wb") as f:
            f.write(b"<html>player</html>")
        with open(os.path.join(self.outer, "secret.txt"), "wb") as f:
            f.write(b"SECRET")
        os.symlink(self.outer, os.path.join(self.root, "bofang", "out"))
        super().setUp()

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.outer, ignore_errors=True)

    def test_escapes_refused(self):
        for target in ("/../secret.txt", "/bofang/../../secret.txt", "/%2e%2e/secret.txt",
                       "/%2E%2E%2Fsecret.txt", "/bofang/%2e%2e/%2e%2e/secret.txt",
                       "/bofang/..%5c..%5csecret.txt", "/bofang\\..\\..\\secret.txt",
                       "/bofang/out/secret.txt", "/bofang/out/", "/%00", "bofang/",
                       "http://127.0.0.1/../secret.txt"):
            with self.subTest(target=target):
                r = get(self.port, target)
                self.assertEqual(r.status, 403)
                self.assertNotIn(b"SECRET", r.raw)

    def test_dot_segments_inside_root_still_refused_but_plain_paths_work(self):
        self.assertEqual(get(self.port, "/bofang/").body, b"<html>player</html>")
        self.assertEqual(get(self.port, "/./bofang/./").status, 200)
        self.assertEqual(get(self.port, "/bofang/x/../").status, 403)


class RequestLog(ServerCase):
    def test_log_carries_method_path_protocol_headers_in_order(self):
        get(self.port, "/bofang/ad/tingweitz.xml?x=1", headers=[
            "Accept: */*", "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
            "Host: 127.0.0.1:18480", "Pragma: no-cache", "X-Dup: 1", "X-Dup: 2"])
        get(self.port, "/nope", method="HEAD", version="HTTP/1.1", headers=["Host: h"])
        first, second = self.log_records()
        self.assertEqual(first["method"], "GET")
        self.assertEqual(first["path"], "/bofang/ad/tingweitz.xml?x=1")
        self.assertEqual(first["protocol"], "HTTP/1.0")
        self.assertEqual(first["headers"], [
            ["Accept", "*/*"], ["User-Agent", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"],
            ["Host", "127.0.0.1:18480"], ["Pragma", "no-cache"], ["X-Dup", "1"], ["X-Dup", "2"]])
        self.assertEqual((second["method"], second["path"], second["protocol"]), ("HEAD", "/nope", "HTTP/1.1"))

    def test_raw_bytes_of_target_recoverable(self):
        target = "/bofang/" + "汀蔚".encode("gbk").decode("latin-1")
        get(self.port, target)
        (record,) = self.log_records()
        self.assertEqual(record["path"].encode("latin-1"), "/bofang/汀蔚".encode("gbk"))

    def test_log_written_before_the_answer(self):
        self.server.misbehave = station.Misbehaviour.parse("slow:300")
        done = threading.Event()
        threading.Thread(target=lambda: (get(self.port, "/bofang/"), done.set())).start()
        deadline = time.time() + 0.2
        while time.time() < deadline and not self.log_records():
            time.sleep(0.02)
        self.assertEqual([r["path"] for r in self.log_records()], ["/bofang/"])
        self.assertFalse(done.is_set())
        self.assertTrue(done.wait(2))


class Misbehave(ServerCase):
    def set_mode(self, text):
        self.server.misbehave = station.Misbehaviour.parse(text)

    def test_drop_after(self):
        body = site_bytes("bofang/ad/ad256-56.gif")
        self.set_mode("drop-after:10")
        r = get(self.port, "/bofang/ad/ad256-56.gif")
        self.assertEqual(r.body, body[:10])
        self.assertEqual(int(r.header("Content-Length")), len(body))

    def test_drop_after_beyond_the_body(self):
        body = site_bytes("bofang/ad/tingweitz.xml")
        self.set_mode(f"drop-after:{len(body) + 50}")
        r = get(self.port, "/bofang/ad/tingweitz.xml")
        self.assertEqual(r.body, body)
        self.assertGreater(int(r.header("Content-Length")), len(r.body))

    def test_drop_after_zero(self):
        self.set_mode("drop-after:0")
        r = get(self.port, "/bofang/")
        self.assertEqual(r.body, b"")
        self.assertGreater(int(r.header("Content-Length")), 0)

    def test_no_length(self):
        self.set_mode("no-length")
        r = get(self.port, "/bofang/ad/ad256-56.gif")
        self.assertIsNone(r.header("Content-Length"))
        self.assertEqual(r.body, site_bytes("bofang/ad/ad256-56.gif"))

    def test_status_with_file_body(self):
        self.set_mode("status:500")
        r = get(self.port, "/dedazizova/dodezazoz.xml")
        self.assertEqual(r.status_line, "HTTP/1.0 500 Internal Server Error")
        self.assertEqual(r.body, site_bytes("dedazizova/dodezazoz.xml"))
        self.assertEqual(r.header("Content-Type"), "text/xml")

    def test_status_missing_file_gives_error_page(self):
        self.set_mode("status:200")
        r = get(self.port, "/nope")
        self.assertEqual(r.status, 200)
        self.assertIn(b"<html>", r.body)
        r = get(self.port, "/../server.py")
        self.assertEqual(r.status, 200)
        self.assertNotIn(b"import", r.body)

    def test_slow(self):
        self.set_mode("slow:300")
        start = time.monotonic()
        r = get(self.port, "/bofang/")
        self.assertGreaterEqual(time.monotonic() - start, 0.29)
        self.assertEqual(r.status, 200)

    def test_slow_requests_overlap(self):
        self.set_mode("slow:300")
        start = time.monotonic()
        threads = [threading.Thread(target=get, args=(self.port, "/bofang/")) for _ in range(3)]
        for t in threads:
            t.start()
        for t in threads:
            t.join(5)
        self.assertLess(time.monotonic() - start, 0.8)

    def test_modes_combine_and_switch_off(self):
        self.set_mode("status:404,no-length")
        r = get(self.port, "/bofang/cchat.swf")
        self.assertEqual((r.status, r.header("Content-Length")), (404, None))
        self.assertEqual(r.body, site_bytes("bofang/cchat.swf"))
        self.server.misbehave = None
        r = get(self.port, "/bofang/cchat.swf")
        self.assertEqual((r.status, r.header("Content-Length")), (200, str(len(r.body))))

    def test_redirect_for_one_path(self):
        self.set_mode("redirect:http://127.0.0.1:1/x?y=1@/bofang/ad/tingweitz.xml")
        r = get(self.port, "/bofang/ad/tingweitz.xml")
        self.assertEqual((r.status, r.header("Location")), (302, "http://127.0.0.1:1/x?y=1"))
        self.assertEqual(get(self.port, "/bofang/ad/ad.php").status, 200)

    def test_bad_modes_rejected(self):
        for text in ("redirect:", "drop-after", "drop-after:-1", "drop-after:x", "status:abc", "status:42",
                     "slow:", "fast:1", "no-length:1", "silent:1", "no-answer:5", "trickle:x",
                     "trickle@bofang", "stall@/bofang/"):
            with self.subTest(text=text):
                with self.assertRaises(ValueError):
                    station.Misbehaviour.parse(text)


class Stalls(ServerCase):
    """Answers that never end by themselves: held until the client hangs up,
    which the log records."""

    def set_mode(self, text):
        self.server.misbehave = station.Misbehaviour.parse(text)

    def request(self, target):
        s = socket.create_connection(("127.0.0.1", self.port), timeout=5)
        s.sendall(f"GET {target} HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n".encode("latin-1"))
        return s

    @staticmethod
    def read_head(s):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = s.recv(1)
            if not chunk:
                raise AssertionError(f"closed before the end of the head: {data!r}")
            data += chunk
        return Response(data)

    def assert_silent(self, s, seconds=0.5):
        s.settimeout(seconds)
        with self.assertRaises(socket.timeout):
            s.recv(1)
        s.settimeout(5)

    def wait_hang_up(self):
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            records = [r for r in self.log_records() if "hung_up" in r]
            if records:
                return records
            time.sleep(0.02)
        raise AssertionError("no hang-up logged")

    def test_no_answer_holds_the_connection(self):
        self.set_mode("no-answer")
        s = self.request("/bofang/ad/tingweitz.xml?x=1")
        self.assert_silent(s)
        self.assertEqual([r["path"] for r in self.log_records()], ["/bofang/ad/tingweitz.xml?x=1"])
        s.close()
        [hang_up] = self.wait_hang_up()
        self.assertEqual((hang_up["hung_up"], hang_up["mode"], hang_up["sent"]),
                         ("/bofang/ad/tingweitz.xml", "no-answer", 0))
        self.assertGreaterEqual(hang_up["seconds"], 0.4)

    def test_silent_sends_the_head_only(self):
        self.set_mode("silent")
        s = self.request("/bofang/ad/ad256-56.gif")
        head = self.read_head(s)
        self.assertEqual(head.status, 200)
        self.assertEqual(int(head.header("Content-Length")), len(site_bytes("bofang/ad/ad256-56.gif")))
        self.assert_silent(s)
        s.close()
        self.assertEqual(self.wait_hang_up()[0]["mode"], "silent")

    def test_trickle_sends_one_byte_at_a_time(self):
        self.set_mode("trickle:100")
        body = site_bytes("dedazizova/dodezazoz.xml")
        s = self.request("/dedazizova/dodezazoz.xml")
        self.assertEqual(int(self.read_head(s).header("Content-Length")), len(body))
        got = b"".join(s.recv(4096) for _ in range(3))
        self.assertEqual(got, body[:3])  # each read had one byte to take
        s.close()
        [hang_up] = self.wait_hang_up()
        self.assertEqual(hang_up["mode"], "trickle")
        self.assertIn(hang_up["sent"], (3, 4))

    def test_trickle_to_the_end_is_the_whole_body(self):
        self.set_mode("trickle:1")
        self.assertEqual(get(self.port, "/bofang/ad/tingweitz.xml").body, site_bytes("bofang/ad/tingweitz.xml"))
        self.assertFalse(any("hung_up" in r for r in self.log_records()))

    def test_a_stall_for_one_path_leaves_the_others(self):
        self.set_mode("status:500,silent@/bofang/ad/tingweitz.xml")
        self.assertEqual(get(self.port, "/bofang/ad/ad256-56.gif").status, 500)
        s = self.request("/bofang/ad/tingweitz.xml#top")
        self.assertEqual(self.read_head(s).status, 500)
        self.assert_silent(s)
        s.close()
        self.wait_hang_up()

    def test_stopping_the_server_ends_a_stall(self):
        self.set_mode("no-answer")
        s = self.request("/bofang/")
        self.assert_silent(s, 0.2)
        station.stop_server(self.server, self.thread)
        self.assertFalse(self.thread.is_alive())
        self.assertEqual(s.recv(1), b"")  # the server closed its end
        s.close()
        self.server, self.thread = station.start_server(self.root, 0)  # for tearDown


class CommandLine(unittest.TestCase):
    def start(self, *args):
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "server.py"), "--port", "0", *args],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.addCleanup(proc.stdout.close)
        self.addCleanup(proc.stderr.close)
        return proc

    def test_ready_line_then_clean_stop_on_signals(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(sig=sig):
                with tempfile.TemporaryDirectory() as tmp:
                    log = os.path.join(tmp, "log")
                    proc = self.start("--log", log, "--misbehave", "status:503")
                    line = proc.stdout.readline()
                    m = re.fullmatch(r"ready http://127\.0\.0\.1:(\d+)/\n", line)
                    self.assertIsNotNone(m, line)
                    r = get(int(m.group(1)), "/bofang/")
                    self.assertEqual(r.status, 503)
                    with open(log) as f:
                        self.assertEqual(json.loads(f.readline())["path"], "/bofang/")
                    proc.send_signal(sig)
                    self.assertEqual(proc.wait(5), 0)

    def test_busy_port_fails(self):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            s.listen()
            proc = subprocess.run([sys.executable, os.path.join(HERE, "server.py"),
                                   "--port", str(s.getsockname()[1])],
                                  capture_output=True, text=True, timeout=10)
        self.assertEqual(proc.returncode, 1)
        self.assertNotIn("ready", proc.stdout)

    def test_non_loopback_host_refused(self):
        with self.assertRaises(ValueError):
            station.start_server(SITE, 0, host="0.0.0.0")
        proc = subprocess.run([sys.executable, os.path.join(HERE, "server.py"), "--host", "0.0.0.0"],
                              capture_output=True, text=True, timeout=10)
        self.assertEqual(proc.returncode, 2)


# ------------------------------------------------------------- site content

def gif_frames(data):
    """Walks a GIF's blocks; returns (width, height, frames, loop_found),
    frames a list of (left, top, width, height, delay_cs, pixels)."""
    if data[:6] != b"GIF89a":
        raise ValueError("not GIF89a")
    width = int.from_bytes(data[6:8], "little")
    height = int.from_bytes(data[8:10], "little")
    flags = data[10]
    pos = 13
    if flags & 0x80:
        pos += 3 * (2 << (flags & 7))
    frames, delay, loop = [], None, False

    def blocks(pos):
        out = bytearray()
        while data[pos]:
            out += data[pos + 1:pos + 1 + data[pos]]
            pos += 1 + data[pos]
        return bytes(out), pos + 1

    while True:
        kind = data[pos]
        if kind == 0x3B:
            return width, height, frames, loop
        if kind == 0x21:
            label = data[pos + 1]
            payload, pos = blocks(pos + 2)
            if label == 0xF9:
                delay = int.from_bytes(payload[1:3], "little")
            elif label == 0xFF and payload.startswith(b"NETSCAPE2.0"):
                loop = True
        elif kind == 0x2C:
            left, top, w, h = (int.from_bytes(data[pos + i:pos + i + 2], "little") for i in (1, 3, 5, 7))
            if data[pos + 9] & 0x80:
                raise ValueError("unexpected local colour table")
            min_size = data[pos + 10]
            payload, pos = blocks(pos + 11)
            frames.append((left, top, w, h, delay, lzw_decode(payload, min_size)))
        else:
            raise ValueError(f"unknown block 0x{kind:02x}")


def lzw_decode(data, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    width, table, prev, out = min_size + 1, None, None, bytearray()
    bits = int.from_bytes(data, "little")
    pos, total = 0, len(data) * 8
    while pos + width <= total:
        code = (bits >> pos) & ((1 << width) - 1)
        pos += width
        if code == clear:
            table = [bytes([i]) for i in range(clear)] + [b"", b""]
            width, prev = min_size + 1, None
            continue
        if code == end:
            return bytes(out)
        if prev is None:
            entry = table[code]
        else:
            entry = table[code] if code < len(table) else table[prev] + table[prev][:1]
            if len(table) < 4096:
                table.append(table[prev] + entry[:1])
        out += entry
        prev = code
        if len(table) == (1 << width) and width < 12:
            width += 1
    raise ValueError("no end code")


class SiteContent(unittest.TestCase):
    def test_advert_gif_is_animated_256_by_56(self):
        width, height, frames, loop = gif_frames(site_bytes("bofang/ad/ad256-56.gif"))
        self.assertEqual((width, height), (256, 56))
        self.assertGreater(len(frames), 1)
        self.assertTrue(loop)
        pictures = set()
        for left, top, w, h, delay, pixels in frames:
            self.assertEqual((left, top, w, h), (0, 0, 256, 56))
            self.assertGreater(delay, 0)
            self.assertEqual(len(pixels), 256 * 56)
            pictures.add(pixels)
        self.assertEqual(len(pictures), len(frames), "frames should differ")

    def test_committed_site_matches_its_generator(self):
        for rel, data in make_site.site_files().items():
            with self.subTest(rel=rel):
                self.assertEqual(site_bytes(rel), data, "run demo-station/make_site.py")

    def read_manifest(self, rel):
        data = site_bytes(rel)
        with self.assertRaises(UnicodeDecodeError):
            data.decode("utf-8")  # really GBK, not UTF-8 or ASCII
        text = data.decode("gbk")
        for line in text.splitlines():
            self.assertNotIn("\t", line)
            self.assertNotIn("  ", line)
            if line.startswith("<") and not line.startswith(("<?", "</")):
                # name, then name="value" pairs separated by single blanks
                self.assertRegex(line, r'^<[^ <>"]+( [^ =<>"]+="[^"]*")*/?>$')
        root = ET.fromstring(re.sub(r"^<\?xml[^>]*\?>", "", text))
        return root

    def test_notice_manifest(self):
        root = self.read_manifest("bofang/ad/tingweitz.xml")
        self.assertEqual(root.tag, "yun")
        self.assertIn("汀蔚网络视听台", root.find("ad").get("neirong"))
        ad1 = root.find("ad1")
        self.assertTrue(0 < len(ad1.get("neirong")) <= 10)
        self.assertEqual(ad1.get("url"), "http://127.0.0.1:18480/bofang/ad/ad2.php")
        self.assertEqual(root.find("ad2").get("url"), "http://127.0.0.1:18480/bofang/ad/ad3.php")

    def test_update_manifest(self):
        root = self.read_manifest("dedazizova/dodezazoz.xml")
        self.assertEqual(root.tag, "最新版本")
        info = root.find("版本信息")
        self.assertEqual(info.get("版本号"), "1.3")
        notes = info.get("升级说明").split("#换行符")
        self.assertEqual(len(notes), 2)
        self.assertTrue(all(notes))
        self.assertEqual(info.get("下载地址"), "http://127.0.0.1:18480/bofang/")

    def test_player_page_declares_its_charset_and_title(self):
        data = site_bytes("bofang/index.html")
        m = re.search(rb'charset=([A-Za-z0-9-]+)', data)
        self.assertIsNotNone(m)
        text = data.decode(m.group(1).decode())
        self.assertRegex(text, r"<title>[^<]*汀蔚网络视听台[^<]*</title>")

    def test_chat_page_is_a_swf(self):
        data = site_bytes("bofang/cchat.swf")
        self.assertEqual(data[:3], b"FWS")
        self.assertEqual(int.from_bytes(data[4:8], "little"), len(data))


if __name__ == "__main__":
    unittest.main()
