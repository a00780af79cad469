"""The release installer under Wine: a silent install (/S) for the current
user into a private prefix, the installed files, Start-menu entry and
uninstall registration, the installed station.exe's resources and its start
from the installation folder, then a silent uninstall.

The installer is what the target "package" of the Release tree makes
(scripts/package.sh, or scripts/test.sh before the tests):
STATION_PACKAGE_DIR/station-VERSION-setup.exe, by default in
build/release/package. Set STATION_INSTALLER to test another one.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile
from pathlib import Path

from certificates import issue, make_authority, openssl
from station_e2e import MAIN_TITLE, ROOT, WINE_RUN, Station, StationTestCase

VERSION = "1.3"
PRODUCT = "汀蔚网络视听台"
FOLDER = "TingweiStation"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TingweiStation"
ADVERT_TITLE = "支持一下广告吧，谢谢！"
REMOTE_TITLE = "遥控器"

PACKAGE_DIR = Path(os.environ.get("STATION_PACKAGE_DIR") or ROOT / "build" / "release" / "package")
INSTALLER = Path(os.environ.get("STATION_INSTALLER") or PACKAGE_DIR / f"station-{VERSION}-setup.exe")
STAGED_EXE = PACKAGE_DIR / f"station-{VERSION}" / "station.exe"
# The run directory the packages were made from.
RUNDIR = PACKAGE_DIR.parent / "run"

SUPPORTED_OS = {
    "e2011457-1546-43c5-a5fe-008deee3d3f0",  # Vista
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a",  # 7
    "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",  # 8
    "1f676c76-80e1-4239-95bb-83d0f6d0da78",  # 8.1
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",  # 10
}


class InstalledStation(Station):
    """A Station whose program is not the run directory's copy: launch() runs
    the installer silently in the private prefix, then starts the installed
    station.exe from its installation folder."""

    installer = INSTALLER
    installer_status = None
    install_seconds = None
    install_dir = None
    # Another folder under the user's Programs folder to install into (/D=).
    install_folder = None

    def wine(self, *args, timeout=120, cwd=None):
        """Runs a Windows program of this prefix to its end."""
        return subprocess.run([str(WINE_RUN), *map(str, args)], env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)

    def user_dir(self):
        users = [p for p in (self.wineprefix / "drive_c" / "users").iterdir()
                 if p.is_dir() and p.name.lower() not in ("public", "default")]
        if len(users) != 1:
            raise AssertionError(f"expected one user folder in the prefix, found {users}")
        return users[0]

    def launch(self):
        programs = self.user_dir() / "AppData" / "Local" / "Programs"
        self.install_dir = programs / (self.install_folder or FOLDER)
        where = [f"/D=C:\\users\\{self.user_dir().name}\\AppData\\Local\\Programs\\{self.install_folder}"] \
            if self.install_folder else []
        started = time.monotonic()
        self.installer_status = self.wine(self.installer, "/S", *where, timeout=180).returncode
        self.install_seconds = time.monotonic() - started
        exe = self.install_dir / "station.exe"
        if self.installer_status != 0 or not exe.exists():
            raise AssertionError(f"the installer exited {self.installer_status} and left "
                                 f"{sorted(p.name for p in self.install_dir.iterdir()) if self.install_dir.exists() else 'no folder'}")
        self._out = open(self.wine_log, "wb")
        self.proc = subprocess.Popen([str(WINE_RUN), str(exe)], cwd=self.install_dir, env=self.env,
                                     stdin=subprocess.DEVNULL, stdout=self._out, stderr=subprocess.STDOUT)


class ZipTest(unittest.TestCase):
    """The zip holds the run directory's shipped files and nothing else."""

    def test_zip_holds_the_program_its_colours_and_pictures(self):
        zip_path = PACKAGE_DIR / f"station-{VERSION}.zip"
        self.assertTrue(zip_path.exists(), f"no zip at {zip_path}: run scripts/package.sh first")
        top = f"station-{VERSION}/"
        pictures = sorted(p.name for p in (RUNDIR / "img").glob("*.gif"))
        with zipfile.ZipFile(zip_path) as archive:
            self.assertIsNone(archive.testzip(), "a damaged entry")
            names = sorted(archive.namelist())
            self.assertEqual(names, sorted([top, top + "img/", top + "station.exe", top + "system.dll"] +
                                           [top + "img/" + n for n in pictures]))
            exe = archive.read(top + "station.exe")
            self.assertEqual(archive.read(top + "system.dll"), (RUNDIR / "system.dll").read_bytes())
        self.assertEqual(exe, STAGED_EXE.read_bytes())
        self.assertEqual(exe[:2], b"MZ")
        # Stripped: no debugging sections (their names start with ".debug"),
        # and smaller than the run directory's program.
        self.assertNotIn(b".debug_", exe)
        self.assertLess(len(exe), (RUNDIR / "station.exe").stat().st_size)


