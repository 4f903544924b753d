"""End-to-end tests of the renderer, メロヴァン.dll, under Wine.

The renderer reads the snapshots Merovan1 (the picture on the turning sheet)
and Merovan2 (the background) from C:\\ or %TEMP%, whichever copy is newer,
or from where /snapshots says, and draws them full speed into a 1024x768
pop-up "Merovan_VC" at (0, 0).
"""

import os
import random
import struct
import time

from harness import RENDERER, RENDERER_TITLE, HarnessTimeout, parse_wintool, wintool, write_bmp

WIDTH, HEIGHT = 1024, 768
ROOT_COLOUR = (48, 96, 144)

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
# Corner tints of the background quad, as they show with no background picture.
TINTS = {"top-left": (255, 204, 255), "top-right": (204, 204, 255),
         "bottom-right": (204, 255, 204), "bottom-left": (255, 204, 204)}


# ----------------------------------------------------------------- helpers ---
def renderer_path(dist):
    path = dist / RENDERER
    assert path.is_file(), f"{path} has not been built"
    return path


def snapshot_paths(session, n):
    """The two places snapshot n is read from: C:\\MerovanN.BMP and %TEMP%\\MerovanN.bmp."""
    return session.c_drive / f"Merovan{n}.BMP", session.temp_dir / f"Merovan{n}.bmp"


def remove_snapshots(session):
    for n in (1, 2):
        for path in snapshot_paths(session, n):
            path.unlink(missing_ok=True)


def solid(colour, width=64, height=48):
    return width, height, lambda x, y: colour


