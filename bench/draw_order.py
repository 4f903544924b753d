#!/usr/bin/env python3
"""Frame rate of the renderer against the straightforward drawing of the same scene.

    bench/draw_order.py [--rounds 5] [--seconds 8] [--dist DIR]

Both run under Wine on one Xvfb display, by turns, round after round: the
renderer (sheet first, back faces left out, a black background not drawn) and
bench's plain_renderer, the same program drawing each frame the
straightforward way (the background quad, then the whole sheet over it).
Mesa's HUD counts their frames from outside; the ratio is taken round by
round, so that drift in the machine's speed cancels out.

Two settings: the screensaver's own pictures (a 1280 x 1024 desktop and the
black 93 x 85 background; goal: at least 2 x the plain drawing) and a coloured
background picture (goal: no slower than the plain drawing).
"""

import shutil
from pathlib import Path

from common import (BACKGROUND_SIZE, install_renderer, median, new_session, print_load,
                    round_arguments, write_snapshots)
from harness import write_bmp
from renderer_fps import wine_run

SCREEN_SIZE = (1280, 1024)
SETTINGS = [
    # name, background picture's colour at (x, y) or None for the black one, goal ratio
    ("black background", None, 2.0),
    ("coloured background", lambda x, y: (40 + 2 * x, 200 - y, 120), 1.0),
]


def install_plain(session, build):
    program = Path(build) / "bench" / "plain_renderer.exe"
    if not program.exists():
        raise SystemExit(f"{program} is missing: build with "
                         "`cmake --preset windows && cmake --build --preset windows`")
    return shutil.copy2(program, session.c_drive / "bench" / program.name)


def main():
    parser = round_arguments(__doc__.split("\n\n")[0], rounds=5)
    args = parser.parse_args()

    print_load("before")
    verdicts = []
    with new_session(args) as session:
        renderer = install_renderer(session, args.dist)
        plain = install_plain(session, Path(args.dist).parent)
        for name, colour, goal in SETTINGS:
            write_snapshots(session.c_drive, *SCREEN_SIZE)
            if colour is not None:
                write_bmp(session.c_drive / "Merovan2.bmp", *BACKGROUND_SIZE, colour)
            print(f"\n{name}\nround  renderer fps  plain fps  ratio  "
                  "renderer CPU ms/frame  plain CPU ms/frame", flush=True)
            ratios = []
            for number in range(1, args.rounds + 1):
                hud = args.work / "hud" / name.replace(" ", "-")
                ours = wine_run(session, renderer, hud / f"renderer-{number}", args.skip,
                                args.seconds)
                theirs = wine_run(session, plain, hud / f"plain-{number}", args.skip,
                                  args.seconds)
                ratios.append(ours.fps / theirs.fps)
                print(f"{number:>5} {ours.fps:13.1f} {theirs.fps:10.1f} {ratios[-1]:6.2f} "
                      f"{ours.cpu_ms_per_frame:22.2f} {theirs.cpu_ms_per_frame:19.2f}",
                      flush=True)
            ratio = median(ratios)
            verdict = "met" if ratio >= goal else "NOT met"
            verdicts.append(f"{name}: renderer/plain = {ratio:.2f} (goal >= {goal}): {verdict}")
    print_load("after")
    print("\n".join(verdicts))


if __name__ == "__main__":
    main()
