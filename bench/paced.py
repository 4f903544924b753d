#!/usr/bin/env python3
"""Frames and processor time of the renderer with /paced against without.

    bench/paced.py [--rounds 4] [--seconds 8] [--dist DIR]

Under Wine on one Xvfb display, by turns: the renderer with `/paced` (one
frame per display refresh; Xvfb swaps at once, so the renderer's timer paces
it to the refresh Wine reports, or 60 Hz) and without (frames back to back).
Mesa's HUD counts the frames; the processor time of the renderer, the Wine
server and the X server is read over the same seconds.

Goals: the paced frame rate stays within 5 % above the refresh rate, and the
processor time per second falls at least in proportion to the frames saved
(paced/unpaced processor time <= paced/unpaced frame rate).
"""

from common import (install_renderer, median, new_session, print_load, round_arguments,
                    write_snapshots)
from renderer_fps import wine_run

REFRESH_HZ = 60  # what Wine reports for Xvfb; a rate of 0 or 1 means 60 to the renderer
SCREEN_SIZE = (1280, 1024)


def main():
    parser = round_arguments(__doc__.split("\n\n")[0], rounds=4)
    args = parser.parse_args()

    print_load("before")
    rows = []
    with new_session(args) as session:
        renderer = install_renderer(session, args.dist)
        write_snapshots(session.c_drive, *SCREEN_SIZE)
        print("round  paced fps  free fps  paced CPU s/s  free CPU s/s  fps ratio  CPU ratio",
              flush=True)
        for number in range(1, args.rounds + 1):
            hud = args.work / "hud" / "paced"
            paced = wine_run(session, renderer, hud / f"paced-{number}", args.skip,
                             args.seconds, args=["/paced"])
            free = wine_run(session, renderer, hud / f"free-{number}", args.skip, args.seconds)
            rows.append((paced.fps, free.fps, paced.cpu_per_second, free.cpu_per_second,
                         paced.fps / free.fps, paced.cpu_per_second / free.cpu_per_second))
            print(f"{number:>5} " + " ".join(f"{v:{w}.{p}f}" for v, w, p in
                                             zip(rows[-1], (10, 9, 14, 13, 10, 10),
                                                 (1, 1, 3, 3, 3, 3))), flush=True)
    print_load("after")
    medians = [median(column) for column in zip(*rows)]
    print("median " + " ".join(f"{v:.3f}" for v in medians))
    within = medians[0] <= REFRESH_HZ * 1.05
    falls = medians[5] <= medians[4]
    print(f"paced frame rate {medians[0]:.1f} fps (goal <= {REFRESH_HZ * 1.05:.0f}): "
          f"{'met' if within else 'NOT met'}; processor time ratio {medians[5]:.3f} against "
          f"frame rate ratio {medians[4]:.3f}: {'met' if falls else 'NOT met'}")


if __name__ == "__main__":
    main()
