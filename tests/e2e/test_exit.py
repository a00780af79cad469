"""The exit confirmation seen from outside: opened by the main window's `关`
button and by the right-click menu item "退出", cut to a double-headed arrow
(points outside the arrow belong to the window below), modal and always on
top; "返回" and Esc close only it, "确定" ends the program."""

import time
import unittest

from station_e2e import MAIN_TITLE, WINDOW_CLASS, StationTestCase, centre

ADVERT_TITLE = "支持一下广告吧，谢谢！"
REMOTE_TITLE = "遥控器"
EXIT_SIZE = (347, 147)
EXIT_BACKGROUND = (0xE4, 0xC9, 0xB1)
QUESTION = "确认要退出了吗？"

# Points in the exit window (window coordinates, at least 4 pixels from the
# outline) and whether they lie inside the arrow. The outline at 347 x 147:
# shaft from x 87 to 260 between y 37 and 110, heads pointing to (0, 73) and
# (347, 73) with their backs at x 87 and 260 from top to bottom.
INSIDE = {
    "left head (确定)": (20, 73),
    "right head (返回)": (330, 73),
    "left head near its upper edge": (82, 12),
    "right head near its lower edge": (265, 135),
    "shaft, bare background left": (96, 44),
    "shaft, bare background right": (250, 100),
}
OUTSIDE = {
    "top-left corner": (4, 4),
    "bottom-left corner": (4, 142),
    "top-right corner": (342, 4),
    "bottom-right corner": (342, 142),
    "above the shaft": (173, 12),
    "below the shaft": (173, 135),
    "beside the left head's tip": (40, 10),
    "beside the right head's tip": (300, 136),
}
# Bare background of the arrow (no control there): shows the window's colour.
BARE = ("shaft, bare background left", "shaft, bare background right")


def geometry(rect):
    return (rect["left"], rect["top"], rect["width"], rect["height"])