class InstallRulesTest(StationTestCase):
    """"cmake --install" of the Release tree gives a folder the program runs
    from."""

    start_automatically = False

    def test_the_installed_folder_runs(self):
        folder = Path(tempfile.mkdtemp(prefix="station-install-"))
        self.addCleanup(shutil.rmtree, folder, True)
        done = subprocess.run(["cmake", "--install", str(PACKAGE_DIR.parent), "--prefix", str(folder)],
                              capture_output=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr[-1500:])
        self.assertEqual(sorted(p.name for p in folder.iterdir()), ["img", "station.exe", "system.dll"])
        s = self.start_station(source=folder)
        self.assertIsNotNone(s.wait_request("/bofang/ad/tingweitz.xml", timeout=30))
        self.assertTrue(s.running())


class InstallerTest(StationTestCase):
    start_automatically = False

    def setUp(self):
        super().setUp()
        if not INSTALLER.exists():
            self.fail(f"no installer at {INSTALLER}: run scripts/package.sh first")
        self.station = InstalledStation(self.id())
        self.addCleanup(self.station.stop)
        try:
            self.station.start()
        except BaseException:
            self._record_failure()
            raise

    def reg_query(self, key):
        """The values of a registry key of the prefix: {name: (type, data)}, or None."""
        r = self.station.wine("reg", "query", key)
        if r.returncode != 0:
            return None
        values = {}
        # reg.exe writes to a pipe in the console code page (936 here).
        for line in r.stdout.decode("gbk", "replace").splitlines():
            m = re.match(r"\s+(\S+)\s+(REG_\w+)\s*(.*)$", line)
            if m:
                values[m.group(1)] = (m.group(2), m.group(3).strip())
        return values

    def wait_until(self, condition, timeout):
        deadline = time.monotonic() + timeout
        while not condition():
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.25)
        return True

    def test_silent_install_start_and_uninstall(self):
        s = self.station
        home = s.user_dir()
        install = s.install_dir
        print(f"\n[installer] silent install took {s.install_seconds:.1f} s", flush=True)

        # The run directory's files, station.exe stripped as packaged, and the uninstaller.
        self.assertEqual((install / "station.exe").read_bytes(), STAGED_EXE.read_bytes(),
                         "the installed station.exe is not the packaged one")
        self.assertEqual((install / "system.dll").read_bytes(), (RUNDIR / "system.dll").read_bytes())
        pictures = sorted(p.name for p in (RUNDIR / "img").glob("*.gif"))
        self.assertTrue(pictures)
        self.assertEqual(sorted(p.name for p in (install / "img").iterdir()), pictures)
        self.assertTrue((install / "uninstall.exe").is_file(), "no uninstaller")

        shortcut = home / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / f"{PRODUCT}.lnk"
        self.assertTrue(shortcut.is_file(), f"no Start-menu entry {shortcut}")
        # A shell link names its target; the path is stored in the link's
        # string data as UTF-16 (or in the system code page): look for either.
        link = shortcut.read_bytes()
        self.assertTrue("station.exe".encode("utf-16-le") in link or b"station.exe" in link,
                        "the Start-menu entry does not point at station.exe")

        values = self.reg_query(UNINSTALL_KEY)
        self.assertIsNotNone(values, "no uninstall registration under HKCU")
        self.assertEqual(values.get("DisplayName", (None, None))[1], PRODUCT)
        self.assertEqual(values.get("DisplayVersion", (None, None))[1], VERSION)
        self.assertRegex(values.get("UninstallString", (None, ""))[1], r"(?i)uninstall\.exe")
        self.assertRegex(values.get("InstallLocation", (None, ""))[1],
                         r"(?i)\\AppData\\Local\\Programs\\" + FOLDER + r"$")

        # The installed program's resources, read as Windows reads them.
        info = s.probe("file-info", install / "station.exe")
        self.assertEqual(info.get("file_version"), "1.3.0.0")
        self.assertEqual(info.get("product_version"), "1.3.0.0")
        self.assertEqual(info.get("strings", {}).get("ProductName"), PRODUCT)
        self.assertEqual(info.get("strings", {}).get("ProductVersion"), VERSION)
        manifest = info.get("manifest", "")
        self.assertIn('name="Microsoft.Windows.Common-Controls"', manifest)
        self.assertIn('version="6.0.0.0"', manifest)
        self.assertEqual(set(re.findall(r'supportedOS Id="\{([0-9a-f-]+)\}"', manifest)), SUPPORTED_OS)
        # Per-monitor DPI aware: version 2 first, the older forms as fallback.
        self.assertRegex(manifest, r"<dpiAwareness[^>]*>\s*PerMonitorV2, PerMonitor\s*</dpiAwareness>")
        self.assertRegex(manifest, r"<dpiAware[^>]*>\s*true/pm\s*</dpiAware>")
        self.assertIn(16, info.get("icon_sizes", []))
        self.assertIn(32, info.get("icon_sizes", []))

        # The installed program started from its folder: windows up, and its
        # files written beside it (the notice manifest comes at start).
        main = s.find(MAIN_TITLE)
        self.assertIsNotNone(main, "the installed program's main window is not visible")
        self.assertIsNotNone(s.control(main, "V1.3"), "no version label V1.3")
        self.assertIsNotNone(s.wait_window(ADVERT_TITLE, timeout=30), "the advert window did not open")
        self.assertIsNotNone(s.wait_window(REMOTE_TITLE, timeout=30), "the remote control did not open")
        self.assertTrue(self.wait_until(lambda: (install / "ad.tingweiini").exists(), 20),
                        "the program wrote no ad.tingweiini beside itself")
        self.assertIsNotNone(s.wait_request("/bofang/ad/tingweitz.xml", timeout=5))
        out = s.wine_log.read_bytes().decode("utf-8", "replace")
        self.assertNotRegex(out, r"(?i)unhandled exception|unhandled page fault")

        # End the program, then uninstall silently: the uninstaller copies
        # itself away and returns at once, so wait for its work to show.
        s.proc.kill()
        s.proc.wait(10)
        self.assertTrue(s.wait_gone(MAIN_TITLE, timeout=20), "the main window outlived its program")
        r = s.wine(install / "uninstall.exe", "/S")
        self.assertEqual(r.returncode, 0, r.stdout[-2000:])
        self.assertTrue(self.wait_until(lambda: not install.exists(), 60),
                        f"the uninstaller left {sorted(str(p.relative_to(install)) for p in install.rglob('*')) if install.exists() else []}")
        self.assertFalse(shortcut.exists(), "the uninstaller left the Start-menu entry")
        self.assertIsNone(self.reg_query(UNINSTALL_KEY), "the uninstaller left its registration")


