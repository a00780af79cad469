"""Pictures on screen: the advert picture that the notice refresh downloads at
start-up, shown by the picture box of the maximized main window and played
frame by frame, a picture box handed bytes that are no picture, and the
microblog picture button of the settings window with its normal and hot
pictures.

The expected pixels come from ImageMagick (`convert ... -coalesce rgb:-`), a
decoder of its own; the screen's come from the X display (`import -window
root`), so what is compared is what the user sees."""

import os
import subprocess
import time
import unittest

from station_e2e import MAIN_TITLE, SITE, HarnessError, StationTestCase, centre, flatten

ADVERT_GIF = SITE / "bofang" / "ad" / "ad256-56.gif"
ADVERT_PATH = "/bofang/ad/ad256-56.gif"
ADVERT_SIZE = (256, 56)
ADVERT_FRAMES = 8
ADVERT_DELAY_S = 0.15  # every frame of the demo picture
PICTURE_BOX_BACK = (0x00, 0x88, 0xFF)

REMOTE_TITLE = "遥控器"
SETTINGS_TITLE = "设置"
MICROBLOG_RECT = (218, 130, 48, 48)  # 图形按钮1, on the tab box's first page
TAB_BOX_SIZE = (338, 202)
MICROBLOG_KEY = (0x80, 0xE0, 0x00)  # its transparent colour


# ------------------------------------------------------------ pictures ---

def decode_frames(path, width, height):
    """Every frame of a picture file as composed on its canvas: a list of
    bytes objects of width * height RGB triples, top-down."""
    r = subprocess.run(["convert", str(path), "-coalesce", "-depth", "8", "rgb:-"], stdout=subprocess.PIPE,
                       stderr=subprocess.PIPE, timeout=60)
    if r.returncode != 0:
        raise HarnessError(f"ImageMagick cannot decode {path}: {r.stderr.decode('utf-8', 'replace')}")
    size = width * height * 3
    data = r.stdout
    if not data or len(data) % size:
        raise AssertionError(f"{path}: {len(data)} bytes of pixels is no whole number of {width}x{height} frames")
    return [data[i:i + size] for i in range(0, len(data), size)]


def grab(rect, width, height):
    """The screen's pixels in a rectangle at (rect left, rect top), RGB."""
    r = subprocess.run(["import", "-display", os.environ["DISPLAY"], "-window", "root", "-crop",
                        f"{width}x{height}+{rect['left']}+{rect['top']}", "+repage", "-depth", "8", "rgb:-"],
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
    if r.returncode != 0 or len(r.stdout) != width * height * 3:
        raise HarnessError(f"import gave {len(r.stdout)} bytes for {width}x{height}: "
                           f"{r.stderr.decode('utf-8', 'replace')}")
    return r.stdout


def differing(a, b):
    """How many pixels differ between two RGB buffers of the same size."""
    return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])


def pixel(buffer, width, x, y):
    i = (y * width + x) * 3
    return tuple(buffer[i:i + 3])


def long_first_frame(data):
    """The demo picture with its first frame held for 655 s: whatever the time
    between start-up and the screenshot, the box still shows that frame."""
    control = b"\x21\xF9\x04"
    at = data.find(control)
    assert at >= 0, "the demo picture has no graphic control extension"
    return data[:at + 4] + b"\xFF\xFF" + data[at + 6:]


def geometry(rect):
    return (rect["left"], rect["top"], rect["width"], rect["height"])


# --------------------------------------------------------------- tests ---

