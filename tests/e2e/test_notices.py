"""Notices and adverts of station.exe seen from outside: the notice manifest
and the advert picture the demo station serves show in the main window at
start and again after 刷新公告; the advert link and picture open the
manifest's addresses (a recorder script stands in for the browser, see
station_content); the advert window's menu navigates its view; and without
a station the notice line and the link stay empty."""

import time
import unittest

from station_content import (NOTICE_PATH, ORIGIN, PICTURE_PATH, choose_from_open_menu, control_at,
                             install_browser_recorder, long_address, notice_manifest, recorded, solid_gif,
                             wait_control_text,
                             wait_recorded, write_site_file)
from station_e2e import MAIN_TITLE, StationTestCase, centre

ADVERT_TITLE = "支持一下广告吧，谢谢！"
REMOTE_TITLE = "遥控器"
ADVERT_MENU = ["第一条广告", "第二条广告", "第三条广告", "-", "关闭广告窗口"]

# Client rectangles of the controls in the main window's normal form.
NOTICE_LINE = (8, 608, 800, 24)  # 通知标签
ADVERT_LINK = (584, 40, 192, 24)  # 超级链接框1
PICTURE_SIZE = (256, 56)  # 图片框2

MANIFEST_REQUEST = "/" + NOTICE_PATH
PICTURE_REQUEST = "/" + PICTURE_PATH

FIRST = {
    "ad": "欢迎收听测试台！今晚八点：地方新闻 &amp; 天气预报",
    "ad_shown": "欢迎收听测试台！今晚八点：地方新闻 & 天气预报",
    "ad1": "点歌热线（一）",
    "ad1_url": f"{ORIGIN}/bofang/ad/ad2.php?from=link",
    "ad2_url": f"{ORIGIN}/bofang/ad/ad3.php?from=picture",
}
FIRST_PICTURE = solid_gif((0xFF, 0x80, 0x00))


def serve_first(run_dir, site_dir):
    install_browser_recorder(run_dir)
    write_site_file(site_dir, NOTICE_PATH, notice_manifest(FIRST["ad"], FIRST["ad1"], FIRST["ad1_url"],
                                                           FIRST["ad2_url"]))
    write_site_file(site_dir, PICTURE_PATH, FIRST_PICTURE)


class NoticeChecks:
    def captions(self, s):
        main = s.find(MAIN_TITLE)
        self.assertIsNotNone(main, "no visible main window")
        line, link = control_at(main, *NOTICE_LINE), control_at(main, *ADVERT_LINK)
        self.assertIsNotNone(line, "no control at the notice line's place")
        self.assertIsNotNone(link, "no control at the advert link's place")
        return line["text"], link["text"]

    def count(self, s, path):
        return sum(1 for r in s.requests() if r.get("path") == path and r.get("method") == "GET")

    def wait_count(self, s, path, n, timeout=20):
        deadline = time.monotonic() + timeout
        while self.count(s, path) < n and time.monotonic() < deadline:
            time.sleep(0.2)
        return self.count(s, path)

    def refresh_notices(self, s):
        remote = s.wait_window(REMOTE_TITLE, timeout=60)
        self.assertIsNotNone(remote, "the remote control window did not open")
        button = s.control(remote, "刷新公告")
        self.assertIsNotNone(button, "no button 刷新公告 on the remote control")
        s.click(*centre(button["rect"]))

    def click_link_and_picture(self, s, link_text):
        """Clicks the advert link, then the advert picture, which shows in the
        maximized form only; then the normal form is restored."""
        link = s.control(s.find(MAIN_TITLE), link_text)
        self.assertIsNotNone(link, f"no advert link {link_text}")
        s.click(*centre(link["rect"]))

        def picture():
            return next((c for c in s.controls(s.find(MAIN_TITLE)) if c["visible"] and
                         (c["client_rect"]["width"], c["client_rect"]["height"]) == PICTURE_SIZE), None)

        s.click(*centre(s.control(s.find(MAIN_TITLE), "扩")["rect"]))
        deadline = time.monotonic() + 15
        while picture() is None and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertIsNotNone(picture(), "the advert picture did not show in the maximized form")
        s.click(*centre(picture()["rect"]))
        s.click(*centre(s.control(s.find(MAIN_TITLE), "消-扩")["rect"]))
        deadline = time.monotonic() + 15
        while picture() is not None and time.monotonic() < deadline:
            time.sleep(0.2)

    def wait_advert_settled(self, s):
        """The advert window once its slide into the corner has ended."""
        screen = s.screen()
        last = None
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            advert = s.find(ADVERT_TITLE)
            if advert is not None:
                rect = advert["rect"]
                if rect == last and rect["top"] + rect["height"] <= screen["height"]:
                    return advert
                last = rect
            time.sleep(0.3)
        self.fail(f"the advert window did not come to rest: {last}")


