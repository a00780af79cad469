"""Tests of scripts/apt_sources.py: the source-package entries setup.sh
derives from a machine's apt configuration, in both formats."""

import contextlib
import io
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))

import apt_sources  # noqa: E402

KEY = "/usr/share/keyrings/debian-archive-keyring.gpg"


def machine_archive():
    """The first archive this machine's own apt uses; which server it is does
    not matter to the rules under test, so the entries below are built on it
    rather than on a server named here. A machine without one: a local
    directory archive."""
    for entry in apt_sources.read_entries("/etc/apt"):
        for uri in entry.uris:
            if not uri.startswith("cdrom:"):
                return uri.rstrip("/")
    return "file:/srv/debian"


ARCHIVE = machine_archive()


class AptTree:
    """A throw-away /etc/apt with an os-release beside it."""

    def __init__(self, files, release="bookworm"):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = Path(self.tmp.name) / "apt"
        (self.dir / "sources.list.d").mkdir(parents=True)
        for name, text in files.items():
            (self.dir / name).write_text(text)
        self.os_release = Path(self.tmp.name) / "os-release"
        self.os_release.write_text(f'ID=debian\nVERSION_CODENAME={release}\n')

    def run(self):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            code = apt_sources.main(["--apt-dir", str(self.dir), "--os-release", str(self.os_release)])
        self.tmp.cleanup()
        return code, out.getvalue().splitlines(), err.getvalue()


class AptSources(unittest.TestCase):
    def test_one_line_format(self):
        code, lines, _ = AptTree({"sources.list": f"""
# deb {ARCHIVE}/old bookworm main
deb [ arch=amd64 signed-by={KEY} ] {ARCHIVE} bookworm main contrib # comment
deb-src {ARCHIVE} bookworm main contrib
deb {ARCHIVE}-security bookworm-security main
deb {ARCHIVE}/vendor/apt cloud-sdk-bookworm main
deb cdrom:[Debian 12]/ bookworm main
deb {ARCHIVE}/local/repo ./
""", "sources.list.d/extra.list": f"deb {ARCHIVE}/proxied bookworm-updates main\n",
            "sources.list.d/old.list.disabled": f"deb {ARCHIVE}/disabled bookworm main\n"}).run()
        self.assertEqual(code, 0)
        self.assertEqual(lines, [
            f"deb-src [signed-by={KEY}] {ARCHIVE} bookworm main contrib",
            f"deb-src {ARCHIVE} bookworm main contrib",
            f"deb-src {ARCHIVE}-security bookworm-security main",
            f"deb-src {ARCHIVE}/proxied bookworm-updates main",
        ])

    def test_deb822_format(self):
        code, lines, _ = AptTree({"sources.list.d/debian.sources": f"""Types: deb deb-src
# a comment inside the paragraph
URIs: {ARCHIVE}/archive/20250520T000000Z
Suites: bookworm bookworm-updates
Components: main non-free-firmware
Signed-By: {KEY}

Types: deb
URIs: {ARCHIVE}/off
Suites: bookworm
Components: main
Enabled: no

Types: deb
URIs: {ARCHIVE}/vendor/node
Suites: nodistro
Components: main
Signed-By: /usr/share/keyrings/vendor.gpg

Types: deb
URIs: {ARCHIVE}
Suites: stable
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.pgp

Types: deb
URIs: {ARCHIVE}/inline
Suites: bookworm
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----
""", "sources.list.d/vendor.sources.disabled-by-farm": f"Types: deb\nURIs: {ARCHIVE}/x/\nSuites: bookworm\n"
            "Components: main\n"}).run()
        self.assertEqual(code, 0)
        self.assertEqual(lines, [
            f"deb-src [signed-by={KEY}] {ARCHIVE}/archive/20250520T000000Z bookworm main non-free-firmware",
            f"deb-src [signed-by={KEY}] {ARCHIVE}/archive/20250520T000000Z bookworm-updates main non-free-firmware",
            f"deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.pgp] {ARCHIVE} stable main",
            f"deb-src {ARCHIVE}/inline bookworm main",
        ])

    def test_nothing_found_says_what_to_add(self):
        code, lines, err = AptTree({"sources.list": f"deb {ARCHIVE}/vendor/apt nodistro main\n"},
                                   release="trixie").run()
        self.assertEqual((code, lines), (1, []))
        self.assertIn("no enabled Debian package source for trixie", err)
        self.assertIn("sources.list.d/*.list or *.sources", err)
        self.assertIn("deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] URI trixie main", err)


if __name__ == "__main__":
    unittest.main()
