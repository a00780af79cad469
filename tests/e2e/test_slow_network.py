"""A station that trickles the notice manifest a byte a second: the main
window is on screen at once and stays alive while its downloads wait. It
paints, answers other programs and shows the busy pointer; a click made
meanwhile is handled once the downloads have ended, and the side windows
still appear only where they rest."""

import time
import unittest

from station_content import NOTICE_PATH
from station_e2e import MAIN_TITLE, StationTestCase, centre

REMOTE_TITLE = "遥控器"
BADGE = (0x2B, 0x9A, 0xFF)  # the version badge's strip below the banner


class SlowNetworkTest(StationTestCase):
    start_automatically = False

    def test_the_main_window_lives_while_the_downloads_wait(self):
        s = self.start_station(misbehave=f"trickle@/{NOTICE_PATH}", wait_main=0)
        launched = time.monotonic()
        remote = s.track(REMOTE_TITLE, timeout=60)
        main = s.wait_window(MAIN_TITLE, timeout=3)
        self.assertIsNotNone(main, "the main window was not seen within 3 s of the launch")
        self.assertIsNotNone(s.wait_request("/" + NOTICE_PATH, timeout=10))
        left, top = main["rect"]["left"], main["rect"]["top"]
        badge = (left + 401, top + 61)
        deadline = time.monotonic() + 5
        while s.pixel(*badge) != BADGE and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(s.pixel(*badge), BADGE, "the banner was not painted")
        self.assertLess(time.monotonic() - launched, 3, "the banner took longer than 3 s")

        alive = s.probe("alive", main["hwnd"])
        self.assertTrue(alive["answered"], f"the main window did not answer another program: {alive}")

        # Off the screen's edge and back: the part uncovered is painted again.
        s.place(main, s.screen()["width"] - 300, top)
        s.place(main, left, top)
        deadline = time.monotonic() + 5
        while s.pixel(*badge) != BADGE and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(s.pixel(*badge), BADGE, "the uncovered banner was not painted again")

        # A click made meanwhile waits. Then the pointer rests on the station
        # page: the busy pointer, the program's own cursor handle (which
        # another process cannot name), shows there, and after the wait the
        # same spot shows another pointer without the pointer moving.
        s.click(*centre(s.control(main, "顶")["rect"]))
        s.move(left + 200, top + 300)
        time.sleep(1)
        self.assertIsNone(s.find(REMOTE_TITLE), "the downloads ended too early for this test")
        self.assertFalse(s.refresh(main)["topmost"], "the click was handled while the downloads waited")
        busy = s.probe("cursor")["cursor"]

        states = remote.result()["states"]
        self.assertTrue(states, "the remote control window never appeared")
        rest = (states[-1]["left"], states[-1]["top"])
        self.assertTrue(all((st["left"], st["top"]) == rest for st in states if st["visible"]),
                        f"the remote control was seen away from its rest place: {states[:3]}")
        self.assertTrue(s.refresh(main)["topmost"], "the click was not handled after the downloads")
        self.assertTrue(s.control(s.refresh(main), "消-顶")["visible"])
        self.assertEqual(s.probe("screen")["pointer"], {"x": left + 200, "y": top + 300})
        self.assertNotEqual(s.probe("cursor")["cursor"], busy, "the busy pointer stayed on the page after the wait")
        s.move(left + 220, top + 310)
        time.sleep(0.5)
        self.assertNotEqual(s.probe("cursor")["cursor"], busy, "the busy pointer came back as it moved on the page")


if __name__ == "__main__":
    unittest.main()
