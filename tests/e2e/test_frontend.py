"""End-to-end tests of the screensaver program, メロヴァン.scr, under Wine:
its switches, the desktop snapshot, the renderer's start and watch, every end
of a run, and the preview inside another program's window."""

import os

from harness import (PROGRAM_TITLE, RENDERER, RENDERER_TITLE, REPO, RUN_CAPTION, bmp_rows, install,
                     make_music, parse_wintool, run_as_user, screen_row_bgr, sent, settings_bytes,
                     show_desktop_pattern, start_run, start_traced_run, wintool)

ROOT_SNAPSHOTS = ["C:\\Merovan1.bmp", "C:\\Merovan2.bmp"]
SETTINGS_CAPTION = "<メロヴァン>"


def snapshot_files(session):
    return [p for p in (session.c_drive / "Merovan1.bmp", session.c_drive / "Merovan2.bmp") if p.exists()]


def renderer_processes(session):
    return [p for p in session.wine_processes().values() if p.lower().endswith(RENDERER)]


# ------------------------------------------------------------------- tests ---
def test_run_snapshots_desktop_and_ends_after_escape(session, dist):
    scr = install(session, dist)
    show_desktop_pattern(session, session.work / "desktop.png")
    before = session.screenshot()
    proc, window = start_run(session, scr)
    assert (window.x, window.y, window.width, window.height) == (0, 0, 1024, 768)
    # The renderer is told which pictures this run wrote.
    assert session.program_arguments(RENDERER) == ["/snapshots", *ROOT_SNAPSHOTS]

    header, rows = bmp_rows(session.c_drive / "Merovan1.bmp")
    assert (header["width"], header["height"], header["bits"], header["compression"]) == \
        (1280, 1024, 24, 0), header
    assert header["offset"] == 54 and header["info_size"] == 40
    # The first stored row is the screen's top row: the file is the screen upside down.
    for y in (0, 1, 50, 80, 512, 900, 1022, 1023):
        assert rows[y] == screen_row_bgr(before, y), f"stored row {y} is not screen row {y}"
    back, back_rows = bmp_rows(session.c_drive / "Merovan2.bmp")
    assert (back["bits"], back["width"], back["height"]) == (24, 93, 85), back
    assert all(set(row) == {0} for row in back_rows), "the second picture is not solid black"

    # The pointer is hidden over the turning desktop, and shows again after the run.
    session.mouse_move(window.x + 512, window.y + 384)
    session.wait_until(lambda: session.cursor_image()[4] == 0, 10, "the pointer hidden")
    assert session.end_by_escape(proc, window) == 0
    session.window_gone(RENDERER_TITLE, timeout=5)
    session.wait_until(lambda: session.cursor_image()[4] > 0, 10, "the pointer shown again")
    assert not snapshot_files(session), "a copy of the desktop stayed on disk"


def test_every_way_a_run_ends_stops_the_music_and_ends_the_renderer(session, dist):
    """A close request, the end of the user's session and a killed front end end the run's
    renderer too. The first two run the same shutdown as the renderer's end: the MP3 is
    stopped and closed (a process that exits with the device open can crash on its way out)
    and the snapshots are removed; a killed process can remove nothing."""
    scr = install(session, dist)
    song = make_music(session, "曲.mp3", 2)
    (scr.parent / "メロヴァン.ini").write_bytes(settings_bytes(2, 0, song))
    for how in ("close", "endsession", "kill"):
        proc, window = start_traced_run(session, scr)
        session.wait_until(lambda: "play MP3Play" in sent(session, proc), 30, f"{how}: the MP3 playing")
        if how == "kill":
            os.kill(proc.pid, 9)
            session.wait_exit(proc, 15)
        else:
            session.wine_output([str(wintool(dist)), how, RUN_CAPTION], timeout=60)
            assert session.wait_exit(proc, 15) == 0, how
            assert sent(session, proc)[-2:] == ["stop MP3Play", "close MP3Play"], how
            assert not snapshot_files(session), how
        session.wait_until(lambda: not renderer_processes(session), 30, f"{how}: the renderer's end")
        session.window_gone(RENDERER_TITLE, timeout=30)


def test_a_run_follows_its_own_renderer_not_an_earlier_one(session, dist):
    """A renderer left running by hand has a window of the same title: it neither keeps a new
    run alive nor hides the new renderer's end."""
    scr = install(session, dist)
    earlier = session.start(dist / RENDERER)
    session.find_window(RENDERER_TITLE, timeout=60, proc=earlier)
    proc = session.start(scr, ["/s"])
    session.wait_until(lambda: len(session.windows(RENDERER_TITLE)) == 2, 60,
                       "the run's renderer beside the earlier one")
    window = session.find_window(RENDERER_TITLE)
    assert session.end_by_escape(proc, window) == 0
    # The earlier renderer is not the run's to end.
    assert earlier.poll() is None and len(session.windows(RENDERER_TITLE)) == 1


def test_snapshots_never_write_through_a_link(session, dist):
    """What stands at a snapshot's place: an earlier file is replaced; a symbolic link is
    replaced where the system can remove the link itself and passed over where it cannot
    (Wine would remove its target), and what it points to, or would create, stays as it was."""
    scr = install(session, dist)
    kept = session.work / "kept.bin"
    missing = session.work / "not-made.bmp"
    rows = (("a link to a file", lambda place: place.symlink_to(kept)),
            ("a link to nothing", lambda place: place.symlink_to(missing)),
            ("an earlier file", lambda place: place.write_bytes(b"BM earlier")))
    for name, put in rows:
        kept.write_bytes(b"not a picture\r\n" * 100)
        missing.unlink(missing_ok=True)
        place = session.c_drive / "Merovan1.bmp"
        place.unlink(missing_ok=True)
        put(place)
        proc, window = start_run(session, scr)
        sheet = session.unix_path(session.program_arguments(RENDERER)[1])
        assert not sheet.is_symlink() and sheet.read_bytes()[:6] != b"BM ear", name
        assert bmp_rows(sheet)[0]["width"] == 1280, name
        assert session.end_by_escape(proc, window) == 0, name
        assert kept.read_bytes() == b"not a picture\r\n" * 100 and not missing.exists(), name
        assert not sheet.exists(), name


