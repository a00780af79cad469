"""Window placement seen from outside: the remote control window beside the
main window, its docking at the screen edges (snap on a drop near an edge,
hiding to a 5-pixel strip, coming back when the pointer touches the strip),
the advert window's slide-in to the bottom-right corner, and the main
window's maximized form and its restore."""

import os
import subprocess
import time
import unittest

from station_e2e import MAIN_TITLE, Station, StationTestCase, centre

ADVERT_TITLE = "支持一下广告吧，谢谢！"
ADVERT_SIZE = (392, 312)
# Where the slide-in ends on the 1366 x 768 test screen (top-left corner).
ADVERT_REST = (974, 424)
REMOTE_TITLE = "遥控器"
REMOTE_SIZE = (169, 279)
MAIN_SIZE = (815, 631)
STRIP = 5
# A point of the remote control window's bare background (window
# coordinates), between `互动` and `顶`, reaching to its right edge.
REMOTE_BARE_Y = 125
REMOTE_GRAB = (23, REMOTE_BARE_Y)


def geometry(rect):
    return (rect["left"], rect["top"], rect["width"], rect["height"])


def xdotool(*args):
    """Real pointer input on the X display: a drag made this way is seen by
    the program exactly as one made with a mouse (the probe's pointer moves
    cannot reach the X server while the program's move loop holds the
    pointer)."""
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=30,
                   env=dict(os.environ), stdout=subprocess.DEVNULL)


class FormsTestCase(StationTestCase):

    def wait_for(self, what, condition, timeout=10, interval=0.15):
        """Polls condition() until it returns something true; returns that."""
        deadline = time.monotonic() + timeout
        last = None
        while True:
            last = condition()
            if last:
                return last
            if time.monotonic() > deadline:
                self.fail(f"timed out waiting for {what}")
            time.sleep(interval)

    def remote(self):
        return self.station.find(REMOTE_TITLE)

    def wait_remote_at(self, left, top, what, timeout=10):
        s = self.station
        seen = []

        def at_place():
            r = s.find(REMOTE_TITLE)
            if r is None:
                return None
            seen.append((r["rect"]["left"], r["rect"]["top"]))
            return r if (r["rect"]["left"], r["rect"]["top"]) == (left, top) else None

        try:
            return self.wait_for(what, at_place, timeout)
        except AssertionError:
            self.fail(f"{what}: the remote control window did not come to {left}, {top}; seen {seen[-5:]}")

    def assert_remote_stays(self, left, top, what, seconds=1.2):
        """Over a dozen ticks of the window's 100 ms timer nothing moves it."""
        s = self.station
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            r = s.find(REMOTE_TITLE)
            self.assertIsNotNone(r, "the remote control window went away")
            self.assertEqual((r["rect"]["left"], r["rect"]["top"]), (left, top), what)
            time.sleep(0.2)

    def open_side_windows(self):
        """The advert and remote control windows once the main window's
        start-up work has placed them (each is built centred first)."""
        s = self.station
        advert = s.wait_window(ADVERT_TITLE, timeout=30)
        remote = s.wait_window(REMOTE_TITLE, timeout=30)
        self.assertIsNotNone(advert, "the advert window did not open")
        self.assertIsNotNone(remote, "the remote control window did not open")
        main = s.find(MAIN_TITLE)["rect"]
        remote = self.wait_remote_at(main["left"] + main["width"], main["top"] + main["height"] // 10,
                                     "the remote control window beside the main window")
        return advert, remote

    def tray_menu(self, item):
        s = self.station
        main = s.find(MAIN_TITLE)
        banner = s.control(main, MAIN_TITLE)
        s.click(banner["rect"]["left"] + 40, banner["rect"]["top"] + 20, "right")
        s.choose(item)


