"""The settings window seen from outside: opened from the remote control's
设置 button, the colour picker's palette, the chosen colour on every window
and in userini.user, the colour again after a restart, 默认配色 and the
restart after it, the two placeholder tabs, and the system colour dialog."""

import time
import unittest

from screen_grab import grab, rgb, stored, wait_for
from station_e2e import MAIN_TITLE, StationTestCase, centre, flatten

SETTINGS_TITLE = "设置"
SETTINGS_SIZE = (354, 264)
REMOTE_TITLE = "遥控器"
ADVERT_TITLE = "支持一下广告吧，谢谢！"
PALETTE_CLASS = "StationPalette"
DIALOG_CLASS = "#32770"

# The palette's colours, in order.
PALETTE = [
    ("黑色", "#000000"), ("藏青", "#000080"), ("墨绿", "#008000"), ("深青", "#008080"),
    ("红褐", "#800000"), ("紫红", "#800080"), ("褐绿", "#808000"), ("浅灰", "#C0C0C0"),
    ("灰色", "#808080"), ("蓝色", "#0000FF"), ("绿色", "#00FF00"), ("艳青", "#00FFFF"),
    ("红色", "#FF0000"), ("品红", "#FF00FF"), ("黄色", "#FFFF00"), ("白色", "#FFFFFF"),
    ("蓝灰", "#8080FF"), ("藏蓝", "#5830E0"), ("嫩绿", "#80E000"), ("青绿", "#00E080"),
    ("黄褐", "#C06000"), ("粉红", "#FFA8FF"), ("嫩黄", "#D8D800"), ("银白", "#ECECEC"),
    ("紫色", "#9000FF"), ("天蓝", "#0088FF"), ("灰绿", "#80A080"), ("青蓝", "#0060C0"),
    ("橙黄", "#FF8000"), ("桃红", "#FF5080"), ("芙红", "#FF80C0"), ("深灰", "#606060"),
]
OTHER_COLOURS = "其它颜色..."

SHIPPED_BLUE = "#0088FF"        # the windows' and labels' own background
SHIPPED_VERSION = "#2B9AFF"     # the version label's own background
CHOSEN_NAME, CHOSEN = "青绿", "#00E080"
# A system.dll whose defaults differ from the definitions' colours.
DEFAULT, DEFAULT2 = "#C06000", "#606060"

# Window client rectangles (left, top, width, height) where only the
# window's background shows, and the coloured labels.
MAIN_BARE = [(0, 80, 8, 500), (474, 2, 44, 66)]
MAIN_LABELS = {"标签1": (16, 8, 384, 56), "版本标签": (384, 23, 88, 40),
               "通知标签": (8, 608, 800, 23), "超级链接框1": (584, 40, 192, 24)}
REMOTE_BARE = [(30, 6, 96, 30)]
ADVERT_BARE = [(280, 2, 76, 28)]
ADVERT_LABEL = (12, 3, 264, 24)
SETTINGS_BARE = [(145, 4, 160, 46)]
PICKER = (118, 102, 82, 24)      # 颜色选择器1: the tab box's (6, 54) plus (112, 48)
TAB_BOX = (6, 54, 338, 202)


def write_system_dll(run_dir, default, default2):
    text = f"[默认皮肤]\r\n默认底色={stored(default)}\r\n默认底色2={stored(default2)}\r\n"
    (run_dir / "system.dll").write_bytes(text.encode("gbk"))


def read_user_settings(run_dir):
    """userini.user as {section: {key: value}}, or None when absent."""
    path = run_dir / "userini.user"
    if not path.exists():
        return None
    sections, current = {}, None
    for line in path.read_bytes().decode("gbk").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key] = value
    return sections


