#!/usr/bin/env python3
"""The screensaver program's own costs under Wine: from `メロヴァン.scr /s` to the
renderer's first frame, split into its parts, at two screen sizes; from Escape to both
processes gone; and the CPU the front end uses while it supervises a run.

    bench/frontend.py [--runs 5] [--dist DIR] [--native DIR] [--work DIR]

Timeline of a start, all from outside the programs:
  start      `wine メロヴァン.scr /s` is started (the clock's zero)
  captured   C:\\Merovan1.bmp is created: the desktop has been copied (file birth time)
  written    both snapshot files are complete (last write time of C:\\Merovan2.bmp)
  context    the renderer has a current GL context (bench's first_swap_shim, preloaded;
             Wine passes the preload on to the renderer it starts)
  frame      the renderer's first SwapBuffers
Starts are warm: a `wine cmd /c pause` keeps the prefix's server and services up, as they
are on Windows. Wine's own cost of starting a process is shown beside them (hostname.exe
from start to exit), since both programs pay it once each.

With --baseline DIR (a folder holding another build's メロヴァン.dll, such as the last
release's), every start is followed by one with that renderer beside the same front end, so
the two can be compared within one run on a busy machine.

CPU use: user + system time of the front end's process over 20 s of a run, read from
/proc, with no music, with an MP3 looping (its 1 s timer), and with the CD chosen on a
machine without a drive (its 200 ms poll stops after the first failed tick).
"""

import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "tests" / "e2e"))

import common  # noqa: E402
from harness import Session  # noqa: E402
import harness as h  # noqa: E402

SIZES = [(1024, 768), (1920, 1080)]
CPU_SECONDS = 20


def birth_and_write_ns(path):
    """(birth, last write) of a file in CLOCK_REALTIME nanoseconds."""
    out = subprocess.run(["stat", "-c", "%W.%w|%Y.%y", str(path)], stdout=subprocess.PIPE,
                         text=True, check=True).stdout.strip()

    def ns(field):
        whole, text = field.split(".", 1)
        fraction = text.split(".")[1].split()[0] if "." in text else "0"
        return int(whole) * 10**9 + int(fraction.ljust(9, "0")[:9])
    birth, write = out.split("|")
    return ns(birth), ns(write)


def one_start(session, scr, shim, log):
    for path in (session.c_drive / "Merovan1.bmp", session.c_drive / "Merovan2.bmp"):
        path.unlink(missing_ok=True)
    log.unlink(missing_ok=True)
    real0, mono0 = time.time_ns(), time.monotonic_ns()
    proc = session.start(scr, ["/s"], extra_env={"LD_PRELOAD": str(shim), "MEROVAN_SWAP_LOG": str(log)})
    marks = session.wait_until(lambda: log.exists() and "scene" in log.read_text() and log.read_text(), 60,
                               "the first frame", interval=0.01)
    events = {line.split()[0]: int(line.split()[1]) for line in reversed(marks.splitlines())}
    captured, _ = birth_and_write_ns(session.c_drive / "Merovan1.bmp")
    _, written = birth_and_write_ns(session.c_drive / "Merovan2.bmp")
    window = session.find_window(h.RENDERER_TITLE, timeout=30)
    result = {
        "captured": (captured - real0) / 1e6,
        "written": (written - real0) / 1e6,
        "context": (events["current"] - mono0) / 1e6,
        "frame": (events["scene"] - mono0) / 1e6,
    }
    # From Escape going down to both processes gone.
    session.mouse_move(window.x + 512, window.y + 384)
    session._xdotool("keydown", "Escape")
    pressed = time.monotonic_ns()
    try:
        proc.wait(15)
        front_end_gone = time.monotonic_ns()
        session.wait_until(lambda: not renderer_pids(), 15, "the renderer's end", interval=0.01)
        both_gone = max(front_end_gone, time.monotonic_ns())
    finally:
        session._xdotool("keyup", "Escape")
    result["escape"] = (both_gone - pressed) / 1e6
    return result


def renderer_pids():
    pids = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if "メロヴァン.dll" in (entry / "cmdline").read_bytes().decode("utf-8", "replace"):
                    pids.append(int(entry.name))
            except OSError:
                pass
    return pids


def cpu_ms(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])
    return ticks * 1000 / os.sysconf("SC_CLK_TCK")


def cpu_while_running(session, scr, settings):
    (scr.parent / "メロヴァン.ini").write_bytes(settings)
    proc, window = h.start_traced_run(session, scr)
    time.sleep(2)  # past the start
    before = cpu_ms(proc.pid)
    time.sleep(CPU_SECONDS)
    used = cpu_ms(proc.pid) - before
    session.end_by_escape(proc, window)
    return used / CPU_SECONDS / 10  # percent of one core


def main():
    parser = common.common_arguments(__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--baseline", type=Path,
                        help="folder with another build's renderer, started by turns")
    parser.add_argument("--sizes", default="1024x768,1920x1080",
                        help="screen sizes (default: %(default)s)")
    parser.add_argument("--no-cpu", action="store_true", help="leave out the CPU measurements")
    args = parser.parse_args()
    sizes = [tuple(int(n) for n in size.split("x")) for size in args.sizes.split(",")]
    shim = args.native / "bench" / "first_swap_shim.so"
    common.print_load("at start")
    for width, height in sizes:
        with Session(args.work / f"frontend-{width}", screen=(width, height)) as session:
            scr = h.install(session, args.dist)
            keeper = session.start("cmd", ["/c", "pause"])
            time.sleep(2)
            wine_cost = []
            for _ in range(3):
                started = time.monotonic()
                session.run("hostname", timeout=60)
                wine_cost.append((time.monotonic() - started) * 1000)
            baseline_scr = None
            if args.baseline:
                folder = session.c_drive / "baseline" / "メロヴァン"
                folder.mkdir(parents=True, exist_ok=True)
                shutil.copy(scr, folder)
                shutil.copy(args.baseline / h.RENDERER, folder)
                baseline_scr = folder / scr.name
            runs, baseline_runs = [], []
            for _ in range(args.runs):
                runs.append(one_start(session, scr, shim, session.work / "swap.log"))
                if baseline_scr:
                    baseline_runs.append(one_start(session, baseline_scr, shim,
                                                   session.work / "swap.log"))
            keeper.kill()
            for name, results in (("", runs), (" with the baseline renderer", baseline_runs)):
                if not results:
                    continue
                print(f"\n{width} x {height} screen{name}, median of {args.runs} warm starts "
                      "(ms from start):")
                for key in ("captured", "written", "context", "frame", "escape"):
                    values = [r[key] for r in results]
                    print(f"  {key:9} {statistics.median(values):7.0f}   (min {min(values):.0f}, max {max(values):.0f})")
            print(f"  Wine's own process start (hostname.exe): {statistics.median(wine_cost):.0f} ms")
            if width == 1920 and not args.no_cpu:
                mp3 = h.make_music(session, "bench.mp3", 3)
                cases = {"no music": h.settings_bytes(0, 0, ""), "MP3 looping": h.settings_bytes(2, 0, mp3),
                         "CD chosen, no drive": h.settings_bytes(1, 5, "")}
                print(f"\nfront end CPU over {CPU_SECONDS} s of a run (percent of one core):")
                for name, settings in cases.items():
                    print(f"  {name:20} {cpu_while_running(session, scr, settings):.2f} %")
    common.print_load("at end")


if __name__ == "__main__":
    main()
