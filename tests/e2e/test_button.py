"""End-to-end tests of the gradient push button under Wine, in a test host that
places buttons of several sizes: the faces it shows for the pointer, the focus
and the mouse buttons, the leave check, and its Click."""

from harness import shows_face

HOST_TITLE = "ButtonHost"
# Client positions in the host (which has no border) and sizes of its buttons.
SETTEI = (20, 20, 77, 25)     # "設定"
CANCEL = (110, 20, 77, 25)    # "ｷｬﾝｾﾙ"
FILE = (20, 70, 41, 21)       # "...", disabled
COMMAND = (110, 70, 117, 28)  # the default size
CAPTIONS = {SETTEI: "設定", CANCEL: "ｷｬﾝｾﾙ", COMMAND: "Command1"}  # as the title shows them


def start_host(session, dist):
    proc = session.start(dist.parent / "test-hosts" / "button_host.exe")
    host = session.find_window(HOST_TITLE, timeout=60, proc=proc)
    session.mouse_move(host.x + 260, host.y + 110)  # over the host, away from the buttons
    return proc, host


def wait_face(session, host, button, name):
    session.wait_until(lambda: shows_face(session, (host.x, host.y), button, name), 10,
                       f"button at {button[:2]} showing the {name} face")


def centre(host, button):
    x0, y0, w, h = button
    return host.x + x0 + w // 2, host.y + y0 + h // 2


def no_click_so_far(session, host, button=SETTEI):
    """Clicks button and sees the title count it as the first Click: a Click raised before
    it, by any button, would have made it the second. (Input is handled in order.)"""
    session.click(*centre(host, button))
    session.find_window(f"{HOST_TITLE} {CAPTIONS[button]} 1", timeout=10)


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
    wait_face(session, host, SETTEI, "highlight")
    # Away again: the leave check notices.
    session.mouse_move(host.x + 260, host.y + 110)
    wait_face(session, host, SETTEI, "normal")


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
    no_click_so_far(session, host)
    assert shows_face(session, (host.x, host.y), FILE, "disable")


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
    no_click_so_far(session, host)


def test_tab_skips_the_disabled_button_and_space_and_enter_click(session, dist):
    _, host = start_host(session, dist)
    # Tab goes 設定, ｷｬﾝｾﾙ, then past the disabled "..." to Command1; the title counts each Click.
    for clicks, (button, key) in enumerate(((SETTEI, "space"), (CANCEL, "Return"),
                                            (COMMAND, "space")), 1):
        session.key("Tab")
        wait_face(session, host, button, "selected")
        session.key(key)
        session.find_window(f"{HOST_TITLE} {CAPTIONS[button]} {clicks}", timeout=10)
    for button in (SETTEI, CANCEL):  # the focus left them
        wait_face(session, host, button, "normal")
    assert shows_face(session, (host.x, host.y), FILE, "disable")
    session.key("shift+Tab")
    wait_face(session, host, CANCEL, "selected")
    session.key("Return")
    session.find_window(f"{HOST_TITLE} ｷｬﾝｾﾙ 4", timeout=10)