class SettingsSteps:
    """Steps shared by the tests: open the settings window, the palette, and
    read the colours shown."""

    def remote(self):
        """The remote control window once it has come to rest: it shows
        centred first and is then moved beside the main window."""
        remote = self.station.wait_at_rest(REMOTE_TITLE)
        self.assertIsNotNone(remote, "the remote control window did not open")
        return remote

    def wait_advert_at_rest(self):
        """The advert window, once its slide-in has ended."""
        s = self.station
        deadline = time.monotonic() + 30
        last = None
        while time.monotonic() < deadline:
            advert = s.find(ADVERT_TITLE)
            if advert and last and advert["rect"] == last["rect"] and advert["rect"]["bottom"] <= 768:
                return advert
            last = advert
            time.sleep(0.3)
        self.fail(f"the advert window did not come to rest: {last and last['rect']}")

    def open_settings(self):
        s = self.station
        remote = self.remote()
        button = s.control(remote, "设置")
        self.assertIsNotNone(button, "no 设置 button on the remote control")
        s.click(*centre(button["rect"]))
        settings = s.wait_window(SETTINGS_TITLE, timeout=60)
        self.assertIsNotNone(settings, "设置 did not open the settings window")
        self.assertEqual((settings["rect"]["width"], settings["rect"]["height"]), SETTINGS_SIZE)
        return settings

    def picker(self, settings):
        for c in flatten(settings):
            r = c["client_rect"]
            if c["class"] == "StationControl" and (r["left"], r["top"], r["width"], r["height"]) == PICKER:
                return c
        self.fail(f"no colour picker at {PICKER} in the settings window")

    def open_palette(self, settings):
        s = self.station
        picker = self.picker(settings)
        s.click(*centre(picker["rect"]))
        palette = s.wait_window("颜色", cls=PALETTE_CLASS, timeout=60)
        self.assertIsNotNone(palette, "clicking the colour picker opened no palette")
        return picker, palette

    def palette_gone(self, timeout=10):
        return self.station.wait_gone("颜色", cls=PALETTE_CLASS, timeout=timeout)

    def choose(self, settings, name):
        s = self.station
        _, palette = self.open_palette(settings)
        swatch = s.control(palette, name, cls=None)
        self.assertIsNotNone(swatch, f"no swatch {name} in the palette")
        s.click(*centre(swatch["rect"]))
        self.assertTrue(self.palette_gone(), "choosing a colour did not close the palette")

    def close_settings(self, settings):
        s = self.station
        s.click(*centre(s.control(settings, "关")["rect"]))
        self.assertTrue(s.wait_gone(SETTINGS_TITLE, timeout=15), "关 did not close the settings window")

    @staticmethod
    def areas(window, rects):
        left, top = window["rect"]["left"], window["rect"]["top"]
        return [(left + x, top + y, w, h) for (x, y, w, h) in rects]

    def expect_colours(self, expectations, timeout=15):
        """expectations: [(what, (left, top, width, height) on screen, "#RRGGBB")];
        waits until each area shows mostly its colour, else fails naming the
        areas that do not."""
        def wrong(screen):
            out = []
            for what, rect, colour in expectations:
                seen, share = screen.dominant(*rect)
                if seen != rgb(colour) or share < 0.5:
                    out.append(f"{what}: expected {colour}, mostly {seen} ({share:.0%})")
            return out

        result, _ = wait_for(lambda screen: not wrong(screen), timeout=timeout)
        if not result:
            problems = wrong(grab())
            if problems:
                self.fail("colours not as expected:\n  " + "\n  ".join(problems))

    def main_expectations(self, background, version=None):
        s = self.station
        main = s.find(MAIN_TITLE)
        self.assertIsNotNone(main)
        out = [(f"main window {r}", a, background) for r, a in zip(MAIN_BARE, self.areas(main, MAIN_BARE))]
        for name, rect in MAIN_LABELS.items():
            colour = version if (name == "版本标签" and version) else background
            out.append((f"main {name}", self.areas(main, [rect])[0], colour))
        return out

    def remote_expectations(self, background):
        remote = self.remote()
        return [("remote control window", a, background) for a in self.areas(remote, REMOTE_BARE)]

    def advert_expectations(self, background):
        advert = self.wait_advert_at_rest()
        return ([("advert window", a, background) for a in self.areas(advert, ADVERT_BARE)]
                + [("advert 标签1", self.areas(advert, [ADVERT_LABEL])[0], background)])

    def settings_expectations(self, settings, background, picker):
        return ([("settings window", a, background) for a in self.areas(settings, SETTINGS_BARE)]
                + [("colour picker", self.areas(settings, [(PICKER[0] + 2, PICKER[1] + 2, PICKER[2] - 4,
                                                            PICKER[3] - 4)])[0], picker)])

    def restart(self):
        """Ends station.exe the user's way (Esc in the main window) and starts
        it again in the same run directory."""
        s = self.station
        main = s.find(MAIN_TITLE)
        self.assertIsNotNone(main)
        banner = s.control(main, MAIN_TITLE)
        s.click(*centre(banner["rect"]))
        deadline = time.monotonic() + 5
        while s.screen()["foreground"] != main["hwnd"] and time.monotonic() < deadline:
            time.sleep(0.1)
        s.key("esc")
        if s.exit_code(timeout=20) is None:
            s.proc.kill()
            s.proc.wait(10)
            self.fail("station.exe did not end on Esc in the main window")
        s._out.close()
        s.pid = None
        s.launch()
        s.main = s.wait_window(MAIN_TITLE, timeout=60)
        self.assertIsNotNone(s.main, "the main window did not appear after the restart")
        s.pid = s.main["pid"]


