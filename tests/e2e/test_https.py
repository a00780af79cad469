"""A station served over HTTPS, seen from outside: the program built for
https://localhost:PORT (station_https.exe) against the demo station serving
TLS with a certificate of the test's own authority. Trusted, it stores what
it stores over HTTP and the update check answers; untrusted, or redirected
from https to http, it gets nothing. And the ordinary build follows a
redirect from http to https."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from station_content import (NOTICE_PATH, PICTURE_PATH, UPDATE_PATH, box_parts, choose_tray_item,
                             dismiss_box, update_manifest, wait_info_box, write_site_file)
from station_e2e import PORT, ROOT, StationTestCase, centre

HTTPS_PROGRAM = Path(os.environ.get("STATION_HTTPS_EXE") or
                     ROOT / "build" / "win" / "tests" / "e2e" / "station_https.exe")
LATEST = "当前您使用的是最新版本"
NEWER = "发现新版本（2.0）可以更新！，本次更新了如下内容：\r\n甲\r\n\r\n"
REMOTE_TITLE = "遥控器"


def make_certificates(folder):
    """A certificate authority of the test's own (ca.der) and a server
    certificate it signed for the name localhost (server.pem, server.key)."""
    def openssl(*args):
        subprocess.run(["openssl", *args], cwd=folder, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "3",
            "-subj", "/CN=Station Test Authority", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=localhost")
    Path(folder, "server.ext").write_text("subjectAltName=DNS:localhost\nextendedKeyUsage=serverAuth\n"
                                          "basicConstraints=CA:FALSE\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-out", "server.pem", "-days", "3", "-extfile", "server.ext")
    return Path(folder, "ca.der"), (Path(folder, "server.pem"), Path(folder, "server.key"))


def https_program(run_dir, site_dir):
    shutil.copyfile(HTTPS_PROGRAM, Path(run_dir) / "station.exe")
    write_site_file(site_dir, UPDATE_PATH, update_manifest("2.0", "甲", "https://localhost/station-2.0.exe"))


def demo_station_module():
    sys.path.insert(0, str(ROOT / "demo-station"))
    import server
    return server


class HttpsCase(StationTestCase):
    """Certificates made once for the module's tests."""

    @classmethod
    def setUpClass(cls):
        if not HTTPS_PROGRAM.exists():
            raise unittest.SkipTest(f"no {HTTPS_PROGRAM}")
        cls.certificates = tempfile.mkdtemp(prefix="station-e2e-tls-")
        cls.authority, cls.server_files = make_certificates(cls.certificates)
        cls.station_options = cls.options()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.certificates, ignore_errors=True)

    def stored(self, s, name):
        path = s.run_dir.joinpath(*name.split("/"))
        return path.read_bytes() if path.exists() else None

    def wait_stored(self, s, name, want, timeout=30):
        deadline = time.monotonic() + timeout
        while self.stored(s, name) != want and time.monotonic() < deadline:
            time.sleep(0.3)
        return self.stored(s, name)

    def check_update_answers(self, s, text):
        choose_tray_item(self, s, "检测更新")
        box = wait_info_box(s)
        self.assertIsNotNone(box, f"no information box appeared (wanted {text!r})")
        self.assertEqual(box_parts(box)[0], text)
        dismiss_box(self, s, box)


class TrustedHttpsStationTest(HttpsCase):
    @classmethod
    def options(cls):
        return {"prepare": https_program, "tls": cls.server_files, "trusted_root": cls.authority}

    def test_start_refresh_and_update_check(self):
        s = self.station
        manifest = (s.site_dir / NOTICE_PATH).read_bytes()
        picture = (s.site_dir / PICTURE_PATH).read_bytes()
        self.assertEqual(self.wait_stored(s, "ad.tingweiini", manifest), manifest)
        self.assertEqual(self.wait_stored(s, "ad/tingweiad.gif", picture), picture)
        self.assertIsNotNone(s.wait_request("/bofang/", timeout=30), "the station page was not asked for")

        (s.run_dir / "ad.tingweiini").write_bytes(b"")
        remote = s.wait_window(REMOTE_TITLE, timeout=60)
        self.assertIsNotNone(remote, "the remote control window did not open")
        s.click(*centre(s.control(remote, "刷新公告")["rect"]))
        self.assertEqual(self.wait_stored(s, "ad.tingweiini", manifest), manifest, "刷新公告 stored nothing")
        self.check_update_answers(s, NEWER)


