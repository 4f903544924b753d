"""End-to-end test of "画面全体に表示" on two monitors of different sizes under Wine: the
run's window covers the virtual screen and each monitor shows the scene with its own part
of the desktop."""

import subprocess

from harness import install, settings_bytes, start_run

MONITORS = ((1280, 1024), (1024, 768))
# Each monitor's part of the desktop has a colour of its own, and so has the part of the
# virtual screen that no monitor shows (right of the first, below the second).
GREEN, MAGENTA, YELLOW = "green", "magenta", "yellow"


def paint_desktop(session):
    """Green on the first monitor, magenta on the second, yellow below the second: each a
    gradient, so that the sheet's picture is not one flat colour."""
    (w1, h1), (w2, h2) = MONITORS
    path = session.work / "two-monitor-desktop.png"
    subprocess.run(["convert", "(", "-size", f"{w1}x{h1}", "gradient:#00E628-#008C1E", ")",
                    "(", "-size", f"{w2}x{h2}", "gradient:#E600E6-#8C14AA",
                    "-size", f"{w2}x{h1 - h2}", "xc:#E6D200", "-append", ")", "+append", "+repage",
                    "-depth", "8", str(path)], check=True, env=session.env, timeout=60)
    # display sets the picture as the root's background and exits, with status 1 even so.
    subprocess.run(["display", "-window", "root", str(path)], env=session.env, timeout=60)
    session.wait_until(lambda: [family(session.screenshot().pixel(x, 10)) for x in (10, w1 + 10)]
                       == [GREEN, MAGENTA], 30, "the desktop's picture on both monitors")


def family(rgb):
    """The desktop colour a pixel of the scene comes from, whatever the sheet's shading
    (which scales the three channels alike): black, green, magenta, yellow or other."""
    top = max(rgb)
    if top < 40:
        return "black"
    high = tuple(c >= 0.6 * top for c in rgb)
    low = tuple(c <= 0.35 * top for c in rgb)
    for name, wanted in ((GREEN, (low[0], high[1], low[2])), (MAGENTA, (high[0], low[1], high[2])),
                         (YELLOW, (high[0], high[1], low[2]))):
        if all(wanted):
            return name
    return "other"


def census(picture, box, step=4):
    x0, y0, x1, y1 = box
    counts = {}
    for _, _, rgb in picture.pixels(x0, y0, x1, y1, step):
        name = family(rgb)
        counts[name] = counts.get(name, 0) + 1
    total = sum(counts.values())
    return {name: count / total for name, count in counts.items()}


def shows_scene_of_own_part(picture, box, own):
    """What is wrong with the scene in a monitor's box, or None: the sheet in the box's
    middle, the black backdrop around it, and only the colours of the monitor's own part."""
    whole = census(picture, box)
    cx, cy = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
    middle = census(picture, (cx - 40, cy - 40, cx + 40, cy + 40), step=2)
    foreign = {name: share for name, share in whole.items()
               if name in (GREEN, MAGENTA, YELLOW) and name != own}
    if foreign:
        return f"colours of another part of the desktop {foreign}: {whole}"
    if whole.get(own, 0) < 0.2 or whole.get("black", 0) < 0.1:
        return f"not the sheet on a black backdrop: {whole}"
    if middle.get("black", 0) >= 0.05:
        return f"the middle is not the sheet: {middle}"
    return None


def test_every_monitor_shows_the_scene_of_its_own_part(session, dist):
    with session.monitors_side_by_side(MONITORS) as rects:
        paint_desktop(session)
        scr = install(session, dist)
        (scr.parent / "メロヴァン.ini").write_bytes(settings_bytes(0, 0, display=(1, 0, 0)))
        proc, window = start_run(session, scr)
        virtual = (0, 0, rects[-1][2], max(bottom for _, _, _, bottom in rects))
        assert (window.x, window.y, window.x + window.width, window.y + window.height) == virtual, window
        faults = {}

        def each_monitor_shows_its_scene():
            assert proc.poll() is None, f"the run ended by itself with {proc.returncode}"
            picture = session.screenshot()
            for rect, own in zip(rects, (GREEN, MAGENTA)):
                faults[rect] = shows_scene_of_own_part(picture, rect, own)
            return not any(faults.values())

        try:
            session.wait_until(each_monitor_shows_its_scene, 60, "each monitor's scene", interval=0.3)
        except AssertionError as e:
            raise AssertionError(f"{e}; {faults}") from None
        finally:
            session.screenshot(session.logs / "two-monitors.png")
        assert session.end_by_escape(proc, window) == 0