def diagonal_stripes(width=288, height=216, cell=24):
    """Red, green and blue cells along diagonals: every row and every column
    of cells holds all three, wherever the sheet's bright crest falls."""
    palette = (RED, GREEN, BLUE)
    return width, height, lambda x, y: palette[(x // cell + y // cell) % 3]


def set_mtime(path, seconds_ago):
    stamp = time.time() - seconds_ago
    os.utime(path, (stamp, stamp))


def classify(rgb):
    r, g, b = rgb
    top = max(rgb)
    if top <= 24:
        return "black"
    if min(rgb) >= 100:
        return "light"
    if top >= 80:
        for name, value in (("red", r), ("green", g), ("blue", b)):
            if value == top and sum(rgb) - value <= 0.5 * top:
                return name
    return "other"


def census(picture, x0=0, y0=0, x1=WIDTH, y1=HEIGHT, step=2):
    """Share (0..1) of each colour class among the sampled pixels of a box."""
    counts = {}
    total = 0
    for _, _, rgb in picture.pixels(x0, y0, x1, y1, step):
        name = classify(rgb)
        counts[name] = counts.get(name, 0) + 1
        total += 1
    return {name: counts.get(name, 0) / total
            for name in ("black", "light", "red", "green", "blue", "other")}


def describe(shares):
    return ", ".join(f"{name} {share:.1%}" for name, share in shares.items() if share)


def start_renderer(session, dist, args=(), extra_env=None):
    assert not session.windows(RENDERER_TITLE), f"a window {RENDERER_TITLE!r} is open before the start"
    proc = session.start(renderer_path(dist), args, extra_env=extra_env)
    window = session.find_window(RENDERER_TITLE, timeout=30, proc=proc)
    return proc, window


def wait_for_picture(session, proc, condition, what, timeout=30):
    """Screenshots until condition(picture) holds; the renderer must keep running.
    Returns the picture."""
    last = {}

    def check():
        assert proc.poll() is None, f"the renderer ended with {proc.returncode} while drawing"
        picture = session.screenshot()
        last["picture"] = picture
        return picture if condition(picture) else None

    try:
        return session.wait_until(check, timeout, what, interval=0.2)
    except HarnessTimeout:
        shares = census(last["picture"]) if last else {}
        what = what() if callable(what) else what
        raise AssertionError(f"{what} did not show within {timeout} s "
                             f"(window last showed {describe(shares)})") from None


def draws_something(picture):
    shares = census(picture, step=4)
    return shares["black"] < 0.9 and max(shares.values()) < 0.99


# ------------------------------------------------------------------- tests ---
def test_window_geometry_styles_pointer_and_picture(session, dist):
    remove_snapshots(session)
    write_bmp(snapshot_paths(session, 1)[0], *diagonal_stripes())
    write_bmp(snapshot_paths(session, 2)[0], *solid((0, 0, 0), 93, 85))
    session.paint_root(ROOT_COLOUR)
    before = session.screenshot()
    assert before.pixel(WIDTH + 10, 10) == ROOT_COLOUR and before.pixel(10, HEIGHT + 10) == ROOT_COLOUR, \
        "the root window did not take its test colour"

    proc, window = start_renderer(session, dist)

    def placed():
        nonlocal window
        window = session.window_geometry(window.id, RENDERER_TITLE)
        return (window.x, window.y, window.width, window.height) == (0, 0, WIDTH, HEIGHT)

    try:
        session.wait_until(placed, 10, "window placement")
    except HarnessTimeout:
        raise AssertionError(f"the window is {window.width}x{window.height} at ({window.x}, "
                             f"{window.y}), not {WIDTH}x{HEIGHT} at (0, 0)") from None

    def all_three_colours(picture):
        shares = census(picture)
        return all(shares[c] >= 0.01 for c in ("red", "green", "blue"))

    picture = wait_for_picture(session, proc, all_three_colours, "the test picture's colours")
    shares = census(picture)
    # Black background picture: the sheet sits on black, and no pixel is the
    # pale vertex tint that shows when the background is not textured.
    assert shares["black"] >= 0.2, f"too little black around the sheet: {describe(shares)}"
    assert shares["light"] < 0.002, f"pale pixels on a black background: {describe(shares)}"
    # Outside the window the screen is as it was before the renderer started.
    for box in ((WIDTH, 0, before.width, before.height), (0, HEIGHT, WIDTH, before.height)):
        assert picture.crop_bytes(*box) == before.crop_bytes(*box), \
            f"the renderer drew outside its window, in the box {box}"

    # Above every other window, with no taskbar button: WS_EX_TOPMOST and WS_EX_TOOLWINDOW,
    # and not WS_EX_APPWINDOW.
    line = parse_wintool(session.wine_output([str(wintool(dist)), "window", RENDERER_TITLE]))["window"]
    assert int(line["exstyle"], 16) & 0x40088 == 0x88, f"extended styles {line['exstyle']}"
    # Over the window the pointer has no picture; beside it, its usual one.
    for x, y, hidden in ((WIDTH // 2, HEIGHT // 2, True), (WIDTH + 100, HEIGHT + 100, False)):
        session.mouse_move(x, y)
        session.wait_until(lambda: (session.cursor_image()[4] == 0) == hidden, 10,
                           f"the pointer {'hidden' if hidden else 'shown'} at ({x}, {y})")
    code = session.end_by_escape(proc, window)
    assert code == 0, f"exit code {code} after Escape"


def test_escape_ends_with_code_0(session, dist):
    remove_snapshots(session)
    proc, window = start_renderer(session, dist)
    first = wait_for_picture(session, proc, draws_something, "a drawn frame")
    # It goes on drawing, and does not end by itself, until Escape.
    wait_for_picture(session, proc, lambda p: p.data != first.data, "a later, different frame")
    code = session.end_by_escape(proc, window)
    assert code == 0, f"exit code {code} after Escape"
    session.window_gone(RENDERER_TITLE, timeout=10)


def test_close_message_ends_with_code_0(session, dist):
    remove_snapshots(session)
    proc, window = start_renderer(session, dist)
    wait_for_picture(session, proc, draws_something, "a drawn frame")
    assert session.close_by_message(RENDERER) == 0, "taskkill found no window to close"
    code = session.wait_exit(proc, timeout=15)
    assert code == 0, f"exit code {code} after WM_CLOSE"
    session.window_gone(RENDERER_TITLE, timeout=10)


def test_missing_files_show_vertex_colours(session, dist):
    remove_snapshots(session)
    proc, window = start_renderer(session, dist)
    inset = 24
    boxes = {"top-left": (inset, inset), "top-right": (WIDTH - inset - 16, inset),
             "bottom-right": (WIDTH - inset - 16, HEIGHT - inset - 16),
             "bottom-left": (inset, HEIGHT - inset - 16)}

    def near(a, b, tolerance=20):
        return all(abs(p - q) <= tolerance for p, q in zip(a, b))

    def tinted(rgb):
        # The untextured background is pale and coloured; the untextured
        # sheet is grey (r = g = b).
        return min(rgb) >= 150 and max(rgb) - min(rgb) >= 25

    def row_tint(picture, y):
        return picture.count(tinted, 0, y, WIDTH, y + 1)

    seen = set()

    def tints_and_edges(picture):
        # The outermost rows are black (or the sheet passing over them) in
        # every frame; never the background.
        for y in (0, 1, HEIGHT - 2, HEIGHT - 1):
            assert row_tint(picture, y) == 0, f"row {y} shows the background; it should stay black"
        for y in (6, HEIGHT - 7):
            if row_tint(picture, y) >= WIDTH // 5:
                seen.add(f"row {y}")
        # The sheet turns over the corners now and then: each corner must
        # show its tint in some frame.
        for corner, (x, y) in boxes.items():
            if all(near(rgb, TINTS[corner]) for _, _, rgb in picture.pixels(x, y, x + 16, y + 16, 4)):
                seen.add(corner)
        return len(seen) == len(boxes) + 2

    wait_for_picture(session, proc, tints_and_edges,
                     lambda: "the four corner tints and the background next to the black edge rows "
                             f"(seen: {', '.join(sorted(seen)) or 'none'})")
    code = session.end_by_escape(proc, window)
    assert code == 0, f"exit code {code} after Escape"


def corrupt_variants():
    w, h, _ = diagonal_stripes()
    stride = (w * 3 + 3) & ~3
    header = struct.pack("<2sIHHI", b"BM", 54 + stride * h, 0, 0, 54) + \
        struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, stride * h, 2835, 2835, 0, 0)
    rng = random.Random(20240601)
    huge = struct.pack("<2sIHHI", b"BM", 0xFFFFFFF0, 0, 0, 54) + \
        struct.pack("<IiiHHIIiiII", 40, 0x7FFFFFFF, 0x7FFFFFFF, 1, 24, 0, 0xFFFFFFF0, 0, 0, 0, 0)
    far_offset = struct.pack("<2sIHHI", b"BM", 54 + stride * h, 0, 0, 0x7FFFFFF0) + header[14:]
    return {
        "BM and garbage": b"BM" + bytes(rng.randrange(256) for _ in range(300)),
        "truncated pixels": header + bytes([90]) * 1000,
        "truncated header": header[:30],
        "huge size": huge + bytes(64),
        "negative size": struct.pack("<2sIHHI", b"BM", 54 + 64, 0, 0, 54)
        + struct.pack("<IiiHHIIiiII", 40, -40000, -30000, 1, 24, 0, 64, 0, 0, 0, 0) + bytes(64),
        "pixel offset past the end": far_offset + bytes(100),
        "empty": b"",
    }


def test_corrupt_files_do_not_crash(session, dist):
    # Each damaged file goes in one slot, by turns, with a good orange picture
    # in the other, so there is always something to see while it runs.
    failures = []
    for number, (name, blob) in enumerate(corrupt_variants().items()):
        remove_snapshots(session)
        damaged, good = (1, 2) if number % 2 == 0 else (2, 1)
        name = f"{name} as Merovan{damaged}"
        snapshot_paths(session, damaged)[0].write_bytes(blob)
        write_bmp(snapshot_paths(session, good)[0], *solid((230, 130, 30)))
        try:
            proc, window = start_renderer(session, dist)
            wait_for_picture(session, proc, draws_something, f"a drawn frame with {name}")
            code = session.end_by_escape(proc, window)
            if code != 0:
                failures.append(f"{name}: exit code {code}")
        except AssertionError as e:
            failures.append(f"{name}: {e}")
        session.kill_started()
    assert not failures, "; ".join(failures)


def test_temp_copy_newer_wins(session, dist):
    # Run 1: the %TEMP% copy of Merovan1 is newer; Merovan2 is only in %TEMP%.
    # Run 2: the C:\ copy of Merovan1 is newer; Merovan2 is only on C:\.
    for newer, older, where in ((GREEN, RED, 1), (RED, GREEN, 0)):
        remove_snapshots(session)
        c_path, temp_path = snapshot_paths(session, 1)
        newer_path, older_path = (temp_path, c_path) if where == 1 else (c_path, temp_path)
        write_bmp(older_path, *solid(older))
        write_bmp(newer_path, *solid(newer))
        set_mtime(older_path, 3600)
        set_mtime(newer_path, 60)
        write_bmp(snapshot_paths(session, 2)[where], *solid(BLUE, 93, 85))
        shown, hidden = ("green", "red") if newer == GREEN else ("red", "green")

        proc, window = start_renderer(session, dist)
        picture = wait_for_picture(
            session, proc, lambda p: (lambda s: s[shown] >= 0.02 and s["blue"] >= 0.2)(census(p)),
            f"the newer {shown} Merovan1 ({newer_path.name} in {newer_path.parent.name}) "
            f"on a blue background")
        shares = census(picture)
        assert shares[hidden] < 0.002, \
            f"the older {hidden} Merovan1 shows too: {describe(shares)}"
        code = session.end_by_escape(proc, window)
        assert code == 0, f"exit code {code} after Escape"


def test_snapshots_switch_names_the_pictures_read(session, dist):
    folder = session.c_drive / "ﾃｽﾄ ﾌｫﾙﾀﾞ" / "shots"
    folder.mkdir(parents=True, exist_ok=True)
    sheet, background = folder / "デスクトップ 1.bmp", folder / "背景 2.bmp"
    write_bmp(sheet, *solid(GREEN))
    write_bmp(background, *solid(BLUE, 93, 85))
    sheet, background = session.win_path(sheet), session.win_path(background)
    grey_on_blue = lambda s: s["light"] >= 0.01 and s["blue"] >= 0.2 and s["green"] < 0.002  # noqa: E731
    rows = (  # name, paths, what shows, the debug lines
        ("both written", sheet, background, lambda s: s["green"] >= 0.02 and s["blue"] >= 0.2, []),
        ("no sheet written", "", background, grey_on_blue,
         ["the sheet is drawn without its picture (none): the run could not write it."]),
        ("a sheet that cannot be read", session.win_path(folder / "missing.bmp"), background,
         grey_on_blue, ["missing.bmp: the file cannot be opened."]),
    )
    for name, sheet_path, background_path, shows, said in rows:
        # Red pictures where a renderer without the switch looks: they must never show.
        for n in (1, 2):
            write_bmp(snapshot_paths(session, n)[0], *solid(RED, 93, 85))
        proc, window = start_renderer(session, dist, ["/snapshots", sheet_path, background_path],
                                      extra_env={"WINEDEBUG": "warn+seh"})  # shows debug output
        log = sorted(session.logs.glob("[0-9]*.log"))[-1]
        shares = census(wait_for_picture(session, proc, lambda p: shows(census(p)), name))
        assert shares["red"] < 0.002, f"{name}: a picture from C:\\ shows: {describe(shares)}"
        assert session.end_by_escape(proc, window) == 0, name
        lines = [line for line in log.read_text(errors="replace").splitlines()
                 if "OutputDebugStringA" in line and "Merovan:" in line]
        assert len(lines) == len(said) and all(any(e in line for line in lines) for e in said), \
            f"{name}: debug lines {lines}, not {said}"
