"""End-to-end tests of the display options through the screensaver, メロヴァン.scr,
under Wine: each option in the settings file reaches the renderer as its switch,
and a run shows it. Xvfb gives Wine one 1280 x 1024 monitor."""

from harness import (RENDERER, RENDERER_TITLE, SCREEN_HEIGHT, SCREEN_WIDTH, bmp_rows, install,
                     screen_row_bgr, settings_bytes, show_desktop_pattern, start_run)
from test_renderer import census, describe, wait_for_picture

INI = "メロヴァン.ini"


def start_with(session, dist, display):
    """A /s run with the display options (every monitor, paced, any input) stored, of a
    desktop with a picture on it (a black one would make every frame black)."""
    show_desktop_pattern(session, session.work / "desktop.png")
    scr = install(session, dist)
    (scr.parent / INI).write_bytes(settings_bytes(0, 0, display=display))
    return start_run(session, scr)


def distinct_frames(session, proc, count, box):
    """Waits for count different pictures in box while the run goes on."""
    frames = []

    def more():
        assert proc.poll() is None, f"the run ended by itself with {proc.returncode}"
        data = session.screenshot().crop_bytes(*box)
        if not frames or frames[-1] != data:
            frames.append(data)
        return len(frames) >= count

    session.wait_until(more, 60, f"{count} different frames", interval=0.2)


def test_each_option_reaches_the_renderer_as_its_switch(session, dist):
    rows = (((0, 0, 0), []), ((1, 0, 0), ["/monitors"]), ((0, 1, 0), ["/paced"]),
            ((0, 0, 1), ["/anyinput"]), ((1, 1, 1), ["/monitors", "/paced", "/anyinput"]))
    for display, switches in rows:
        proc, window = start_with(session, dist, display)
        # Wine shows the process's own Windows command line: the path, then the switches,
        # then the pictures the run wrote.
        words = session.program_arguments(RENDERER) + ["/snapshots"]
        assert words[:words.index("/snapshots")] == switches, (display, words)
        # Frames keep coming, paced or not, and without input the run goes on.
        distinct_frames(session, proc, 6, (0, 0, 1024, 768))
        assert session.end_by_escape(proc, window) == 0
        session.window_gone(RENDERER_TITLE, timeout=10)
        session.clean()


def test_every_monitor_snapshot_and_window_cover_the_screen(session, dist):
    show_desktop_pattern(session, session.work / "desktop.png")
    before = session.screenshot()
    proc, window = start_with(session, dist, (1, 0, 0))
    assert (window.x, window.y, window.width, window.height) == (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    # The snapshot is the whole virtual screen, its top row stored first.
    header, rows = bmp_rows(session.c_drive / "Merovan1.bmp")
    assert (header["width"], header["height"]) == (SCREEN_WIDTH, SCREEN_HEIGHT), header
    for y in (0, 500, SCREEN_HEIGHT - 1):
        assert rows[y] == screen_row_bgr(before, y), f"stored row {y} is not screen row {y}"

    # The drawing reaches the screen's right and bottom edges, beyond a 1024 x 768 window.
    def covered(picture):
        outside = [(x, y) for x in range(1024, SCREEN_WIDTH, 16) for y in range(0, SCREEN_HEIGHT, 16)]
        outside += [(x, y) for x in range(0, 1024, 16) for y in range(768, SCREEN_HEIGHT, 16)]
        changed = sum(picture.pixel(x, y) != before.pixel(x, y) for x, y in outside)
        return changed >= 0.9 * len(outside)

    picture = wait_for_picture(session, proc, covered, "the run over the whole screen")
    # The sheet turns about the middle of the whole screen, not of a 1024 x 768 window.
    middle = census(picture, SCREEN_WIDTH // 2 - 40, SCREEN_HEIGHT // 2 - 40,
                    SCREEN_WIDTH // 2 + 40, SCREEN_HEIGHT // 2 + 40)
    assert middle["black"] < 0.05, f"the screen's middle is not the sheet: {describe(middle)}"
    session.screenshot(session.logs / "every-monitor.png")
    assert session.end_by_escape(proc, window) == 0
