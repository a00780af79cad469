"""Helpers for the end-to-end tests of the station's content: the manifests
the demo station serves, the program's menus and information boxes, and a
recorder that stands in for the web browser.

How an address reaches the "browser" under Wine 8
    The program opens an address with ShellExecuteA("open", address). For an
    http, https or ftp address Wine's shell runs the command registered under
    HKCR\\<scheme>\\shell\\open\\command, which in a Wine prefix is
    `"C:\\windows\\system32\\winebrowser.exe" "%1"` (a double quote inside
    the address closes that "%1", so what follows it reaches winebrowser as
    further arguments). winebrowser parses the address (a host without a
    path gets its "/": "http://host" arrives as "http://host/"; blanks become
    %20; tabs are dropped), then starts the first program of the
    comma-separated list in HKCU\\Software\\Wine\\WineBrowser "Browsers" that
    starts at all, as a Unix program, with the address as its one argument
    ("mailto:" addresses go to the list in "Mailers" instead).
    `install_browser_recorder` points both lists at a small shell script that
    appends each address it is given to a file, so a test reads what the
    program handed to the browser. The value is written into the private
    prefix's user.reg before its wineserver starts (the Station's `prepare`
    runs before any Wine program), so no `wine reg add` run is needed.
"""

import os
import re
import time
import unittest
from pathlib import Path

from station_e2e import MAIN_TITLE, PORT, ROOT, RUNDIR, centre, flatten

ORIGIN = f"http://127.0.0.1:{PORT}"
INFO_CAPTION = "信息："
MESSAGE_BOX_CLASS = "#32770"
SS_TYPEMASK = 0x1F
SS_ICON = 0x03
RECORD_NAME = "browser-addresses.txt"
RECORDER_NAME = "browser-recorder.sh"


# ------------------------------------------------------------ manifests ---

def notice_manifest(ad=None, ad1=None, ad1_url=None, ad2_url=None, raw_lines=()):
    """The notice manifest as GBK bytes; None leaves an element or attribute
    out. Values are written as given (escape them yourself)."""
    lines = ['<?xml version="1.0" encoding="gb2312"?>', "<yun>"]
    if ad is not None:
        lines.append(f'<ad neirong="{ad}"/>')
    if ad1 is not None or ad1_url is not None:
        attrs = ""
        if ad1 is not None:
            attrs += f' neirong="{ad1}"'
        if ad1_url is not None:
            attrs += f' url="{ad1_url}"'
        lines.append(f"<ad1{attrs}/>")
    if ad2_url is not None:
        lines.append(f'<ad2 url="{ad2_url}"/>')
    lines.extend(raw_lines)
    lines.append("</yun>")
    return ("\n".join(lines) + "\n").encode("gbk")


def update_manifest(version, notes=None, address=None, encoding="gbk"):
    """The update manifest (GBK unless told otherwise)."""
    attrs = f' 版本号="{version}"' if version is not None else ""
    if notes is not None:
        attrs += f' 升级说明="{notes}"'
    if address is not None:
        attrs += f' 下载地址="{address}"'
    text = f'<?xml version="1.0" encoding="gb2312"?>\n<最新版本>\n<版本信息{attrs}/>\n</最新版本>\n'
    return text.encode(encoding)


def long_address(length):
    """An address of the station's origin, padded to length bytes."""
    return f"{ORIGIN}/" + "a" * (length - len(ORIGIN) - 1)


def write_site_file(site_dir, rel, data):
    path = Path(site_dir, *rel.split("/"))
    path.parent.mkdir(parents=True, exist_ok=True)
    tmp = path.with_name(path.name + ".new")
    tmp.write_bytes(data)
    os.replace(tmp, path)  # the server never reads half a file
    return path


NOTICE_PATH = "bofang/ad/tingweitz.xml"
PICTURE_PATH = "bofang/ad/ad256-56.gif"
UPDATE_PATH = "dedazizova/dodezazoz.xml"


def solid_gif(rgb, width=256, height=56):
    """A one-frame GIF of one colour, made by the demo station's own encoder."""
    import sys
    sys.path.insert(0, str(ROOT / "demo-station"))
    import make_advert_gif
    return make_advert_gif.encode_gif(width, height, [tuple(rgb), (0, 0, 0)],
                                      [[[0] * width for _ in range(height)]], 0)


# -------------------------------------------------------- the recorder ---

def install_browser_recorder(run_dir):
    """Makes this station's private Wine prefix hand every browser address to
    a script that records it. Call from a Station's prepare. Returns the path
    of the record file (created empty)."""
    tmp = Path(run_dir).parent
    prefix = tmp / "cache" / "wineprefix"
    if not (prefix / "user.reg").is_file():
        raise unittest.SkipTest("the browser recorder needs the station's private Wine prefix")
    record = tmp / RECORD_NAME
    record.write_bytes(b"")
    script = tmp / RECORDER_NAME
    # One line per address; the address is the script's last argument.
    script.write_text('#!/bin/sh\nfor last; do :; done\nprintf \'%s\\n\' "$last" >> "' + str(record) + '"\n')
    script.chmod(0o755)
    if re.search(r'[\s,"\\]', str(script)):
        raise unittest.SkipTest(f"the recorder's path cannot stand in the browser list: {script}")
    with open(prefix / "user.reg", "a", encoding="utf-8", newline="\n") as reg:
        reg.write(f'\n[Software\\\\Wine\\\\WineBrowser] 1700000000\n"Browsers"="{script}"\n"Mailers"="{script}"\n')
    return record


