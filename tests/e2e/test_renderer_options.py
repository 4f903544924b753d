"""End-to-end tests of the renderer's switches and of its start while the
pictures load, under Wine.

Switches: /monitors covers the whole virtual screen (Xvfb gives Wine one
1280x1024 monitor), /anyinput ends the run on any key, button or pointer move.
Loading: the pictures are prepared off the drawing thread, so the window stays
black until they are ready and Escape works meanwhile.
"""

import struct
import sys
import time

from harness import RENDERER_TITLE as TITLE
from harness import HarnessTimeout, SCREEN_HEIGHT, SCREEN_WIDTH, write_bmp
from test_renderer import (census, describe, diagonal_stripes, draws_something,
                           remove_snapshots, renderer_path, snapshot_paths, solid,
                           wait_for_picture)

ROOT_COLOUR = (48, 96, 144)
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


def test_monitors_switch_covers_the_whole_screen(session, dist):
    remove_snapshots(session)
    write_bmp(snapshot_paths(session, 1)[0], *diagonal_stripes(SCREEN_WIDTH, SCREEN_HEIGHT))
    write_bmp(snapshot_paths(session, 2)[0], *solid((0, 0, 0), 93, 85))
    session.paint_root(ROOT_COLOUR)
    proc, window = start(session, dist, "/MONITORS")

    def placed():
        geometry = session.window_geometry(window.id, TITLE)
        return (geometry.x, geometry.y, geometry.width, geometry.height) == \
            (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)

    session.wait_until(placed, 10, "the window over the whole screen")
    picture = wait_for_picture(
        session, proc, lambda p: textured(p) and p.count(lambda rgb: rgb == ROOT_COLOUR, step=2) == 0,
        "the picture over the whole screen")
    # The sheet turns about the middle of the whole screen, not of a 1024 x 768 window.
    middle = census(picture, SCREEN_WIDTH // 2 - 40, SCREEN_HEIGHT // 2 - 40,
                    SCREEN_WIDTH // 2 + 40, SCREEN_HEIGHT // 2 + 40)
    assert middle["black"] < 0.05, f"the screen's middle is not the sheet: {describe(middle)}"
    session.screenshot(session.logs / "monitors.png")
    assert session.end_by_escape(proc, window) == 0


def test_any_input_ends_an_anyinput_run(session, dist):
    remove_snapshots(session)
    write_bmp(snapshot_paths(session, 1)[0], *diagonal_stripes())
    ways = {
        "a click": lambda x, y: session.click(x, y),
        "a key other than Escape": lambda x, y: session.key("a"),
        "a 20-pixel move": lambda x, y: session.mouse_move(x + 20, y),
    }
    for name, act in ways.items():
        # The pointer rests in the window before it shows, so that only the act moves it.
        x, y = 400, 300
        session.mouse_move(x, y)
        proc, window = start(session, dist, "/anyinput")
        shown = time.monotonic()
        wait_for_picture(session, proc, draws_something, f"a drawn frame before {name}")
        session.wait_until(lambda: time.monotonic() - shown > 1.0, 5,
                           "the end of the half second in which moves do not count")
        assert proc.poll() is None, f"the renderer ended before {name}"
        act(x, y)
        try:
            code = session.wait_exit(proc, timeout=15)
        except HarnessTimeout:
            raise AssertionError(f"{name} did not end the run") from None
        assert code == 0, f"exit code {code} after {name}"
        session.window_gone(TITLE, timeout=10)


def test_anyinput_run_without_input_keeps_going(session, dist):
    remove_snapshots(session)
    write_bmp(snapshot_paths(session, 1)[0], *diagonal_stripes())
    session.mouse_move(400, 300)
    proc, window = start(session, dist, "/anyinput")
    frames = []

    def many_frames(picture):
        assert proc.poll() is None, f"the renderer ended by itself with {proc.returncode}"
        data = picture.crop_bytes(0, 0, 1024, 768)
        if not frames or frames[-1] != data:
            frames.append(data)
        return len(frames) >= 8

    session.wait_until(lambda: many_frames(session.screenshot()), 60,
                       "eight different frames of a run with no input", interval=0.2)
    assert proc.poll() is None, "the renderer ended without input"
    assert session.end_by_escape(proc, window) == 0
