"""A station that stalls: the notice manifest, the advert picture or the
update manifest is answered with nothing, with a head and then silence, or a
byte a second. Every fetch gives up within its bound (kFetchBoundMs), so
start-up finishes (the remote control window opens), the update check
answers, and the program takes clicks again."""

import re
import sys
import time
import unittest

from station_content import (NOTICE_PATH, PICTURE_PATH, UPDATE_PATH, choose_tray_item, dismiss_box,
                             wait_info_box)
from station_e2e import MAIN_TITLE, ROOT, StationTestCase, centre

REMOTE_TITLE = "遥控器"
LATEST = "当前您使用的是最新版本"


def fetch_bound_seconds():
    text = (ROOT / "src" / "net" / "fetcher.h").read_text(encoding="utf-8")
    return int(re.search(r"kFetchBoundMs = (\d+);", text).group(1)) / 1000


BOUND = fetch_bound_seconds()
# What the program does after the stalled fetch before the awaited window
# shows: the other download, opening the windows.
MARGIN = 8


class StallTest(StationTestCase):
    start_automatically = False

    def start_stalled(self, mode, path):
        """A station whose demo station stalls on /path in this mode."""
        return self.start_station(misbehave=f"{mode}@/{path}", wait_main=0)

    def deadline_after(self, s, path):
        """When (time.time()) the program must be done with the stalled
        fetch of /path: its request's arrival, plus the bound and a margin."""
        request = s.wait_request("/" + path, timeout=60)
        self.assertIsNotNone(request, f"no request for /{path}")
        return request["time"] + BOUND + MARGIN

    def assert_gave_up(self, s, path, mode):
        """The program hung up on the stalled answer, within the bound."""
        hang_up = s.wait_hang_up("/" + path)
        self.assertIsNotNone(hang_up, f"the program never hung up on /{path}")
        print(f"[e2e] {mode} on /{path}: hung up after {hang_up['seconds']} s with {hang_up['sent']} bytes",
              file=sys.stderr, flush=True)
        # A fetch left at the bound hangs up at the server's next byte: a
        # second later at most for a trickle.
        self.assertLessEqual(hang_up["seconds"], BOUND + 2)
        return hang_up

    def assert_start_up_done_by(self, s, deadline):
        remote = s.wait_window(REMOTE_TITLE, timeout=max(0.0, deadline - time.time()))
        self.assertIsNotNone(remote, f"the remote control window did not open within {BOUND} s + {MARGIN} s")

    def assert_answers(self, s):
        """A click on 顶 puts the main window on top: the program is not stuck."""
        main = s.wait_window(MAIN_TITLE, timeout=60)
        self.assertIsNotNone(main, "no main window")
        s.click(*centre(s.control(main, "顶")["rect"]))
        deadline = time.monotonic() + 10
        while not (s.refresh(main) or {}).get("topmost"):
            self.assertLess(time.monotonic(), deadline, "the main window did not answer a click on 顶")
            time.sleep(0.2)

    def test_start_up_with_a_stalled_notice_manifest(self):
        for mode in ("no-answer", "silent", "trickle"):
            with self.subTest(mode=mode):
                s = self.start_stalled(mode, NOTICE_PATH)
                self.assert_start_up_done_by(s, self.deadline_after(s, NOTICE_PATH))
                self.assert_gave_up(s, NOTICE_PATH, mode)
                # The picture is still fetched after the failed manifest.
                self.assertIsNotNone(s.wait_request("/" + PICTURE_PATH, timeout=5))
                self.assert_answers(s)
                s.stop()

    def test_start_up_with_a_trickled_picture(self):
        s = self.start_stalled("trickle", PICTURE_PATH)
        self.assert_start_up_done_by(s, self.deadline_after(s, PICTURE_PATH))
        hang_up = self.assert_gave_up(s, PICTURE_PATH, "trickle")
        # What came before the give-up is kept, as after any failed read.
        picture = (s.site_dir / PICTURE_PATH).read_bytes()
        stored = (s.run_dir / "ad" / "tingweiad.gif").read_bytes()
        self.assertGreater(len(stored), 0)
        self.assertLessEqual(len(stored), hang_up["sent"])
        self.assertEqual(stored, picture[:len(stored)])
        self.assert_answers(s)

    def test_update_check_with_a_trickled_manifest(self):
        s = self.start_stalled("trickle", UPDATE_PATH)
        self.assertIsNotNone(s.wait_window(REMOTE_TITLE, timeout=60), "start-up did not finish")
        choose_tray_item(self, s, "检测更新")
        box = wait_info_box(s, timeout=max(0.0, self.deadline_after(s, UPDATE_PATH) - time.time()))
        self.assertIsNotNone(box, f"no answer to the update check within {BOUND} s + {MARGIN} s")
        self.assert_gave_up(s, UPDATE_PATH, "trickle")
        # A cut manifest holds no version: this one is the latest.
        self.assertIn(LATEST, "".join(c["text"] for c in box["children"]))
        dismiss_box(self, s, box)
        self.assert_answers(s)


if __name__ == "__main__":
    unittest.main()
