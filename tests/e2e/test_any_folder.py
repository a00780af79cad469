"""Every file feature in a folder the system's code page cannot spell
(installed into a Chinese-named folder on code page 1252; run from a Korean-
named one on 936), and one program at a time."""

import subprocess
import time
import unittest

from screen_grab import stored
from station_content import (NOTICE_PATH, ORIGIN, PICTURE_PATH, control_at, install_browser_recorder,
                             notice_manifest, wait_control_text, wait_recorded, write_site_file)
from station_e2e import MAIN_TITLE, WINE_RUN, StationTestCase, centre
from test_installer import INSTALLER, InstalledStation
from test_notices import ADVERT_LINK, FIRST, FIRST_PICTURE, NOTICE_LINE, NoticeChecks
from test_settings import CHOSEN, CHOSEN_NAME, DEFAULT, DEFAULT2, SettingsSteps, write_system_dll


# An address with characters of no single-byte code page, as a manifest may hold.
LINK = f"{ORIGIN}/bofang/ad/点歌.php?台=汀蔚"


def serve_first(run_dir, site_dir):
    install_browser_recorder(run_dir)
    write_site_file(site_dir, NOTICE_PATH, notice_manifest(FIRST["ad"], FIRST["ad1"], LINK, FIRST["ad2_url"]))
    write_site_file(site_dir, PICTURE_PATH, FIRST_PICTURE)


class FileFeatureChecks(SettingsSteps, NoticeChecks):
    def check_file_features(self, folder):
        s = self.station
        shown = wait_control_text(s, MAIN_TITLE, NOTICE_LINE, FIRST["ad_shown"])
        self.assertEqual(shown, FIRST["ad_shown"], "the notice line does not show the manifest's text")
        self.assertEqual((folder / "ad.tingweiini").read_bytes(), (s.site_dir / NOTICE_PATH).read_bytes())
        self.assertEqual((folder / "ad" / "tingweiad.gif").read_bytes(), FIRST_PICTURE)
        s.click(*centre(control_at(s.find(MAIN_TITLE), *ADVERT_LINK)["rect"]))
        self.assertEqual(wait_recorded(s, 1), [LINK], "the link's address did not reach the shell whole")

        settings = self.open_settings()
        self.choose(settings, CHOSEN_NAME)
        expected = f"[皮肤]\r\n底色={stored(CHOSEN)}\r\n".encode("gbk")
        deadline = time.monotonic() + 10
        while not (folder / "userini.user").exists() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual((folder / "userini.user").read_bytes(), expected)

        # system.dll is read anew at each 默认配色.
        write_system_dll(folder, DEFAULT, DEFAULT2)
        s.click(*centre(s.control(s.refresh(settings), "默认配色")["rect"]))
        self.expect_colours(self.settings_expectations(settings, DEFAULT, DEFAULT)
                            + self.main_expectations(DEFAULT, version=DEFAULT2))
        self.assertFalse((folder / "userini.user").exists(), "默认配色 left userini.user")


class ChineseFolderEnglishLocaleTest(FileFeatureChecks, StationTestCase):
    start_automatically = False

    def test_installed_into_a_chinese_folder_on_code_page_1252(self):
        if not INSTALLER.exists():
            self.fail(f"no installer at {INSTALLER}: run scripts/package.sh first")
        station = InstalledStation(self.id(), locale="en_US.UTF-8", prepare=serve_first)
        station.install_folder = "汀蔚视听台"
        self.station = station
        self.addCleanup(station.stop)
        station.start()
        self.check_file_features(station.install_dir)


class KoreanFolderTest(FileFeatureChecks, StationTestCase):
    station_options = {"prepare": serve_first, "run_name": "run-한ñ"}

    def test_run_from_a_korean_folder_on_code_page_936(self):
        self.check_file_features(self.station.run_dir)


class SecondStartTest(StationTestCase):
    def start_again(self):
        s = self.station
        started = time.monotonic()
        second = subprocess.run([str(WINE_RUN), str(s.run_dir / "station.exe")], cwd=s.run_dir, env=s.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                timeout=60)
        took = time.monotonic() - started
        print(f"\n[second start] ended with {second.returncode} after {took:.1f} s", flush=True)
        self.assertEqual(second.returncode, 0)
        self.assertLess(took, 10)

    def test_a_second_start_brings_the_first_forward_and_ends(self):
        s = self.station
        main = s.find(MAIN_TITLE)
        s.click(*centre(s.control(main, "缩")["rect"]))
        deadline = time.monotonic() + 10
        while not s.refresh(main)["iconic"]:
            self.assertLess(time.monotonic(), deadline, "缩 did not minimize the main window")
            time.sleep(0.2)

        self.start_again()
        deadline = time.monotonic() + 10
        while s.refresh(main)["iconic"] or s.screen()["foreground"] != main["hwnd"]:
            self.assertLess(time.monotonic(), deadline, "the running program's main window was not brought forward")
            time.sleep(0.2)
        self.assertEqual(len([w for w in s.windows(title=MAIN_TITLE, all_processes=True)]), 1)
        self.assertTrue(s.running())

    def test_a_second_start_brings_the_open_question_forward(self):
        """While the exit question is open, the window that takes input is
        the one brought forward: Esc then closes the question."""
        s = self.station
        s.wait_window("遥控器", timeout=60)
        s.click(*centre(s.control(s.find(MAIN_TITLE), "关")["rect"]))
        question = s.wait_window("", timeout=20)
        self.assertIsNotNone(question, "the exit question did not open")
        self.start_again()
        self.assertTrue(s.wait_foreground(question), "the exit question was not brought forward")
        s.key("esc")
        self.assertTrue(s.wait_gone("", timeout=10), "Esc did not reach the exit question")
        self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
