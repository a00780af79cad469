"""What the X display shows, for colour checks of the end-to-end tests: one
screenshot of the whole screen (ImageMagick's `import`, raw RGB) read many
times, instead of one probe run per pixel."""

import collections
import os
import subprocess
import time


def rgb(hex_colour):
    """#RRGGBB (or 0xRRGGBB) as an (r, g, b) tuple."""
    v = int(str(hex_colour).lstrip("#"), 16)
    return ((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF)


def stored(hex_colour):
    """The colour as the settings file stores it: 0x00BBGGRR, in decimal."""
    r, g, b = rgb(hex_colour)
    return r | (g << 8) | (b << 16)


class Screen:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def colours(self, left, top, width, height, step=2):
        """Counter of the colours in a screen rectangle (clipped to the screen),
        every `step`-th pixel each way."""
        count = collections.Counter()
        for y in range(max(top, 0), min(top + height, self.height), step):
            for x in range(max(left, 0), min(left + width, self.width), step):
                count[self.pixel(x, y)] += 1
        return count

    def dominant(self, left, top, width, height, step=2):
        """The most frequent colour of the rectangle and its share (0..1)."""
        count = self.colours(left, top, width, height, step)
        if not count:
            return None, 0.0
        colour, n = count.most_common(1)[0]
        return colour, n / sum(count.values())

    def share(self, colour, left, top, width, height, step=2):
        count = self.colours(left, top, width, height, step)
        total = sum(count.values())
        return count[colour] / total if total else 0.0


def grab(width=1366, height=768, display=None):
    display = display or os.environ.get("DISPLAY", "")
    r = subprocess.run(["import", "-display", display, "-window", "root", "-depth", "8", "rgb:-"],
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    if r.returncode != 0 or len(r.stdout) != width * height * 3:
        raise RuntimeError(f"screenshot failed ({r.returncode}, {len(r.stdout)} bytes): "
                           f"{r.stderr.decode('utf-8', 'replace')[-500:]}")
    return Screen(width, height, r.stdout)


def wait_for(check, timeout=15, interval=0.3):
    """Grabs the screen until check(screen) returns a true value (returned
    with the screen), or the time is up (the last result and screen)."""
    deadline = time.monotonic() + timeout
    while True:
        screen = grab()
        result = check(screen)
        if result or time.monotonic() >= deadline:
            return result, screen
        time.sleep(interval)
