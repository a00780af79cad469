"""The about box and the community links of station.exe seen from outside:
the box's text and form, and the build-time addresses the right-click menu's
site items and the settings window's microblog button hand to the browser (a
recorder script stands in for it, see station_content)."""

import time
import unittest

from station_content import (INFO_CAPTION, as_browser_gets, box_parts, build_config, choose_tray_item,
                             dismiss_box, install_browser_recorder, recorded, wait_info_box, wait_recorded)
from station_e2e import MAIN_TITLE, StationTestCase, centre

REMOTE_TITLE = "遥控器"
SETTINGS_TITLE = "设置"
MICROBLOG_BUTTON = (218, 130, 48, 48)  # 图形按钮1, client rectangle


def about_text(config):
    official = config["kOfficialSiteAddress"].removeprefix("http://").split("/")[0]
    portal = config["kPortalSiteAddress"].removeprefix("http://").split("/")[0].removeprefix("www.")
    microblog = config["kMicroblogAddress"].removeprefix("http://")
    return (f"汀蔚网络视听台 V1.3\r\n{official}\r\n{portal}\r\n"
            f"微博：{config['kMicroblogDisplayName']}（{microblog}）")


class LinksTest(StationTestCase):
    station_options = {"prepare": lambda run_dir, site_dir: install_browser_recorder(run_dir)}

    def pin(self, s):
        main = s.find(MAIN_TITLE)
        s.click(*centre(s.control(main, "顶")["rect"]))
        deadline = time.monotonic() + 10
        while not s.find(MAIN_TITLE)["topmost"] and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertTrue(s.find(MAIN_TITLE)["topmost"], "the button 顶 did not pin the main window")

    def test_about_box(self):
        s = self.station
        self.pin(s)
        choose_tray_item(self, s, "关于")
        box = wait_info_box(s)
        self.assertIsNotNone(box, "the about box did not appear")
        text, buttons, icons = box_parts(box)
        self.assertEqual(text, about_text(build_config()))
        self.assertEqual(box["title"], INFO_CAPTION)
        self.assertEqual(box["owner"], 0)
        self.assertEqual(len(buttons), 1, f"not one button: {[b['text'] for b in buttons]}")
        self.assertEqual(len(icons), 1, "the box shows no icon")
        main = s.find(MAIN_TITLE)
        self.assertFalse(main["enabled"], "the main window takes input while the box is open")
        self.assertFalse(main["topmost"], "the main window stays on top over the about box")
        dismiss_box(self, s, box)
        main = s.find(MAIN_TITLE)
        self.assertTrue(main["enabled"])
        self.assertFalse(main["topmost"], "the main window went back on top after the about box")
        self.assertTrue(s.control(main, "顶")["visible"], "顶 is hidden after the about box")
        self.assertFalse(s.control(main, "消-顶")["visible"], "消-顶 shows after the about box")
        time.sleep(1)
        self.assertEqual(recorded(s), [], "the about box opened the browser")

    def test_site_items_open_their_addresses(self):
        s = self.station
        config = build_config()
        self.pin(s)
        items = [("官网", "kOfficialSiteAddress"), ("汀蔚地区网", "kPortalSiteAddress"),
                 ("微汀蔚", "kSisterSiteAddress"), ("沣岙百科", "kCityEncyclopediaAddress"),
                 ("汀蔚百科", "kRegionEncyclopediaAddress")]
        expected = []
        for caption, name in items:
            with self.subTest(item=caption):
                choose_tray_item(self, s, caption)
                expected.append(as_browser_gets(config[name]))
                self.assertEqual(wait_recorded(s, len(expected)), expected)
        # Opening a site leaves the main window on top.
        self.assertTrue(s.find(MAIN_TITLE)["topmost"], "a site item unpinned the main window")
        time.sleep(1)
        self.assertEqual(recorded(s), expected, "an item opened more than one address")

    def test_microblog_button(self):
        s = self.station
        remote = s.wait_window(REMOTE_TITLE, timeout=60)
        self.assertIsNotNone(remote, "the remote control window did not open")
        s.click(*centre(s.control(remote, "设置")["rect"]))
        settings = s.wait_window(SETTINGS_TITLE, timeout=60)
        self.assertIsNotNone(settings, "the settings window did not open")
        button = next((c for c in s.controls(settings) if c["visible"] and
                       (c["client_rect"]["width"], c["client_rect"]["height"]) == MICROBLOG_BUTTON[2:]), None)
        self.assertIsNotNone(button, "no microblog button in the settings window")
        s.click(*centre(button["rect"]))
        address = as_browser_gets(build_config()["kMicroblogAddress"])
        self.assertEqual(wait_recorded(s, 1), [address])
        # Closing the settings window again.
        s.click(*centre(s.control(s.find(SETTINGS_TITLE), "关")["rect"]))
        self.assertTrue(s.wait_gone(SETTINGS_TITLE, timeout=15), "the settings window did not close")
        self.assertEqual(recorded(s), [address])


if __name__ == "__main__":
    unittest.main()
