"""End-to-end tests of the screensaver program, メロヴァン.scr, under Wine:
its switches, the desktop snapshot, the renderer's start and watch, the end
of a run, and the preview inside another program's window."""

import shutil
import subprocess
import time
from pathlib import Path

from harness import HarnessTimeout, read_bmp_header

SCR = "メロヴァン.scr"
RENDERER = "メロヴァン.dll"
RUN_CAPTION = "Merovan_Main"
RENDERER_TITLE = "Merovan_VC"
PROGRAM_TITLE = "メロヴァン"
# Program folders with blanks and Japanese in their names.
INSTALL_FOLDER = "ﾃｽﾄ ﾌｫﾙﾀﾞ"
REPO = Path(__file__).resolve().parents[2]


# ----------------------------------------------------------------- helpers ---
def settings_bytes(kind, repeat, music=""):
    """A settings file as the settings window writes it: code page 932, CR LF lines."""
    return f"[Section]\r\nBGM区分= {kind}\r\nBGMﾘﾋﾟｰﾄ= {repeat}\r\nBGMﾌｧｲﾙ={music}\r\n".encode("cp932")


def install(session, dist, renderer=True):
    """Copies the programs into a folder of their own on C:; returns the .scr."""
    folder = session.c_drive / INSTALL_FOLDER / "メロヴァン"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy(dist / SCR, folder)
    if renderer:
        shutil.copy(dist / RENDERER, folder)
    return folder / SCR


def wintool(dist):
    return (dist.parent / "test-hosts" / "wintool.exe").resolve()


def show_desktop_pattern(session, path):
    """Puts an asymmetric picture on the X root window, which Wine's desktop
    shows: red at the top fading to blue at the bottom, with white marks."""
    subprocess.run(["convert", "-size", "1280x1024", "gradient:red-blue", "-fill", "white",
                    "-draw", "rectangle 100,50 300,120", "-draw", "rectangle 900,800 1000,1010",
                    "-fill", "yellow", "-draw", "rectangle 0,0 0,1023", str(path)],
                   check=True, env=session.env, timeout=60)
    # display sets the picture as the root's background and exits at once.
    subprocess.run(["display", "-window", "root", str(path)], env=session.env, timeout=60)


def bmp_rows(path):
    """(width, height, rows) of a 24-bit bottom-up bitmap; rows[i] is the
    i-th row stored in the file, as bytes of blue-green-red pixels."""
    header = read_bmp_header(path)
    data = Path(path).read_bytes()
    stride = (header["width"] * 3 + 3) // 4 * 4
    rows = [data[header["offset"] + i * stride: header["offset"] + i * stride + header["width"] * 3]
            for i in range(header["height"])]
    return header, rows


def screen_row_bgr(picture, y):
    return b"".join(bytes((b, g, r)) for r, g, b in (picture.pixel(x, y) for x in range(picture.width)))


def parse_wintool(text):
    """wintool's lines as {label: {key: value}}; a caption runs to the line's end."""
    lines = {}
    for line in text.splitlines():
        if not line.strip():
            continue
        caption = None
        if " caption=" in line:
            line, caption = line.split(" caption=", 1)
        words = line.split()
        lines[words[0]] = dict(word.split("=", 1) for word in words if "=" in word)
        if caption is not None:
            lines[words[0]]["caption"] = caption.rstrip("\r")
    return lines


def start_run(session, scr, switch="/s"):
    proc = session.start(scr, [switch])
    window = session.find_window(RENDERER_TITLE, timeout=60)
    return proc, window


