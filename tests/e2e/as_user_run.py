#!/usr/bin/env python3
"""Runs one case as an ordinary user, for whom file modes count (root ignores
them), with a prefix of the user's own on the test run's display. Started by
the end-to-end tests through runuser.

    as_user_run.py --case CASE --display :N --work DIR --dist DIR

Cases:
  readonly-root            C:\\ cannot be written: a run's snapshots go to the
                           temporary folder and the renderer shows the desktop;
                           with that folder unwritable too, the renderer is told
                           there are none, and a debug line says why.
  readonly-program-folder  the program's folder cannot be written: the settings
                           window saves the per-user copy, which the next run
                           plays by; with that folder unwritable too it says so
                           and stays open.
  readonly-settings-file   the settings file is read-only in a writable folder:
                           "設定" saves the per-user copy without a message and
                           the file keeps its bytes and its read-only mark.

Prints what it checked; exits 0 when the case behaved."""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import harness as h  # noqa: E402


def save_cd_with_track_3(session, dist, scr, beside):
    """Opens the settings window of scr, chooses the CD with track 3 repeated and presses
    "設定"; the window, for the caller to see how it ends."""
    import test_settings_dialog as sd
    dialog = sd.Dialog(session, dist)
    dialog.scr, dialog.ini = scr, beside
    dialog.click(*sd.CHOICE_LABEL[1], in_panel=True)
    dialog.click(sd.REPEAT_BOX[0] + 10, sd.REPEAT_BOX[1] + 8, in_panel=True)
    session._xdotool("type", "--delay", "50", "3")
    dialog.click_button(sd.SET_BUTTON)
    return dialog


def readonly_root(session, dist):
    scr = h.install(session, dist)
    # Nothing new can be created in C:\ from here on; the temporary folder stays writable.
    session.c_drive.chmod(0o555)
    try:
        h.show_desktop_pattern(session, session.work / "desktop.png")
        before = session.screenshot()
        proc, window = h.start_run(session, scr)
        assert not (session.c_drive / "Merovan1.bmp").exists()
        written = [session.temp_dir / "Merovan1.bmp", session.temp_dir / "Merovan2.bmp"]
        assert session.program_arguments(h.RENDERER) == ["/snapshots", *map(session.win_path, written)], \
            session.program_arguments(h.RENDERER)
        header, rows = h.bmp_rows(written[0])
        assert (header["width"], header["height"]) == (1280, 1024), header
        for y in (0, 60, 512, 1023):
            assert rows[y] == h.screen_row_bgr(before, y), f"stored row {y}"
        print("snapshots went to", session.temp_dir)

        # The renderer found them: the sheet shows the desktop's red and blue.
        def desktop_on_sheet():
            shot = session.screenshot()
            reds = shot.count(lambda p: p[0] > 150 and p[2] < 100, 0, 0, 1024, 768, step=8)
            blues = shot.count(lambda p: p[2] > 150 and p[0] < 100, 0, 0, 1024, 768, step=8)
            return reds > 50 and blues > 50
        session.wait_until(desktop_on_sheet, 30, "the desktop on the turning sheet")
        assert session.end_by_escape(proc, window) == 0
        assert not any(p.exists() for p in written), "a copy of the desktop stayed on disk"
        print("the run ended after Escape and removed its snapshots")

        # Nowhere to write: the renderer gets no pictures, and a debug line says why.
        session.temp_dir.chmod(0o555)
        proc, window = h.start_run(session, scr, extra_env={"WINEDEBUG": "+process,warn+seh"})
        assert session.end_by_escape(proc, window) == 0
        log = sorted(session.logs.glob("[0-9]*.log"))[-1].read_text(encoding="utf-8", errors="replace")
        # Wine traces the renderer's command line with its quotes escaped.
        assert '/snapshots \\"\\" \\"\\"' in log, log[-2000:]
        for name in ("Merovan1.bmp", "Merovan2.bmp"):
            assert f"{name} could not be written: C:" in log, log[-2000:]
        print("without a place to write, the renderer was told there are no pictures")
    finally:
        session.c_drive.chmod(0o755)
        session.temp_dir.chmod(0o755)


def readonly_program_folder(session, dist):
    import test_settings_dialog as sd
    scr = h.install(session, dist)
    beside = scr.parent / sd.INI
    beside.write_bytes(h.settings_bytes(0, 0))
    roaming = session.c_drive / "users" / Path.home().name / "AppData" / "Roaming"
    per_user = roaming / "Merovan" / sd.INI
    scr.parent.chmod(0o555)
    (roaming / "Merovan").mkdir(parents=True, exist_ok=True)
    (roaming / "Merovan").chmod(0o555)
    try:
        # Neither place can be written: the window says so and stays open.
        dialog = save_cd_with_track_3(session, dist, scr, beside)
        box = session.find_window(h.PROGRAM_TITLE, timeout=30)
        session.mouse_move(box.x + box.width // 2, box.y + box.height // 2)
        session.key("Return")
        session.window_gone(h.PROGRAM_TITLE, timeout=30)
        assert dialog.proc.poll() is None and session.windows(sd.CAPTION), "the window closed"
        print("could not save: said so, window still open")

        # The user's folder can be written again: "設定" saves there, the display options too.
        (roaming / "Merovan").chmod(0o755)
        dialog.click(*sd.OPTION_CAPTION[1])
        dialog.click_button(sd.SET_BUTTON)
        assert dialog.closed() == 0
        assert beside.read_bytes() == h.settings_bytes(0, 0), "the file beside the program changed"
        assert per_user.read_bytes() == h.settings_bytes(1, 3, display=(0, 1, 0)), per_user.read_bytes()
        print("saved to", per_user)

        # The next run plays by the per-user copy: the CD source, with paced frames.
        proc, window = h.start_traced_run(session, scr)
        session.wait_until(lambda: "open cdaudio" in h.sent(session, proc), 30, "the CD opened")
        assert session.program_arguments(h.RENDERER)[:2] == ["/paced", "/snapshots"], \
            session.program_arguments(h.RENDERER)
        assert session.end_by_escape(proc, window) == 0
        print("the next run opened the CD")
    finally:
        scr.parent.chmod(0o755)
        (roaming / "Merovan").chmod(0o755)


def readonly_settings_file(session, dist):
    import stat
    import test_settings_dialog as sd
    scr = h.install(session, dist)
    beside = scr.parent / sd.INI
    beside.write_bytes(h.settings_bytes(0, 0))
    beside.chmod(0o444)  # Wine shows it with the read-only attribute
    per_user = (session.c_drive / "users" / Path.home().name / "AppData" / "Roaming" / "Merovan"
                / sd.INI)
    dialog = save_cd_with_track_3(session, dist, scr, beside)
    assert dialog.closed() == 0  # a message box would have kept it open
    assert beside.read_bytes() == h.settings_bytes(0, 0), "the read-only file changed"
    assert stat.S_IMODE(beside.stat().st_mode) == 0o444, oct(beside.stat().st_mode)
    assert per_user.read_bytes() == h.settings_bytes(1, 3, display=(0, 0, 0)), per_user.read_bytes()
    print("the read-only file kept; saved to", per_user)


CASES = {"readonly-root": readonly_root, "readonly-program-folder": readonly_program_folder,
         "readonly-settings-file": readonly_settings_file}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--case", required=True, choices=sorted(CASES))
    parser.add_argument("--display", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--dist", required=True)
    args = parser.parse_args()
    with h.Session(args.work, display=args.display, log=print) as session:
        CASES[args.case](session, Path(args.dist))
    return 0


if __name__ == "__main__":
    sys.exit(main())