class UntrustedHttpsStationTest(HttpsCase):
    """The server's certificate is signed by an authority the system does
    not trust: every fetch fails, as with an unreachable station."""

    @classmethod
    def options(cls):
        return {"prepare": https_program, "tls": cls.server_files}

    def refuse_certificate_prompts(self, s):
        """The browser views ask the user, each in a box of the browser's
        own, whether to go on to a page whose certificate has a problem; the
        answer is no."""
        quiet_since = time.monotonic()
        deadline = quiet_since + 60
        while time.monotonic() - quiet_since < 3 and time.monotonic() < deadline:
            prompt = s.find("安全警告", cls="#32770")
            if prompt is None:
                time.sleep(0.3)
                continue
            no = next((c for c in prompt["children"] if c["class"] == "Button" and c["text"] in ("否", "&No", "No")),
                      None)
            self.assertIsNotNone(no, f"a certificate prompt without a no: {prompt['children']}")
            s.click(*centre(no["rect"]))
            s.wait_gone("安全警告", cls="#32770", timeout=10)
            quiet_since = time.monotonic()

    def test_nothing_is_taken_from_an_untrusted_station(self):
        s = self.station
        s.wait_window(REMOTE_TITLE, timeout=60)
        self.refuse_certificate_prompts(s)
        self.assertEqual(self.wait_stored(s, "ad.tingweiini", b""), b"")
        self.assertEqual(self.wait_stored(s, "ad/tingweiad.gif", b""), b"")
        self.check_update_answers(s, LATEST)


class HttpsToHttpRedirectTest(HttpsCase):
    """The secure station redirects the manifest and the picture to a plain
    HTTP server: refused, and that server is never asked."""

    @classmethod
    def setUpClass(cls):
        server = demo_station_module()
        cls.plain_log = Path(tempfile.mkdtemp(prefix="station-e2e-plain-")) / "requests.log"
        cls.plain, cls.plain_thread = server.start_server(str(ROOT / "demo-station" / "site"), 0, str(cls.plain_log))
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        demo_station_module().stop_server(cls.plain, cls.plain_thread)
        shutil.rmtree(cls.plain_log.parent, ignore_errors=True)
        super().tearDownClass()

    @classmethod
    def options(cls):
        plain = f"http://127.0.0.1:{cls.plain.server_address[1]}"
        modes = ",".join(f"redirect:{plain}/{path}@/{path}" for path in (NOTICE_PATH, PICTURE_PATH))
        return {"prepare": https_program, "tls": cls.server_files, "trusted_root": cls.authority,
                "misbehave": modes}

    def test_a_redirect_to_http_stores_nothing(self):
        s = self.station
        s.wait_window(REMOTE_TITLE, timeout=60)
        self.assertIsNotNone(s.wait_request("/" + PICTURE_PATH, timeout=30))
        time.sleep(1)
        self.assertEqual(self.stored(s, "ad.tingweiini"), b"")
        self.assertEqual(self.stored(s, "ad/tingweiad.gif"), b"")
        self.assertEqual(self.plain_log.read_text(), "", "the plain server was asked")


class HttpToHttpsRedirectTest(HttpsCase):
    """The ordinary build: the station answers the manifest with a redirect
    to the same path on a trusted HTTPS server, which is followed."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        server = demo_station_module()
        cls.secure, cls.secure_thread = server.start_server(str(ROOT / "demo-station" / "site"), 0,
                                                            tls=cls.server_files)
        cls.station_options = cls.options()

    @classmethod
    def tearDownClass(cls):
        demo_station_module().stop_server(cls.secure, cls.secure_thread)
        super().tearDownClass()

    @classmethod
    def options(cls):
        if not hasattr(cls, "secure"):
            return {}
        secure = f"https://localhost:{cls.secure.server_address[1]}"
        return {"trusted_root": cls.authority, "misbehave": f"redirect:{secure}/{NOTICE_PATH}@/{NOTICE_PATH}"}

    def test_the_redirect_to_https_is_followed(self):
        s = self.station
        manifest = (ROOT / "demo-station" / "site" / NOTICE_PATH).read_bytes()
        self.assertEqual(self.wait_stored(s, "ad.tingweiini", manifest), manifest)
        self.assertIsNotNone(s.wait_request("/" + NOTICE_PATH))


if __name__ == "__main__":
    unittest.main()
