#!/usr/bin/env python3
"""Writes the demo station's content folder (demo-station/site).

The files are committed; this script is their source, so that the GBK bytes
of the manifests and pages never depend on an editor's idea of encodings.
Run it after changing a text below, then check the result in:

    python3 demo-station/make_site.py [SITE_DIR]

What it writes, relative to the site folder:

    bofang/index.html          player page (GBK HTML, declares its charset)
    bofang/ad/ad.php           advert pages 1 to 3 (GBK HTML)
    bofang/ad/ad2.php
    bofang/ad/ad3.php
    bofang/cchat.swf           chat page: a minimal valid SWF (one blank frame)
    bofang/ad/tingweitz.xml    notice manifest (GBK XML)
    dedazizova/dodezazoz.xml   update manifest (GBK XML)
    bofang/ad/ad256-56.gif     advert picture (make_advert_gif.py)

The client reads the manifests with a small reader of its own: one tag per
line, attributes separated by single blanks, values in double quotes.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import make_advert_gif  # noqa: E402

DEFAULT_SITE = os.path.join(HERE, "site")
DEMO_ORIGIN = "http://127.0.0.1:18480"

STATION_TITLE = "汀蔚网络视听台"

NOTICE_MANIFEST = f"""<?xml version="1.0" encoding="gb2312"?>
<yun>
<ad neirong="欢迎收听收看{STATION_TITLE}！每晚八点直播地方新闻，敬请关注。"/>
<ad1 neirong="听众点歌热线" url="{DEMO_ORIGIN}/bofang/ad/ad2.php"/>
<ad2 url="{DEMO_ORIGIN}/bofang/ad/ad3.php"/>
</yun>
"""

UPDATE_MANIFEST = f"""<?xml version="1.0" encoding="gb2312"?>
<最新版本>
<版本信息 版本号="1.3" 升级说明="修正了遥控窗口停靠的问题#换行符新增刷新公告按钮" 下载地址="{DEMO_ORIGIN}/bofang/"/>
</最新版本>
"""


def page(title, body, background="#0088FF", colour="#FFFFFF"):
    return f"""<!DOCTYPE html>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gbk">
<title>{title}</title>
<style>
body {{ margin: 0; padding: 12px; background: {background}; color: {colour};
       font-family: "Microsoft YaHei", SimSun, sans-serif; }}
h1 {{ font-size: 20px; margin: 0 0 8px 0; }}
p {{ font-size: 14px; line-height: 1.6; margin: 4px 0; }}
a {{ color: {colour}; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


PLAYER_PAGE = page(
    f"{STATION_TITLE} - 在线直播",
    f"""<h1>{STATION_TITLE}</h1>
<p>正在直播：本地新闻联播</p>
<p>节目单：08:00 早间新闻 · 12:00 午间音乐 · 20:00 地方新闻 · 22:00 夜话</p>
<div id="player" style="width:760px;height:400px;background:#000;color:#888;text-align:center;line-height:400px">播放器（演示台）</div>
""",
    background="#061A40")

ADVERT_PAGES = {
    "ad.php": page("广告一", f"""<h1>第一条广告</h1>
<p>{STATION_TITLE}诚招广告合作伙伴。</p>
<p>联系电话：0000-0000000（演示）</p>
"""),
    "ad2.php": page("广告二", """<h1>第二条广告</h1>
<p>听众点歌热线全天开通，欢迎参与。</p>
""", background="#3CB371"),
    "ad3.php": page("广告三", """<h1>第三条广告</h1>
<p>本地商家优惠信息，每周更新。</p>
""", background="#FA1F56"),
}


def minimal_swf(width_px=732, height_px=416, rgb=(0x00, 0x88, 0xFF)):
    """An uncompressed SWF (version 6) with one frame of background colour."""
    def rect(xmin, xmax, ymin, ymax):
        values = [xmin, xmax, ymin, ymax]
        nbits = max(v.bit_length() for v in values) + 1  # signed fields
        bits = format(nbits, "05b") + "".join(format(v, f"0{nbits}b") for v in values)
        bits += "0" * (-len(bits) % 8)
        return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

    def tag(code, payload=b""):
        return struct.pack("<H", (code << 6) | len(payload)) + payload  # short header

    body = rect(0, width_px * 20, 0, height_px * 20)  # twips
    body += struct.pack("<HH", 12 << 8, 1)  # 12 frames per second (8.8), one frame
    body += tag(9, bytes(rgb))  # SetBackgroundColor
    body += tag(1)  # ShowFrame
    body += tag(0)  # End
    return b"FWS" + bytes([6]) + struct.pack("<I", 8 + len(body)) + body


def site_files():
    """Maps each path below the site folder to its bytes."""
    files = {
        "bofang/index.html": PLAYER_PAGE.encode("gbk"),
        "bofang/cchat.swf": minimal_swf(),
        "bofang/ad/tingweitz.xml": NOTICE_MANIFEST.encode("gbk"),
        "dedazizova/dodezazoz.xml": UPDATE_MANIFEST.encode("gbk"),
        "bofang/ad/ad256-56.gif": make_advert_gif.make_advert_gif(),
    }
    for name, text in ADVERT_PAGES.items():
        files["bofang/ad/" + name] = text.encode("gbk")
    return files


def write_site(site_dir):
    for rel, data in sorted(site_files().items()):
        path = os.path.join(site_dir, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print(f"wrote {path} ({len(data)} bytes)")


if __name__ == "__main__":
    write_site(sys.argv[1] if len(sys.argv) > 1 else DEFAULT_SITE)
