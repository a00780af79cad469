"""station.exe for people who use a screen reader and the keyboard alone.
What another process reads through the system's accessibility interfaces
(the probe's `accessible` command: role, name and state of each control of
the main window, the remote control and the exit confirmation), and the
program driven by keys only: Tab to a button, Enter or Space to press it."""

import time
import unittest

from station_content import NOTICE_PATH, notice_manifest, wait_control_text, write_site_file
from station_e2e import MAIN_TITLE, StationTestCase, centre

REMOTE_TITLE = "遥控器"
EXIT_SIZE = (347, 147)
NOTICE = "今晚八点：地方新闻 & 天气预报"
NOTICE_LINE = (8, 608, 800, 24)

# The main window's 13 controls as a screen reader reads them after the
# start: (name, role), hidden ones marked. The one-character buttons are read
# by their tooltips; the notice keeps its "&".
MAIN_CONTROLS = [
    ("点歌热线", "link", False),
    ("检测更新", "push button", False),
    ("我是最大化按钮", "push button", False),
    (NOTICE, "static text", False),
    ("", "client", False),
    ("点我就置顶了", "push button", False),
    ("我是最小化按钮", "push button", False),
    ("点下去就退出了哦", "push button", False),
    ("V1.3", "static text", False),
    (MAIN_TITLE, "static text", False),
    ("消-顶", "push button", True),
    ("消-扩", "push button", True),
    ("", "graphic", True),  # the picture advert: this manifest names no picture
]
REMOTE_CONTROLS = [
    ("遥控器置顶", "push button", False),
    ("刷新公告", "push button", False),
    ("遥控器", "static text", False),
    ("设置", "push button", False),
    ("互动", "push button", False),
    ("关闭遥控器", "push button", False),
]
EXIT_CONTROLS = [
    ("返回", "push button", False),
    ("确定", "push button", False),
    ("确认要退出了吗？", "static text", False),
]


def serve_notice(run_dir, site_dir):
    write_site_file(site_dir, NOTICE_PATH, notice_manifest(NOTICE.replace("&", "&amp;"), "点歌热线"))


def read(controls):
    """(name, role, hidden) of each control, in a stable order."""
    return sorted((c["name"], c["role"], "invisible" in c["state"]) for c in controls)


