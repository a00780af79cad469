#!/usr/bin/env python3
"""Start-up benchmark of station.exe under Wine (bench/startup/run.sh runs it).

In one private Wine prefix (a copy of the project's, made by the end-to-end
harness's Station class, with a persistent wineserver of its own) and with the
demo station on loopback, it measures, for RUNS runs after one warm-up run:

  station.exe
    - launch -> main window shown, and -> main, advert and remote control
      windows all shown (bench_watch sees them from outside, every 10 ms);
    - CPU used to get there (utime + stime of the station.exe process);
    - CPU over IDLE seconds with all windows open (after SETTLE seconds), of
      station.exe, of the prefix's wineserver and of its other Wine processes;
    - peak memory: VmHWM of the station.exe process after the idle time;
    - a notice refresh: a click on the remote control's "刷新公告" -> both
      downloads in the server's request log, and -> the program's thread
      answers a message again (the refresh has finished);
    - the idle CPU again once the advert window is closed (its own button):
      what that window costs at rest; and once more with the remote control
      docked and hidden at the right edge;
  the floor (bench_floor.exe: an empty borderless 815 x 631 window that ends
  as soon as it is shown)
    - launch -> the process has ended, its CPU and peak memory (wait4);
and once:
  - the stripped sizes of station.exe and of the floor;
  - a 10 MiB body fetched by the program's fetcher (bench_fetch.exe, the
    WinInet code station.exe uses) and by curl, from the same server;
  - an idle trace: one more station.exe run with Wine's "message" debug
    channel, counting the messages dispatched during the idle time per window
    (timers that fire, repaints), at rest and with the remote control docked
    and hidden. It is not timed.

Prints one table; --json FILE also writes every number.
"""

import argparse
import json
import os
import queue
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]

MAIN_TITLE = "汀蔚网络视听台"
ADVERT_TITLE = "支持一下广告吧，谢谢！"
REMOTE_TITLE = "遥控器"
REFRESH_CAPTION = "刷新公告"
MANIFEST_PATH = "/bofang/ad/tingweitz.xml"
PICTURE_PATH = "/bofang/ad/ad256-56.gif"
BODY_PATH = "/bench/body-10mib.bin"
BODY_BYTES = 10 * 1024 * 1024
POINTER_REST = (4, 4)
CLOCK_TICK_MS = 1000.0 / os.sysconf("SC_CLK_TCK")


def say(text):
    print(f"[bench] {text}", file=sys.stderr, flush=True)


def cache_value(build, name):
    for line in (build / "CMakeCache.txt").read_text(errors="replace").splitlines():
        if line.startswith(name + ":"):
            return line.split("=", 1)[1]
    return None


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--build", required=True, type=Path, help="the Windows build tree")
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--idle", type=float, default=10.0, help="seconds of idle measurement")
    p.add_argument("--settle", type=float, default=3.0, help="seconds after the windows show, before idle")
    p.add_argument("--fetches", type=int, default=10)
    p.add_argument("--fetch-only", action="store_true", help="measure only the fetch, print its figures")
    p.add_argument("--no-trace", action="store_true", help="skip the idle message trace")
    p.add_argument("--json", type=Path, help="write all numbers here")
    return p.parse_args()


ARGS = parse_args()
BUILD = ARGS.build.resolve()
PORT = cache_value(BUILD, "STATION_DEMO_PORT") or "18480"
os.environ.update(STATION_ROOT=str(ROOT), STATION_RUNDIR=str(BUILD / "run"),
                  STATION_PROBE=str(BUILD / "tests" / "e2e" / "station_probe.exe"), STATION_DEMO_PORT=PORT)
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import station_e2e  # noqa: E402  (reads the variables above when imported)
from station_e2e import WINE_RUN, Station, flatten  # noqa: E402

TOOLS = BUILD / "bench" / "startup"
FLOOR = TOOLS / "bench_floor.exe"
WATCH = TOOLS / "bench_watch.exe"
FETCH = TOOLS / "bench_fetch.exe"
STRIP = cache_value(BUILD, "CMAKE_STRIP") or "x86_64-w64-mingw32-strip"


# ------------------------------------------------------------ processes ---

def cpu_ms(pid):
    """utime + stime of a process (all its threads), in milliseconds."""
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) * CLOCK_TICK_MS


