"""End-to-end harness: runs the real station.exe under Wine with a local demo
station and drives it from outside through the probe program.

Each `Station` gets, for itself alone:
  - a scratch copy of the run directory (files the program writes stay there),
  - a scratch copy of the demo station's site, served on 127.0.0.1:STATION_DEMO_PORT
    (the address compiled into the program) with a request log,
  - a private Wine prefix: a copy of the project's prefix (hard links for the
    big system binaries, real copies of the registry and everything small), so
    the program runs under a wineserver of its own. Nothing else's windows,
    focus or pointer can get in the way of its clicks and keys, and ending it
    with `wineserver -k` touches no other Wine program. Set
    STATION_E2E_PREFIX=shared to run in the project's prefix instead (then
    only the program's own process is killed).

Environment:
  DISPLAY          a running X server (Xvfb 1366x768x24); required
  STATION_ROOT     the source tree (default: two levels above this file)
  STATION_RUNDIR   the run directory with station.exe (default build/win/run)
  STATION_PROBE    the probe program (default build/win/tests/e2e/station_probe.exe),
                   with station_probe_hook.dll beside it
  STATION_DEMO_SERVER  the demo station server script (default demo-station/server.py)
  STATION_SCREENSHOTS  where failing tests leave a screenshot (default build/e2e-screenshots),
                   and probe-failures.log a line for every probe run that gave no answer
  STATION_E2E_KEEP=1   keep the scratch directories (their paths are printed)
"""

import atexit
import functools
import json
import os
import queue
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import types
import unittest
from pathlib import Path

ROOT = Path(os.environ.get("STATION_ROOT") or Path(__file__).resolve().parents[2])
RUNDIR = Path(os.environ.get("STATION_RUNDIR") or ROOT / "build" / "win" / "run")
PROBE = Path(os.environ.get("STATION_PROBE") or ROOT / "build" / "win" / "tests" / "e2e" / "station_probe.exe")
SERVER = Path(os.environ.get("STATION_DEMO_SERVER") or ROOT / "demo-station" / "server.py")
SITE = ROOT / "demo-station" / "site"
SCREENSHOTS = Path(os.environ.get("STATION_SCREENSHOTS") or ROOT / "build" / "e2e-screenshots")
WINE_RUN = ROOT / "scripts" / "wine-run"
# The project's Wine files, as scripts/env.sh finds them.
CACHE = Path(os.environ.get("STATION_CACHE") or ROOT / ".cache")

HOST = "127.0.0.1"
# The port compiled into the program under test (its build's STATION_DEMO_PORT).
PORT = int(os.environ.get("STATION_DEMO_PORT") or 18480)
MAIN_TITLE = "汀蔚网络视听台"
WINDOW_CLASS = "StationWindow"
HOLD_CLASS = "StationDesktopHold"
CONTROL_CLASS = "StationControl"

# Files of a Wine prefix that nobody writes: shared by hard link.
_LINKABLE = {".dll", ".exe", ".drv", ".sys", ".nls", ".ocx", ".cpl", ".acm", ".tlb", ".ds", ".msstyles",
             ".ax", ".fon", ".ttf", ".icm"}

_live = set()


def _cleanup_all():
    for station in list(_live):
        station.stop()


atexit.register(_cleanup_all)


def _on_sigterm(signum, frame):
    # A test run that is told to stop (CTest past its TIMEOUT) leaves no Wine
    # program, server or scratch directory behind, and stops at once: an
    # exception here would only fail the current test and go on to the next.
    print(f"[e2e] signal {signum}: stopping", file=sys.stderr, flush=True)
    _cleanup_all()
    sys.stdout.flush()
    sys.stderr.flush()
    os._exit(128 + signum)


class HarnessError(RuntimeError):
    """The environment, not the program, is not as the tests need it."""


# Probe commands that only look: run again when a run gives no answer.
_LOOKING = {"windows", "menu", "wait", "wait-gone", "screen", "file-info", "at", "pixel", "region"}
# Commands that act but leave the same state however often they run: the
# pointer put on a point. Run again like the looking ones (Wine now and then
# ends a probe with a loader fault after, or instead of, its work).
_REPEATABLE = {"move"}


def _log_failure(name, note):
    """Keeps a line in probe-failures.log across runs (CTest shows a passing
    test's output to nobody)."""
    SCREENSHOTS.mkdir(parents=True, exist_ok=True)
    with open(SCREENSHOTS / "probe-failures.log", "a", encoding="utf-8") as log:
        log.write(f"{time.strftime('%Y-%m-%d %H:%M:%S')} {name}: {note}\n")