class AccessibilityTest(StationTestCase):
    station_options = {"prepare": serve_notice}

    def accessible(self, window):
        return self.station.probe("accessible", window["hwnd"])

    def named(self, answer, name):
        found = [c for c in answer["controls"] if c["name"] == name]
        self.assertEqual(len(found), 1, f"no single control named {name}: {answer['controls']}")
        return found[0]

    def wait_exit_window(self, shown=True, timeout=20):
        deadline = time.monotonic() + timeout
        while True:
            found = [w for w in self.station.windows(title="")
                     if w["visible"] and (w["rect"]["width"], w["rect"]["height"]) == EXIT_SIZE]
            if bool(found) == shown:
                return found[0] if found else None
            if time.monotonic() > deadline:
                self.fail("the exit confirmation did not " + ("open" if shown else "close"))
            time.sleep(0.2)

    def wait_focus(self, text, timeout=10):
        deadline = time.monotonic() + timeout
        while self.station.screen()["focus_text"] != text:
            if time.monotonic() > deadline:
                self.fail(f"the focus did not reach {text}: {self.station.screen()}")
            time.sleep(0.1)

    def tab_to(self, text, limit=12):
        """Presses Tab until the control showing text has the focus; the texts passed."""
        passed = []
        for _ in range(limit):
            self.station.key("tab")
            passed.append(self.station.screen()["focus_text"])
            if passed[-1] == text:
                return passed
        self.fail(f"Tab never reached {text}: {passed}")

    def test_a_screen_reader_reads_role_name_and_state_of_every_control(self):
        s = self.station
        self.assertEqual(wait_control_text(s, MAIN_TITLE, NOTICE_LINE, NOTICE), NOTICE)
        s.wait_window(REMOTE_TITLE)
        main = s.find(MAIN_TITLE)
        answer = self.accessible(main)
        self.assertEqual(answer["window"]["name"], MAIN_TITLE)
        self.assertEqual(read(answer["controls"]), sorted(MAIN_CONTROLS))
        self.assertIn("focusable", self.named(answer, "点下去就退出了哦")["state"])

        remote = self.accessible(s.find(REMOTE_TITLE))
        self.assertEqual(remote["window"]["name"], REMOTE_TITLE)
        self.assertEqual(read(remote["controls"]), sorted(REMOTE_CONTROLS))
        self.assertNotIn("pressed", self.named(remote, "遥控器置顶")["state"])

        s.click(*centre(s.control(main, "顶")["rect"]))
        deadline = time.monotonic() + 10
        while "invisible" not in self.named(self.accessible(main), "点我就置顶了")["state"]:
            self.assertLess(time.monotonic(), deadline, "顶 still reads as shown after its click")
            time.sleep(0.2)
        unpin = self.named(self.accessible(main), "消-顶")
        self.assertNotIn("invisible", unpin["state"])
        self.assertIn("pressed", unpin["state"], "the pin reads pressed while the window is on top")

        s.click(*centre(s.control(main, "关")["rect"]))
        exit_window = self.wait_exit_window()
        question = self.accessible(exit_window)
        self.assertEqual(question["window"]["name"], "")
        self.assertEqual(read(question["controls"]), sorted(EXIT_CONTROLS))
        self.assertEqual(self.named(question, "确定")["default_action"], "按")
        disabled = self.accessible(s.find(MAIN_TITLE))
        self.assertIn("unavailable", self.named(disabled, "点下去就退出了哦")["state"],
                      "the main window's buttons are unavailable under the modal question")

    def test_the_keyboard_alone_reaches_and_presses_the_buttons(self):
        s = self.station
        s.wait_window(REMOTE_TITLE)
        main = s.find(MAIN_TITLE)
        s.activate(main)
        self.assertTrue(s.wait_foreground(main))
        # From the window itself: the link, 设, 扩, the station view, 顶, 缩, 关.
        self.assertEqual(self.tab_to("关"), ["点歌热线", "设", "扩", "", "顶", "缩", "关"])
        close = s.control(main, "关")["rect"]
        for keys in ("shift+f10", "apps"):
            s.key(keys)
            menus = s.wait_menu()
            self.assertEqual(len(menus), 1, f"{keys} opened no menu")
            self.assertEqual(s.item_texts(menus[0])[0], "关于", "not the tray menu")
            self.assertEqual((menus[0]["rect"]["left"], menus[0]["rect"]["top"]),
                             (close["left"] + close["width"] // 2, close["top"] + close["height"] // 2),
                             f"{keys}: the menu is not at the focused button")
            s.key("esc")
            self.assertTrue(s.wait_no_menu())
        self.wait_focus("关")
        s.key("enter")
        exit_window = self.wait_exit_window()
        self.assertTrue(s.wait_foreground(exit_window))
        self.tab_to("返回")
        s.key("enter")
        self.wait_exit_window(shown=False)
        self.assertTrue(s.running(), "返回 ended the program")
        self.assertTrue(s.wait_foreground(main), "the main window did not take the keys back")
        self.tab_to("顶")
        s.key("space")
        deadline = time.monotonic() + 10
        while not s.find(MAIN_TITLE)["topmost"]:
            self.assertLess(time.monotonic(), deadline, "Space on 顶 did not put the main window on top")
            time.sleep(0.2)
        self.assertIsNotNone(s.control(s.find(MAIN_TITLE), "消-顶"))
        # In the station page the menu keys are the page's: no menu of the program.
        self.tab_to("")
        for keys in ("shift+f10", "apps"):
            s.key(keys)
            time.sleep(1)
            self.assertFalse(s.menu(), f"{keys} in the page opened the program's menu")


if __name__ == "__main__":
    unittest.main()