class ChooseColourTest(SettingsSteps, StationTestCase):
    station_options = {"prepare": lambda run_dir, site: write_system_dll(run_dir, DEFAULT, DEFAULT2)}

    def test_chosen_colour_everywhere_stored_and_back_after_restart_then_default(self):
        s = self.station
        self.assertIsNone(read_user_settings(s.run_dir), "userini.user exists before any choice")
        main = s.find(MAIN_TITLE)
        settings = self.open_settings()
        # Modal: the other windows take no input while it is open.
        self.assertFalse(s.refresh(main)["enabled"], "the main window is enabled under the settings window")
        self.expect_colours(self.settings_expectations(settings, SHIPPED_BLUE, SHIPPED_BLUE))

        # The palette: the 32 colours in order, then the system dialog's entry.
        picker, palette = self.open_palette(settings)
        self.assertEqual((palette["rect"]["left"], palette["rect"]["top"]),
                         (picker["rect"]["left"], picker["rect"]["bottom"]), "the palette is not below the picker")
        children = sorted(palette["children"], key=lambda c: c["id"])
        entries = [c["text"] for c in children]
        self.assertEqual(entries, [name for name, _ in PALETTE] + [OTHER_COLOURS])
        self.assertNotIn("透明", entries)
        # Each swatch shows its colour.
        screen = grab()
        for c in children[:32]:
            colour = dict(PALETTE)[c["text"]]
            seen, share = screen.dominant(c["rect"]["left"] + 5, c["rect"]["top"] + 5,
                                          c["rect"]["width"] - 10, c["rect"]["height"] - 10, step=1)
            self.assertEqual(seen, rgb(colour), f"swatch {c['text']}")

        swatch = s.control(palette, CHOSEN_NAME, cls=None)
        s.click(*centre(swatch["rect"]))
        self.assertTrue(self.palette_gone(), "choosing a colour did not close the palette")
        settings = s.refresh(settings)
        self.assertIsNotNone(settings, "choosing a colour closed the settings window")

        self.expect_colours(self.settings_expectations(settings, CHOSEN, CHOSEN)
                            + self.main_expectations(CHOSEN) + self.remote_expectations(CHOSEN)
                            + self.advert_expectations(CHOSEN))
        self.assertEqual(read_user_settings(s.run_dir), {"皮肤": {"底色": str(stored(CHOSEN))}})

        self.close_settings(settings)
        self.assertTrue(s.refresh(main)["enabled"], "the main window stays disabled after the settings window")

        # The next start shows the stored colour on every window as it opens.
        self.restart()
        self.expect_colours(self.main_expectations(CHOSEN) + self.remote_expectations(CHOSEN)
                            + self.advert_expectations(CHOSEN), timeout=30)
        settings = self.open_settings()
        self.expect_colours(self.settings_expectations(settings, CHOSEN, CHOSEN))

        # 默认配色: the defaults of system.dll for this run, the stored colour gone.
        s.click(*centre(s.control(settings, "默认配色")["rect"]))
        self.expect_colours(self.settings_expectations(settings, DEFAULT, DEFAULT)
                            + self.main_expectations(DEFAULT, version=DEFAULT2)
                            + self.remote_expectations(DEFAULT) + self.advert_expectations(DEFAULT))
        self.assertIsNone(read_user_settings(s.run_dir), "默认配色 left userini.user")
        self.close_settings(settings)

        # And the start after that shows the windows' own colours, not system.dll's.
        self.restart()
        self.expect_colours(self.main_expectations(SHIPPED_BLUE, version=SHIPPED_VERSION)
                            + self.remote_expectations(SHIPPED_BLUE) + self.advert_expectations(SHIPPED_BLUE),
                            timeout=30)
        settings = self.open_settings()
        self.expect_colours(self.settings_expectations(settings, SHIPPED_BLUE, SHIPPED_BLUE))
        self.assertIsNone(read_user_settings(s.run_dir))


