"""What the benchmark scripts share: where the programs are, the snapshot
pictures, Mesa's frame-rate dump and small statistics.

The display and the Wine prefix come from the end-to-end harness
(tests/e2e/harness.py): one Xvfb screen of 1280 x 1024 x 24 and one prefix.
"""

import argparse
import os
import shutil
import statistics
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness import HarnessError, Session, write_bmp  # noqa: E402  (path set just above)

RENDERER_FILE = "メロヴァン.dll"  # a Win32 program, whatever its extension
WINDOW_TITLE = "Merovan_VC"
WINDOW_CENTRE = (512, 384)  # the 1024 x 768 window sits at (0, 0)
BACKGROUND_SIZE = (93, 85)


def common_arguments(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--dist", default=REPO / "build/windows/dist", type=Path,
                        help="folder of the Windows build (default: %(default)s)")
    parser.add_argument("--native", default=REPO / "build/bench", type=Path,
                        help="the native build folder, without sanitizers (default: %(default)s)")
    parser.add_argument("--work", default=REPO / "build/bench-work", type=Path,
                        help="display logs, Wine prefix and results (default: %(default)s)")
    parser.add_argument("--new-prefix", action="store_true",
                        help="make a fresh Wine prefix even if one is there")
    return parser


def round_arguments(description, rounds, seconds=8):
    """common_arguments, with the rounds of runs by turns that the frame-rate benchmarks
    make and the seconds each run counts."""
    parser = common_arguments(description)
    parser.add_argument("--rounds", type=int, default=rounds)
    parser.add_argument("--seconds", type=int, default=seconds, help="counted seconds a run")
    parser.add_argument("--skip", type=int, default=2, help="first seconds left out")
    return parser


def new_session(args):
    """The harness's display and prefix, for a `with` block."""
    return Session(args.work, reuse_prefix=not args.new_prefix,
                   log=lambda message: print(message, flush=True))


def install_renderer(session, dist):
    """A private copy of the renderer in C:\\bench, so that a rebuild elsewhere
    cannot change the program half-way through a run."""
    folder = session.c_drive / "bench"
    folder.mkdir(exist_ok=True)
    return shutil.copy2(Path(dist) / RENDERER_FILE, folder / RENDERER_FILE)


def write_snapshots(folder, width, height):
    """The two pictures the renderer reads from C:\\: a busy desktop of the
    given size and the black 93 x 85 background."""
    write_bmp(Path(folder) / "Merovan1.bmp", width, height,
              lambda x, y: (x & 255, y & 255, (x ^ y) & 255))
    write_bmp(Path(folder) / "Merovan2.bmp", *BACKGROUND_SIZE, lambda x, y: (0, 0, 0))


def hud_environment(dump_dir):
    """Makes Mesa write the frame rate once a second to dump_dir/fps, drawing
    nothing on the window."""
    Path(dump_dir).mkdir(parents=True, exist_ok=True)
    (Path(dump_dir) / "fps").unlink(missing_ok=True)
    return {"GALLIUM_HUD": "fps", "GALLIUM_HUD_PERIOD": "1",
            "GALLIUM_HUD_DUMP_DIR": str(dump_dir), "GALLIUM_HUD_VISIBLE": "false",
            "vblank_mode": "0"}


def hud_samples(dump_dir):
    path = Path(dump_dir) / "fps"
    if not path.exists():
        return []
    return [float(line) for line in path.read_text().split()]


def stop_renderer(session, proc):
    """Ends the renderer the way a user does, by holding Escape over it."""
    session.find_window(WINDOW_TITLE, timeout=30)
    session.mouse_move(*WINDOW_CENTRE)  # with no window manager, keys go under the pointer
    with session.holding("Escape"):
        code = session.wait_exit(proc, 30)
    if code != 0:
        raise HarnessError(f"the renderer exited with {code}")


def cpu_seconds(pids):
    """User plus system time so far of the given processes, all threads."""
    total = 0
    for pid in pids:
        # The fields after the command name, which is in brackets and may hold spaces;
        # utime and stime are the 14th and 15th of the whole line.
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        total += int(fields[11]) + int(fields[12])
    return total / os.sysconf("SC_CLK_TCK")


def wineserver_pid(session):
    """The process id of the Wine server that serves the session's prefix."""
    wanted = f"WINEPREFIX={session.prefix}".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if (entry / "comm").read_text().startswith("wineserver") and \
                    wanted in (entry / "environ").read_bytes().split(b"\0"):
                return int(entry.name)
        except OSError:
            continue  # gone meanwhile, or not ours to read
    raise HarnessError(f"no Wine server runs for {session.prefix}")


def print_load(when):
    """Other work on the two processors changes every figure: say how much there was."""
    one, five, _ = os.getloadavg()
    print(f"load average {when}: {one:.2f} (1 min), {five:.2f} (5 min)", flush=True)


def median(values):
    return statistics.median(values) if values else float("nan")


def native_program(args, name):
    path = args.native / "bench" / name
    if not path.exists():
        raise SystemExit(f"{path} is missing: build with "
                         "`cmake --preset bench && cmake --build --preset bench`")
    return path


def native_environment(session, extra):
    return {**os.environ, "DISPLAY": session.display, **extra}