class NoticesTest(NoticeChecks, StationTestCase):
    station_options = {"prepare": serve_first}

    def test_manifest_texts_show_at_start(self):
        s = self.station
        self.assertEqual(self.captions(s), (FIRST["ad_shown"], FIRST["ad1"]))
        paths = [r["path"] for r in s.requests()]
        self.assertIn(MANIFEST_REQUEST, paths)
        self.assertIn(PICTURE_REQUEST, paths)
        self.assertLess(paths.index(MANIFEST_REQUEST), paths.index(PICTURE_REQUEST),
                        "the picture was fetched before the manifest")
        # Stored beside the program as they came.
        self.assertEqual((s.run_dir / "ad.tingweiini").read_bytes(), (s.site_dir / NOTICE_PATH).read_bytes())
        self.assertEqual((s.run_dir / "ad" / "tingweiad.gif").read_bytes(), FIRST_PICTURE)

    def test_refresh_button_shows_new_texts(self):
        s = self.station
        self.assertEqual(self.captions(s), (FIRST["ad_shown"], FIRST["ad1"]))
        self.assertEqual((self.count(s, MANIFEST_REQUEST), self.count(s, PICTURE_REQUEST)), (1, 1))

        second = notice_manifest("第二条通知：明日停播检修", "新的链接文字", f"{ORIGIN}/bofang/ad/ad.php?n=2")
        picture = solid_gif((0x00, 0xC0, 0x40))
        write_site_file(s.site_dir, NOTICE_PATH, second)
        write_site_file(s.site_dir, PICTURE_PATH, picture)
        self.refresh_notices(s)
        self.assertEqual(wait_control_text(s, MAIN_TITLE, NOTICE_LINE, "第二条通知：明日停播检修"),
                         "第二条通知：明日停播检修")
        self.assertEqual(self.captions(s), ("第二条通知：明日停播检修", "新的链接文字"))
        self.assertEqual(self.wait_count(s, MANIFEST_REQUEST, 2), 2, "the manifest was not downloaded again")
        self.assertEqual(self.wait_count(s, PICTURE_REQUEST, 2), 2, "the picture was not downloaded again")
        self.assertEqual((s.run_dir / "ad.tingweiini").read_bytes(), second)
        self.assertEqual((s.run_dir / "ad" / "tingweiad.gif").read_bytes(), picture)

        # A manifest without the link: the link goes empty, the line still shows.
        write_site_file(s.site_dir, NOTICE_PATH, notice_manifest("只有通知，没有链接"))
        self.refresh_notices(s)
        self.assertEqual(wait_control_text(s, MAIN_TITLE, NOTICE_LINE, "只有通知，没有链接"), "只有通知，没有链接")
        self.assertEqual(self.captions(s), ("只有通知，没有链接", ""))

        # No manifest at all (the server answers 404): both go empty.
        (s.site_dir / NOTICE_PATH).unlink()
        self.refresh_notices(s)
        self.assertEqual(wait_control_text(s, MAIN_TITLE, NOTICE_LINE, ""), "")
        self.assertEqual(self.captions(s), ("", ""))
        self.assertEqual(self.wait_count(s, MANIFEST_REQUEST, 4), 4)
        self.assertEqual(self.wait_count(s, PICTURE_REQUEST, 4), 4)
        self.assertTrue(s.running())

    def test_advert_link_and_picture_open_their_addresses(self):
        s = self.station
        self.click_link_and_picture(s, FIRST["ad1"])
        self.assertEqual(wait_recorded(s, 2), [FIRST["ad1_url"], FIRST["ad2_url"]])
        time.sleep(1)
        self.assertEqual(len(recorded(s)), 2, "one click opened more than one address")

    def test_advert_menu_navigates_the_advert_view(self):
        s = self.station
        self.assertIsNotNone(s.wait_request("/bofang/ad/ad.php", timeout=30), "the advert window's first page")
        advert = self.wait_advert_settled(s)
        label = s.control(advert, ADVERT_TITLE)
        self.assertIsNotNone(label, "no label in the advert window")
        x, y = centre(label["rect"])

        def choose(item):
            s.press(x, y, "right")
            s.wait_menu(timeout=10)
            s.release(x, y, "right")
            choose_from_open_menu(self, s, item, expect_items=ADVERT_MENU)

        for item, path, n in (("第二条广告", "/bofang/ad/ad2.php", 1), ("第三条广告", "/bofang/ad/ad3.php", 1),
                              ("第一条广告", "/bofang/ad/ad.php", 2), ("第二条广告", "/bofang/ad/ad2.php", 2)):
            with self.subTest(item=item, time=n):
                choose(item)
                self.assertEqual(self.wait_count(s, path, n), n, f"{item} did not load {path}")

        # Right presses inside the advert view are swallowed now: no menu.
        view = next(c for c in advert["children"] if c["class"] != "StationControl")
        vx, vy = centre(view["rect"])
        s.press(vx, vy, "right")
        s.release(vx, vy, "right")
        time.sleep(1)
        self.assertEqual(s.menu(), [], "a right click in the advert page opened a menu")
        self.assertTrue(s.running())
        self.assertIsNotNone(s.find(ADVERT_TITLE), "the advert window went away")
        self.assertEqual(recorded(s), [], "an advert page was opened in the browser")