class ExitConfirmationTest(StationTestCase):

    # ------------------------------------------------------------ helpers ---

    def side_windows(self):
        s = self.station
        advert = s.wait_window(ADVERT_TITLE, timeout=30)
        remote = s.wait_window(REMOTE_TITLE, timeout=30)
        self.assertIsNotNone(advert, "the advert window did not open")
        self.assertIsNotNone(remote, "the remote control window did not open")
        return advert, remote

    def wait_advert_at_rest(self, timeout=15):
        """The advert window stops moving once its slide-in is over."""
        s = self.station
        deadline = time.monotonic() + timeout
        last = None
        while time.monotonic() < deadline:
            a = s.find(ADVERT_TITLE)
            if a and last and a["rect"] == last["rect"]:
                return a
            last = a
            time.sleep(0.3)
        self.fail("the advert window did not come to rest")

    def exit_windows(self):
        """The program's visible exit confirmation windows (no title, 347 x 147)."""
        return [w for w in self.station.windows(title="")
                if w["visible"] and (w["rect"]["width"], w["rect"]["height"]) == EXIT_SIZE]

    def wait_exit_window(self, timeout=20):
        s = self.station
        found = s.wait_window("", timeout=timeout)
        self.assertIsNotNone(found, "no exit confirmation window appeared")
        windows = self.exit_windows()
        self.assertEqual(len(windows), 1, f"expected one exit confirmation window, got {windows}")
        return windows[0]

    def wait_exit_window_gone(self, timeout=10):
        deadline = time.monotonic() + timeout
        while self.exit_windows():
            if time.monotonic() > deadline:
                self.fail("the exit confirmation window is still open")
            time.sleep(0.2)

    def open_by_close_button(self):
        s = self.station
        main = s.find(MAIN_TITLE)
        close = s.control(main, "关")
        self.assertIsNotNone(close, "the main window has no 关 button")
        s.click(*centre(close["rect"]))
        return self.wait_exit_window()

    def open_by_tray_menu(self):
        s = self.station
        main = s.find(MAIN_TITLE)
        banner = s.control(main, MAIN_TITLE)
        s.click(banner["rect"]["left"] + 40, banner["rect"]["top"] + 20, "right")
        s.choose("退出")
        return self.wait_exit_window()

    def wait_foreground(self, window, timeout=5):
        s = self.station
        deadline = time.monotonic() + timeout
        while s.screen()["foreground"] != window["hwnd"] and time.monotonic() < deadline:
            time.sleep(0.1)
        return s.screen()["foreground"] == window["hwnd"]

    def assert_program_goes_on(self, expected_windows):
        """The program still runs, with the same windows shown and usable."""
        s = self.station
        s.settle()
        self.assertTrue(s.running(), "station.exe ended")
        shown = {w["hwnd"]: w for w in s.windows() if w["visible"]}
        for w in expected_windows:
            self.assertIn(w["hwnd"], shown, f"{w['title']!r} is no longer shown")
            self.assertTrue(shown[w["hwnd"]]["enabled"], f"{w['title']!r} stayed disabled")
        self.assertEqual(self.exit_windows(), [])
        self.assertEqual(len(shown), len(expected_windows),
                         f"windows shown: {[w['title'] for w in shown.values()]}")

    def assert_program_ended(self):
        s = self.station
        code = s.exit_code(timeout=20)
        self.assertIsNotNone(code, "station.exe still runs 20 s after 确定")
        self.assertEqual(code, 0, "station.exe did not end normally")
        # No window of the program is left, shown or hidden, of any class.
        left = [w for w in s.windows(cls=None, all_processes=True) if w["pid"] == s.pid]
        self.assertEqual(left, [], "windows of the program are left after 确定")
        self.assertEqual(s.windows(all_processes=s.private_prefix), [], "a program window is left after 确定")

    def click_in(self, window, point):
        r = window["rect"]
        return self.station.click(r["left"] + point[0], r["top"] + point[1])

    # -------------------------------------------------------------- tests ---

    def test_close_button_opens_arrow_shaped_modal_window_and_back_returns(self):
        s = self.station
        advert, remote = self.side_windows()
        advert = self.wait_advert_at_rest()
        main = s.find(MAIN_TITLE)
        screen = s.screen()
        # What the screen shows where the window will open, beforehand.
        left, top = (screen["width"] - EXIT_SIZE[0]) // 2, (screen["height"] - EXIT_SIZE[1]) // 2
        before = {name: s.pixel(left + x, top + y) for name, (x, y) in OUTSIDE.items()}

        exit_window = self.open_by_close_button()
        # Centred on the screen, always on top, no taskbar button (owned).
        self.assertEqual(geometry(exit_window["rect"]), (left, top, *EXIT_SIZE))
        self.assertTrue(exit_window["topmost"], "the exit confirmation is not always on top")
        self.assertNotEqual(exit_window["owner"], 0, "the exit confirmation has a taskbar button")
        self.assertEqual(exit_window["title"], "")
        for caption in ("确定", "返回", QUESTION):
            c = s.control(exit_window, caption)
            self.assertIsNotNone(c, f"no {caption!r} in the exit confirmation")
            self.assertTrue(c["visible"], f"{caption!r} is hidden")
        self.assertTrue(self.wait_foreground(exit_window), "the exit confirmation is not the active window")

        # Modal: every other window of the program is disabled meanwhile.
        for w in (main, remote, advert):
            now = s.refresh(w)
            self.assertFalse(now["enabled"], f"{w['title']!r} stays enabled under the exit confirmation")

        # Its region is the arrow.
        region = s.region(exit_window)
        self.assertEqual(region["type"], "complex", f"the exit confirmation is not cut to a shape: {region}")
        self.assertEqual((region["box"]["left"], region["box"]["right"], region["box"]["bottom"]), (0, 347, 147))
        for name, (x, y) in INSIDE.items():
            with self.subTest(inside=name):
                hit = s.at(left + x, top + y)
                self.assertEqual(hit["root"], exit_window["hwnd"], f"{name} at {x}, {y} is not the arrow's: {hit}")
        for name, (x, y) in OUTSIDE.items():
            with self.subTest(outside=name):
                hit = s.at(left + x, top + y)
                self.assertEqual(hit["root"], main["hwnd"],
                                 f"{name} at {x}, {y} does not belong to the main window beneath: {hit}")
                self.assertEqual(s.pixel(left + x, top + y), before[name],
                                 f"the screen changed at {name} ({x}, {y}) outside the arrow")
        for name in BARE:
            x, y = INSIDE[name]
            self.assertEqual(s.pixel(left + x, top + y), EXIT_BACKGROUND, f"{name} does not show the arrow's colour")

        # "返回" closes it alone; the program goes on.
        self.click_in(exit_window, INSIDE["right head (返回)"])
        self.wait_exit_window_gone()
        self.assert_program_goes_on([main, remote, advert])

    def test_esc_closes_only_the_confirmation_opened_from_tray_menu(self):
        s = self.station
        advert, remote = self.side_windows()
        main = s.find(MAIN_TITLE)
        exit_window = self.open_by_tray_menu()
        self.assertTrue(self.wait_foreground(exit_window), "the exit confirmation is not the active window")
        s.key("esc")
        self.wait_exit_window_gone()
        self.assert_program_goes_on([main, remote, advert])

        # It opens afresh next time, and Esc closes it again.
        again = self.open_by_close_button()
        self.assertNotEqual(again["hwnd"], exit_window["hwnd"])
        self.assertTrue(self.wait_foreground(again), "the exit confirmation is not the active window")
        s.key("esc")
        self.wait_exit_window_gone()
        self.assert_program_goes_on([main, remote, advert])

    def test_esc_ends_the_question_when_no_other_window_is_left_to_tick(self):
        """The advert and remote control windows (the only ones with timers)
        are closed first; Esc in the question must still close it at once."""
        s = self.station
        _, remote = self.side_windows()
        advert = self.wait_advert_at_rest()
        main = s.find(MAIN_TITLE)
        s.click(*centre(s.control(advert, "关")["rect"]))
        self.assertTrue(s.wait_gone(ADVERT_TITLE), "关 did not close the advert window")
        s.activate(remote)
        self.assertTrue(self.wait_foreground(remote), "the remote control window is not the active window")
        s.key("esc")
        self.assertTrue(s.wait_gone(REMOTE_TITLE), "Esc did not close the remote control window")
        exit_window = self.open_by_close_button()
        self.assertTrue(self.wait_foreground(exit_window), "the exit confirmation is not the active window")
        s.key("esc")
        self.wait_exit_window_gone(timeout=5)
        self.assert_program_goes_on([main])

    def test_confirm_from_close_button_ends_program(self):
        self.side_windows()
        exit_window = self.open_by_close_button()
        self.click_in(exit_window, INSIDE["left head (确定)"])
        self.assert_program_ended()

    def test_confirm_from_tray_menu_ends_program(self):
        self.side_windows()
        exit_window = self.open_by_tray_menu()
        self.click_in(exit_window, INSIDE["left head (确定)"])
        self.assert_program_ended()


if __name__ == "__main__":
    unittest.main()