def recorded(station):
    """The addresses the browser was given so far, in order."""
    path = station.tmp / RECORD_NAME
    if not path.exists():
        return []
    return [line for line in path.read_bytes().decode("utf-8", "replace").split("\n") if line]


def wait_recorded(station, count, timeout=20):
    """Waits until at least count addresses were recorded; returns them all."""
    deadline = time.monotonic() + timeout
    while True:
        got = recorded(station)
        if len(got) >= count or time.monotonic() >= deadline:
            return got
        time.sleep(0.2)


def as_browser_gets(address):
    """An address as winebrowser hands it on: a host alone gets its "/"."""
    m = re.match(r"^([a-z]+://[^/]+)$", address, re.I)
    return m.group(1) + "/" if m else address


# ------------------------------------------------------------ controls ---

def control_at(window, left, top, width, height):
    """The window's control with this client rectangle, or None."""
    for c in flatten(window):
        r = c["client_rect"]
        if (r["left"], r["top"], r["width"], r["height"]) == (left, top, width, height):
            return c
    return None


def wait_control_text(station, window_title, rect, want, timeout=20):
    """Waits until the control at rect shows `want`; returns the last text."""
    deadline = time.monotonic() + timeout
    text = None
    while True:
        window = station.find(window_title)
        c = control_at(window, *rect) if window else None
        text = c["text"] if c else None
        if text == want or time.monotonic() >= deadline:
            return text
        time.sleep(0.3)


# --------------------------------------------------------------- menus ---

def choose_from_open_menu(test, station, text, expect_items=None):
    """Chooses the item `text` of the one open popup menu with the keyboard
    (Down once per item up to it, then Enter) and waits for the menu to go."""
    menus = station.wait_menu(timeout=10)
    test.assertEqual(len(menus), 1, f"expected one open menu, got {menus}")
    items = station.item_texts(menus[0])
    if expect_items is not None:
        test.assertEqual(items, expect_items)
    test.assertIn(text, items, f"no item {text!r} in {items}")
    steps = [t for t in items if t != "-"].index(text) + 1
    for _ in range(steps):
        station.key("down")
    station.key("enter")
    test.assertTrue(station.wait_no_menu(timeout=10), f"the menu stayed open after choosing {text!r}")


def open_tray_menu(test, station):
    """Right press and release on the main window's banner: the menu 托盘."""
    main = station.find(MAIN_TITLE)
    test.assertIsNotNone(main, "no visible main window")
    banner = station.control(main, MAIN_TITLE)
    x, y = banner["rect"]["left"] + 40, banner["rect"]["top"] + 20
    station.press(x, y, "right")
    menus = station.wait_menu(timeout=10)
    station.release(x, y, "right")
    test.assertEqual(len(menus), 1, "the right press on the banner opened no menu")
    return menus[0]


def choose_tray_item(test, station, text):
    open_tray_menu(test, station)
    choose_from_open_menu(test, station, text)


# ----------------------------------------------------- information box ---

def wait_info_box(station, timeout=30):
    """The program's information box ("信息：") once it shows, or None."""
    return station.wait_window(INFO_CAPTION, cls=MESSAGE_BOX_CLASS, timeout=timeout)


def box_parts(box):
    """(text, buttons, icons) of a message box from the probe."""
    texts = [c["text"] for c in box["children"] if c["class"] == "Static"
             and (c["style"] & SS_TYPEMASK) != SS_ICON]
    buttons = [c for c in box["children"] if c["class"] == "Button" and c["visible"]]
    icons = [c for c in box["children"] if c["class"] == "Static" and (c["style"] & SS_TYPEMASK) == SS_ICON]
    return ("".join(texts), buttons, icons)


def dismiss_box(test, station, box):
    """Clicks the box's only button and waits until the box has gone."""
    _, buttons, _ = box_parts(box)
    test.assertEqual(len(buttons), 1, f"the box has not exactly one button: {buttons}")
    station.click(*centre(buttons[0]["rect"]))
    test.assertTrue(station.wait_gone(INFO_CAPTION, cls=MESSAGE_BOX_CLASS, timeout=15),
                    "the information box stayed open after its button was clicked")


# ------------------------------------------------------- build settings ---

def build_config():
    """The build's link addresses (generated/station_config.h beside the run
    directory), with the project's defaults where the file cannot be read."""
    values = {
        "kOfficialSiteAddress": "http://www.tingwei.example",
        "kPortalSiteAddress": "http://www.tingweidiqu.example",
        "kSisterSiteAddress": "http://wei.tingwei.example",
        "kCityEncyclopediaAddress": "http://fengao.baike.example",
        "kRegionEncyclopediaAddress": "http://tingwei.baike.example",
        "kMicroblogAddress": "http://weibo.example/tingweitv",
        "kMicroblogDisplayName": "汀蔚网络视听台",
    }
    header = Path(RUNDIR).resolve().parent / "generated" / "station_config.h"
    try:
        text = header.read_text(encoding="utf-8")
    except OSError:
        return values
    for name, value in re.findall(r'(k[A-Za-z]+)\s*=\s*"([^"]*)"', text):
        values[name] = value
    return values

