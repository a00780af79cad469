"""The update check of station.exe seen from outside: the update manifest the
demo station serves decides which information box appears, and the download
address of a newer version reaches the browser (a recorder script standing in
for it, see station_content) only after that box has been dismissed."""

import time
import unittest

from station_content import (INFO_CAPTION, ORIGIN, UPDATE_PATH, box_parts, choose_from_open_menu,
                             choose_tray_item, dismiss_box, install_browser_recorder, long_address, recorded,
                             update_manifest, wait_info_box, wait_recorded, write_site_file)
from station_e2e import MAIN_TITLE, StationTestCase, centre

LATEST = "当前您使用的是最新版本"
MANIFEST_REQUEST = "/" + UPDATE_PATH
DROP_DOWN_MENU = ["正常窗口", "小窗口", "-", "置顶/取消置顶", "遥控器", "-", "检测是否有更新"]
DOWNLOAD = f"{ORIGIN}/dedazizova/station-1.31.exe"


def new_version_text(version, notes_lines):
    return ("发现新版本（" + version + "）可以更新！，本次更新了如下内容：\r\n" + "\r\n".join(notes_lines) + "\r\n\r\n")


def serve_update(site_dir, *args, **kwargs):
    write_site_file(site_dir, UPDATE_PATH, update_manifest(*args, **kwargs))


class UpdateChecks:
    def manifest_requests(self, s):
        return sum(1 for r in s.requests() if r.get("path") == MANIFEST_REQUEST)

    def check_from_tray(self, s):
        choose_tray_item(self, s, "检测更新")

    def check_from_drop_down(self, s):
        main = s.find(MAIN_TITLE)
        button = s.control(main, "设")
        self.assertIsNotNone(button, "no button 设")
        s.click(*centre(button["rect"]))
        choose_from_open_menu(self, s, "检测是否有更新", expect_items=DROP_DOWN_MENU)

    def expect_box(self, s, text):
        """Waits for the information box, checks its form and text, and
        that it is task-modal (the main window takes no input meanwhile)."""
        box = wait_info_box(s)
        self.assertIsNotNone(box, f"no information box appeared (wanted {text!r})")
        shown, buttons, icons = box_parts(box)
        self.assertEqual(shown, text)
        self.assertEqual(box["title"], INFO_CAPTION)
        self.assertEqual(box["owner"], 0, "the box has an owner window")
        self.assertEqual(len(buttons), 1, f"not one button: {[b['text'] for b in buttons]}")
        self.assertIn(buttons[0]["text"], ("确定", "OK"))
        self.assertEqual(len(icons), 1, "the box shows no icon")
        main = s.find(MAIN_TITLE)
        self.assertFalse(main["enabled"], "the main window takes input while the box is open")
        return box

    def check_answers(self, s, check, text):
        """Runs one check and dismisses its box; returns the addresses the
        browser got afterwards."""
        before_requests = self.manifest_requests(s)
        before_opened = len(recorded(s))
        check(s)
        box = self.expect_box(s, text)
        self.assertEqual(self.manifest_requests(s), before_requests + 1, "the manifest was not fetched anew")
        time.sleep(1)  # give a too-early browser start the time to show
        self.assertEqual(recorded(s)[before_opened:], [], "the browser opened before the box was dismissed")
        dismiss_box(self, s, box)
        self.assertTrue(s.find(MAIN_TITLE)["enabled"], "the main window stays disabled after the box")
        return box