class PaletteTest(SettingsSteps, StationTestCase):
    def test_a_button_hidden_while_focused_leaves_the_activation_where_it_was(self):
        """消顶, pressed and released off it, keeps the focus; 设置 on the
        remote control hides it: the remote control stays the active window
        and takes the keys back when the settings window closes."""
        s = self.station
        remote = self.remote()
        main = s.find(MAIN_TITLE)
        s.click(*centre(s.control(main, "顶")["rect"]))
        deadline = time.monotonic() + 10
        while not (s.control(s.refresh(main), "消-顶") or {}).get("visible"):
            self.assertLess(time.monotonic(), deadline, "顶 did not put the main window on top")
            time.sleep(0.2)
        x, y = centre(s.control(s.refresh(main), "消-顶")["rect"])
        s.press(x, y)
        s.move(x, y + 120)
        s.release(x, y + 120)
        settings = self.open_settings()
        self.assertTrue(s.wait_foreground(settings))
        self.close_settings(settings)
        self.assertTrue(s.wait_foreground(remote), "the keys went back to another window than the remote control")

    def test_esc_and_a_press_outside_close_the_palette_without_a_choice(self):
        s = self.station
        settings = self.open_settings()
        _, palette = self.open_palette(settings)
        s.key("esc")
        self.assertTrue(self.palette_gone(), "Esc did not close the palette")
        self.assertIsNotNone(s.refresh(settings), "Esc on the palette closed the settings window too")

        _, palette = self.open_palette(settings)
        bare = self.areas(settings, SETTINGS_BARE)[0]
        s.click(bare[0] + 10, bare[1] + 10)
        self.assertTrue(self.palette_gone(), "a press outside did not close the palette")
        self.assertIsNotNone(s.refresh(settings))
        time.sleep(0.5)
        self.assertIsNone(read_user_settings(s.run_dir), "closing the palette stored a colour")
        self.expect_colours(self.settings_expectations(settings, SHIPPED_BLUE, SHIPPED_BLUE)
                            + self.main_expectations(SHIPPED_BLUE, version=SHIPPED_VERSION))

        # The keyboard: Space on the focused picker opens it, Enter takes the
        # highlighted colour (the current one, then one to the right).
        picker = self.picker(settings)
        s.click(*centre(picker["rect"]))
        self.assertIsNotNone(s.wait_window("颜色", cls=PALETTE_CLASS, timeout=60))
        s.key("esc")
        self.assertTrue(self.palette_gone())
        s.key("space")
        self.assertIsNotNone(s.wait_window("颜色", cls=PALETTE_CLASS, timeout=60), "Space opened no palette")
        s.key("right")
        s.key("enter")
        self.assertTrue(self.palette_gone())
        self.expect_colours(self.settings_expectations(settings, "#80A080", "#80A080"))  # 灰绿 follows 天蓝
        self.assertEqual(read_user_settings(s.run_dir), {"皮肤": {"底色": str(stored("#80A080"))}})

        # Esc now closes the settings window itself.
        s.key("esc")
        self.assertTrue(s.wait_gone(SETTINGS_TITLE, timeout=15), "Esc did not close the settings window")

    def test_other_colours_opens_the_system_dialog_with_the_current_colour(self):
        s = self.station
        settings = self.open_settings()
        _, palette = self.open_palette(settings)
        s.click(*centre(s.control(palette, OTHER_COLOURS, cls=None)["rect"]))
        self.assertTrue(self.palette_gone(), "the palette stays open beside the colour dialog")
        dialog = s.wait_window("颜色", cls=DIALOG_CLASS, timeout=60)
        self.assertIsNotNone(dialog, "其它颜色... opened no colour dialog")
        self.assertEqual(dialog["owner"], settings["hwnd"], "the dialog is not owned by the settings window")
        # Cancelled: nothing chosen.
        s.key("esc")
        self.assertTrue(s.wait_gone("颜色", cls=DIALOG_CLASS, timeout=10), "Esc did not close the colour dialog")
        self.assertIsNotNone(s.refresh(settings), "cancelling the dialog closed the settings window")
        time.sleep(0.5)
        self.assertIsNone(read_user_settings(s.run_dir))

        # OK at once takes the preselected colour: the picker's current one.
        _, palette = self.open_palette(settings)
        s.click(*centre(s.control(palette, OTHER_COLOURS, cls=None)["rect"]))
        dialog = s.wait_window("颜色", cls=DIALOG_CLASS, timeout=60)
        self.assertIsNotNone(dialog)
        s.key("enter")
        self.assertTrue(s.wait_gone("颜色", cls=DIALOG_CLASS, timeout=10), "Enter did not close the colour dialog")
        deadline = time.monotonic() + 10
        while read_user_settings(s.run_dir) is None and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(read_user_settings(s.run_dir), {"皮肤": {"底色": str(stored(SHIPPED_BLUE))}})


