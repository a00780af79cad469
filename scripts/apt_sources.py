#!/usr/bin/env python3
"""Source-package entries for this machine's own Debian archive.

scripts/setup.sh fetches Debian's libjpeg-turbo source with a private
sources list, so the system's apt configuration stays untouched. The address
of the archive is not the project's to choose: this machine may use a mirror,
a proxy or a snapshot. This script reads the machine's apt configuration
(sources.list and sources.list.d/*.list in the one-line format,
sources.list.d/*.sources in the deb822 format), keeps the enabled entries of
the machine's Debian release (its suite, or suites named after it such as
"<codename>-updates", or entries signed by Debian's archive keyring) and
prints one "deb-src" line for each, with the same address, suite, components
and signed-by key.

    python3 scripts/apt_sources.py [--apt-dir /etc/apt] [--os-release /etc/os-release]

Exit status 0 with the lines on stdout; 1 with an error on stderr when no
entry was found.
"""

import argparse
import os
import re
import sys
from pathlib import Path

DEBIAN_KEYRING = "debian-archive-keyring"


class Entry:
    def __init__(self, types, uris, suites, components, options):
        self.types = types            # {"deb", "deb-src"}
        self.uris = uris              # [uri, ...]
        self.suites = suites          # [suite, ...]
        self.components = components  # [component, ...]
        self.options = options        # {name (lower case): value}

    def signed_by(self):
        return self.options.get("signed-by", "")


def parse_one_line(text):
    """Entries of a sources.list file: "deb [opt=val ...] URI SUITE [COMPONENT...]"."""
    entries = []
    for raw in text.splitlines():
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        m = re.match(r"^(deb|deb-src)\s+(?:\[([^\]]*)\]\s*)?(\S+)\s+(\S+)\s*(.*)$", line)
        if not m:
            continue
        options = {}
        for item in (m.group(2) or "").split():
            name, _, value = item.partition("=")
            options[name.lower()] = value
        entries.append(Entry({m.group(1)}, [m.group(3)], [m.group(4)], m.group(5).split(), options))
    return entries


def parse_deb822(text):
    """Entries of a .sources file: paragraphs of "Field: value" lines, a
    continuation line starting with a blank; "Enabled: no" turns one off."""
    entries = []
    for paragraph in re.split(r"\n\s*\n", text):
        fields = {}
        name = None
        for raw in paragraph.splitlines():
            if raw.startswith("#"):
                continue
            if raw[:1] in (" ", "\t") and name:
                fields[name] += "\n" + raw.strip()
                continue
            key, colon, value = raw.partition(":")
            if not colon:
                continue
            name = key.strip().lower()
            fields[name] = value.strip()
        if not fields.get("types") or not fields.get("uris") or not fields.get("suites"):
            continue
        if fields.get("enabled", "yes").strip().lower() in ("no", "false", "0"):
            continue
        options = {k: v for k, v in fields.items() if k not in ("types", "uris", "suites", "components")}
        entries.append(Entry(set(fields["types"].split()), fields["uris"].split(), fields["suites"].split(),
                             fields.get("components", "").split(), options))
    return entries


def read_entries(apt_dir):
    """Every entry apt itself would read: sources.list, then the .list and
    .sources files of sources.list.d in name order (other names are ignored,
    as apt ignores them)."""
    apt_dir = Path(apt_dir)
    entries = []
    main = apt_dir / "sources.list"
    if main.is_file():
        entries += parse_one_line(main.read_text(encoding="utf-8", errors="replace"))
    parts = apt_dir / "sources.list.d"
    if parts.is_dir():
        for path in sorted(parts.iterdir()):
            if not path.is_file() or not re.fullmatch(r"[A-Za-z0-9_.-]+", path.name):
                continue
            if path.suffix == ".list":
                entries += parse_one_line(path.read_text(encoding="utf-8", errors="replace"))
            elif path.suffix == ".sources":
                entries += parse_deb822(path.read_text(encoding="utf-8", errors="replace"))
    return entries


def codename(os_release):
    try:
        text = Path(os_release).read_text(encoding="utf-8", errors="replace")
    except OSError:
        return ""
    m = re.search(r'^VERSION_CODENAME="?([^"\n]*)"?\s*$', text, re.M)
    return m.group(1).strip() if m else ""


def is_debian_suite(entry, suite, release):
    if suite.endswith("/"):
        return False  # a flat repository, not an archive
    if release and (suite == release or suite.startswith(release + "-") or suite.startswith(release + "/")):
        return True
    return DEBIAN_KEYRING in os.path.basename(entry.signed_by())


def source_lines(entries, release):
    """The deb-src lines for the Debian entries, each once, in order."""
    lines = []
    for entry in entries:
        if not entry.types & {"deb", "deb-src"} or not entry.components:
            continue
        signed_by = entry.signed_by()
        # A key written into the entry itself has no one-line form.
        option = f"[signed-by={signed_by}] " if signed_by and "\n" not in signed_by else ""
        for uri in entry.uris:
            if uri.startswith("cdrom:"):
                continue
            for suite in entry.suites:
                if is_debian_suite(entry, suite, release):
                    line = f"deb-src {option}{uri} {suite} {' '.join(entry.components)}"
                    if line not in lines:
                        lines.append(line)
    return lines


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--apt-dir", default="/etc/apt")
    parser.add_argument("--os-release", default="/etc/os-release")
    args = parser.parse_args(argv)
    release = codename(args.os_release)
    lines = source_lines(read_entries(args.apt_dir), release)
    if not lines:
        where = f"{args.apt_dir}/sources.list, {args.apt_dir}/sources.list.d/*.list or *.sources"
        print(f"no enabled Debian package source{' for ' + release if release else ''} was found in {where}.\n"
              f"Add your Debian archive there, e.g. the line\n"
              f"    deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] URI {release or 'SUITE'} main\n"
              f"with URI the address of your Debian mirror, then run apt-get update and this again.",
              file=sys.stderr)
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
