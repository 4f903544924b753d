#!/usr/bin/env python3
"""Time from starting the renderer to its first frame, for two desktop sizes.

    bench/startup.py [--runs 7] [--dist DIR] [--native DIR]

The clock starts when `wine <renderer>` is started. bench's first_swap_shim,
preloaded into the process, notes when it first makes a GLX context current
and when it first swaps buffers (Wine's X11 driver asks glXGetProcAddressARB,
itself found with dlsym, for glXSwapBuffers; the shim catches both). So each
start splits in two: up to a current context (process start, window, pixel
format, context) and from there to the first frame (the scene's set-up, the
two textures with their mipmaps, and one frame drawn).

Wine's own start-up is kept out by measuring warm: a `wine cmd /c pause` stays
alive in the prefix the whole time, so the server and Wine's system processes
are already up, as they are on Windows. A few cold starts (no Wine process
running) are shown beside them, and native_viewer started the same way shows
the scene's cost on the host. Wine's own share of a warm start is shown by a
program that does next to nothing (hostname.exe, start to exit). Goal: first
frame within 60 ms of a current context, warm, with a 1920 x 1080 desktop.

With --baseline DIR (a folder holding another build's renderer, such as the last
release's), each warm start is followed by one of that renderer, so the two can be
compared within one run on a busy machine.
"""

import contextlib
import shutil
import subprocess
import time
from pathlib import Path

from common import (RENDERER_FILE, WINDOW_TITLE, common_arguments, install_renderer, median,
                    native_environment, native_program, new_session, print_load,
                    stop_renderer, write_snapshots)

SIZES = [(1024, 768), (1920, 1080)]
GOAL_MS = 60  # from a current context to the first frame
GOAL_SIZE = (1920, 1080)
COLD_RUNS = 3


def read_marks(log):
    """{"current": ns, "swap": ns, "scene": ns} from the shim's log."""
    marks = {}
    if log.exists():
        for line in log.read_text().splitlines():
            event, ns, _pid = line.split()
            marks.setdefault(event, int(ns))
    return marks


def shim_environment(shim, log):
    log.unlink(missing_ok=True)
    return {"LD_PRELOAD": str(shim), "MEROVAN_SWAP_LOG": str(log)}


def wine_start(session, renderer, shim, log):
    """(ms to a current context, ms to the first frame) of one renderer start."""
    env = shim_environment(shim, log)
    started = time.monotonic_ns()
    proc = session.start(renderer, extra_env=env)
    marks = session.wait_until(lambda: "scene" in read_marks(log) and read_marks(log), 60,
                               "the renderer's first frame")
    stop_renderer(session, proc)
    session.window_gone(WINDOW_TITLE)
    return ((marks.get("current", marks["scene"]) - started) / 1e6,
            (marks["scene"] - started) / 1e6)


def native_start(session, viewer, shim, log):
    env = native_environment(session, {**shim_environment(shim, log),
                                       "MEROVAN_SNAPSHOT_DIR": str(session.c_drive)})
    started = time.monotonic_ns()
    subprocess.run([str(viewer), "0.2"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60, check=True)
    marks = read_marks(log)
    return (marks["current"] - started) / 1e6, (marks["scene"] - started) / 1e6


def bare_wine_start(session):
    """ms from start to exit of a Windows program that does next to nothing:
    Wine's own cost of starting (and ending) a process in a warm prefix."""
    started = time.monotonic_ns()
    subprocess.run(["wine", "hostname"], env=session.env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60, check=True)
    return (time.monotonic_ns() - started) / 1e6


@contextlib.contextmanager
def warm_prefix(session):
    """Keeps a Wine process alive in the prefix: one that waits on its input
    for as long as the pipe stays open."""
    proc = subprocess.Popen(["wine", "cmd", "/c", "pause"], env=session.env,
                            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        # Waits out the helper's own start-up, which is what is left out.
        bare_wine_start(session)
        if proc.poll() is not None:
            raise SystemExit("the Wine process meant to keep the prefix warm ended")
        yield
    finally:
        proc.stdin.close()
        proc.wait(30)


def summary(name, timings):
    """Prints the medians of one kind of start; returns the first frame's after the
    context."""
    current = median([c for c, _ in timings])
    swap = median([s for _, s in timings])
    scene = median([s - c for c, s in timings])
    print(f"  {name:<14} {current:8.0f} {swap:12.0f} {scene:14.0f}   "
          f"{' '.join(f'{s:.0f}' for _, s in timings)}", flush=True)
    return scene


def main():
    parser = common_arguments(__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=7, help="warm starts per size")
    parser.add_argument("--baseline", type=Path,
                        help="folder with another build's renderer, started by turns")
    parser.add_argument("--no-cold", action="store_true", help="leave out the cold starts")
    args = parser.parse_args()
    viewer = native_program(args, "native_viewer")
    shim = native_program(args, "first_swap_shim.so")

    results = {}
    print_load("before")
    with new_session(args) as session:
        renderer = install_renderer(session, args.dist)
        baseline = None
        if args.baseline:
            folder = session.c_drive / "bench" / "baseline"
            folder.mkdir(parents=True, exist_ok=True)
            baseline = shutil.copy2(args.baseline / RENDERER_FILE, folder / RENDERER_FILE)
        log = args.work / "first-swap.log"
        with warm_prefix(session):
            bare = [bare_wine_start(session) for _ in range(args.runs)]
        print(f"Wine alone, warm (hostname.exe, start to exit): {median(bare):.0f} ms\n")
        for width, height in SIZES:
            write_snapshots(session.c_drive, width, height)
            print(f"desktop {width} x {height}: medians in ms after start, then each run's "
                  "first frame\n"
                  f"  {'':<14} {'context':>8} {'first frame':>12} {'frame - context':>14}")
            with warm_prefix(session):
                wine_start(session, renderer, shim, log)  # unrecorded: fills the file cache
                timings, baseline_timings = [], []
                for _ in range(args.runs):
                    timings.append(wine_start(session, renderer, shim, log))
                    if baseline:
                        baseline_timings.append(wine_start(session, baseline, shim, log))
            results[(width, height)] = summary("Wine, warm", timings)
            if baseline:
                summary("baseline, warm", baseline_timings)
            cold = []
            for _ in range(0 if args.no_cold else COLD_RUNS):
                subprocess.run(["wineserver", "-k"], env=session.env, check=False)
                subprocess.run(["wineserver", "-w"], env=session.env, check=False)
                cold.append(wine_start(session, renderer, shim, log))
            if cold:
                summary("Wine, cold", cold)
            native = [native_start(session, viewer, shim, log) for _ in range(args.runs)]
            summary("native_viewer", native)

    print_load("after")
    first_frame = results[GOAL_SIZE]
    verdict = "met" if first_frame <= GOAL_MS else "NOT met"
    print(f"current context to first frame, warm, {GOAL_SIZE[0]} x {GOAL_SIZE[1]}: "
          f"{first_frame:.0f} ms (goal <= {GOAL_MS} ms): {verdict}")


if __name__ == "__main__":
    main()
