"""End-to-end tests of the renderer's switches and of its start while the
pictures load, under Wine.

Switches: /anyinput ends the run on any key, button, wheel or pointer move;
/monitors is tested through the screensaver, in test_display_options.py.
Loading: the pictures are prepared off the drawing thread, so the window stays
black until they are ready and Escape works meanwhile.
"""

import itertools
import struct
import sys
import time

from harness import RENDERER_TITLE as TITLE
from harness import HarnessTimeout, write_bmp
from test_renderer import (census, describe, diagonal_stripes, draws_something,
                           remove_snapshots, renderer_path, snapshot_paths, solid,
                           wait_for_picture)

HUGE_SIDE = 16384  # the largest picture the renderer reads: 805 MB


def start(session, dist, *switches):
    assert not session.windows(TITLE), f"a window {TITLE!r} is open before the start"
    proc = session.start(renderer_path(dist), list(switches))
    return proc, session.find_window(TITLE, timeout=60, proc=proc)


def write_huge_stripes(path, side=HUGE_SIDE, cell=2048):
    """A side x side picture of red, green and blue diagonal stripes, written
    row by row (a pixel at a time would take minutes)."""
    stride = side * 3  # a multiple of four: no padding
    palette = (b"\x00\x00\xff", b"\x00\xff\x00", b"\xff\x00\x00")  # red, green, blue as BGR
    rows = [b"".join(palette[(x // cell + shift) % 3] * cell for x in range(0, side, cell))
            for shift in range(3)]
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + stride * side, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, stride * side, 0, 0, 0, 0))
        for stored in range(side):
            f.write(rows[((side - 1 - stored) // cell) % 3])


def textured(picture):
    shares = census(picture)
    return all(shares[c] >= 0.01 for c in ("red", "green", "blue"))


def black(picture):
    return census(picture, step=4)["black"] >= 0.99


def test_large_picture_window_stays_black_then_textured(session, dist):
    remove_snapshots(session)
    write_huge_stripes(snapshot_paths(session, 1)[0])
    write_bmp(snapshot_paths(session, 2)[0], *solid((0, 0, 0), 93, 85))
    proc, window = start(session, dist)
    seen = []

    def black_until_textured(picture):
        if textured(picture):
            return True
        # Anything else would be the sheet drawn before its picture: grey, or tinted.
        assert black(picture), f"neither black nor the picture: {describe(census(picture))}"
        seen.append(picture)
        return False

    wait_for_picture(session, proc, black_until_textured, "the huge picture on the sheet",
                     timeout=120)
    print(f"  black screenshots before the picture: {len(seen)}", file=sys.stderr)
    assert session.end_by_escape(proc, window) == 0


def test_escape_while_a_large_picture_loads(session, dist):
    remove_snapshots(session)
    write_huge_stripes(snapshot_paths(session, 1)[0])
    write_bmp(snapshot_paths(session, 2)[0], *solid((0, 0, 0), 93, 85))
    proc, window = start(session, dist)
    session.mouse_move(*window.center)
    assert black(session.screenshot()), "the window is not black while the picture loads"
    pressed = time.monotonic()
    code = session.end_by_escape(proc, window)
    assert code == 0, f"exit code {code} after Escape"
    session.window_gone(TITLE, timeout=10)
    print(f"  Escape down to exit: {time.monotonic() - pressed:.2f} s", file=sys.stderr)


def test_any_input_ends_an_anyinput_run(session, dist):
    remove_snapshots(session)
    write_bmp(snapshot_paths(session, 1)[0], *diagonal_stripes())

    def move_until_it_ends(x, y):
        # Moves count after the run's first half second: back and forth until one ends it.
        spots = itertools.cycle([(x + 20, y), (x, y)])
        session.wait_until(lambda: session.mouse_move(*next(spots)) or proc.poll() is not None, 15,
                           "the end of the run after 20-pixel moves", interval=0.2)

    ways = {
        "a click": lambda x, y: session.click(x, y),
        "a key other than Escape": lambda x, y: session.key("a"),
        "20-pixel moves": move_until_it_ends,
        "a turn of the wheel": lambda x, y: session.click(x, y, button=5),
        "a sideways turn of the wheel": lambda x, y: session.click(x, y, button=6),
    }
    for name, act in ways.items():
        # The pointer rests in the window before it shows, so that only the act moves it.
        x, y = 400, 300
        session.mouse_move(x, y)
        proc, window = start(session, dist, "/anyinput")
        wait_for_picture(session, proc, draws_something, f"a drawn frame before {name}")
        act(x, y)
        try:
            code = session.wait_exit(proc, timeout=15)
        except HarnessTimeout:
            raise AssertionError(f"{name} did not end the run") from None
        assert code == 0, f"exit code {code} after {name}"
        session.window_gone(TITLE, timeout=10)
