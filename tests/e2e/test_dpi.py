"""The program on high-DPI screens: at 150 % and 200 % (the prefix's
LogPixels at 144 and 192, on screens of 2048 x 1152 and 2732 x 1536 pixels)
every window is its 100 % size times the scale, at the scaled place of its
100 % layout; the advert window slides up in scaled steps; the exit
confirmation's arrow is scaled; and the banner's text is drawn with a font
that many times as tall, rasterized at that size rather than stretched."""

import unittest

from screen_grab import grab, rgb
from station_e2e import MAIN_TITLE, Station, centre
from test_exit import EXIT_SIZE, INSIDE, OUTSIDE

ADVERT_TITLE = "支持一下广告吧，谢谢！"
REMOTE_TITLE = "遥控器"
BANNER_TEXT = "汀蔚网络视听台"
BANNER_BACK = rgb("#0088FF")
BANNER_COLOURS = {BANNER_BACK, rgb("#F89145"), (255, 255, 255)}  # back, text, its engraving
# At 100 % on 1366 x 768 (the window definitions' sizes).
MAIN_SIZE = (815, 631)
ADVERT_REST = (974, 424, 392, 312)
SLIDE_STEP = 8


def scaled(value, dpi):
    """Logical to physical as the program rounds: halves away from zero."""
    return (value * dpi * 2 + 96) // (96 * 2)


def logical(value, dpi):
    return (value * 96 * 2 + dpi) // (dpi * 2)


class DpiStation(Station):
    """A station whose advert window is followed from before the program starts."""

    def launch(self):
        self.advert_tracking = self.track(ADVERT_TITLE, timeout=90, settle_ms=1500)
        super().launch()


def banner_text(screen, rect):
    """Height of the banner text's ink and the share of its pixels that are
    none of the banner's own colours: the edges a font's smoothing gives.
    Stretching the 100 % text would widen those edges with the scale;
    rasterizing at the larger size keeps them as thin as at 100 %."""
    rows, ink, edge = [], 0, 0
    for y in range(rect["top"], rect["bottom"]):
        row_has_ink = False
        for x in range(rect["left"], rect["right"]):
            colour = screen.pixel(x, y)
            if colour == BANNER_BACK:
                continue
            row_has_ink = True
            ink += 1
            edge += colour not in BANNER_COLOURS
        if row_has_ink:
            rows.append(y)
    return (rows[-1] - rows[0] + 1 if rows else 0), (edge / ink if ink else 0.0)


class DpiTest(unittest.TestCase):

    def run_station(self, dpi, screen):
        """Starts the program at the DPI and measures what it shows."""
        s = DpiStation(f"{self.id()}-{dpi}", dpi=dpi if dpi != 96 else None, screen=screen)
        self.addCleanup(s.stop)
        try:
            s.start()
            advert_states = s.advert_tracking.result()["states"]
            main = s.find(MAIN_TITLE)
            remote = s.wait_window(REMOTE_TITLE, timeout=30)
            banner = s.control(main, BANNER_TEXT)["rect"]
            text = banner_text(grab(*screen, display=s.env["DISPLAY"]), banner)
            return s, main["rect"], remote["rect"], advert_states, text
        except BaseException:
            print(s.diagnostics())
            s.screenshot(f"{self.id()}-{dpi}")
            raise

    text_at_100 = None  # measured once for the module

    def check_scale(self, dpi, screen):
        if DpiTest.text_at_100 is None:
            s, *_, DpiTest.text_at_100 = self.run_station(96, (1366, 768))
            s.stop()
        base_height, base_edges = DpiTest.text_at_100
        s, main, remote, advert_states, (height, edges) = self.run_station(dpi, screen)
        width_px, height_px = screen

        # The main window: its size scaled, centred on the screen.
        self.assertLessEqual(abs(main["width"] - MAIN_SIZE[0] * dpi / 96), 0.5, main)
        self.assertLessEqual(abs(main["height"] - MAIN_SIZE[1] * dpi / 96), 0.5, main)
        self.assertLessEqual(abs(main["left"] + main["width"] / 2 - width_px / 2), dpi / 96 + 1, main)
        self.assertLessEqual(abs(main["top"] + main["height"] / 2 - height_px / 2), dpi / 96 + 1, main)
        # The remote control at the main window's right edge, a tenth of its
        # height down: there in logical pixels, so within a pixel of it here.
        main_left, main_top = logical(main["left"], dpi), logical(main["top"], dpi)
        self.assertEqual((remote["left"], remote["top"]),
                         (scaled(main_left + MAIN_SIZE[0], dpi), scaled(main_top + MAIN_SIZE[1] // 10, dpi)), remote)
        self.assertLessEqual(abs(remote["left"] - main["right"]), 1, (remote, main))

        # The advert window slides up in scaled steps to the bottom-right corner.
        _, top, width, height_a = ADVERT_REST
        rest = (width_px - scaled(width, dpi), scaled(top, dpi))
        tops = []
        for state in advert_states:
            if state["visible"] and (not tops or tops[-1] != state["top"]):
                tops.append(state["top"])
                self.assertEqual(state["left"], rest[0], state)
                self.assertEqual((state["width"], state["height"]), (scaled(width, dpi), scaled(height_a, dpi)))
        self.assertGreaterEqual(len(tops), 3, f"no slide seen: {tops}")
        self.assertEqual(tops[-1], rest[1], tops)
        step = SLIDE_STEP * dpi // 96
        for a, b in zip(tops, tops[1:]):
            self.assertEqual((a - b) % step, 0, f"a step is not a multiple of {step}: {tops}")

        # The banner text: the font's height times the scale, its edges as thin as at 100 %.
        self.assertLessEqual(abs(height - base_height * dpi / 96), 2, (height, base_height))
        self.assertLess(edges, base_edges * 0.85, (edges, base_edges))

        # The exit confirmation: the arrow region scaled with the window.
        s.click(*centre(s.control(s.find(MAIN_TITLE), "关")["rect"]))
        exit_window = s.wait_window("", timeout=20)
        self.assertIsNotNone(exit_window, "no exit confirmation appeared")
        self.assertEqual((exit_window["rect"]["width"], exit_window["rect"]["height"]),
                         (scaled(EXIT_SIZE[0], dpi), scaled(EXIT_SIZE[1], dpi)))
        region = s.region(exit_window)
        inside = lambda x, y: any(l <= x < r and t <= y < b for l, t, r, b in region["rects"])
        for name, (x, y) in INSIDE.items():
            self.assertTrue(inside(x * dpi // 96, y * dpi // 96), f"{name} is outside the arrow")
        for name, (x, y) in OUTSIDE.items():
            self.assertFalse(inside(x * dpi // 96, y * dpi // 96), f"{name} is inside the arrow")

    def test_at_150_percent(self):
        self.check_scale(144, (2048, 1152))

    def test_at_200_percent(self):
        self.check_scale(192, (2732, 1536))


if __name__ == "__main__":
    unittest.main()
