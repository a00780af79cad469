"""Screens of station.exe at rest, for comparing two builds pixel by pixel
(a change meant to leave the look alone): each state below is shot from
the root window of a private Xvfb display at 96 DPI into OUTDIR.

    python3 tests/e2e/screens.py OUTDIR          the build in STATION_RUNDIR
    python3 tests/e2e/screens.py --compare A B   the differing pixels of each pair

Runs as the end-to-end tests do (scripts/windows-tests.sh sets DISPLAY; the
harness needs the probe of the Windows tree)."""

import subprocess
import sys
import time
from pathlib import Path

from station_e2e import MAIN_TITLE, Station, centre
from test_pictures import long_first_frame

SCREEN = (1366, 768)
ADVERT_TITLE = "支持一下广告吧，谢谢！"


def shoot(s, out, name):
    s.settle()
    time.sleep(1)  # the advert's slide and the last paints
    path = out / f"{name}.png"
    subprocess.run(["import", "-display", s.env["DISPLAY"], "-window", "root", str(path)], check=True, timeout=30)
    print(path)


def click(s, caption):
    main = s.find(MAIN_TITLE)
    s.click(*centre(s.control(main, caption)["rect"]))


def hold_advert_picture(run_dir, site_dir):
    """The advert picture's first frame held, so every shot shows that frame."""
    picture = site_dir / "bofang" / "ad" / "ad256-56.gif"
    picture.write_bytes(long_first_frame(picture.read_bytes()))


def shoot_all(out):
    out.mkdir(parents=True, exist_ok=True)
    with Station("screens", screen=SCREEN, prepare=hold_advert_picture) as s:
        s.wait_at_rest(ADVERT_TITLE)
        shoot(s, out, "start")
        click(s, "顶")
        shoot(s, out, "pinned")
        click(s, "消-顶")
        click(s, "设")
        s.choose("小窗口")
        shoot(s, out, "small")
        click(s, "设")
        s.choose("正常窗口")
        click(s, "扩")
        shoot(s, out, "maximized")
        click(s, "消-扩")
        shoot(s, out, "restored")


def compare(first, second):
    differing = 0
    for a in sorted(Path(first).glob("*.png")):
        b = Path(second) / a.name
        r = subprocess.run(["compare", "-metric", "AE", str(a), str(b), "null:"], capture_output=True, text=True)
        pixels = r.stderr.strip()
        print(f"{a.name}: {pixels} differing pixels")
        differing += 0 if pixels == "0" else 1
    return differing


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--compare":
        sys.exit(1 if compare(sys.argv[2], sys.argv[3]) else 0)
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    shoot_all(Path(sys.argv[1]))