class PictureChecks:
    def picture_box(self, main):
        """The advert picture box: the main window's only 256 x 56 control."""
        boxes = [c for c in self.station.controls(main)
                 if (c["client_rect"]["width"], c["client_rect"]["height"]) == ADVERT_SIZE]
        self.assertEqual(len(boxes), 1, f"expected one 256x56 control in the main window, got {boxes}")
        return boxes[0]

    def wait_picture_file(self, expected, timeout=30):
        s = self.station
        self.assertIsNotNone(s.wait_request(ADVERT_PATH, timeout=timeout), "the advert picture was not fetched")
        stored = s.run_dir / "ad" / "tingweiad.gif"
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if stored.exists() and stored.read_bytes() == expected:
                return
            time.sleep(0.2)
        self.fail(f"ad\\tingweiad.gif is not the served picture: "
                  f"{stored.stat().st_size if stored.exists() else 'missing'} bytes")

    def maximize(self):
        """Clicks 扩 and waits for the picture box to show; returns it."""
        s = self.station
        main = s.find(MAIN_TITLE)
        self.assertFalse(self.picture_box(main)["visible"], "the advert picture shows before the maximized form")
        button = s.control(main, "扩")
        self.assertIsNotNone(button, "no 扩 button")
        s.click(*centre(button["rect"]))
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            main = s.find(MAIN_TITLE)
            box = self.picture_box(main)
            if box["visible"]:
                break
            time.sleep(0.2)
        else:
            self.fail("the advert picture box did not show after 扩")
        # It keeps 24 pixels from the right edge of the window, at the top.
        width = main["client_size"]["width"]
        self.assertGreater(width, 815, "the main window did not grow")
        self.assertEqual(geometry(box["client_rect"]), (width - 280, 8, *ADVERT_SIZE))
        # Out of the way: no hot button or tooltip over the picture.
        s.move(main["rect"]["left"] + 40, main["rect"]["top"] + main["rect"]["height"] // 2)
        return box

    def wait_capture(self, rect, size, accept, timeout=15):
        """Grabs the rectangle until accept(pixels) holds; returns the last grab."""
        deadline = time.monotonic() + timeout
        while True:
            shot = grab(rect, *size)
            if accept(shot) or time.monotonic() >= deadline:
                return shot
            time.sleep(0.3)


class AdvertFirstFrameTest(PictureChecks, StationTestCase):
    """The first frame held for minutes: the box shows exactly that frame."""

    @staticmethod
    def _prepare(run_dir, site_dir):
        target = site_dir / "bofang" / "ad" / "ad256-56.gif"
        target.write_bytes(long_first_frame(target.read_bytes()))

    station_options = {"prepare": _prepare}

    def test_maximized_form_shows_the_first_frame_of_the_advert_picture(self):
        s = self.station
        served = (s.site_dir / "bofang" / "ad" / "ad256-56.gif").read_bytes()
        frames = decode_frames(s.site_dir / "bofang" / "ad" / "ad256-56.gif", *ADVERT_SIZE)
        self.assertEqual(len(frames), ADVERT_FRAMES)
        self.assertGreater(differing(frames[0], frames[1]), 100, "the demo picture's frames hardly differ")
        self.wait_picture_file(served)

        box = self.maximize()
        shot = self.wait_capture(box["rect"], ADVERT_SIZE, lambda p: p == frames[0])
        wrong = differing(shot, frames[0])
        if wrong:
            nearest = min(range(len(frames)), key=lambda k: differing(shot, frames[k]))
            self.fail(f"{wrong} of {ADVERT_SIZE[0] * ADVERT_SIZE[1]} pixels differ from the first frame "
                      f"(nearest frame {nearest}, {differing(shot, frames[nearest])} differ); "
                      f"top-left pixel {pixel(shot, ADVERT_SIZE[0], 0, 0)}, expected "
                      f"{pixel(frames[0], ADVERT_SIZE[0], 0, 0)}")
        # Still the first frame a few of the demo's frame times later.
        time.sleep(4 * ADVERT_DELAY_S)
        self.assertEqual(differing(grab(box["rect"], *ADVERT_SIZE), frames[0]), 0,
                         "the first frame did not stay for its delay")


class AdvertAnimationTest(PictureChecks, StationTestCase):
    """The demo picture as served: 8 frames of 150 ms, looping forever."""

    def test_advert_picture_plays_its_frames_in_order(self):
        s = self.station
        served = s.site_dir / "bofang" / "ad" / "ad256-56.gif"
        self.assertEqual(served.read_bytes(), ADVERT_GIF.read_bytes())
        frames = decode_frames(served, *ADVERT_SIZE)
        self.assertEqual(len(frames), ADVERT_FRAMES)
        self.wait_picture_file(served.read_bytes())
        box = self.maximize()
        size = ADVERT_SIZE[0] * ADVERT_SIZE[1]

        def frames_of(shot):
            """The frames the grab can be: (k,) when it shows frame k; (k, k + 1)
            when it was taken while the box changed from k to k + 1 and holds
            pixels of both; () when it is none of them."""
            for k in range(ADVERT_FRAMES):
                if shot == frames[k]:
                    return (k,)
            for k in range(ADVERT_FRAMES):
                now, then = frames[k], frames[(k + 1) % ADVERT_FRAMES]
                if all(shot[i:i + 3] in (now[i:i + 3], then[i:i + 3]) for i in range(0, len(shot), 3)):
                    return (k, (k + 1) % ADVERT_FRAMES)
            return ()

        def nearest(shot):
            return f"{min(differing(shot, f) for f in frames)} of {size} pixels differ at best"

        # Painted at all?
        first = self.wait_capture(box["rect"], ADVERT_SIZE, frames_of)
        self.assertTrue(frames_of(first), f"the picture box shows none of the advert picture's frames: "
                        f"{nearest(first)}")

        seen = []  # (possible frames, grab started, grab ended)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            started = time.monotonic()
            shot = grab(box["rect"], *ADVERT_SIZE)
            ended = time.monotonic()
            possible = frames_of(shot)
            self.assertTrue(possible, f"grab {len(seen)} matches no frame: {nearest(shot)}")
            seen.append((possible, started, ended))
            time.sleep(0.1)

        order = ["/".join(map(str, p)) for p, _, _ in seen]
        whole = {p[0] for p, _, _ in seen if len(p) == 1}
        self.assertGreaterEqual(len(whole), 3, f"the picture hardly moves: frames {order}")
        # Frames only go forward, and no faster than their delay: between two
        # grabs at most (time between them) / 150 ms frames can have passed.
        for (a, a_start, _), (b, _, b_end) in zip(seen, seen[1:]):
            steps = min((j - i) % ADVERT_FRAMES for i in a for j in b)
            allowed = (b_end - a_start) / (ADVERT_DELAY_S * 0.9) + 1
            self.assertLessEqual(steps, allowed, f"from frame {a} to {b} in {b_end - a_start:.2f} s: "
                                 f"too fast or backwards; frames {order}")
        print(f"\n[pictures] frames seen: {' '.join(order)}")


class NoPictureTest(PictureChecks, StationTestCase):
    """The station answers the picture with its 404 page: the box is handed
    bytes that are no picture and shows its back colour only."""

    @staticmethod
    def _prepare(run_dir, site_dir):
        (site_dir / "bofang" / "ad" / "ad256-56.gif").unlink()

    station_options = {"prepare": _prepare}

    def test_picture_box_shows_its_colour_for_an_error_page(self):
        s = self.station
        self.assertIsNotNone(s.wait_request(ADVERT_PATH, timeout=30), "the advert picture was not fetched")
        box = self.maximize()
        plain = bytes(PICTURE_BOX_BACK) * (ADVERT_SIZE[0] * ADVERT_SIZE[1])
        shot = self.wait_capture(box["rect"], ADVERT_SIZE, lambda p: p == plain)
        self.assertEqual(differing(shot, plain), 0,
                         f"the picture box is not plain #0088FF: top-left {pixel(shot, ADVERT_SIZE[0], 0, 0)}")
        self.assertTrue(s.running(), "station.exe ended")


class MicroblogButtonTest(PictureChecks, StationTestCase):
    """The settings window's microblog button shows img\\sinaweibo1.gif, and
    img\\sinaweibo2.gif while the pointer is over it; the transparent colour
    #80E000 leaves the window's background showing."""

    def test_settings_window_shows_both_microblog_pictures(self):
        s = self.station
        normal = decode_frames(s.run_dir / "img" / "sinaweibo1.gif", 48, 48)[0]
        hot = decode_frames(s.run_dir / "img" / "sinaweibo2.gif", 48, 48)[0]
        emblem = [i for i in range(0, len(normal), 3) if normal[i:i + 3] != bytes(MICROBLOG_KEY)]
        keyed = [i for i in range(0, len(normal), 3) if normal[i:i + 3] == bytes(MICROBLOG_KEY)]
        self.assertTrue(emblem and keyed, "the microblog picture should have both emblem and transparent pixels")
        self.assertTrue(any(normal[i:i + 3] != hot[i:i + 3] for i in emblem), "the two pictures are the same")

        remote = s.wait_window(REMOTE_TITLE, timeout=30)
        self.assertIsNotNone(remote, "no remote control window")
        button = s.control(remote, "设置")
        self.assertIsNotNone(button, "no 设置 button on the remote control")
        s.click(*centre(button["rect"]))
        settings = s.wait_window(SETTINGS_TITLE, timeout=60)
        self.assertIsNotNone(settings, "the settings window did not open")
        # The controls of a page lie on the tab box, at their places within it.
        tabs = [c for c in flatten(settings) if geometry(c["client_rect"])[2:] == TAB_BOX_SIZE]
        self.assertEqual(len(tabs), 1, f"no single 338x202 tab box: {tabs}")
        found = [c for c in flatten(settings) if geometry(c["client_rect"])[2:] == MICROBLOG_RECT[2:]]
        self.assertEqual(len(found), 1, f"no single 48x48 control: {found}")
        picture_button = found[0]
        self.assertEqual(geometry(picture_button["client_rect"])[:2],
                         (tabs[0]["client_rect"]["left"] + MICROBLOG_RECT[0],
                          tabs[0]["client_rect"]["top"] + MICROBLOG_RECT[1]))
        self.assertTrue(picture_button["visible"])
        rect = picture_button["rect"]
        away = (settings["rect"]["left"] + 20, settings["rect"]["top"] + settings["rect"]["height"] - 20)
        s.move(*away)

        def shows(expected):
            def accept(shot):
                return (all(shot[i:i + 3] == expected[i:i + 3] for i in emblem)
                        and all(shot[i:i + 3] != bytes(MICROBLOG_KEY) for i in keyed))
            return accept

        def report(shot, expected, what):
            wrong = sum(1 for i in emblem if shot[i:i + 3] != expected[i:i + 3])
            green = sum(1 for i in keyed if shot[i:i + 3] == bytes(MICROBLOG_KEY))
            return (f"{what}: {wrong} of {len(emblem)} emblem pixels differ, {green} transparent ones show "
                    f"#80E000; centre pixel {pixel(shot, 48, 24, 21)}, expected {pixel(expected, 48, 24, 21)}")

        shot = self.wait_capture(rect, (48, 48), shows(normal))
        self.assertTrue(shows(normal)(shot), report(shot, normal, "normal picture"))

        # Where the picture is transparent the button shows what lies behind
        # it: the same colour as just left of the button.
        corner = pixel(shot, 48, 0, 0)
        beside = pixel(grab({"left": rect["left"] - 4, "top": rect["top"]}, 1, 1), 1, 0, 0)
        self.assertEqual(corner, beside, "the button's transparent corner differs from the background beside it")

        s.move(*centre(rect))
        shot = self.wait_capture(rect, (48, 48), shows(hot))
        self.assertTrue(shows(hot)(shot), report(shot, hot, "hot picture, pointer over the button"))

        s.move(*away)
        shot = self.wait_capture(rect, (48, 48), shows(normal))
        self.assertTrue(shows(normal)(shot), report(shot, normal, "normal picture again, pointer away"))
        self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