class UpdateCheckTest(UpdateChecks, StationTestCase):
    @staticmethod
    def _prepare(run_dir, site_dir):
        install_browser_recorder(run_dir)
        serve_update(site_dir, "1.3", "修正了遥控窗口停靠的问题#换行符新增刷新公告按钮", DOWNLOAD)

    station_options = {"prepare": _prepare}

    def test_same_version_then_newer_version_from_both_menus(self):
        s = self.station
        self.assertEqual(self.manifest_requests(s), 0, "the update manifest was fetched at start-up")

        # 1.3 is this program's own version.
        self.check_answers(s, self.check_from_tray, LATEST)
        time.sleep(1.5)
        self.assertEqual(recorded(s), [], "the latest-version answer opened the browser")

        # 1.31 is newer: its notes with one line per "#换行符", then its download.
        serve_update(s.site_dir, "1.31", "修正了遥控窗口停靠的问题#换行符新增刷新公告按钮", DOWNLOAD)
        self.check_answers(s, self.check_from_drop_down,
                           new_version_text("1.31", ["修正了遥控窗口停靠的问题", "新增刷新公告按钮"]))
        self.assertEqual(wait_recorded(s, 1), [DOWNLOAD])

        # The same answer from the right-click menu.
        self.check_answers(s, self.check_from_tray,
                           new_version_text("1.31", ["修正了遥控窗口停靠的问题", "新增刷新公告按钮"]))
        self.assertEqual(wait_recorded(s, 2), [DOWNLOAD, DOWNLOAD])

    def test_version_texts(self):
        """What counts as newer: the number at the start of 版本号 after
        full-width forms are folded, more than 1e-7 above 1.3; the box shows
        版本号 as written."""
        s = self.station
        cases = [
            # (manifest bytes, the box's text, the address the browser gets)
            (update_manifest("1.30000001", "无", DOWNLOAD), LATEST, None),
            (update_manifest(" 1.5beta", None, DOWNLOAD), new_version_text(" 1.5beta", [""]), DOWNLOAD),
            (update_manifest("abc", "无", DOWNLOAD), LATEST, None),
            # Full-width "１．４" after an ideographic space.
            (update_manifest("\u3000１．４", "甲#换行符#换行符乙丙", DOWNLOAD + "?v=1.4"),
             new_version_text("\u3000１．４", ["甲", "", "乙丙"]), DOWNLOAD + "?v=1.4"),
            # The names only match in GBK: a UTF-8 manifest has no version.
            (update_manifest("9", "甲", DOWNLOAD, encoding="utf-8"), LATEST, None),
            # An error page from the server (no manifest there) is no version either.
            (None, LATEST, None),
        ]
        opened = []
        for data, text, address in cases:
            with self.subTest(manifest=data):
                if data is None:
                    (s.site_dir / UPDATE_PATH).unlink()
                else:
                    write_site_file(s.site_dir, UPDATE_PATH, data)
                self.check_answers(s, self.check_from_tray, text)
                if address:
                    opened.append(address)
                    self.assertEqual(wait_recorded(s, len(opened)), opened)
        time.sleep(1)
        self.assertEqual(recorded(s), opened)

    def test_check_unpins_the_main_window(self):
        s = self.station
        main = s.find(MAIN_TITLE)
        s.click(*centre(s.control(main, "顶")["rect"]))
        deadline = time.monotonic() + 10
        while not s.find(MAIN_TITLE)["topmost"] and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertTrue(s.find(MAIN_TITLE)["topmost"], "the button 顶 did not pin the main window")
        self.check_from_tray(s)
        box = self.expect_box(s, LATEST)
        main = s.find(MAIN_TITLE)
        self.assertFalse(main["topmost"], "the main window stays on top over the box")
        dismiss_box(self, s, box)
        main = s.find(MAIN_TITLE)
        self.assertFalse(main["topmost"], "the main window went back on top after the check")
        self.assertTrue(s.control(main, "顶")["visible"], "顶 is hidden after the check")
        self.assertFalse(s.control(main, "消-顶")["visible"], "消-顶 shows after the check")

    def test_only_web_addresses_from_the_manifest_reach_the_browser(self):
        """The download address comes from the network: only an absolute
        http or https address without blanks, quotes or control characters,
        no longer than a web address may be, is handed to the shell. Each
        refused one would reach the recorder if the shell got it (winebrowser
        takes ftp and, through "Mailers", mailto addresses as well); the
        longer ones ended the program inside the shell."""
        s = self.station
        refused = [
            "ftp://127.0.0.1/station-1.31.exe",
            "mailto:dl@tingwei.example",
            "http://127.0.0.1/station 1.31.exe",
            "http://127.0.0.1/station&quot;.exe",
            "http://127.0.0.1/station\t.exe",
            "",
            long_address(2084),
            long_address(3023),
            long_address(100 * 1024),
        ]
        for address in refused:
            with self.subTest(address=address[:60], length=len(address)):
                serve_update(s.site_dir, "2.0", "甲", address)
                self.check_answers(s, self.check_from_tray, new_version_text("2.0", ["甲"]))
        secure = DOWNLOAD.replace("http://", "https://")
        serve_update(s.site_dir, "2.0", "甲", secure)
        self.check_answers(s, self.check_from_tray, new_version_text("2.0", ["甲"]))
        self.assertEqual(wait_recorded(s, 1), [secure], "refused addresses reached the browser, or https did not")
        self.assertTrue(s.running())
        # A long address that is still a web address opens.
        longer = long_address(600)
        serve_update(s.site_dir, "2.0", "甲", longer)
        self.check_answers(s, self.check_from_tray, new_version_text("2.0", ["甲"]))
        self.assertEqual(wait_recorded(s, 2), [secure, longer])
        time.sleep(1)
        self.assertEqual(recorded(s), [secure, longer])


class UpdateCheckWithoutServerTest(UpdateChecks, StationTestCase):
    """Nothing listens on the update server's port."""

    station_options = {"server": False, "prepare": lambda run_dir, site_dir: install_browser_recorder(run_dir)}

    def test_unreachable_server_means_latest(self):
        s = self.station
        started = time.monotonic()
        self.check_from_tray(s)
        box = self.expect_box(s, LATEST)
        self.assertLess(time.monotonic() - started, 30, "the check waited long for a closed port")
        dismiss_box(self, s, box)
        time.sleep(1)
        self.assertEqual(recorded(s), [])


if __name__ == "__main__":
    unittest.main()
