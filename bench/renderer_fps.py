#!/usr/bin/env python3
"""Frame rate of the renderer under Wine against the same scene drawn natively.

    bench/renderer_fps.py [--rounds 7] [--seconds 10] [--dist DIR] [--native DIR]

On one Xvfb display, in alternating rounds, the Windows build under Wine and
bench's native_viewer each draw for a while; Mesa's HUD counts their frames
from outside (one value a second) in the same way for both. The first seconds,
which hold the picture loading, are left out. Prints each round, the medians
and the Wine/native ratio, computed round by round so that drift in the
machine's speed cancels out. Goal: Wine at least 0.9 x native.

Other work on the machine takes the processors away from both and moves the
frame rates a lot. So each run also reports the processor time one frame
costs, over the same counted seconds: the drawing process with all its
threads, the X server that shows the frames, and for Wine its server. That
figure barely depends on how busy the machine is, and native/Wine of it is the
same kind of ratio as the frame rates' (1 = as cheap as native).

Where Debian's xscreensaver-gl is installed, each round also runs its gflux
hack in the same window size, with a grid of about as many textured quads
(8 x 8 squares of 4 x 4), uncapped, as a reference point from outside the
project.
"""

import subprocess
from dataclasses import dataclass
from pathlib import Path

from common import (WINDOW_TITLE, cpu_seconds, hud_environment, hud_samples, install_renderer,
                    median, native_environment, native_program, new_session, print_load,
                    round_arguments, stop_renderer, wineserver_pid, write_snapshots)

SCREEN_SIZE = (1280, 1024)  # the desktop picture is a snapshot of the whole screen
GOAL_RATIO = 0.9
HACK = Path("/usr/libexec/xscreensaver/gflux")
HACK_ARGS = ["-mode", "grab", "-squares", "8", "-resolution", "4", "-delay", "0",
             "-geometry", "1024x768+0+0"]


@dataclass
class Run:
    fps: float  # median of the HUD's per-second samples
    cpu_ms_per_frame: float
    cpu_per_second: float  # processor seconds per second of the counted seconds


def measure(session, dump_dir, pids, skip, seconds, what):
    """Waits out `skip` HUD samples, then counts `seconds` more, reading the
    processor time of `pids` as the counted seconds start and end."""
    def samples_at_least(count):
        return lambda: len(hud_samples(dump_dir)) >= count

    # Polled often, so that the processor times are read close to the seconds' edges.
    session.wait_until(samples_at_least(skip), skip + 60, f"the first HUD samples of {what}",
                       interval=0.02)
    cpu_start = cpu_seconds(pids)
    session.wait_until(samples_at_least(skip + seconds), seconds + 60,
                       f"{skip + seconds} HUD samples of {what}", interval=0.02)
    cpu_end = cpu_seconds(pids)
    samples = hud_samples(dump_dir)[skip:skip + seconds]
    frames = sum(samples)  # each sample is the frames of one second
    return Run(median(samples), 1000 * (cpu_end - cpu_start) / frames,
               (cpu_end - cpu_start) / seconds)


def wine_run(session, renderer, dump_dir, skip, seconds, args=()):
    proc = session.start(renderer, args, extra_env=hud_environment(dump_dir))
    # `wine` execs the loader, so the process started is the Windows program's own.
    pids = [proc.pid, wineserver_pid(session), session.xvfb.pid]
    run = measure(session, dump_dir, pids, skip, seconds, "the renderer")
    stop_renderer(session, proc)
    session.window_gone(WINDOW_TITLE)
    return run


def native_run(session, viewer, dump_dir, skip, seconds):
    """The run's figures, and the frame rate the viewer counted itself."""
    env = native_environment(session, {**hud_environment(dump_dir),
                                       "MEROVAN_SNAPSHOT_DIR": str(session.c_drive)})
    # A little over the samples wanted, so that the last one is written.
    proc = subprocess.Popen([str(viewer), str(skip + seconds + 0.5)], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    run = measure(session, dump_dir, [proc.pid, session.xvfb.pid], skip, seconds, "native_viewer")
    output, _ = proc.communicate(timeout=60)
    if proc.returncode != 0:
        raise SystemExit(f"native_viewer exited with {proc.returncode}")
    own_fps = float(output.split()[-1])  # its last line: "frames N seconds S fps F"
    return run, own_fps


def hack_run(session, dump_dir, skip, seconds):
    proc = subprocess.Popen([str(HACK), *HACK_ARGS],
                            env=native_environment(session, hud_environment(dump_dir)),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return measure(session, dump_dir, [proc.pid, session.xvfb.pid], skip, seconds, HACK.name)
    finally:
        proc.terminate()
        proc.wait(30)


def main():
    parser = round_arguments(__doc__.split("\n\n")[0], rounds=7, seconds=10)
    args = parser.parse_args()
    viewer = native_program(args, "native_viewer")
    with_hack = HACK.exists()

    header = ("round  wine fps  native fps  (own count)  ratio"
              "  wine CPU ms/frame  native CPU ms/frame  ratio")
    rows = []
    print_load("before")
    with new_session(args) as session:
        renderer = install_renderer(session, args.dist)
        write_snapshots(session.c_drive, *SCREEN_SIZE)
        hud = args.work / "hud"
        print(header + ("  gflux fps  gflux CPU ms/frame" if with_hack else ""))
        for number in range(1, args.rounds + 1):
            wine = wine_run(session, renderer, hud / f"wine-{number}", args.skip, args.seconds)
            native, own = native_run(session, viewer, hud / f"native-{number}", args.skip,
                                     args.seconds)
            row = [wine.fps, native.fps, own, wine.fps / native.fps, wine.cpu_ms_per_frame,
                   native.cpu_ms_per_frame, native.cpu_ms_per_frame / wine.cpu_ms_per_frame]
            if with_hack:
                hack = hack_run(session, hud / f"hack-{number}", args.skip, args.seconds)
                row += [hack.fps, hack.cpu_ms_per_frame]
            rows.append(row)
            print(format_row(str(number), row), flush=True)

    print_load("after")
    medians = [median(column) for column in zip(*rows)]
    print(format_row("median", medians))
    fps_ratio, cpu_ratio = medians[3], medians[6]
    verdict = "met" if fps_ratio >= GOAL_RATIO else "NOT met"
    print(f"Wine/native frame rate = {fps_ratio:.3f} (goal >= {GOAL_RATIO}): {verdict}; "
          f"per processor time {cpu_ratio:.3f}")


def format_row(label, row):
    widths = [9, 11, 12, 6, 18, 20, 6, 10, 19]
    digits = [1, 1, 1, 3, 2, 2, 3, 1, 2]
    return f"{label:>6}" + "".join(f" {value:{width}.{places}f}"
                                   for value, width, places in zip(row, widths, digits))


if __name__ == "__main__":
    main()