def port_is_listening(port=PORT, host=HOST):
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.settimeout(0.5)
        return s.connect_ex((host, port)) == 0


def _copy_prefix(master, target):
    """A private Wine prefix: hard links for the system binaries where the file
    system allows, real copies of everything else (registry, ini files)."""

    def copy(src, dst):
        if Path(src).suffix.lower() in _LINKABLE:
            try:
                os.link(src, dst)
                return dst
            except OSError:
                pass
        return shutil.copy2(src, dst)

    # The file "wineserver" names the server's socket directory of the master
    # prefix; without it Wine picks a fresh one for the copy.
    shutil.copytree(master, target, symlinks=True, copy_function=copy,
                    ignore=lambda d, names: ["wineserver"] if Path(d) == Path(master) else [])


def windows_path(path):
    """A Linux path as a Windows program under Wine names it."""
    return "Z:" + str(path).replace("/", "\\")


def flatten(window):
    """Every descendant of a window from `windows()`, depth first."""
    for child in window.get("children", []):
        yield child
        yield from flatten(child)


def centre(rect):
    return (rect["left"] + rect["width"] // 2, rect["top"] + rect["height"] // 2)


class Station:
    """One run of station.exe with its demo station, driven through the probe.

    Options:
      server      start the demo station (False: nothing listens on the port)
      omit        names to leave out of the scratch run directory
      prepare     callable(run_dir, site_dir) run before anything starts
      wait_main   seconds to wait for the main window (0: do not wait)
      misbehave   the demo station's --misbehave modes (see demo-station/server.py)
      dpi         the screen's DPI (the prefix's LogPixels; default Wine's 96)
      screen      (width, height): an Xvfb display of that size for this run alone
      locale      the locale Wine runs the program and the probe under (default
                  zh_CN.UTF-8; en_US.UTF-8 gives code page 1252)
      run_name    the name of the scratch run directory's folder
      source      the run directory copied (default STATION_RUNDIR)
      tls         (certificate, key) PEM files: the demo station serves HTTPS
      trusted_root  a certificate authority (DER file) added to the prefix's
                  trusted roots before the program starts
    """

    def __init__(self, name="station", *, server=True, omit=(), prepare=None, wait_main=60, misbehave=None,
                 dpi=None, screen=None, locale=None, run_name="run", tls=None, trusted_root=None, source=None):
        self.name = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)
        self.tls = tls
        self.trusted_root = trusted_root
        self.source = Path(source or RUNDIR)
        self.server_wanted = server
        self.misbehave = misbehave
        self.omit = tuple(omit)
        self.prepare = prepare
        self.wait_main = wait_main
        self.tmp = None
        self.proc = None
        self.server = None
        self.holder = None
        self.main = None
        self.pid = None  # the program's Windows process id, from its main window
        self.private_prefix = os.environ.get("STATION_E2E_PREFIX", "private") != "shared"
        self.dpi = dpi
        self.screen_size = screen
        self.locale = locale
        self.run_name = run_name
        self.xvfb = None
        if (dpi or screen) and not self.private_prefix:
            raise HarnessError("a DPI or a screen of its own needs a private prefix (STATION_E2E_PREFIX)")
        self._server_lines = queue.Queue()

    # ------------------------------------------------------------ life ---

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        display = os.environ.get("DISPLAY")
        if not display:
            raise HarnessError("DISPLAY is not set: start Xvfb (1366x768x24) and export DISPLAY")
        for path, what in ((self.source / "station.exe", "station.exe (STATION_RUNDIR)"),
                           (PROBE, "the probe (STATION_PROBE)"), (WINE_RUN, "scripts/wine-run")):
            if not path.exists():
                raise HarnessError(f"missing {what}: {path}")
        if not (CACHE / "wineprefix").is_dir():
            raise HarnessError(f"no Wine prefix at {CACHE / 'wineprefix'}: run scripts/setup.sh")
        if signal.getsignal(signal.SIGTERM) is signal.SIG_DFL:
            signal.signal(signal.SIGTERM, _on_sigterm)
        _live.add(self)
        self.tmp = Path(tempfile.mkdtemp(prefix=f"station-e2e-{self.name[-40:]}-"))
        self.run_dir = self.tmp / self.run_name
        self.site_dir = self.tmp / "site"
        self.log_path = self.tmp / "requests.log"
        self.wine_log = self.tmp / "station.out"
        source = self.source.resolve()
        shutil.copytree(source, self.run_dir, symlinks=False,
                        ignore=lambda d, names: [n for n in names if Path(d) == source and n in self.omit])
        if SITE.is_dir():
            shutil.copytree(SITE, self.site_dir)
        else:
            self.site_dir.mkdir()
        self.env = dict(os.environ)
        self.env.pop("WINEPREFIX", None)
        if self.locale:
            self.env["STATION_WINE_LOCALE"] = self.locale
        if self.private_prefix:
            cache = self.tmp / "cache"
            cache.mkdir()
            _copy_prefix(CACHE / "wineprefix", cache / "wineprefix")
            (cache / "locale").symlink_to((CACHE / "locale").resolve())
            self.env["STATION_CACHE"] = str(cache)
        self.wineprefix = Path(self.env.get("STATION_CACHE", CACHE)) / "wineprefix"
        if self.screen_size:
            self.env["DISPLAY"] = self._start_xvfb(*self.screen_size)
        if self.dpi:
            self._wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                       "/d", str(self.dpi), "/f")
        if self.trusted_root:
            self._wine(str(PROBE), "trust-root", windows_path(self.trusted_root))
        if self.prepare:
            self.prepare(self.run_dir, self.site_dir)
        if self.server_wanted:
            self._start_server()
        elif port_is_listening():
            raise HarnessError(f"something already listens on {HOST}:{PORT}; this test needs the port closed")
        self._hold_desktop()
        self.screen_at_start = self.probe("screen")
        self.launch()
        if self.wait_main:
            self.main = self._wait_main()
            if self.main is None:
                raise AssertionError(f"the main window did not appear within {self.wait_main} s"
                                     f"\n{self.diagnostics()}")
            self.pid = self.main["pid"]
        return self

    def _wait_main(self):
        """The main window once it is up, or None. Wine now and then ends a
        program before its first line runs, with exit code 1 and nothing said
        unless its error channel is on (a process whose display connection or
        start failed). station.exe never exits with 1 by itself (it returns 0,
        and a crash ends it with the exception's code), so a run that ended
        with 1 before it showed a window or asked the server anything never
        got going: it is launched again, within the same wait, and logged."""
        deadline = time.monotonic() + self.wait_main
        while True:
            main = self.wait_window(MAIN_TITLE, timeout=min(5.0, max(0.0, deadline - time.monotonic())))
            if main is not None or time.monotonic() >= deadline:
                return main
            if self.running():
                continue
            if self.proc.returncode != 1 or self.requests():
                return None
            self._out.close()
            tail = self.wine_log.read_bytes()[-300:].decode("utf-8", "replace").strip()
            note = f"[e2e] station.exe ended with 1 before it started ({tail!r}); launching it again"
            print(note, file=sys.stderr, flush=True)
            _log_failure(self.name, note)
            self.launch()

    def _hold_desktop(self, timeout=120):
        """Starts a probe that holds the Wine desktop open until stop(), and
        sees that it landed on the desktop that programs started later get.

        Wine closes a desktop one second after its last program left it. A
        program that opened the desktop just before, but had no window yet
        (station.exe starting a moment after the probe that booted the prefix
        ended, or a probe after the program was closed), is left on a dead
        desktop: a probe there sees no windows, and nobody sees the windows of
        a program there. With the hold in place the desktop never empties.
        The holder is the first program of the prefix, so nothing races it to
        boot the wineserver; a holder whose window another probe cannot see
        was itself too late for a closing desktop, and is started again."""
        deadline = time.monotonic() + timeout
        attempt = 0
        while True:
            attempt += 1
            title = f"station desktop hold {os.getpid()}-{id(self)}-{attempt}"
            ready = Path(tempfile.mkdtemp(prefix="hold-", dir=self.tmp)) / "ready"
            self.holder = subprocess.Popen(
                [str(WINE_RUN), str(PROBE), "hold", title, "Z:" + str(ready).replace("/", "\\")], env=self.env,
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            while not ready.exists() and self.holder.poll() is None and time.monotonic() < deadline:
                time.sleep(0.05)
            if ready.exists() and self.probe("windows", "--class", HOLD_CLASS, "--title", title,
                                             until=None, timeout=max(1.0, deadline - time.monotonic())):
                return
            self._release_desktop()
            note = f"[e2e] the desktop hold (attempt {attempt}) was not seen by another probe"
            print(note, file=sys.stderr, flush=True)
            _log_failure(self.name, note)
            if time.monotonic() >= deadline:
                raise HarnessError(note)

    def _release_desktop(self):
        if self.holder and self.holder.poll() is None:
            self.holder.kill()
            try:
                self.holder.wait(10)
            except subprocess.TimeoutExpired:
                pass
        self.holder = None

    def _start_xvfb(self, width, height):
        """An X display of the size for this station alone; its name. Test
        lanes run side by side (scripts/windows-tests.sh): each has numbers
        of its own."""
        first = 160 + 10 * int(os.environ.get("STATION_TEST_LANE") or 0)
        for number in range(first, first + 10):
            if not Path(f"/tmp/.X11-unix/X{number}").exists() and not Path(f"/tmp/.X{number}-lock").exists():
                break
        else:
            raise HarnessError(f"no free X display number in {first}-{first + 9}")
        self.xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while not Path(f"/tmp/.X11-unix/X{number}").exists():
            if self.xvfb.poll() is not None or time.monotonic() > deadline:
                raise HarnessError(f"Xvfb :{number} ({width}x{height}) did not start")
            time.sleep(0.05)
        return f":{number}"

    def _wine(self, *args, timeout=120):
        """Runs a Wine program (reg, ...) in this station's prefix; its exit code must be 0."""
        with tempfile.TemporaryFile() as out:
            r = subprocess.run([str(WINE_RUN), *args], env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                               stderr=subprocess.STDOUT, timeout=timeout)
            if r.returncode != 0:
                out.seek(0)
                raise HarnessError(f"wine {' '.join(args)}: exit {r.returncode}: {out.read()[-500:]!r}")

    def launch(self):
        """Starts station.exe from the scratch run directory."""
        self._out = open(self.wine_log, "wb")
        # Wine's own error lines go to the program's output (shown when a
        # test fails): the one trace of a program Wine could not get going.
        self.proc = subprocess.Popen([str(WINE_RUN), str(self.run_dir / "station.exe")], cwd=self.run_dir,
                                     env=dict(self.env, WINEDEBUG="err+all,fixme-all"), stdin=subprocess.DEVNULL, stdout=self._out,
                                     stderr=subprocess.STDOUT)

    def _start_server(self):
        if not SERVER.exists():
            raise HarnessError(f"missing the demo station server: {SERVER}")
        if port_is_listening():
            raise HarnessError(f"{HOST}:{PORT} is taken; stop whatever listens there (a demo station?)")
        extra = ["--misbehave", self.misbehave] if self.misbehave else []
        if self.tls:
            extra += ["--tls", *map(str, self.tls)]
        self.server = subprocess.Popen(
            [sys.executable, str(SERVER), "--port", str(PORT), "--root", str(self.site_dir), "--log",
             str(self.log_path), *extra], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT)

        def pump(stream, lines):
            for raw in stream:
                lines.put(raw.decode("utf-8", "replace").rstrip("\n"))
            lines.put(None)

        threading.Thread(target=pump, args=(self.server.stdout, self._server_lines), daemon=True).start()
        deadline = time.monotonic() + 15
        seen = []
        while time.monotonic() < deadline:
            try:
                line = self._server_lines.get(timeout=0.2)
            except queue.Empty:
                continue
            if line is None:
                break
            seen.append(line)
            if line.startswith("ready "):
                return
        self._stop_server()
        raise HarnessError("the demo station did not report ready:\n" + "\n".join(seen[-20:]))

    def _stop_server(self):
        if self.server and self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(5)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        if self.server:
            self.server.stdout.close()
        self.server = None

    def stop(self):
        """Ends station.exe if it still runs, stops the server, removes the
        scratch directories. Safe to call more than once, and from the signal
        handler while an earlier call was interrupted: each step checks what
        is left to do, and the station counts as live until the last one."""
        if self not in _live:
            return
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                pass
        self._release_desktop()
        if self.private_prefix and self.tmp and (self.tmp / "cache" / "wineprefix").exists():
            # Only this test's own wineserver: explorer, services and anything
            # the program started go with it.
            subprocess.run(["bash", "-c", 'source "$1/scripts/env.sh" && station_wineserver -k; '
                            'station_wineserver -w', "-", str(ROOT)], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        self._stop_server()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
            self.xvfb = None
        if getattr(self, "_out", None):
            self._out.close()
        if self.tmp and self.tmp.exists():
            if os.environ.get("STATION_E2E_KEEP") == "1":
                print(f"[e2e] kept {self.tmp}", file=sys.stderr)
            else:
                shutil.rmtree(self.tmp, ignore_errors=True)
        _live.discard(self)

    # ----------------------------------------------------------- probe ---

    def probe(self, *args, timeout=60, check=True, until=None):
        """Runs the probe; returns its JSON output, or None when the probe
        answers that what it was asked about is not there (exit 1 with an
        "error") and check is False.

        until: a time.monotonic() deadline for a waiting command, passed to
        the probe as its --timeout (what is left of it at each run).

        A run that gives no answer at all (Wine could not start the probe, it
        printed nothing or no JSON, or it died) failed for a reason outside
        the program: a command that only looks is run again while its time
        lasts (until, or timeout seconds), and each such failure is reported
        on stderr. Input is never sent twice: a command that acts is run
        again only when the probe never started (it marks its start before
        it does anything) or when running it again changes nothing (a
        pointer move), and raises otherwise."""
        command = str(args[0])
        deadline = until if until is not None else time.monotonic() + timeout
        failures = []
        while True:
            run_args = list(args)
            if until is not None:
                run_args += ["--timeout", f"{max(0.0, until - time.monotonic()):.1f}"]
            code, out, err, why, started = self._probe_once(run_args, max(30.0, deadline - time.monotonic() + 30))
            if why is None:
                answer = json.loads(out)
                if code == 0:
                    return answer
                if not check:
                    return None
                raise HarnessError(f"probe {' '.join(map(str, args))}: {answer.get('error')}")
            failures.append(why)
            again = (command in _LOOKING or command in _REPEATABLE or not started) and time.monotonic() < deadline
            note = (f"[e2e] probe {command} gave no answer ({why}{'' if started else ', never started'})"
                    f"{'; trying again' if again else ''}")
            print(note, file=sys.stderr, flush=True)
            _log_failure(self.name, note)
            if not again:
                raise HarnessError(f"probe {' '.join(map(str, args))} gave no answer: " + "; ".join(failures))
            time.sleep(0.2)

    def _probe_once(self, args, timeout):
        """One probe run: (exit code, stdout, stderr, why it gave no answer
        or None, whether the probe started). An answer is JSON on stdout with
        exit code 0, or exit code 1 with {"error": ...}."""
        marker = Path(tempfile.mkdtemp(prefix="probe-", dir=self.tmp)) / "started"
        env = dict(self.env, STATION_PROBE_STARTED="Z:" + str(marker).replace("/", "\\"),
                   WINEDEBUG="err+all,fixme-all")
        # Output through files, not pipes: when the probe happens to be the
        # first Wine program of the prefix, the Wine services it starts inherit
        # its stdout and would hold a pipe open long after the probe exits.
        with tempfile.TemporaryFile() as out_file, tempfile.TemporaryFile() as err_file:
            try:
                r = subprocess.run([str(WINE_RUN), str(PROBE), *map(str, args)], env=env,
                                   stdin=subprocess.DEVNULL, stdout=out_file, stderr=err_file, timeout=timeout)
            except subprocess.TimeoutExpired:
                return None, "", "", f"still running after {timeout:.0f} s", True
            out_file.seek(0)
            err_file.seek(0)
            out = out_file.read().decode("utf-8", "replace").strip()
            err = err_file.read()[-2000:].decode("utf-8", "replace").strip()
        why = None
        try:
            answer = json.loads(out) if out else None
        except json.JSONDecodeError as e:
            answer, why = None, f"exit {r.returncode}, bad JSON ({e}): {out[:300]!r}"
        if why is None:
            if answer is None:
                why = f"exit {r.returncode}, no output"
            elif r.returncode not in (0, 1) or (r.returncode == 1 and not (isinstance(answer, dict) and "error" in answer)):
                why = f"exit {r.returncode}: {out[:300]!r}"
        if why and err:
            why += f", stderr: {err[-500:]!r}"
        started = marker.exists()
        shutil.rmtree(marker.parent, ignore_errors=True)
        return r.returncode, out, err, why, started

    def windows(self, cls=WINDOW_CLASS, title=None, all_processes=False):
        """Top-level windows (visible or not) with their child trees; by
        default those of class StationWindow of this program."""
        args = ["windows"]
        if cls is not None:
            args += ["--class", cls]
        if title is not None:
            args += ["--title", title]
        if self.pid and not all_processes:
            args += ["--pid", self.pid]
        return self.probe(*args)

    def find(self, title, cls=WINDOW_CLASS, visible=True):
        """The program's top-level window with this title (visible ones only,
        unless visible is None), or None."""
        found = [w for w in self.windows(cls, title) if visible is None or w["visible"] == visible]
        return found[0] if found else None

    def refresh(self, window):
        """The window's current state, or None once it is gone."""
        for w in self.windows(cls=None):
            if w["hwnd"] == window["hwnd"]:
                return w
        return None

    @staticmethod
    def control(window, text, cls=CONTROL_CLASS):
        """The first control (depth first) of the window showing `text`."""
        for c in flatten(window):
            if c["text"] == text and (cls is None or c["class"] == cls):
                return c
        return None

    @staticmethod
    def controls(window, cls=CONTROL_CLASS):
        return [c for c in flatten(window) if cls is None or c["class"] == cls]

    def wait_window(self, title, cls=WINDOW_CLASS, timeout=30):
        """Waits until such a window is visible and the program has finished
        the handler that showed it (its thread answers again); returns the
        window as it is then, or None."""
        args = ["wait", "--title", title]
        if cls is not None:
            args += ["--class", cls]
        if self.pid:
            args += ["--pid", self.pid]
        return self.probe(*args, until=time.monotonic() + timeout, check=False)

    def wait_at_rest(self, title, timeout=30):
        """The window once its creation handler has put it in place: windows
        show where their definition puts them and are then moved by that
        handler. None when it does not appear."""
        return self.wait_window(title, timeout=timeout)

    def wait_gone(self, title, cls=WINDOW_CLASS, timeout=10):
        """Waits until no such window is visible and the program has finished
        what it does as that window goes (a message box, for one, enables the
        windows under it again only after it has gone): True; False when it
        stays."""
        args = ["wait-gone", "--title", title]
        if cls is not None:
            args += ["--class", cls]
        if self.pid:
            args += ["--pid", self.pid]
        if self.probe(*args, until=time.monotonic() + timeout, check=False) is None:
            return False
        self.settle()
        return True

    def settle(self, timeout=15):
        """Waits until the program answers messages again (it has finished
        the handler it is in), when it still shows its main window."""
        if self.running() and self.find(MAIN_TITLE) is not None:
            self.wait_window(MAIN_TITLE, timeout=timeout)

    def screen(self):
        """{"width", "height", "pointer": {"x", "y"}, "foreground", "foreground_title"}"""
        return self.probe("screen")

    # ----------------------------------------------------------- input ---

    def click(self, x, y, button="left"):
        return self.probe("click", x, y, button)

    def press(self, x, y, button="left"):
        return self.probe("press", x, y, button)

    def release(self, x, y, button="left"):
        return self.probe("release", x, y, button)

    def move(self, x, y):
        return self.probe("move", x, y)

    def key(self, name):
        return self.probe("key", name)

    def activate(self, window):
        hwnd = window["hwnd"] if isinstance(window, dict) else window
        return self.probe("activate", hwnd, check=False)

    def wait_foreground(self, window, timeout=15):
        """Waits until the window is the active one (keys go to it); True
        once it is."""
        hwnd = window["hwnd"] if isinstance(window, dict) else window
        deadline = time.monotonic() + timeout
        while self.screen()["foreground"] != hwnd:
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.1)
        return True

    def place(self, window, x, y):
        """Moves a top-level window from outside (size kept, not activated);
        the program is told of the move as of any other."""
        hwnd = window["hwnd"] if isinstance(window, dict) else window
        return self.probe("place", hwnd, x, y)

    # ---------------------------------------------------- what is shown ---

    def at(self, x, y):
        """The window a click at (x, y) would reach: {"hwnd", "class", "text",
        "root", "root_class", "root_title", "pid"} (window regions count)."""
        return self.probe("at", x, y)

    def pixel(self, x, y):
        """The colour on the screen at (x, y) as (r, g, b)."""
        p = self.probe("pixel", x, y)
        return (p["r"], p["g"], p["b"])

    def region(self, window):
        """A window's region in window coordinates: {"type": "none"} without
        one, else {"type", "box", "rects": [[left, top, right, bottom], ...]}."""
        hwnd = window["hwnd"] if isinstance(window, dict) else window
        return self.probe("region", hwnd)

    def track(self, title, cls=WINDOW_CLASS, timeout=60, until_at=None, settle_ms=1000):
        """Starts following a window from outside before it exists: returns
        an object whose result() is {"hwnd", "states": [{"t", "left", "top",
        "width", "height", "visible"}, ...], "gone"}, every change of the
        window's rectangle and visibility (t in ms) from the moment it was
        found until it is visible with its top-left corner at until_at (x, y),
        or, without until_at, until it kept still for settle_ms. Returns once
        the follower is looking."""
        station = self
        ready = Path(tempfile.mkdtemp(prefix="track-", dir=self.tmp)) / "ready"
        args = [str(WINE_RUN), str(PROBE), "track", "--title", title, "--timeout", str(timeout),
                "--settle", str(settle_ms), "--ready", "Z:" + str(ready).replace("/", "\\")]
        if until_at is not None:
            args += ["--until-at", str(until_at[0]), str(until_at[1])]
        if cls is not None:
            args += ["--class", cls]
        out_file = tempfile.TemporaryFile()
        proc = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=out_file,
                                stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        while not ready.exists():
            if proc.poll() is not None or time.monotonic() > deadline:
                proc.kill()
                out_file.close()
                raise HarnessError("the window follower did not start")
            time.sleep(0.05)

        class Tracking:
            def result(self, wait=timeout + 30):
                try:
                    proc.wait(wait)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
                    raise HarnessError(f"the window follower of {title!r} did not finish")
                out_file.seek(0)
                text = out_file.read().decode("utf-8", "replace").strip()
                out_file.close()
                data = json.loads(text)
                if "error" in data:
                    raise AssertionError(f"following {title!r}: {data['error']}\n{station.diagnostics()}")
                return data

        return Tracking()

    # ----------------------------------------------------------- menus ---

    def menu(self):
        """The open popup menus: [{"hwnd", "rect", "read", "items": [...]}];
        each item {"separator": bool, "text", "id", "grayed", "checked"}."""
        return self.probe("menu", "--pid", self.pid) if self.pid else self.probe("menu")

    def wait_menu(self, timeout=15):
        deadline = time.monotonic() + timeout
        while True:
            try:
                menus = self.menu()
            except HarnessError:
                # A probe run that fails while the menu is still coming up
                # (seldom, under Wine) is tried again; the last one counts.
                if time.monotonic() >= deadline:
                    raise
                menus = []
            if menus or time.monotonic() >= deadline:
                return menus
            time.sleep(0.1)

    def wait_no_menu(self, timeout=15):
        deadline = time.monotonic() + timeout
        while True:
            if not self.menu():
                return True
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.1)

    def choose(self, text, timeout=15):
        """Chooses the item with this caption in the open popup menu with the
        keyboard (Down from the first item, then Enter), as a user may."""
        menus = self.wait_menu(timeout)
        if len(menus) != 1:
            raise AssertionError(f"expected one open menu to choose {text!r} from, got {menus}")
        items = [it for it in menus[0]["items"] if not it["separator"]]
        texts = [it["text"] for it in items]
        if text not in texts:
            raise AssertionError(f"no item {text!r} in the menu {texts}")
        for _ in range(texts.index(text) + 1):
            self.key("down")
        self.key("enter")

    @staticmethod
    def item_texts(menu):
        """A menu's items as captions, "-" for each separator."""
        return ["-" if it["separator"] else it["text"] for it in menu["items"]]

    # ------------------------------------------------------ the server ---

    def _log_records(self):
        if not self.log_path.exists():
            return []
        out = []
        for line in self.log_path.read_text(encoding="utf-8", errors="replace").splitlines():
            line = line.strip()
            if line:
                try:
                    out.append(json.loads(line))
                except json.JSONDecodeError:
                    pass  # a line still being written
        return out

    def requests(self):
        """The demo station's request log: [{"method", "path", "protocol", "headers", "time"}]."""
        return [r for r in self._log_records() if "method" in r]

    def wait_hang_up(self, path, timeout=10):
        """The first time the program hung up on a stalled answer for path
        (query dropped): {"hung_up", "mode", "sent", "seconds"}; or None."""
        deadline = time.monotonic() + timeout
        while True:
            for r in self._log_records():
                if r.get("hung_up") == path:
                    return r
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.2)

    def wait_request(self, path, method="GET", timeout=20):
        """The first logged request for path, waiting for it; or None."""
        deadline = time.monotonic() + timeout
        while True:
            for r in self.requests():
                if r.get("path") == path and r.get("method") == method:
                    return r
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.2)

    # ---------------------------------------------------- the program ---

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def exit_code(self, timeout=10):
        """The program's exit code once it has ended, or None if it still runs
        after timeout seconds."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def screenshot(self, name):
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        path = SCREENSHOTS / (re.sub(r"[^A-Za-z0-9_.-]+", "_", name) + ".png")
        display = getattr(self, "env", os.environ).get("DISPLAY", "")
        r = subprocess.run(["import", "-display", display, "-window", "root", str(path)],
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=30)
        if r.returncode != 0:
            print(f"[e2e] screenshot failed: {r.stderr.decode('utf-8', 'replace').strip()}", file=sys.stderr)
            return None
        return path

    def diagnostics(self):
        """What helps to read a failure: windows, requests, program output."""
        parts = []
        try:
            for w in self.windows(cls=None, all_processes=True):
                if w["class"] in (WINDOW_CLASS, "#32768") or w["visible"]:
                    kids = ", ".join(f'{c["text"]!r}{"" if c["visible"] else " (hidden)"}'
                                     for c in flatten(w) if c["class"] == CONTROL_CLASS)
                    parts.append(f'window {w["class"]} {w["title"]!r} {w["rect"]} visible={w["visible"]}'
                                 f' pid={w["pid"]}: {kids}')
        except Exception as e:  # the probe itself may be what failed
            parts.append(f"(windows unavailable: {e})")
        parts.append("requests: " + ", ".join(f'{r.get("method")} {r.get("path")}' for r in self.requests()))
        if self.proc:
            parts.append(f"station.exe: {'running' if self.running() else f'exited {self.proc.returncode}'}")
        try:
            # Wine's error lines of the run (WINEDEBUG=err+all), the last ones.
            lines = self.wine_log.read_bytes().decode("utf-8", "replace").splitlines()
            errors = [line for line in lines if ":err:" in line][-20:]
            if errors or lines:
                parts.append("station.exe output (Wine's last error lines):\n" + "\n".join(errors or lines[-20:]))
        except OSError:
            pass
        return "\n".join(parts)


class StationTestCase(unittest.TestCase):
    """A test with its own running station: self.station (started, main
    window up; see Station for the options, set as class attributes
    station_options or per test through start_station()). A failing test
    leaves a screenshot in build/e2e-screenshots/ and prints its path and what
    the windows and the server showed."""

    station_options = {}
    start_automatically = True

    def __init__(self, methodName="runTest"):
        super().__init__(methodName)
        self._shot_taken = False
        method = getattr(self, methodName, None)
        if method is not None and callable(method):
            @functools.wraps(method)
            def guarded(this, *args, **kwargs):
                try:
                    return method(*args, **kwargs)
                except unittest.SkipTest:
                    raise
                except BaseException:
                    this._record_failure()
                    raise
            # A bound method, as unittest's loader expects of a test method.
            setattr(self, methodName, types.MethodType(guarded, self))

    def setUp(self):
        self.station = None
        stale = SCREENSHOTS / (re.sub(r"[^A-Za-z0-9_.-]+", "_", self.id()) + ".png")
        if stale.exists():
            stale.unlink()
        if self.start_automatically:
            self.start_station(**self.station_options)

    def start_station(self, **options):
        if self.station is not None:
            self.station.stop()
        self.station = Station(self.id(), **options)
        self.addCleanup(self.station.stop)
        try:
            self.station.start()
        except BaseException:
            self._record_failure()
            raise
        return self.station

    def tearDown(self):
        outcome = getattr(self, "_outcome", None)
        if outcome is not None and not getattr(outcome, "success", True):
            self._record_failure()  # e.g. a failed subTest

    def _record_failure(self):
        if self._shot_taken or self.station is None:
            return
        self._shot_taken = True
        path = self.station.screenshot(self.id())
        if path:
            print(f"\n[e2e] screenshot: {path}", file=sys.stderr)
        print("[e2e] " + self.station.diagnostics().replace("\n", "\n[e2e] "), file=sys.stderr)