class SignedPackagesTest(StationTestCase):
    """Packages made with a code-signing certificate of the test's own: the
    packaged station.exe, the installer and the uninstaller it installs are
    signed, each verifies against the test's authority, and the signed
    program starts."""

    start_automatically = False

    def test_every_packaged_program_is_signed_and_the_program_starts(self):
        tree = PACKAGE_DIR.parent
        if not (tree / "CPackConfig.cmake").exists():
            self.fail(f"no packaging in {tree}: run scripts/package.sh first")
        work = Path(tempfile.mkdtemp(prefix="station-signing-"))
        self.addCleanup(shutil.rmtree, work, True)

        def run(*args, **kwargs):
            return subprocess.run(args, cwd=work, capture_output=True, timeout=300, **kwargs)

        authority = make_authority(work)
        code, key = issue(work, "code", "Station Test Publisher",
                          ["extendedKeyUsage=codeSigning", "keyUsage=digitalSignature"])
        openssl(work, "pkcs12", "-export", "-in", code, "-inkey", key, "-certfile", authority, "-out", "code.p12",
                "-passout", "pass:secret")
        made = run("cpack", "--config", str(tree / "CPackConfig.cmake"), "-B", str(work / "package"),
                   "-D", f"CPACK_STATION_SIGNING_CERTIFICATE={work / 'code.p12'}",
                   env=dict(os.environ, STATION_SIGNING_PASSWORD="secret"))
        self.assertEqual(made.returncode, 0, made.stdout[-2000:] + made.stderr[-2000:])

        def verify(path):
            checked = run("osslsigncode", "verify", "-CAfile", str(authority), "-in", str(path))
            self.assertEqual(checked.returncode, 0, f"{path.name}: {checked.stdout[-1500:]}")

        package = work / "package"
        verify(package / f"station-{VERSION}" / "station.exe")
        verify(package / f"station-{VERSION}-setup.exe")
        station = InstalledStation(self.id())
        station.installer = package / f"station-{VERSION}-setup.exe"
        self.station = station
        self.addCleanup(station.stop)
        station.start()
        self.assertIsNotNone(station.find(MAIN_TITLE), "the signed program's main window is not visible")
        verify(station.install_dir / "station.exe")
        verify(station.install_dir / "uninstall.exe")


if __name__ == "__main__":
    unittest.main()