class UnsafeNoticeAddressesTest(NoticeChecks, StationTestCase):
    """Manifest addresses that are not plain web addresses never reach the
    shell (winebrowser would take the ftp and mailto ones)."""

    @staticmethod
    def _prepare(run_dir, site_dir):
        install_browser_recorder(run_dir)
        write_site_file(site_dir, NOTICE_PATH, notice_manifest("通知", "链接", "ftp://127.0.0.1/ad.exe",
                                                               "mailto:ad@tingwei.example"))

    station_options = {"prepare": _prepare}

    def test_link_and_picture_open_nothing(self):
        s = self.station
        self.assertEqual(self.captions(s), ("通知", "链接"))
        self.click_link_and_picture(s, "链接")
        time.sleep(3)
        self.assertEqual(recorded(s), [])
        self.assertTrue(s.running())


class LongNoticeAddressesTest(NoticeChecks, StationTestCase):
    """Manifest addresses longer than a web address may be never reach the
    shell, whose open ended the program with them; a long one that is still a
    web address opens. Each round serves a new manifest and refreshes."""

    station_options = {"prepare": lambda run_dir, site_dir: install_browser_recorder(run_dir)}

    def serve_and_refresh(self, s, link_text, link_url, picture_url):
        write_site_file(s.site_dir, NOTICE_PATH, notice_manifest("通知", link_text, link_url, picture_url))
        self.refresh_notices(s)
        deadline = time.monotonic() + 30
        while s.control(s.find(MAIN_TITLE), link_text) is None and time.monotonic() < deadline:
            time.sleep(0.3)

    def test_overlong_addresses_open_nothing(self):
        s = self.station
        lengths = (2084, 3023, 100 * 1024)
        for round, (link, picture) in enumerate(zip(lengths, lengths[1:] + lengths[:1])):
            with self.subTest(link=link, picture=picture):
                self.serve_and_refresh(s, f"链接{round}", long_address(link), long_address(picture))
                self.click_link_and_picture(s, f"链接{round}")
                time.sleep(2)
                self.assertEqual(recorded(s), [])
                self.assertTrue(s.running(), "the program ended")
        link, picture = long_address(600), long_address(600).replace("/aaa", "/bbb", 1)
        self.serve_and_refresh(s, "链接", link, picture)
        self.click_link_and_picture(s, "链接")
        self.assertEqual(wait_recorded(s, 2), [link, picture])


class NoticesWithoutServerTest(NoticeChecks, StationTestCase):
    """Nothing listens on the station's port: start-up completes with an
    empty notice line and link and empty local copies."""

    station_options = {"server": False, "wait_main": 30,
                       "prepare": lambda run_dir, site_dir: install_browser_recorder(run_dir)}

    def test_start_without_station(self):
        s = self.station
        self.assertIsNotNone(s.wait_window(ADVERT_TITLE, timeout=60), "the advert window did not open")
        self.assertIsNotNone(s.wait_window(REMOTE_TITLE, timeout=60), "the remote control window did not open")
        self.assertEqual(self.captions(s), ("", ""))
        self.assertEqual((s.run_dir / "ad.tingweiini").read_bytes(), b"")
        self.assertEqual((s.run_dir / "ad" / "tingweiad.gif").read_bytes(), b"")
        # The link has no address: a click opens nothing.
        s.click(*centre(control_at(s.find(MAIN_TITLE), *ADVERT_LINK)["rect"]))
        time.sleep(2)
        self.assertEqual(recorded(s), [])
        self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
