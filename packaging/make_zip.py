#!/usr/bin/env python3
"""Zips a folder so that the same files always give the same archive.

    python3 make_zip.py FOLDER OUTPUT.zip

Entries are FOLDER's own name followed by the relative path, sorted, with one
fixed time (2024-01-01 00:00) and plain permissions (rwxr-xr-x for .exe,
rw-r--r-- for the rest), no extra fields: nothing of the build machine,
nor of the moment, ends up in the archive.
"""

import sys
import zipfile
from pathlib import Path

FIXED_TIME = (2024, 1, 1, 0, 0, 0)


def main(argv):
    if len(argv) != 3:
        print("usage: make_zip.py FOLDER OUTPUT.zip", file=sys.stderr)
        return 2
    folder, output = Path(argv[1]), Path(argv[2])
    paths = sorted(p for p in folder.rglob("*"))
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in [folder] + paths:
            name = (Path(folder.name) / path.relative_to(folder)).as_posix()
            if path.is_dir():
                info = zipfile.ZipInfo(name + "/", FIXED_TIME)
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
            else:
                info = zipfile.ZipInfo(name, FIXED_TIME)
                mode = 0o755 if path.suffix.lower() == ".exe" else 0o644
                info.external_attr = (0o100000 | mode) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, path.read_bytes(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