class RemoteControlTest(FormsTestCase):

    def test_second_press_of_a_double_click_drags_too(self):
        s = self.station
        _, remote = self.open_side_windows()
        r = remote["rect"]
        grab_x, grab_y = r["left"] + REMOTE_GRAB[0], r["top"] + REMOTE_GRAB[1]
        xdotool("mousemove", grab_x, grab_y)
        # A double click's second press (the system reports it as a double
        # click) starts a drag like any other press.
        xdotool("click", 1)
        xdotool("mousedown", 1)
        try:
            xdotool("mousemove", grab_x - 1, grab_y)
            xdotool("mousemove", grab_x - 200, grab_y + 100)
            self.wait_remote_at(r["left"] - 200, r["top"] + 100, "dragged by the second press of a double click")
        finally:
            xdotool("mouseup", 1)

    def test_opens_beside_main_window_and_comes_back_where_it_was_hidden(self):
        s = self.station
        _, remote = self.open_side_windows()
        main = s.find(MAIN_TITLE)
        m = main["rect"]
        self.assertEqual(geometry(m), (275, 68, *MAIN_SIZE))
        # Right of the main window, a tenth of its height (truncated) down.
        self.assertEqual(geometry(remote["rect"]), (m["left"] + m["width"], m["top"] + m["height"] // 10, *REMOTE_SIZE))
        self.assertEqual(geometry(remote["rect"]), (1090, 131, *REMOTE_SIZE))
        self.assertFalse(remote["topmost"], "the remote control window starts always on top")
        # Rounded corners: its very corner belongs to what lies beneath.
        self.assertNotEqual(s.at(remote["rect"]["left"] + 1, remote["rect"]["top"] + 1)["root"], remote["hwnd"])
        self.assertEqual(s.at(remote["rect"]["left"] + 20, remote["rect"]["top"] + 20)["root"], remote["hwnd"])

        # Moved elsewhere (away from every edge and from the pointer), hidden
        # by its 关, shown again by the menu item: at the same place.
        s.move(30, 700)
        s.place(remote, 600, 300)
        self.wait_remote_at(600, 300, "moved from outside")
        self.assert_remote_stays(600, 300, "a window away from the edges moved by itself", seconds=0.6)
        close = s.control(s.refresh(remote), "关")
        s.click(*centre(close["rect"]))
        self.assertTrue(s.wait_gone(REMOTE_TITLE), "关 did not hide the remote control window")
        hidden = [w for w in s.windows(title=REMOTE_TITLE) if w["hwnd"] == remote["hwnd"]]
        self.assertEqual(len(hidden), 1, "关 destroyed the remote control window instead of hiding it")
        self.tray_menu("遥控器出来")
        back = s.wait_window(REMOTE_TITLE, timeout=60)
        self.assertIsNotNone(back, "遥控器出来 did not show the remote control window")
        self.assertEqual(back["hwnd"], remote["hwnd"], "遥控器出来 built a new window instead of showing the old one")
        self.assertEqual(geometry(back["rect"]), (600, 300, *REMOTE_SIZE))


class DockingTest(FormsTestCase):

    def test_dragged_to_left_edge_snaps_hides_to_strip_and_comes_back(self):
        s = self.station
        _, remote = self.open_side_windows()
        r = remote["rect"]
        top = r["top"]
        grab_x, grab_y = r["left"] + REMOTE_GRAB[0], r["top"] + REMOTE_GRAB[1]
        under = s.at(grab_x, grab_y)
        self.assertEqual((under["hwnd"], under["root"]), (remote["hwnd"], remote["hwnd"]),
                         f"no bare background of the remote control window at the grab point: {under}")

        # A left press on the bare background drags the window.
        xdotool("mousemove", grab_x, grab_y)
        xdotool("mousedown", 1)
        try:
            xdotool("mousemove", grab_x - 1, grab_y)
            xdotool("mousemove", 400, grab_y)
            self.wait_remote_at(400 - REMOTE_GRAB[0], top, "dragging")
            # Past the left edge, but the pointer is not near it: no snap.
            xdotool("mousemove", 13, grab_y)
            self.wait_remote_at(13 - REMOTE_GRAB[0], top, "dragged past the left edge")
            self.assert_remote_stays(-10, top, "snapped with the pointer 13 pixels from the edge", seconds=0.5)
            # The pointer within 5 pixels of the edge: it snaps to the edge.
            xdotool("mousemove", 3, grab_y)
            self.wait_remote_at(0, top, "dragged with the pointer at x 3")
        finally:
            xdotool("mouseup", 1)
        # Dropped at the edge with the pointer still on it: it stays.
        self.assert_remote_stays(0, top, "the window left the edge under the pointer")

        # The pointer leaves it: it hides to a 5-pixel strip.
        s.move(600, 600)
        self.wait_remote_at(STRIP - REMOTE_SIZE[0], top, "pointer away from the docked window")
        self.assertEqual(STRIP - REMOTE_SIZE[0], -164)
        self.assert_remote_stays(-164, top, "the hidden window moved without the pointer")
        strip_y = top + REMOTE_BARE_Y
        for x in range(STRIP):
            self.assertEqual(s.at(x, strip_y)["root"], remote["hwnd"], f"x {x} is not part of the strip")
        self.assertNotEqual(s.at(STRIP, strip_y)["root"], remote["hwnd"], "more than 5 pixels are left on the screen")
        self.assertEqual(s.pixel(2, strip_y), (0x00, 0x88, 0xFF), "the strip does not show the window's colour")

        # The pointer touches the strip: the window comes back to the edge.
        s.move(2, strip_y)
        self.wait_remote_at(0, top, "pointer on the strip")
        self.assert_remote_stays(0, top, "the window hid again under the pointer", seconds=0.6)
        # And hides again when the pointer leaves once more.
        s.move(600, 600)
        self.wait_remote_at(-164, top, "pointer away again")

    def test_moved_past_edges_from_outside(self):
        s = self.station
        _, remote = self.open_side_windows()
        width, height = REMOTE_SIZE
        screen_w, screen_h = 1366, 768
        self.assertEqual((s.screen()["width"], s.screen()["height"]), (screen_w, screen_h))

        # Past the left edge with the pointer far from it: it stays there and
        # never hides.
        s.move(600, 600)
        s.place(remote, -20, 131)
        self.wait_remote_at(-20, 131, "placed past the left edge")
        self.assert_remote_stays(-20, 131, "a window dropped away from the pointer snapped or hid")

        # Past the right edge with the pointer within 5 pixels of it: snaps to
        # the edge. While the pointer stays in that column, below the window,
        # each tick's hiding move is snapped straight back: it never stays
        # hidden (a look from outside may catch it in between).
        s.move(screen_w - 3, 700)
        s.place(remote, screen_w - width + 20, 131)
        self.wait_remote_at(screen_w - width, 131, "placed past the right edge with the pointer at its edge")
        seen = []
        for _ in range(6):
            seen.append(geometry(self.remote()["rect"])[:2])
            time.sleep(0.2)
        self.assertTrue(set(seen) <= {(screen_w - width, 131), (screen_w - STRIP, 131)}, f"seen {seen}")
        self.assertGreaterEqual(seen.count((screen_w - width, 131)), 3,
                                f"the window stays hidden with the pointer in the edge column: {seen}")
        # The pointer leaves the edge: it hides to a strip; touching the
        # strip brings it back.
        s.move(600, 600)
        self.wait_remote_at(screen_w - STRIP, 131, "pointer away from the window at the right edge")
        self.assert_remote_stays(screen_w - STRIP, 131, "the strip at the right edge moved")
        self.assertEqual(s.at(screen_w - 1, 131 + REMOTE_BARE_Y)["root"], remote["hwnd"])
        s.move(screen_w - 2, 131 + REMOTE_BARE_Y)
        self.wait_remote_at(screen_w - width, 131, "pointer on the right strip")

        # Past the top edge with the pointer at its top within 5 pixels: snaps
        # to the top; stays while the pointer is on it; hides upwards when it
        # leaves; comes back on the strip.
        s.move(700, 2)
        s.place(remote, 640, -30)
        self.wait_remote_at(640, 0, "placed past the top edge with the pointer at y 2")
        self.assert_remote_stays(640, 0, "the window hid under the pointer", seconds=0.6)
        s.move(300, 600)
        self.wait_remote_at(640, STRIP - height, "pointer away from the window at the top")
        s.move(700, 3)
        self.wait_remote_at(640, 0, "pointer on the top strip")


class TrackedStation(Station):
    """A station whose advert and remote control windows are followed from
    before the program starts."""

    def launch(self):
        self.advert_tracking = self.track(ADVERT_TITLE, timeout=90, until_at=ADVERT_REST)
        self.remote_tracking = self.track(REMOTE_TITLE, timeout=90, settle_ms=1500)
        super().launch()


class AdvertSlideInTest(FormsTestCase):
    start_automatically = False

    def assert_slides_in(self, states, screen_w=1366, screen_h=768):
        """Checks every state a follower from outside saw. It samples as fast
        as it can, but a busy machine may keep it from seeing each of the 43
        steps, or the moment the window stood just below the screen: what it
        sees must still be a slide up from below the bottom edge and nothing
        else."""
        width, height = ADVERT_SIZE
        left, rest = screen_w - width, screen_h - height - 30
        # The window is built centred and hidden; its created event moves it
        # below the bottom edge, and only then is it shown: it is never seen
        # anywhere but on its way up.
        start = next((i for i, st in enumerate(states) if st["left"] == left), None)
        self.assertIsNotNone(start, f"the advert window never went to the right edge: {states[:5]}")
        for st in states[:start]:
            self.assertEqual((st["left"], st["top"]), ((screen_w - width) // 2, (screen_h - height) // 2),
                             f"the advert window went elsewhere before its slide-in: {states[:start + 1]}")
            self.assertFalse(st["visible"], f"the advert window was seen before its slide-in: {states[:start + 1]}")
        tops = []
        for st in states[start:]:
            self.assertEqual((st["left"], st["width"], st["height"]), (left, width, height),
                             f"the advert window left the right edge or changed size: {st}")
            if st["top"] < screen_h:
                self.assertTrue(st["visible"], f"the advert window was hidden during the slide-in: {st}")
            if not tops or tops[-1] != st["top"]:  # showing it is a state of its own
                tops.append(st["top"])
        self.assertEqual(tops[-1], 424, f"the advert window came to rest elsewhere: {tops}")
        self.assertEqual(rest, 426)
        # Steps of 8 from the bottom edge (768), up to 424.
        self.assertLessEqual(tops[0], screen_h, f"the advert window started below the bottom edge: {tops}")
        self.assertEqual((screen_h - tops[0]) % 8, 0, f"the slide-in did not start at the bottom edge: {tops}")
        for a, b in zip(tops, tops[1:]):
            self.assertLess(b, a, f"the advert window did not only move up: {tops}")
            self.assertEqual((a - b) % 8, 0, f"a step of the slide-in is not a multiple of 8: {tops}")
        # A slide, not a jump: places on the way were seen.
        self.assertGreaterEqual(len(tops), 3, f"no slide seen: {tops}")

    def test_advert_slides_in_to_bottom_right_and_again_when_reopened(self):
        s = self.station = TrackedStation(self.id())
        self.addCleanup(s.stop)
        try:
            s.start()
        except BaseException:
            self._record_failure()
            raise
        track = s.advert_tracking.result()
        self.assert_slides_in(track["states"])
        # The remote control window is built centred and placed beside the
        # main window by the main window's start-up: it is first seen there.
        main = s.find(MAIN_TITLE)["rect"]
        beside = (main["left"] + main["width"], main["top"] + main["height"] // 10)
        remote_states = s.remote_tracking.result()["states"]
        seen = [(st["left"], st["top"]) for st in remote_states if st["visible"]]
        self.assertTrue(seen, f"the remote control window was never seen: {remote_states}")
        self.assertEqual(set(seen), {beside}, f"the remote control window was seen away from its place: {remote_states}")
        advert = s.wait_window(ADVERT_TITLE, timeout=60)
        self.assertEqual(geometry(advert["rect"]), (974, 424, *ADVERT_SIZE))
        self.assertTrue(advert["topmost"], "the advert window is not always on top")

        # Closed by its 关 and opened again from the menu: it slides in again.
        s.click(*centre(s.control(advert, "关")["rect"]))
        self.assertTrue(s.wait_gone(ADVERT_TITLE), "关 did not close the advert window")
        self.assertEqual(s.windows(title=ADVERT_TITLE), [], "关 did not destroy the advert window")
        tracking = s.track(ADVERT_TITLE, timeout=60, until_at=ADVERT_REST)
        self.tray_menu("支持一下广告吧")
        track = tracking.result()
        self.assertNotEqual(track["hwnd"], advert["hwnd"])
        self.assert_slides_in(track["states"])
        again = s.find(ADVERT_TITLE)
        self.assertEqual(geometry(again["rect"]), (974, 424, *ADVERT_SIZE))


class PinTest(FormsTestCase):
    """顶 and 遥控器置顶 with no other always-on-top window of the program
    open: each window's tooltips, made at the first hover, are always on top
    themselves, and must not keep their window from going on top."""

    def topmost(self, title):
        return self.station.find(title)["topmost"]

    def click_when_hovered(self, window_title, caption):
        s = self.station
        x, y = centre(s.control(s.find(window_title), caption)["rect"])
        s.move(x - 3, y)
        s.move(x, y)
        time.sleep(1.5)  # the tooltip comes up
        s.click(x, y)

    def test_pin_buttons_put_their_window_on_top_whatever_was_hovered_first(self):
        s = self.station
        self.open_side_windows()
        advert = s.wait_at_rest(ADVERT_TITLE)
        s.click(*centre(s.control(advert, "关")["rect"]))
        self.assertTrue(s.wait_gone(ADVERT_TITLE), "关 did not close the advert window")
        for turn in range(2):
            self.click_when_hovered(MAIN_TITLE, "顶")
            self.wait_for("消-顶", lambda: (s.control(s.find(MAIN_TITLE), "消-顶") or {}).get("visible"))
            self.assertTrue(self.wait_for("the main window on top", lambda: self.topmost(MAIN_TITLE), 5),
                            f"消-顶 shows but the main window is not on top (turn {turn})")
            self.click_when_hovered(MAIN_TITLE, "消-顶")
            self.wait_for("顶", lambda: (s.control(s.find(MAIN_TITLE), "顶") or {}).get("visible"))
            self.assertFalse(self.topmost(MAIN_TITLE))

        seen = []
        for _ in range(4):
            self.click_when_hovered(REMOTE_TITLE, "遥控器置顶")
            time.sleep(0.5)
            seen.append((self.topmost(REMOTE_TITLE), self.topmost(MAIN_TITLE)))
        self.assertEqual(seen, [(True, False), (False, False)] * 2, "(remote control, main window) on top")


class MaximizeTest(FormsTestCase):

    def test_maximize_and_restore(self):
        s = self.station
        self.open_side_windows()
        main = s.find(MAIN_TITLE)
        self.assertEqual(geometry(main["rect"]), (275, 68, *MAIN_SIZE))
        kids = {c["hwnd"]: c for c in main["children"]}
        # The controls without a caption to find them by: the browser view,
        # the notification line and the picture box, by where they start.
        browser = [c for c in kids.values() if c["class"] == "StationBrowserView"]
        self.assertEqual(len(browser), 1)
        browser = browser[0]["hwnd"]
        notice = [h for h, c in kids.items() if geometry(c["client_rect"]) == (8, 608, 800, 24)]
        picture = [h for h, c in kids.items() if geometry(c["client_rect"]) == (560, 8, 256, 56) and not c["visible"]]
        self.assertEqual(len(notice), 1, "no notification line at 8, 608")
        self.assertEqual(len(picture), 1, "no hidden picture box at 560, 8")
        notice, picture = notice[0], picture[0]

        def child(window, hwnd):
            return next(c for c in window["children"] if c["hwnd"] == hwnd)

        s.click(*centre(s.control(main, "扩")["rect"]))
        maxed = self.wait_for("the maximized form",
                              lambda: (lambda m: m if m and geometry(m["rect"]) == (0, 0, 1366, 768) else None)(
                                  s.find(MAIN_TITLE)))
        self.assertEqual((maxed["client_size"]["width"], maxed["client_size"]["height"]), (1366, 768))
        self.assertEqual(geometry(child(maxed, browser)["client_rect"]), (8, 72, 1350, 665))
        self.assertEqual(geometry(child(maxed, notice)["client_rect"]), (8, 744, 1350, 24))
        self.assertTrue(child(maxed, notice)["visible"])
        self.assertEqual(geometry(child(maxed, picture)["client_rect"]), (1086, 8, 256, 56))
        self.assertTrue(child(maxed, picture)["visible"], "the picture box is hidden in the maximized form")
        self.assertFalse(s.control(maxed, "扩")["visible"], "扩 is shown in the maximized form")
        self.assertTrue(s.control(maxed, "消-扩")["visible"], "消扩 is hidden in the maximized form")
        self.assertFalse(s.control(maxed, "设")["visible"], "the menu button is shown in the maximized form")
        self.assertFalse(maxed["iconic"])

        # No dragging the maximized window by its banner.
        banner = s.control(maxed, MAIN_TITLE)["rect"]
        bx, by = banner["left"] + 60, banner["top"] + 20
        xdotool("mousemove", bx, by)
        xdotool("mousedown", 1)
        try:
            xdotool("mousemove", bx + 1, by + 1)
            xdotool("mousemove", bx + 40, by + 30)
            time.sleep(0.5)
        finally:
            xdotool("mouseup", 1)
        time.sleep(0.3)
        self.assertEqual(geometry(s.find(MAIN_TITLE)["rect"]), (0, 0, 1366, 768), "the maximized window was dragged")

        s.click(*centre(s.control(maxed, "消-扩")["rect"]))
        restored = self.wait_for("the restored form",
                                 lambda: (lambda m: m if m and geometry(m["rect"]) == (275, 68, *MAIN_SIZE) else None)(
                                     s.find(MAIN_TITLE)))
        self.assertEqual(geometry(child(restored, browser)["client_rect"]), (8, 72, 800, 528))
        self.assertEqual(geometry(child(restored, notice)["client_rect"]), (8, 607, 799, 24))
        self.assertFalse(child(restored, picture)["visible"], "the picture box stays shown after restore")
        self.assertTrue(s.control(restored, "扩")["visible"])
        self.assertFalse(s.control(restored, "消-扩")["visible"])
        self.assertTrue(s.control(restored, "设")["visible"])

        # Dragging by the banner works again.
        banner = s.control(restored, MAIN_TITLE)["rect"]
        bx, by = banner["left"] + 60, banner["top"] + 20
        xdotool("mousemove", bx, by)
        xdotool("mousedown", 1)
        try:
            xdotool("mousemove", bx + 1, by + 1)
            xdotool("mousemove", bx + 25, by + 12)
            self.wait_for("the restored window to follow the drag",
                          lambda: s.find(MAIN_TITLE)["rect"]["left"] == 300)
        finally:
            xdotool("mouseup", 1)
        self.assertEqual(geometry(s.find(MAIN_TITLE)["rect"]), (300, 80, *MAIN_SIZE))


if __name__ == "__main__":
    unittest.main()