def status_kib(pid, key):
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith(key + ":"):
                return int(line.split()[1])
    except OSError:
        pass
    return None


def prefix_processes(prefix):
    """pid -> name of every process running in this Wine prefix."""
    found = {}
    want = f"WINEPREFIX={prefix}".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if want in (entry / "environ").read_bytes().split(b"\0"):
                found[int(entry.name)] = (entry / "comm").read_text().strip()
        except OSError:
            continue
    return found


def now():
    """Seconds on CLOCK_MONOTONIC_RAW: the clock of Wine's performance
    counter on Linux, which bench_watch stamps its lines with."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) / 1e9


def wall_minus_now():
    """time.time() - now(): turns the request log's times into now()'s."""
    return time.time() - now()


class LineReader:
    """bench_watch's stdout lines as (time, text): the time is the event's
    own stamp (" @T" at the end of each line, 100 ns units of now()'s
    clock), not the line's arrival, which the pipe and this process's
    threads delay."""

    def __init__(self, proc):
        self.lines = queue.Queue()

        def pump():
            for raw in proc.stdout:
                text = raw.decode("utf-8", "replace").strip()
                stamp = now()
                m = re.match(r"(.*) @(\d+)$", text)
                if m:
                    text, stamp = m.group(1), int(m.group(2)) / 1e7
                self.lines.put((stamp, text))
            self.lines.put((now(), None))

        threading.Thread(target=pump, daemon=True).start()

    def next(self, timeout):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return (now(), None)


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


# ------------------------------------------------------------- station ---

class BenchStation(Station):
    """The harness's station without its own launch: the benchmark starts
    station.exe itself, once per run, in the same prefix."""

    def launch(self):
        pass


def start_station():
    holder = {}

    def prepare(run_dir, site_dir):
        s = holder["station"]
        # A persistent wineserver of the prefix's own, started before any
        # Wine program: warm starts, and its CPU can be measured.
        holder["wineserver"] = subprocess.Popen(
            ["bash", "-c", 'source "$1/scripts/env.sh" && exec env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 '
             '"$STATION_WINESERVER" -p -f', "-", str(ROOT)], env=s.env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        body = site_dir / BODY_PATH.lstrip("/")
        body.parent.mkdir(parents=True, exist_ok=True)
        body.write_bytes(os.urandom(BODY_BYTES))

    s = BenchStation("bench-startup", wait_main=0, prepare=prepare)
    holder["station"] = s
    s.start()
    return s, holder["wineserver"]


def pristine(run_dir, shipped):
    """Removes what earlier runs wrote beside the program (settings,
    notices, advert picture): every run starts like the first."""
    for path in sorted(run_dir.rglob("*"), reverse=True):
        if path.relative_to(run_dir).as_posix() in shipped:
            continue
        if path.is_dir():
            shutil.rmtree(path, ignore_errors=True)
        else:
            path.unlink(missing_ok=True)


def start_watch(s, titles, cls="StationWindow", timeout=120):
    proc = subprocess.Popen([str(WINE_RUN), str(WATCH), "watch", "--timeout", str(timeout), "--class", cls, *titles],
                            env=s.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    reader = LineReader(proc)
    stamp, line = reader.next(60)
    if line != "ready":
        proc.kill()
        raise RuntimeError(f"bench_watch did not get ready: {line!r}")
    return proc, reader


def reap(proc, timeout=15):
    """Waits for a child with wait4: (exit status, rusage, time it was
    reaped); a child still there after timeout seconds is killed first."""
    watchdog = threading.Timer(timeout, proc.kill)
    watchdog.start()
    try:
        _, status, usage = os.wait4(proc.pid, 0)
        ended = now()
    finally:
        watchdog.cancel()
    proc.returncode = os.waitstatus_to_exitcode(status)
    return proc.returncode, usage, ended


def floor_run(s, attempts=3):
    """One floor run; a run that Wine ended with status 1 before the program
    could do anything (a loader fault seen now and then at process start) is
    made again."""
    for attempt in range(attempts):
        try:
            return floor_run_once(s)
        except WineStartFault:
            say(f"the floor program ended with status 1 at start (attempt {attempt + 1}); again")
    raise RuntimeError(f"the floor program ended with status 1 {attempts} times")


class WineStartFault(RuntimeError):
    pass


def floor_run_once(s):
    watch, _ = start_watch(s, ["floor"], cls="StationBenchFloor", timeout=60)
    try:
        start = now()
        proc = subprocess.Popen([str(WINE_RUN), str(s.run_dir / FLOOR.name)], cwd=s.run_dir, env=s.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        code, usage, end = reap(proc, 60)
    finally:
        watch.kill()
        watch.wait()
    if code == 1:
        raise WineStartFault()
    if code != 0:
        raise RuntimeError(f"the floor program exited {code}")
    return {"shown_ms": (end - start) * 1000, "all_shown_ms": (end - start) * 1000,
            "start_cpu_ms": (usage.ru_utime + usage.ru_stime) * 1000, "peak_kib": usage.ru_maxrss}


def refresh_button(s, pid):
    remote = s.find(REMOTE_TITLE)
    if remote is None or remote["pid"] != pid:
        raise RuntimeError("the remote control window is not visible")
    button = s.control(remote, REFRESH_CAPTION)
    if button is None or not button["visible"]:
        raise RuntimeError(f"no visible {REFRESH_CAPTION} button")
    r = button["rect"]
    return remote["hwnd"], r["left"] + r["width"] // 2, r["top"] + r["height"] // 2


def time_refresh(s, pid):
    hwnd, x, y = refresh_button(s, pid)
    proc = subprocess.Popen([str(WINE_RUN), str(WATCH), "click-ping", str(x), str(y), str(hwnd)], env=s.env,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    reader = LineReader(proc)
    try:
        offset = wall_minus_now()
        clicked, line = reader.next(60)
        if line != "clicked":
            raise RuntimeError(f"bench_watch click-ping: {line!r}")
        seen = {}
        deadline = time.monotonic() + 30
        while len(seen) < 2 and time.monotonic() < deadline:
            for r in s.requests():
                if r.get("path") in (MANIFEST_PATH, PICTURE_PATH) and r.get("time", 0) - offset >= clicked - 0.5:
                    seen.setdefault(r["path"], r["time"] - offset)
            time.sleep(0.002)
        if len(seen) < 2:
            raise RuntimeError(f"the refresh did not download both files: {seen}")
        logged = max(seen.values())
        proc.stdin.write(b"ping\n")
        proc.stdin.flush()
        answered, line = reader.next(60)
        if line != "answered":
            raise RuntimeError(f"the program's thread did not answer: {line!r}")
        return {"refresh_logged_ms": (logged - clicked) * 1000, "refresh_done_ms": (answered - clicked) * 1000}
    finally:
        if proc.poll() is None:
            proc.kill()
        proc.wait()


def idle_cpu(s, pid, wineserver_pid, idle, on_idle=None):
    """CPU milliseconds used over `idle` seconds by the program (None when
    pid is None), the prefix's wineserver and its other Wine processes (with
    their names)."""
    others = {p: name for p, name in prefix_processes(s.wineprefix).items() if p not in (pid, wineserver_pid)}
    before = (cpu_ms(pid), cpu_ms(wineserver_pid), {p: cpu_ms(p) for p in others})
    if on_idle:
        on_idle("start")
    time.sleep(idle)
    after = (cpu_ms(pid), cpu_ms(wineserver_pid), {p: cpu_ms(p) for p in others})
    if on_idle:
        on_idle("end")
    rest = sum(after[2][p] - before[2][p] for p in others if before[2][p] is not None and after[2][p] is not None)
    program = after[0] - before[0] if pid is not None else None
    return program, after[1] - before[1], rest, sorted(set(others.values()))


def close_advert(s, pid):
    advert = s.find(ADVERT_TITLE)
    if advert is None or advert["pid"] != pid:
        raise RuntimeError("the advert window is not visible")
    button = s.control(advert, "关")
    if button is None:
        raise RuntimeError("the advert window has no close button")
    x = button["rect"]["left"] + button["rect"]["width"] // 2
    y = button["rect"]["top"] + button["rect"]["height"] // 2
    s.click(x, y)
    s.move(*POINTER_REST)
    s.pid = pid
    try:
        if not s.wait_gone(ADVERT_TITLE, timeout=20):
            raise RuntimeError("the advert window did not close")
    finally:
        s.pid = None


def docked_idle_cpu(s, pid, win_pid, wineserver_pid, idle, on_idle=None):
    """Drops the remote control at the right edge with the pointer away (it
    hides to its strip there and stays docked), then measures idle_cpu."""
    remote = s.find(REMOTE_TITLE)
    if remote is None or remote["pid"] != win_pid:
        raise RuntimeError("the remote control window is not visible")
    width, top = remote["rect"]["width"], remote["rect"]["top"]
    screen_width = s.screen()["width"]
    s.move(*POINTER_REST)
    s.place(remote, screen_width - width, top)
    deadline = time.monotonic() + 10
    while (s.refresh(remote) or {}).get("rect", {}).get("left") != screen_width - 5:
        if time.monotonic() >= deadline:
            raise RuntimeError(f"the remote control did not hide at the right edge: {s.refresh(remote)}")
        time.sleep(0.05)
    time.sleep(1)
    return idle_cpu(s, pid, wineserver_pid, idle, on_idle)


def station_run(s, wineserver_pid, idle, settle, refresh=True, env=None, trace_out=None, on_idle=None,
                on_docked_idle=None):
    # The pointer rests in a corner no window covers, in every run alike.
    s.move(*POINTER_REST)
    if env is None:
        cmd = [str(WINE_RUN), str(s.run_dir / "station.exe")]
    else:  # scripts/wine-run would set WINEDEBUG=-all again
        cmd = ["bash", "-c", 'source "$1/scripts/env.sh"; export WINEDEBUG="$2"; exec env LC_ALL=zh_CN.UTF-8 '
               'LANG=zh_CN.UTF-8 "$STATION_WINE" station.exe', "-", str(ROOT), env["WINEDEBUG"]]
    watch, reader = start_watch(s, [MAIN_TITLE, ADVERT_TITLE, REMOTE_TITLE])
    proc = None
    win_pid = None
    try:
        try:
            start = now()
            proc = subprocess.Popen(cmd, cwd=s.run_dir, env=s.env, stdin=subprocess.DEVNULL,
                                    stdout=trace_out or subprocess.DEVNULL, stderr=subprocess.STDOUT)
            shown = {}
            while True:
                stamp, line = reader.next(120)
                if line is None or line == "timeout":
                    raise RuntimeError(f"the windows did not all show: {shown}\n{s.diagnostics()}")
                if line == "done":
                    break
                parts = line.split()
                if parts[0] == "shown":
                    shown[int(parts[1])] = (stamp - start) * 1000
                    win_pid = int(parts[3])
            start_cpu = cpu_ms(proc.pid)
        finally:
            watch.kill()
            watch.wait()
        result = {"shown_ms": shown[0], "all_shown_ms": max(shown.values()), "start_cpu_ms": start_cpu}
        time.sleep(settle)
        cpu = idle_cpu(s, proc.pid, wineserver_pid, idle, on_idle)
        result["idle_cpu_ms"], result["idle_wineserver_cpu_ms"], result["idle_others_cpu_ms"], others = cpu
        result["idle_others"] = others
        result["peak_kib"] = status_kib(proc.pid, "VmHWM")
        result["rss_kib"] = status_kib(proc.pid, "VmRSS")
        result["threads"] = status_kib(proc.pid, "Threads")
        if on_docked_idle:
            docked_idle_cpu(s, proc.pid, win_pid, wineserver_pid, idle, on_docked_idle)
        if refresh:
            result.update(time_refresh(s, win_pid))
            # What the advert window costs at rest: the same idle time once
            # it is closed (its own close button).
            close_advert(s, win_pid)
            time.sleep(1)
            cpu = idle_cpu(s, proc.pid, wineserver_pid, idle)
            result["idle_no_advert_cpu_ms"], result["idle_no_advert_wineserver_cpu_ms"] = cpu[:2]
            # And with the remote control docked and hidden at the right edge.
            cpu = docked_idle_cpu(s, proc.pid, win_pid, wineserver_pid, idle)
            result["idle_docked_cpu_ms"], result["idle_docked_wineserver_cpu_ms"] = cpu[:2]
        return result
    finally:
        if proc is not None:
            proc.kill()
            reap(proc)
        if win_pid is not None:
            s.pid = win_pid
            s.wait_gone(MAIN_TITLE, timeout=30)
            s.pid = None


# --------------------------------------------------------------- trace ---

def idle_trace(s, wineserver_pid, idle, settle, shipped):
    """One untimed run under WINEDEBUG=+message: the messages dispatched to
    the program's windows during the idle time, per window and kind; then
    the same with the remote control docked and hidden. Two count lists."""
    pristine(s.run_dir, shipped)
    trace_path = s.tmp / "message-trace.txt"
    marks = {}
    with open(trace_path, "wb") as trace:
        # Only the idle times are counted: the trace file's length when each
        # starts and when it ends.
        def marker(phase):
            def on_idle(when):
                marks[phase, when] = trace_path.stat().st_size
                if when == "end":
                    marks[phase, "windows"] = s.windows(cls=None, all_processes=True)
            return on_idle

        station_run(s, wineserver_pid, idle, settle, refresh=False, env={"WINEDEBUG": "+message"},
                    trace_out=trace, on_idle=marker("rest"), on_docked_idle=marker("docked"))
    return [count_messages(trace_path, marks, phase) for phase in ("rest", "docked")]


def count_messages(trace_path, marks, phase):
    with open(trace_path, "rb") as f:
        f.seek(marks[phase, "start"])
        idle_text = f.read(marks[phase, "end"] - marks[phase, "start"]).decode("utf-8", "replace")
    names = {}
    for top in marks[phase, "windows"]:
        names[top["hwnd"]] = f'window {top["class"]} {top["title"]!r}' + ("" if top["visible"] else " (hidden)")
        for c in flatten(top):
            label = c["text"] or f'{c["client_rect"]["width"]}x{c["client_rect"]["height"]} at ' \
                                  f'({c["client_rect"]["left"]}, {c["client_rect"]["top"]})'
            names[c["hwnd"]] = f'{c["class"]} {label!r}{"" if c["visible"] else " (hidden)"} in {top["title"]!r}'
    counts = {}
    pattern = re.compile(r"spy_enter_message \((0x[0-9a-f]+)\)\s+(?:L\"[^\"]*\"|\S+)?\s*\[[0-9a-f]+\] (\w+) "
                         r"(dispatched|sent from \S+ ?\S*)\s+wp=([0-9a-f]+)")
    for line in idle_text.splitlines():
        m = pattern.search(line)
        if not m:
            continue
        hwnd = int(m.group(1), 16)
        message, how, wparam = m.group(2), m.group(3).split()[0], int(m.group(4), 16)
        key = (names.get(hwnd, f"hwnd {hwnd:#x}"), message, how,
               f"id {wparam}" if message == "WM_TIMER" else "")
        counts[key] = counts.get(key, 0) + 1
    return sorted(counts.items(), key=lambda kv: -kv[1])


# --------------------------------------------------------------- fetch ---

def fetch_bench(s, count):
    """The fetcher and curl take turns on the same body, so that a busy
    moment of the machine falls on both alike."""
    url = f"http://127.0.0.1:{PORT}{BODY_PATH}"
    proc = subprocess.Popen([str(WINE_RUN), str(FETCH), url], env=s.env, stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    wininet, curl = [], []
    try:
        for i in range(count + 1):
            proc.stdin.write(b"fetch\n")
            proc.stdin.flush()
            parts = proc.stdout.readline().decode("utf-8", "replace").split()
            if len(parts) != 4 or parts[0] != "fetch":
                raise RuntimeError(f"bench_fetch: {parts!r}")
            if int(parts[3]) != BODY_BYTES:
                raise RuntimeError(f"fetchUrlBytes returned {parts[3]} bytes, not {BODY_BYTES}")
            wininet.append(float(parts[2]))
            c = subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{time_total} %{size_download}", url],
                               stdout=subprocess.PIPE, timeout=120, check=True)
            seconds, size = c.stdout.decode().split()
            if int(float(size)) != BODY_BYTES:
                raise RuntimeError(f"curl got {size} bytes")
            curl.append(float(seconds) * 1000)
        proc.stdin.close()
        if proc.wait(timeout=60) != 0:
            raise RuntimeError(f"bench_fetch exited {proc.returncode}")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    # The first of each opens what later fetches reuse: reported apart.
    return {"wininet_first_ms": wininet[0], "wininet_ms": wininet[1:], "curl_first_ms": curl[0], "curl_ms": curl[1:]}


def stripped_size(exe):
    with tempfile.TemporaryDirectory() as tmp:
        out = Path(tmp) / exe.name
        subprocess.run([STRIP, "--strip-all", "-o", str(out), str(exe)], check=True)
        return out.stat().st_size


# --------------------------------------------------------------- table ---

def fmt(v, digits=0):
    if v is None:
        return "-"
    return f"{v:,.{digits}f}"


def ratio(a, b):
    if a is None or b in (None, 0):
        return "-"
    return f"{a / b:.1f}x"


def spread(values, digits=0):
    values = [v for v in values if v is not None]
    if not values:
        return ""
    return f"{fmt(min(values), digits)}..{fmt(max(values), digits)}"


def main():
    for path in (BUILD / "run" / "station.exe", FLOOR, WATCH, FETCH, station_e2e.PROBE):
        if not path.exists():
            sys.exit(f"missing {path}: build the targets station_rundir station_probe bench_floor bench_watch "
                     f"bench_fetch")
    load = os.getloadavg()
    say(f"private prefix and demo station on 127.0.0.1:{PORT}")
    s, wineserver = start_station()
    results = {"runs": [], "floor": []}
    try:
        shutil.copy2(FLOOR, s.run_dir / FLOOR.name)
        shipped = {p.relative_to(s.run_dir).as_posix() for p in s.run_dir.rglob("*")}
        if ARGS.fetch_only:
            fetch = fetch_bench(s, ARGS.fetches)
            wm, cm = median(fetch["wininet_ms"]), median(fetch["curl_ms"])
            print(f"fetch 10 MiB, medians of {ARGS.fetches}: fetchUrlBytes {wm:.1f} ms "
                  f"({spread(fetch['wininet_ms'], 1)}), curl {cm:.1f} ms ({spread(fetch['curl_ms'], 1)}), "
                  f"{ratio(wm, cm)}")
            return
        for i in range(ARGS.runs + 1):
            label = "warm-up" if i == 0 else f"run {i}/{ARGS.runs}"
            f = floor_run(s)
            pristine(s.run_dir, shipped)
            st = station_run(s, wineserver.pid, ARGS.idle, ARGS.settle)
            say(f"{label}: floor {f['shown_ms']:.0f} ms; station main {st['shown_ms']:.0f} ms, all "
                f"{st['all_shown_ms']:.0f} ms, idle CPU {st['idle_cpu_ms']:.0f} ms, VmHWM {st['peak_kib']} KiB, "
                f"refresh {st['refresh_logged_ms']:.0f}/{st['refresh_done_ms']:.0f} ms")
            if i > 0:
                results["floor"].append(f)
                results["runs"].append(st)
        # What the prefix's wineserver and services spend with no program
        # of ours running: the share of the idle rows that is not station.exe's.
        say("idle baseline: no program running")
        time.sleep(ARGS.settle)
        results["baseline"] = idle_cpu(s, None, wineserver.pid, ARGS.idle)
        say("fetch: 10 MiB through fetchUrlBytes and curl")
        results["fetch"] = fetch_bench(s, ARGS.fetches)
        results["stripped"] = {"station": stripped_size(BUILD / "run" / "station.exe"), "floor": stripped_size(FLOOR)}
        if not ARGS.no_trace:
            say("idle trace (WINEDEBUG=+message, not timed)")
            results["trace"], results["trace_docked"] = idle_trace(s, wineserver.pid, ARGS.idle, ARGS.settle, shipped)
    finally:
        s.stop()
        if wineserver.poll() is None:
            wineserver.kill()
        wineserver.wait()

    runs, floor, fetch = results["runs"], results["floor"], results["fetch"]

    def col(rows, key):
        return [r.get(key) for r in rows]

    table = []

    def row(name, station_values, floor_values=None, digits=0, scale=1.0):
        sv = [v * scale if v is not None else None for v in station_values]
        fv = [v * scale if v is not None else None for v in (floor_values or [])]
        sm, fm = median(sv), median(fv) if floor_values else None
        table.append((name, fmt(sm, digits), spread(sv, digits), fmt(fm, digits) if floor_values else "-",
                      ratio(sm, fm) if floor_values else "-"))

    row("launch -> main window shown (ms)", col(runs, "shown_ms"), col(floor, "shown_ms"))
    row("launch -> main+advert+remote shown (ms)", col(runs, "all_shown_ms"), col(floor, "all_shown_ms"))
    row("CPU used to get there (ms)", col(runs, "start_cpu_ms"), col(floor, "start_cpu_ms"))
    row("peak memory, VmHWM (MiB)", col(runs, "peak_kib"), col(floor, "peak_kib"), 1, 1 / 1024)
    row(f"idle {ARGS.idle:.0f} s: CPU of station.exe (ms)", col(runs, "idle_cpu_ms"))
    row(f"idle {ARGS.idle:.0f} s: CPU of wineserver (ms)", col(runs, "idle_wineserver_cpu_ms"))
    row(f"idle {ARGS.idle:.0f} s: CPU of other Wine procs (ms)", col(runs, "idle_others_cpu_ms"))
    baseline = results["baseline"]
    table.append(("  no program running: wineserver | others (ms)", fmt(baseline[1]), "", fmt(baseline[2]), "-"))
    row("  advert closed: CPU of station.exe (ms)", col(runs, "idle_no_advert_cpu_ms"))
    row("  advert closed: CPU of wineserver (ms)", col(runs, "idle_no_advert_wineserver_cpu_ms"))
    row("  and remote docked, hidden: station.exe (ms)", col(runs, "idle_docked_cpu_ms"))
    row("  and remote docked, hidden: wineserver (ms)", col(runs, "idle_docked_wineserver_cpu_ms"))
    table.append(("stripped size (KiB)", fmt(results["stripped"]["station"] / 1024), "",
                  fmt(results["stripped"]["floor"] / 1024), ratio(results["stripped"]["station"],
                                                                   results["stripped"]["floor"])))
    row("refresh: click -> both requests logged (ms)", col(runs, "refresh_logged_ms"))
    row("refresh: click -> program answers again (ms)", col(runs, "refresh_done_ms"))
    wm, cm = median(fetch["wininet_ms"]), median(fetch["curl_ms"])
    table.append(("fetch 10 MiB: fetchUrlBytes | curl (ms)", fmt(wm), spread(fetch["wininet_ms"]), fmt(cm),
                  ratio(wm, cm)))
    table.append(("  first fetch of each process (ms)", fmt(fetch["wininet_first_ms"]), "",
                  fmt(fetch["curl_first_ms"]), ratio(fetch["wininet_first_ms"], fetch["curl_first_ms"])))

    wine = subprocess.run(["bash", "-c", 'source "$1/scripts/env.sh"; "$STATION_WINE" --version', "-", str(ROOT)],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode().strip()
    print()
    print(f"Station start-up benchmark: medians of {len(runs)} runs after 1 warm-up; {wine}, one private prefix "
          f"with a persistent wineserver, Xvfb {os.environ.get('DISPLAY')} 1366x768, demo station on "
          f"127.0.0.1:{PORT}; load average at start {load[0]:.1f} on {os.cpu_count()} CPUs")
    header = ("", "station.exe", "min..max", "floor | curl", "ratio")
    widths = [max(len(str(r[i])) for r in table + [header]) for i in range(5)]
    line = "  ".join(("{:<%d}" if i == 0 else "{:>%d}") % w for i, w in enumerate(widths))
    print(line.format(*header))
    print("  ".join("-" * w for w in widths))
    for r in table:
        print(line.format(*r))
    others = sorted({n for r in runs for n in r.get("idle_others", [])})
    print(f"(other Wine processes of the prefix: {', '.join(others) or 'none'}; the floor's time runs to its "
          f"process's end; CPU = utime + stime from /proc or wait4)")
    for key, what in (("trace", "at rest"), ("trace_docked", "with the remote control docked and hidden")):
        if key not in results:
            continue
        print()
        print(f"Idle trace {what}: messages dispatched to station.exe's windows in {ARGS.idle:.0f} s "
              f"(WINEDEBUG=+message run, {ARGS.settle:.0f} s after the windows showed)")
        if not results[key]:
            print("  none")
        for (where, message, how, extra), n in results[key]:
            print(f"  {n:6d}  {n / ARGS.idle:7.1f}/s  {message} {extra} {how}  {where}")
    if ARGS.json:
        for key in ("trace", "trace_docked"):
            results[key] = [[list(k), n] for k, n in results.get(key, [])]
        ARGS.json.write_text(json.dumps(results, indent=1, ensure_ascii=False))

if __name__ == "__main__":
    main()
