#!/usr/bin/env python3
"""One screensaver run by an ordinary user whose C:\\ root cannot be written,
as on Windows with UAC. Started by test_frontend as that user, on the test
run's display, with a prefix of the user's own.

    readonly_root_run.py --display :N --work DIR --dist DIR

Prints what it checked; exits 0 when the run behaved."""

import argparse
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import Session  # noqa: E402
import test_frontend as fe  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--display", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--dist", required=True)
    args = parser.parse_args()
    dist = Path(args.dist)

    with Session(args.work, display=args.display, log=print) as session:
        scr = fe.install(session, dist)
        # Nothing new can be created in C:\ from here on; the temporary folder stays writable.
        session.c_drive.chmod(0o555)
        try:
            fe.show_desktop_pattern(session, session.work / "desktop.png")
            before = session.screenshot()
            proc, window = fe.start_run(session, scr)
            assert not (session.c_drive / "Merovan1.bmp").exists()
            header, rows = fe.bmp_rows(session.temp_dir / "Merovan1.bmp")
            assert (header["width"], header["height"]) == (1280, 1024), header
            for y in (0, 60, 512, 1023):
                assert rows[y] == fe.screen_row_bgr(before, y), f"stored row {y}"
            assert (session.temp_dir / "Merovan2.bmp").exists()
            print("snapshots went to", session.temp_dir)

            # The renderer found them: the sheet shows the desktop's red and blue.
            def desktop_on_sheet():
                shot = session.screenshot()
                reds = shot.count(lambda p: p[0] > 150 and p[2] < 100, 0, 0, 1024, 768, step=8)
                blues = shot.count(lambda p: p[2] > 150 and p[0] < 100, 0, 0, 1024, 768, step=8)
                return reds > 50 and blues > 50
            session.wait_until(desktop_on_sheet, 30, "the desktop on the turning sheet")
            seconds, code = fe.end_run_by_escape(session, proc, window)
            assert code == 0
            print(f"run ended {seconds:.2f} s after Escape")
        finally:
            session.c_drive.chmod(0o755)
    return 0


if __name__ == "__main__":
    sys.exit(main())
