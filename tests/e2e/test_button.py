"""End-to-end tests of the gradient push button under Wine, in a test host that
places buttons of several sizes: the faces it shows for the pointer, the focus
and the mouse buttons, the leave check, and its Click."""

import time
from pathlib import Path

from test_frontend import bmp_rows

REPO = Path(__file__).resolve().parents[2]
HOST_TITLE = "ButtonHost"
# Client positions in the host (which has no border) and sizes of its buttons.
SETTEI = (20, 20, 77, 25)     # "設定"
CANCEL = (110, 20, 77, 25)    # "ｷｬﾝｾﾙ"
FILE = (20, 70, 41, 21)       # "...", disabled
COMMAND = (110, 70, 117, 28)  # the default size


def face(name):
    """A face picture as rows of (r, g, b), top row first."""
    header, rows = bmp_rows(REPO / "pictures" / f"face_{name}.bmp")
    pictures = []
    for row in reversed(rows):
        pictures.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, len(row), 3)])
    return pictures


def frame_samples(picture, w, h):
    """Where the button draws which face pixel: corners unscaled, edges stretched along
    their length by pixel replication."""
    def along_x(x):
        return 4 + (x - 4) * 56 // (w - 8)

    def along_y(y):
        return 4 + (y - 4) * 17 // (h - 8)

    mid_x, mid_y = w // 2, h // 2
    samples = {(0, 0): picture[0][0], (3, 3): picture[3][3], (1, 2): picture[2][1],
               (w - 1, 0): picture[0][63], (w - 4, 3): picture[3][60],
               (0, h - 1): picture[24][0], (w - 1, h - 1): picture[24][63]}
    for row in range(4):
        samples[(mid_x, row)] = picture[row][along_x(mid_x)]
        samples[(mid_x, h - 1 - row)] = picture[24 - row][along_x(mid_x)]
        samples[(row, mid_y)] = picture[along_y(mid_y)][row]
        samples[(w - 1 - row, mid_y)] = picture[along_y(mid_y)][63 - row]
    return samples


def start_host(session, dist):
    proc = session.start(dist.parent / "test-hosts" / "button_host.exe")
    host = session.find_window(HOST_TITLE, timeout=60, proc=proc)
    session.mouse_move(host.x + 260, host.y + 110)  # over the host, away from the buttons
    return proc, host


def shows_face(session, host, button, name):
    x0, y0, w, h = button
    shot = session.screenshot()
    return all(shot.pixel(host.x + x0 + dx, host.y + y0 + dy) == rgb
               for (dx, dy), rgb in frame_samples(face(name), w, h).items())


def wait_face(session, host, button, name, timeout=10):
    started = time.monotonic()
    session.wait_until(lambda: shows_face(session, host, button, name), timeout,
                       f"button at {button[:2]} showing the {name} face")
    return time.monotonic() - started


def centre(host, button):
    x0, y0, w, h = button
    return host.x + x0 + w // 2, host.y + y0 + h // 2


def test_faces_follow_the_pointer(session, dist):
    _, host = start_host(session, dist)
    for button in (SETTEI, COMMAND):
        wait_face(session, host, button, "normal")
    wait_face(session, host, FILE, "disable")
    # Inside the frame, left of the caption: the gradient from white at the top row to
    # lavender grey (#C6C5D7) at the bottom row, linear in 16-bit channels.
    shot = session.screenshot()
    x, y = host.x + SETTEI[0] + 6, host.y + SETTEI[1]
    for row in range(4, 21):
        expected = tuple(((0xFF00 + (end * 256 - 0xFF00) * row // 24) >> 8) for end in (0xC6, 0xC5, 0xD7))
        assert shot.pixel(x, y + row) == expected, f"gradient row {row}"

    session.mouse_move(*centre(host, SETTEI))
    wait_face(session, host, SETTEI, "highlight", timeout=5)
    # Away again: the leave check notices within a few of its 100 ms ticks.
    session.mouse_move(host.x + 260, host.y + 110)
    seconds = wait_face(session, host, SETTEI, "normal", timeout=5)
    assert seconds < 1.0, f"the pointer's leaving took {seconds:.2f} s to show"
    session.log(f"leave noticed within {seconds:.2f} s")


def test_a_click_raises_click_and_leaves_the_button_focused(session, dist):
    _, host = start_host(session, dist)
    session.click(*centre(host, SETTEI))
    session.find_window(f"{HOST_TITLE} 設定 1", timeout=10)
    wait_face(session, host, SETTEI, "highlight")  # focused, pointer over it
    session.mouse_move(host.x + 260, host.y + 110)
    wait_face(session, host, SETTEI, "selected")
    # The right button clicks too, without changing the face.
    session.click(*centre(host, CANCEL), button=3)
    session.find_window(f"{HOST_TITLE} ｷｬﾝｾﾙ 2", timeout=10)


def test_a_disabled_button_ignores_clicks(session, dist):
    _, host = start_host(session, dist)
    session.click(*centre(host, FILE))
    time.sleep(0.5)
    assert session.windows(HOST_TITLE), "the disabled button raised Click"
    assert shows_face(session, host, FILE, "disable")


def test_dragging_off_and_releasing_raises_no_click(session, dist):
    _, host = start_host(session, dist)
    session.mouse_move(*centre(host, COMMAND))
    session._xdotool("mousedown", 1)
    try:
        wait_face(session, host, COMMAND, "pressed")
        session.mouse_move(host.x + 260, host.y + 110)
        wait_face(session, host, COMMAND, "selected")
    finally:
        session._xdotool("mouseup", 1)
    time.sleep(0.5)
    assert session.windows(HOST_TITLE), "releasing off the button raised Click"


def test_tab_moves_the_focus_and_no_key_clicks(session, dist):
    _, host = start_host(session, dist)
    session.key("Tab")
    wait_face(session, host, SETTEI, "selected")
    for key in ("Return", "space"):
        session.key(key)
    time.sleep(0.5)
    assert session.windows(HOST_TITLE), "a key raised Click"
    session.key("Tab")
    wait_face(session, host, CANCEL, "selected")
    wait_face(session, host, SETTEI, "normal")