class OpenedUnderModalTest(SettingsSteps, StationTestCase):
    def test_a_window_a_colour_opens_waits_disabled_under_the_settings_window(self):
        """With the advert window closed, a colour chosen in the settings
        window opens it again: disabled until the settings window closes, the
        settings window still active, so Esc closes that one."""
        s = self.station
        advert = self.wait_advert_at_rest()
        s.click(*centre(s.control(advert, "关")["rect"]))
        self.assertTrue(s.wait_gone(ADVERT_TITLE), "关 did not close the advert window")
        settings = self.open_settings()
        self.choose(settings, CHOSEN_NAME)
        advert = s.wait_window(ADVERT_TITLE, timeout=15)
        self.assertIsNotNone(advert, "the colour did not open the advert window again")
        self.assertFalse(advert["enabled"], "a window opened under the settings window takes input")
        self.assertTrue(s.wait_foreground(settings), "the settings window lost the activation")
        s.key("esc")
        self.assertTrue(s.wait_gone(SETTINGS_TITLE), "Esc did not close the settings window")
        advert = s.refresh(advert)
        self.assertTrue(advert and advert["visible"] and advert["enabled"],
                        f"the advert window is not back to normal: {advert}")


class TabsTest(SettingsSteps, StationTestCase):
    # The tabs' captions, the middle of each from the tab box's left edge:
    # the strip starts 2 pixels in and each tab is its caption plus 16.
    TAB_X = {"皮肤": 22, "小工具": 68, "其他": 114}
    SKIN_PAGE = ["官方微博：", "默认配色", "背景颜色:"]

    def visible_on_pages(self, settings):
        """The shown controls that lie on the tab box's page area."""
        out = []
        box_left, box_top = TAB_BOX[0], TAB_BOX[1] + 24
        for c in flatten(settings):
            r = c["client_rect"]
            if c["class"] != "StationControl" or not c["visible"]:
                continue
            if (r["left"], r["top"], r["width"], r["height"]) == TAB_BOX:
                continue
            if (r["left"] >= box_left and r["top"] >= box_top and r["right"] <= TAB_BOX[0] + TAB_BOX[2]
                    and r["bottom"] <= TAB_BOX[1] + TAB_BOX[3]):
                out.append(c)
        return out

    def select(self, settings, tab):
        s = self.station
        s.click(settings["rect"]["left"] + TAB_BOX[0] + self.TAB_X[tab], settings["rect"]["top"] + TAB_BOX[1] + 10)

    def test_only_the_skin_tab_has_controls_the_others_show_only_a_placeholder(self):
        s = self.station
        settings = self.open_settings()
        shown = self.visible_on_pages(settings)
        texts = [c["text"] for c in shown]
        for caption in self.SKIN_PAGE:
            self.assertIn(caption, texts)
        self.assertNotIn("待开放", texts, "a placeholder shows on the first tab")
        self.assertEqual(len(shown), 5, f"the first tab shows {texts}")

        placeholders = set()
        for tab in ("小工具", "其他"):
            with self.subTest(tab=tab):
                self.select(settings, tab)
                deadline = time.monotonic() + 10
                while True:
                    settings = s.refresh(settings)
                    shown = self.visible_on_pages(settings)
                    if [c["text"] for c in shown] == ["待开放"] or time.monotonic() > deadline:
                        break
                    time.sleep(0.2)
                self.assertEqual([c["text"] for c in shown], ["待开放"], f"tab {tab} shows")
                label = shown[0]
                placeholders.add(label["hwnd"])
                self.assertEqual((label["client_rect"]["left"], label["client_rect"]["top"]),
                                 (TAB_BOX[0] + 40, TAB_BOX[1] + 64))
                # Its text is painted in its colour; nothing of the first page is.
                r = label["rect"]
                ok, screen = wait_for(lambda sc: sc.share(rgb("#FF5080"), r["left"], r["top"], r["width"],
                                                          r["height"], step=1) > 0.02, timeout=10)
                self.assertTrue(ok, f"the placeholder of {tab} is not painted")
                page = self.areas(settings, [(TAB_BOX[0], TAB_BOX[1] + 24, TAB_BOX[2], TAB_BOX[3] - 24)])[0]
                self.assertEqual(screen.share(rgb("#369528"), *page), 0.0, "默认配色 still shows")
        self.assertEqual(len(placeholders), 2, "both tabs show the same placeholder control")

        self.select(settings, "皮肤")
        deadline = time.monotonic() + 10
        while True:
            settings = s.refresh(settings)
            texts = [c["text"] for c in self.visible_on_pages(settings)]
            if len(texts) == 5 or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        self.assertEqual(len(texts), 5, f"back on the first tab: {texts}")
        self.assertNotIn("待开放", texts)


if __name__ == "__main__":
    unittest.main()