def test_second_start_while_running_ends_silently(session, dist):
    scr = install(session, dist)
    proc, window = start_run(session, scr)
    for switch in ("/s", "/c", "/p 1234"):
        assert session.run(scr, [switch], timeout=30) == 0
    assert len(session.windows(RENDERER_TITLE)) == 1
    assert session.end_by_escape(proc, window) == 0


def test_two_starts_at_once_give_one_run_that_escape_ends(session, dist):
    scr = install(session, dist)
    # Ten second starts once the first runs as a Windows program, and ten at the same
    # moment, which catch the race more often.
    for attempt, follow in enumerate(["running"] * 10 + ["at once"] * 10):
        first = session.start(scr, ["/s"])
        if follow == "running":
            session.wait_until(lambda: [p for p in session.wine_processes().values()
                                        if p.lower().endswith(".scr")], 30, f"attempt {attempt}: the first start")
        second = session.start(scr, ["/s"])
        refused = session.wait_until(lambda: [p for p in (first, second) if p.poll() is not None],
                                     60, f"attempt {attempt}: one of two starts ending")
        assert len(refused) == 1 and refused[0].returncode == 0, f"attempt {attempt}"
        run = second if refused[0] is first else first
        window = session.find_window(RENDERER_TITLE, timeout=60, proc=run)
        assert len(renderer_processes(session)) == 1, f"attempt {attempt}"
        assert session.end_by_escape(run, window) == 0, f"attempt {attempt}"
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


def test_no_arguments_open_the_settings_window_as_c_does(session, dist):
    """Windows' "Configure" starts a screensaver without arguments."""
    scr = install(session, dist)
    for args in ([], ["/c"]):
        proc = session.start(scr, args)
        session.find_window(SETTINGS_CAPTION, timeout=60, proc=proc)
        assert not session.windows(RENDERER_TITLE) and not snapshot_files(session), args
        session.wine_output([str(wintool(dist)), "close", SETTINGS_CAPTION], timeout=60)
        assert session.wait_exit(proc, 30) == 0, args


def test_other_switches_end_without_running(session, dist):
    scr = install(session, dist)
    for switch in ("/a", "/", "x", "/z:99"):
        assert session.run(scr, [switch], timeout=30) == 0
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
    style = int(child["style"], 16)
    assert style & 0x40000000 and not style & 0x80000000, "the preview is not a child window only"
    assert child["visible"] == "1"
    # Destroying the parent ends the preview process, promptly for someone watching it.
    ended = lines.get("process", {})
    assert ended.get("ended") == "1", text
    assert ended["exit"] == "0"


def cell_means(rows, box, cells=8):
    """The mean colour of each cell of a cells x cells grid over box (x, y, width, height)
    of a picture given as top-down rows of blue-green-red bytes."""
    x0, y0, width, height = box
    means = []
    for cy in range(cells):
        for cx in range(cells):
            xs = range(x0 + cx * width // cells, x0 + (cx + 1) * width // cells)
            ys = range(y0 + cy * height // cells, y0 + (cy + 1) * height // cells)
            values = [rows[y][3 * x + c] for y in ys for x in xs for c in range(3)]
            means.append([sum(values[c::3]) / (len(values) / 3) for c in range(3)])
    return means


def test_preview_picture_fills_its_window(session, dist):
    """The preview form's own drawing, shown in-process by a test host: the picture as it is
    in a window of its size, scaled smoothly to a larger one (150 % in the display settings),
    and kept in shape with black bars where the window's shape differs."""
    host = dist.parent / "test-hosts" / "preview_host.exe"
    _, stored = bmp_rows(REPO / "pictures" / "preview_desktop.bmp")
    expected = stored[::-1]
    for width, height, box in ((152, 112, (0, 0, 152, 112)), (228, 168, (0, 0, 228, 168)),
                               (228, 120, (32, 0, 163, 120))):
        out = session.c_drive / f"preview-{width}x{height}.bmp"
        assert session.run(host, [session.win_path(out), width, height], timeout=60) == 0
        header, rows = bmp_rows(out)
        assert (header["width"], header["height"]) == (width, height)
        rows = rows[::-1]
        if box[2:] == (152, 112):
            assert rows == expected, f"{width}x{height}: not the picture pixel for pixel"
            continue
        for got, want in zip(cell_means(rows, box), cell_means(expected, (0, 0, 152, 112))):
            assert max(abs(g - w) for g, w in zip(got, want)) < 16, f"{width}x{height}: {got} != {want}"
        x, _, w, _ = box
        bars = [row[:3 * x] + row[3 * (x + w):] for row in rows]
        assert all(set(bar) <= {0} for bar in bars), f"{width}x{height}: the bars are not black"


def test_preview_without_a_usable_window_ends_at_once(session, dist):
    scr = install(session, dist)
    for argument in ("/p 0", "/p", "/p abc", "/p 999999"):
        assert session.run(scr, argument.split(), timeout=30) == 0


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
    assert session.end_by_escape(renderer, window) == 0


def test_readonly_root_sends_snapshots_to_the_temporary_folder(session, dist):
    run_as_user(session, dist, "readonly-root")