def end_run_by_escape(session, proc, window):
    """Holds Escape over the renderer; returns seconds from the key going down
    to the screensaver's exit, and its exit code."""
    session.mouse_move(window.x + window.width // 2, window.y + window.height // 2)
    session._xdotool("keydown", "Escape")
    pressed = time.monotonic()
    try:
        code = session.wait_exit(proc, 15)
        return time.monotonic() - pressed, code
    finally:
        session._xdotool("keyup", "Escape")


def snapshot_files(session):
    return [p for p in (session.c_drive / "Merovan1.bmp", session.c_drive / "Merovan2.bmp") if p.exists()]


# ------------------------------------------------------------------- tests ---
def test_run_snapshots_desktop_and_ends_after_escape(session, dist):
    scr = install(session, dist)
    show_desktop_pattern(session, session.work / "desktop.png")
    before = session.screenshot()
    proc, window = start_run(session, scr)
    assert (window.x, window.y, window.width, window.height) == (0, 0, 1024, 768)

    header, rows = bmp_rows(session.c_drive / "Merovan1.bmp")
    assert (header["width"], header["height"], header["bits"], header["compression"]) == \
        (1280, 1024, 24, 0), header
    assert header["offset"] == 54 and header["info_size"] == 40
    # The first stored row is the screen's top row: the file is the screen upside down.
    for y in (0, 1, 50, 80, 512, 900, 1022, 1023):
        assert rows[y] == screen_row_bgr(before, y), f"stored row {y} is not screen row {y}"
    back, back_rows = bmp_rows(session.c_drive / "Merovan2.bmp")
    assert back["bits"] == 24 and back["width"] > 0 and back["height"] > 0
    assert all(set(row) == {0} for row in back_rows), "the second picture is not solid black"

    # The pointer is hidden over the turning desktop, and shows again after the run.
    session.mouse_move(window.x + 512, window.y + 384)
    session.wait_until(lambda: session.cursor_image()[4] == 0, 10, "the pointer hidden")
    seconds, code = end_run_by_escape(session, proc, window)
    assert code == 0
    assert seconds < 2.0, f"the run took {seconds:.2f} s to end after Escape"
    session.window_gone(RENDERER_TITLE, timeout=5)
    session.wait_until(lambda: session.cursor_image()[4] > 0, 10, "the pointer shown again")
    session.log(f"run ended {seconds:.2f} s after Escape went down")


def test_second_start_while_running_ends_silently(session, dist):
    scr = install(session, dist)
    proc, window = start_run(session, scr)
    for switch in ("/s", "/c", "/p 1234"):
        assert session.run(scr, [switch], timeout=30) == 0
    assert len(session.windows(RENDERER_TITLE)) == 1
    _, code = end_run_by_escape(session, proc, window)
    assert code == 0


def renderer_processes(session):
    return [p for p in session.wine_processes().values() if p.lower().endswith(RENDERER)]


def test_two_starts_at_once_give_one_run_that_escape_ends(session, dist):
    scr = install(session, dist)
    # Ten starts 0.1 s apart, and ten at the same moment, which catch the race more often.
    for attempt, gap in enumerate([0.1] * 10 + [0.0] * 10):
        first = session.start(scr, ["/s"])
        time.sleep(gap)  # how closely the second start follows the first: not a wait
        second = session.start(scr, ["/s"])
        refused = session.wait_until(lambda: [p for p in (first, second) if p.poll() is not None],
                                     60, f"attempt {attempt}: one of two starts ending")
        assert len(refused) == 1 and refused[0].returncode == 0, f"attempt {attempt}"
        run = second if refused[0] is first else first
        window = session.find_window(RENDERER_TITLE, timeout=60, proc=run)
        assert len(renderer_processes(session)) == 1, f"attempt {attempt}"
        _, code = end_run_by_escape(session, run, window)
        assert code == 0, f"attempt {attempt}"
        session.wait_until(lambda: not renderer_processes(session), 30,
                           f"attempt {attempt}: the renderer's end")


def test_missing_renderer_shows_the_message_and_starts_nothing(session, dist):
    scr = install(session, dist, renderer=False)
    for switch in ("/s", "/c", "/a"):
        proc = session.start(scr, [switch])
        box = session.find_window(PROGRAM_TITLE, timeout=60)
        session.mouse_move(box.x + box.width // 2, box.y + box.height // 2)
        session.key("Return")
        assert session.wait_exit(proc, 15) == 0
        assert not snapshot_files(session)
        assert not session.windows(RENDERER_TITLE)


def test_a_renderer_that_cannot_start_is_reported(session, dist):
    scr = install(session, dist, renderer=False)
    for content in (b"", b"not a program\r\n"):
        (scr.parent / RENDERER).write_bytes(content)
        proc = session.start(scr, ["/s"])
        box = session.find_window(PROGRAM_TITLE, timeout=60, proc=proc)
        texts = session.wine_output([str(wintool(dist)), "texts", PROGRAM_TITLE]).splitlines()
        assert "メロヴァン.dll を起動できません" in texts, texts
        session.mouse_move(box.x + box.width // 2, box.y + box.height // 2)
        session.key("Return")
        assert session.wait_exit(proc, 15) == 0
        assert not session.windows(RENDERER_TITLE)


def test_other_switches_end_without_running(session, dist):
    scr = install(session, dist)
    for switch in ("/a", "/", "x", "/z:99"):
        started = time.monotonic()
        assert session.run(scr, [switch], timeout=30) == 0
        assert time.monotonic() - started < 20
    assert not snapshot_files(session)
    assert not session.windows(RENDERER_TITLE)


def test_preview_is_a_child_of_the_given_window_and_ends_with_it(session, dist):
    scr = install(session, dist)
    text = session.wine_output([str(wintool(dist)), "preview", session.win_path(scr), "152", "112"],
                               timeout=120)
    lines = parse_wintool(text)
    assert "child" in lines, text
    parent, child = lines["parent"], lines["child"]
    assert child["caption"] == "Preview Window"
    assert child["parent"] == parent["hwnd"]
    assert (child["x"], child["y"], child["width"], child["height"]) == ("100", "100", "152", "112")
    assert int(child["style"], 16) & 0x40000000, "the preview is not a child window"
    assert child["visible"] == "1"
    # Destroying the parent ends the preview process.
    ended = lines.get("process", {})
    assert ended.get("ended") == "1", text
    assert int(ended["after_ms"]) < 2000
    assert ended["exit"] == "0"


def test_preview_picture_fills_its_window_from_the_top_left(session, dist):
    """The preview form's own drawing, shown in-process by a test host."""
    host = dist.parent / "test-hosts" / "preview_host.exe"
    expected_header, expected = bmp_rows(REPO / "pictures" / "preview_desktop.bmp")
    for width, height in ((152, 112), (200, 150)):
        out = session.c_drive / f"preview-{width}.bmp"
        assert session.run(host, [session.win_path(out), width, height], timeout=60) == 0
        header, rows = bmp_rows(out)
        assert (header["width"], header["height"]) == (width, height)
        # Stored bottom-up: the picture's top row is the last stored row.
        for y in range(112):
            got = rows[height - 1 - y][:152 * 3]
            assert got == expected[111 - y], f"{width}x{height}: picture row {y} differs"
        black = bytes(3 * (width - 152))
        for y in range(height):
            assert rows[height - 1 - y][152 * 3:] == black, f"{width}x{height}: row {y} right of the picture"
        for y in range(112, height):
            assert set(rows[height - 1 - y]) == {0}, f"{width}x{height}: row {y} below the picture"


def test_preview_without_a_usable_window_ends_at_once(session, dist):
    scr = install(session, dist)
    for argument in ("/p 0", "/p", "/p abc", "/p 999999"):
        started = time.monotonic()
        assert session.run(scr, argument.split(), timeout=30) == 0
        assert time.monotonic() - started < 20


def test_preview_refuses_the_desktop_and_the_renderers_window(session, dist):
    scr = install(session, dist)
    tool = str(wintool(dist))
    renderer = session.start(dist / RENDERER)
    window = session.find_window(RENDERER_TITLE, timeout=60, proc=renderer)
    for name, args in (("desktop", ["desktop"]), ("window", ["window", RENDERER_TITLE])):
        parent = parse_wintool(session.wine_output([tool, *args]))[name]["hwnd"]
        assert session.run(scr, ["/p", parent], timeout=30) == 0, name
    assert not session.windows("Preview Window")
    # The renderer still ends on Escape.
    session.mouse_move(*window.center)
    session.key_hold("Escape", 0.4)
    assert session.wait_exit(renderer, 15) == 0


def run_as_user(session, dist, case):
    """Runs a case of as_user_run.py as an ordinary user (root ignores file modes), with
    a prefix of that user's own, on this run's display."""
    import os
    import pwd
    from harness import Skip
    user = "merovan-e2e"
    if os.geteuid() != 0:
        raise Skip("needs root to run as another user")
    try:
        pwd.getpwnam(user)
    except KeyError:
        subprocess.run(["useradd", "--create-home", user], check=True, timeout=60)
    # Wine wants the prefix's parent folder to belong to the user; the programs are
    # copied there because the user may not read the build folder.
    work = Path("/home") / user / "merovan-e2e"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    shutil.copytree(dist, work / "dist")
    shutil.copytree(dist.parent / "test-hosts", work / "test-hosts")
    here = Path(__file__).resolve().parent
    shutil.copytree(here, work / "e2e", ignore=shutil.ignore_patterns("__pycache__", "hosts"))
    subprocess.run(["chown", "-R", f"{user}:{user}", str(work)], check=True, timeout=60)
    try:
        result = subprocess.run(
            ["runuser", "-u", user, "--", "python3", str(work / "e2e" / "as_user_run.py"), "--case", case,
             "--display", session.display, "--work", str(work / "work"), "--dist", str(work / "dist")],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600, cwd=work)
        output = result.stdout.decode("utf-8", "replace")
        for line in output.strip().splitlines()[-3:]:
            session.log(line)
        assert result.returncode == 0, output[-3000:]
    finally:
        subprocess.run(["pkill", "-u", user], timeout=30)
        shutil.rmtree(work, ignore_errors=True)


def test_readonly_root_sends_snapshots_to_the_temporary_folder(session, dist):
    run_as_user(session, dist, "readonly-root")
