"""A station served over HTTPS, seen from outside: the program built for
https://localhost:PORT (station_https.exe) against the demo station serving
TLS with a certificate of the test's own authority. Trusted, it stores what
it stores over HTTP and the update check answers; untrusted, or redirected
from https to http, it gets nothing. And the ordinary build follows a
redirect from http to https."""

import os
import shutil
import sys
import tempfile
import time
import unittest
from pathlib import Path

from certificates import issue, make_authority
from station_content import (NOTICE_PATH, PICTURE_PATH, UPDATE_PATH, box_parts, choose_tray_item, dismiss_box,
                             update_manifest, wait_info_box, write_site_file)
from station_e2e import ROOT, StationTestCase, centre

HTTPS_PROGRAM = Path(os.environ.get("STATION_HTTPS_EXE") or
                     ROOT / "build" / "win" / "tests" / "e2e" / "station_https.exe")
SITE = ROOT / "demo-station" / "site"
LATEST = "当前您使用的是最新版本"
NEWER = "发现新版本（2.0）可以更新！，本次更新了如下内容：\r\n甲\r\n\r\n"
sys.path.insert(0, str(ROOT / "demo-station"))
import server as demo_station  # noqa: E402


def setUpModule():
    """A certificate authority of the tests' own and a server certificate it
    signed for the name localhost."""
    global FOLDER, AUTHORITY, SERVER_FILES
    if not HTTPS_PROGRAM.exists():
        raise unittest.SkipTest(f"no {HTTPS_PROGRAM}")
    FOLDER = tempfile.mkdtemp(prefix="station-e2e-tls-")
    AUTHORITY = make_authority(FOLDER).with_suffix(".der")
    SERVER_FILES = issue(FOLDER, "server", "localhost", ["subjectAltName=DNS:localhost", "extendedKeyUsage=serverAuth"])


def tearDownModule():
    shutil.rmtree(FOLDER, ignore_errors=True)


def https_program(run_dir, site_dir):
    shutil.copyfile(HTTPS_PROGRAM, Path(run_dir) / "station.exe")
    write_site_file(site_dir, UPDATE_PATH, update_manifest("2.0", "甲", "https://localhost/station-2.0.exe"))


class HttpsTest(StationTestCase):
    start_automatically = False

    def other_server(self, **options):
        """A second demo station on a free port, for this test alone."""
        server, thread = demo_station.start_server(str(SITE), 0, **options)
        self.addCleanup(demo_station.stop_server, server, thread)
        return server.server_address[1]

    def stored(self, name, want=None, timeout=30):
        """The run directory's copy, once it holds `want` (or at the time-out)."""
        path = self.station.run_dir.joinpath(*name.split("/"))
        deadline = time.monotonic() + timeout
        while want is not None and (not path.exists() or path.read_bytes() != want) and time.monotonic() < deadline:
            time.sleep(0.3)
        return path.read_bytes() if path.exists() else None

    def check_update_answers(self, text):
        choose_tray_item(self, self.station, "检测更新")
        box = wait_info_box(self.station)
        self.assertIsNotNone(box, f"no information box appeared (wanted {text!r})")
        self.assertEqual(box_parts(box)[0], text)
        dismiss_box(self, self.station, box)

    def test_a_trusted_station_serves_start_up_refresh_and_update_check(self):
        s = self.start_station(prepare=https_program, tls=SERVER_FILES, trusted_root=AUTHORITY)
        manifest, picture = (SITE / NOTICE_PATH).read_bytes(), (SITE / PICTURE_PATH).read_bytes()
        self.assertEqual(self.stored("ad.tingweiini", manifest), manifest)
        self.assertEqual(self.stored("ad/tingweiad.gif", picture), picture)
        self.assertIsNotNone(s.wait_request("/bofang/", timeout=30), "the station page was not asked for")
        (s.run_dir / "ad.tingweiini").write_bytes(b"")
        s.click(*centre(s.control(s.wait_window("遥控器", timeout=60), "刷新公告")["rect"]))
        self.assertEqual(self.stored("ad.tingweiini", manifest), manifest, "刷新公告 stored nothing")
        self.check_update_answers(NEWER)

    def test_nothing_is_taken_from_a_station_whose_authority_is_not_trusted(self):
        s = self.start_station(prepare=https_program, tls=SERVER_FILES)
        s.wait_window("遥控器", timeout=60)
        # The browser views ask, each in a box of the browser's own, whether
        # to go on to such a page: the answer is no.
        quiet_since = time.monotonic()
        while time.monotonic() - quiet_since < 3:
            prompt = s.find("安全警告", cls="#32770")
            if prompt:
                s.click(*centre(next(c for c in prompt["children"] if c["text"] == "否")["rect"]))
                s.wait_gone("安全警告", cls="#32770", timeout=10)
                quiet_since = time.monotonic()
            time.sleep(0.3)
        self.assertEqual(self.stored("ad.tingweiini", b""), b"")
        self.assertEqual(self.stored("ad/tingweiad.gif", b""), b"")
        self.check_update_answers(LATEST)

    def test_a_redirect_from_https_to_http_stores_nothing(self):
        log = Path(tempfile.mkdtemp(prefix="station-e2e-plain-")) / "requests.log"
        self.addCleanup(shutil.rmtree, log.parent, True)
        plain = f"http://127.0.0.1:{self.other_server(log_path=str(log))}"
        s = self.start_station(prepare=https_program, tls=SERVER_FILES, trusted_root=AUTHORITY,
                               misbehave=",".join(f"redirect:{plain}/{p}@/{p}" for p in (NOTICE_PATH, PICTURE_PATH)))
        self.assertIsNotNone(s.wait_request("/" + PICTURE_PATH, timeout=30))
        time.sleep(1)
        self.assertEqual((self.stored("ad.tingweiini"), self.stored("ad/tingweiad.gif")), (b"", b""))
        self.assertEqual(log.read_text(), "", "the plain server was asked")

    def test_the_ordinary_build_follows_a_redirect_from_http_to_https(self):
        secure = f"https://localhost:{self.other_server(tls=SERVER_FILES)}"
        self.start_station(trusted_root=AUTHORITY, misbehave=f"redirect:{secure}/{NOTICE_PATH}@/{NOTICE_PATH}")
        manifest = (SITE / NOTICE_PATH).read_bytes()
        self.assertEqual(self.stored("ad.tingweiini", manifest), manifest)


if __name__ == "__main__":
    unittest.main()
