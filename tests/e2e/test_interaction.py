"""The interaction window seen from outside: opened by the remote control's
互动 button below the remote control window, in the user's colour, with the
chat page requested from the station; 缩 minimizes it, and its taskbar
button (or 互动 again) restores it; 关 and Esc close it."""

import time
import unittest

from screen_grab import rgb, stored, wait_for
from station_e2e import StationTestCase, centre

TITLE = "互动"
SIZE = (742, 484)
REMOTE_TITLE = "遥控器"
ADVERT_TITLE = "支持一下广告吧，谢谢！"
CHAT_PAGE = "/bofang/cchat.swf"
USER_COLOUR = "#FF5080"  # 桃红
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_APPWINDOW = 0x00040000
# A client area where only the window's background shows: between the
# title text and the buttons (the bottom lies below the screen's edge).
BARE = [(190, 4, 410, 40)]


def user_colour(run_dir, site_dir):
    (run_dir / "userini.user").write_bytes(f"[皮肤]\r\n底色={stored(USER_COLOUR)}\r\n".encode("gbk"))


def geometry(rect):
    return (rect["left"], rect["top"], rect["width"], rect["height"])


class InteractionTest(StationTestCase):
    station_options = {"prepare": user_colour}

    def remote(self):
        """The remote control window once it has come to rest: it shows
        centred first and is then moved beside the main window."""
        remote = self.station.wait_at_rest(REMOTE_TITLE)
        self.assertIsNotNone(remote, "the remote control window did not open")
        return remote

    def open_interaction(self, remote):
        s = self.station
        button = s.control(remote, "互动")
        self.assertIsNotNone(button, "no 互动 button on the remote control")
        s.click(*centre(button["rect"]))
        window = s.wait_window(TITLE, timeout=60)
        self.assertIsNotNone(window, "互动 did not open the interaction window")
        return window

    def chat_requests(self):
        return [r for r in self.station.requests() if r.get("path") == CHAT_PAGE and r.get("method") == "GET"]

    def wait_state(self, window, predicate, timeout=10):
        deadline = time.monotonic() + timeout
        while True:
            now = self.station.refresh(window)
            if (now and predicate(now)) or time.monotonic() >= deadline:
                return now
            time.sleep(0.2)

    def assert_background(self, window, colour):
        areas = [(window["rect"]["left"] + x, window["rect"]["top"] + y, w, h) for x, y, w, h in BARE]

        def right(screen):
            return all(screen.dominant(*a)[0] == rgb(colour) and screen.dominant(*a)[1] > 0.5 for a in areas)

        ok, screen = wait_for(right, timeout=15)
        self.assertTrue(ok, f"the interaction window does not show {colour}: "
                            f"{[screen.dominant(*a) for a in areas]}")

    def test_opens_below_the_remote_control_in_the_users_colour_and_loads_the_chat_page(self):
        s = self.station
        remote = self.remote()
        window = self.open_interaction(remote)
        remote = s.refresh(remote)
        screen = s.screen()
        # Centred across, its top at the remote control window's bottom edge.
        self.assertEqual(geometry(window["rect"]),
                         ((screen["width"] - SIZE[0]) // 2, remote["rect"]["top"] + remote["rect"]["height"], *SIZE))
        # Its own taskbar button: not owned, no tool window.
        self.assertEqual(window["owner"], 0, "the interaction window is owned (no taskbar button)")
        self.assertEqual(window["exstyle"] & WS_EX_TOOLWINDOW, 0)
        # Rounded: a window region with the 96 by 96 corner ellipse cut away.
        region = s.region(window)
        self.assertEqual(region["type"], "complex", f"no rounded region: {region}")
        self.assertEqual((region["box"]["width"], region["box"]["height"]), SIZE)
        self.assertNotEqual(s.at(window["rect"]["left"] + 2, window["rect"]["top"] + 2)["root"], window["hwnd"],
                            "the top-left corner is not cut off")
        self.assert_background(window, USER_COLOUR)
        self.assertIsNotNone(s.wait_request(CHAT_PAGE, timeout=30),
                             f"no GET {CHAT_PAGE} in {[(r['method'], r['path']) for r in s.requests()]}")

        # 关 closes it; 互动 builds it afresh and loads the chat page again.
        # (The always-on-top advert window at the screen's bottom right lies
        # over 关 on this screen: close it first.)
        advert = s.wait_window(ADVERT_TITLE, timeout=60)
        self.assertIsNotNone(advert)
        s.click(*centre(s.control(advert, "关")["rect"]))
        self.assertTrue(s.wait_gone(ADVERT_TITLE, timeout=15), "the advert window did not close")
        s.activate(window)  # closing the advert window may have activated the main window
        self.assertEqual(s.at(*centre(s.control(window, "关")["rect"]))["root"], window["hwnd"])
        s.click(*centre(s.control(window, "关")["rect"]))
        self.assertTrue(s.wait_gone(TITLE, timeout=15), "关 did not close the interaction window")
        first = len(self.chat_requests())
        window = self.open_interaction(remote)
        deadline = time.monotonic() + 30
        while len(self.chat_requests()) <= first and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertGreater(len(self.chat_requests()), first, "reopening did not load the chat page again")

        # Esc closes it too (the remote control window stays).
        s.activate(window)
        s.click(window["rect"]["left"] + 300, window["rect"]["top"] + 20)
        # Keys go to the active window: Esc in the main window would end the program.
        self.assertTrue(s.wait_foreground(window), "the interaction window did not become the active one")
        s.key("esc")
        self.assertTrue(s.wait_gone(TITLE, timeout=15), "Esc did not close the interaction window")
        self.assertIsNotNone(s.find(REMOTE_TITLE), "Esc in the interaction window closed the remote control")

    def test_minimize_and_restore_from_the_taskbar_and_from_the_remote_control(self):
        s = self.station
        remote = self.remote()
        window = self.open_interaction(remote)
        self.assertIsNotNone(s.wait_request(CHAT_PAGE, timeout=30))
        view = [c for c in window["children"] if c["class"] != "StationControl"]
        self.assertEqual(len(view), 1, f"expected one browser view: {window['children']}")
        rect = window["rect"]

        s.click(*centre(s.control(window, "缩")["rect"]))
        now = self.wait_state(window, lambda w: w["iconic"])
        self.assertTrue(now["iconic"], "缩 did not minimize the interaction window")
        self.assertFalse(s.refresh(s.main)["iconic"], "缩 minimized the main window too")
        self.assertIsNotNone(s.find(REMOTE_TITLE), "缩 hid the remote control window")

        # Its taskbar button restores it where it was, the chat view still there.
        s.probe("taskbar", window["hwnd"])
        now = self.wait_state(window, lambda w: not w["iconic"] and w["visible"])
        self.assertFalse(now["iconic"], "the taskbar did not restore the interaction window")
        self.assertTrue(now["visible"])
        self.assertEqual(now["rect"], rect)
        self.assertIn(view[0]["hwnd"], [c["hwnd"] for c in now["children"]], "the chat view was rebuilt")
        self.assert_background(now, USER_COLOUR)

        # Minimized again, 互动 brings the same window back.
        s.click(*centre(s.control(now, "缩")["rect"]))
        self.assertTrue(self.wait_state(window, lambda w: w["iconic"])["iconic"])
        requests = len(self.chat_requests())
        again = self.open_interaction(s.refresh(remote))
        self.assertEqual(again["hwnd"], window["hwnd"], "互动 built a second interaction window")
        self.assertFalse(again["iconic"])
        self.assertEqual(again["rect"], rect)
        time.sleep(1)
        self.assertEqual(len(self.chat_requests()), requests, "restoring reloaded the chat page")
        self.assertEqual(len([w for w in s.windows(title=TITLE) if w["visible"]]), 1)

    def test_follows_the_remote_control_wherever_it_is(self):
        s = self.station
        remote = self.remote()
        s.place(remote, 300, 40)
        remote = self.wait_state(remote, lambda w: (w["rect"]["left"], w["rect"]["top"]) == (300, 40))
        self.assertEqual((remote["rect"]["left"], remote["rect"]["top"]), (300, 40))
        window = self.open_interaction(remote)
        self.assertEqual(window["rect"]["top"], 40 + remote["rect"]["height"])
        self.assertEqual(window["rect"]["left"], (s.screen()["width"] - SIZE[0]) // 2, "the left is not kept")


if __name__ == "__main__":
    unittest.main()
