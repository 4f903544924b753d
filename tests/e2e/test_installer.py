"""End-to-end tests of the release's per-user installer under Wine: what the
package target makes, a silent install (files, registry, the installed
programs run and save their settings), a silent uninstall, an upgrade, and
the choices on the wizards' pages.

The installer comes from the release folder beside --dist (the package target
builds it). Every test leaves the prefix without our folder, keys or values."""

import contextlib
import hashlib
import re
import shutil
import struct
from pathlib import Path

import harness
import test_settings_dialog as dialog

REPO = Path(__file__).resolve().parents[2]
VERSION = re.search(r"project\(Merovan VERSION ([0-9.]+)",
                    (REPO / "CMakeLists.txt").read_text()).group(1)
SETUP = f"Merovan-{VERSION}-setup.exe"
ZIP = f"Merovan-{VERSION}-win64.zip"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Merovan"
RUN_ONCE_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
INSTALLED = (harness.SCR, harness.RENDERER, "README.md", "uninstall.exe")
OTHER_SCREENSAVER = r"C:\windows\system32\other.scr"
SETUP_CAPTION = "メロヴァン セットアップ"
UNINSTALL_CAPTION = "メロヴァン アンインストール "  # the blank is the wizard's page caption
# Pixels from the wizard window's top-left corner, in the prefix's fonts: the centres of the
# pages' check boxes, and a point of the last page's dark blue side picture.
SCREENSAVER_BOX = (35, 104)
REMOVE_SETTINGS_BOX = (35, 176)
LAST_PAGE_PICTURE = (93, 241)


# ----------------------------------------------------------------- helpers ---
def release(dist):
    return Path(dist).parent / "release"


def setup_program(dist):
    path = release(dist) / SETUP
    assert path.exists(), f"{path} is missing: build it with `cmake --build --preset windows --target package`"
    return path


def user_folder(session, variable):
    """A folder of the prefix's user (%LOCALAPPDATA%, %APPDATA%) as a Unix path, asked of
    Wine once a session."""
    folders = session.__dict__.setdefault("user_folders", {})
    if variable not in folders:
        def ask():
            try:
                return session.wine_output(["cmd", "/c", "echo", f"%{variable}%"]).strip()
            except harness.HarnessError:
                return None  # the last test's processes may still be ending: ask again
        folders[variable] = session.unix_path(session.wait_until(ask, 60, f"Wine's %{variable}%"))
    return folders[variable]


def program_folder(session):
    return user_folder(session, "LOCALAPPDATA") / "Programs" / "Merovan"


def per_user_settings(session):
    return user_folder(session, "APPDATA") / "Merovan" / dialog.INI


def reg(session, *args):
    return session._tool(["wine", "reg", *args], timeout=60, check=False).returncode


def screensaver(session):
    return (session.registry_values(DESKTOP_KEY) or {}).get("SCRNSAVE.EXE")


def remove_installation(session):
    """Takes away whatever an installer left, so each test starts from a prefix
    without us and later modules find it so."""
    shutil.rmtree(program_folder(session), ignore_errors=True)
    shutil.rmtree(per_user_settings(session).parent, ignore_errors=True)
    reg(session, "delete", UNINSTALL_KEY, "/f")
    reg(session, "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
    reg(session, "delete", RUN_ONCE_KEY, "/v", "Merovan", "/f")


@contextlib.contextmanager
def installations_removed(session):
    """A block that starts and ends without us installed and with no process of ours left."""
    remove_installation(session)
    try:
        yield
    finally:
        session.clean()
        remove_installation(session)


def settings_in_both_places(session, folder, settings):
    """The same settings beside the installed program and in the per-user fallback."""
    (folder / dialog.INI).write_bytes(settings)
    per_user_settings(session).parent.mkdir(parents=True, exist_ok=True)
    per_user_settings(session).write_bytes(settings)


def install_silently(session, dist):
    assert session.run(setup_program(dist), ["/S"], timeout=120) == 0
    return program_folder(session)


def uninstall_silently(session):
    """Runs the Uninstall entry's quiet command, as a software manager does, and
    waits for the copy the uninstaller starts from the temporary folder to end."""
    command = session.registry_values(UNINSTALL_KEY)["QuietUninstallString"]
    match = re.fullmatch(r'"([^"]+)" (.*)', command)
    assert match, command
    assert session.run(session.unix_path(match.group(1)), match.group(2).split(), timeout=120) == 0
    session.wait_until(lambda: session.registry_values(UNINSTALL_KEY) is None, 120, "the key's removal")
    wait_uninstaller_end(session)


def wait_uninstaller_end(session):
    # The uninstaller runs a copy of itself from %TEMP%\~nsuN.tmp, so that it can delete itself.
    session.wait_until(lambda: not [p for p in session.wine_processes().values() if "\\~nsu" in p],
                       120, "the uninstaller's end")


def start_in_folder(session, dist, folder, what):
    """Starts what keeps the installed programs in use: a run ("/s"), the settings window
    ("/c"), or a program of another kind that holds the screensaver's file open ("held"), as a
    preview in the display settings does and which the installer does not end."""
    if what == "/s":
        return harness.start_run(session, folder / harness.SCR)[0]
    if what == "/c":
        proc = session.start(folder / harness.SCR, ["/c"])
        session.find_window(dialog.CAPTION, timeout=60, proc=proc)
        return proc
    proc = session.start(harness.wintool(dist), ["hold", session.win_path(folder / harness.SCR)])
    log = sorted(session.logs.glob("*-wintool.exe.log"))[-1]
    session.wait_until(lambda: b"held" in log.read_bytes(), 60, "the file held")
    return proc


def box_state(session, window, box):
    """"checked" or "unchecked" for the check box centred at box; None while
    its frame is not there."""
    shot = session.screenshot()
    x, y = window.x + box[0], window.y + box[1]
    frame = [shot.pixel(x + dx, y + dy) for dx, dy in ((-6, 0), (6, 0), (0, -6), (0, 6))]
    if any(sum(rgb) >= 600 for rgb in frame):
        return None
    marked = shot.count(lambda rgb: sum(rgb) < 600, x - 4, y - 4, x + 5, y + 5)
    return "checked" if marked else "unchecked"


def wait_box(session, window, box, state):
    session.wait_until(lambda: box_state(session, window, box) == state, 30, f"a check box {state}")


def finish_wizard(session, window):
    """Waits for the last page and closes it with its default button."""
    x, y = window.x + LAST_PAGE_PICTURE[0], window.y + LAST_PAGE_PICTURE[1]
    session.wait_until(lambda: (lambda r, g, b: b > max(r, g) + 20)(*session.screenshot().pixel(x, y)),
                       60, "the last page")
    next_page(session, window)


def next_page(session, window):
    session.mouse_move(*window.center)  # keys go to the window under the pointer
    session.key("Return")


def version_strings(path):
    """The FileVersion and ProductVersion texts of a program's version resource."""
    blob = Path(path).read_bytes()
    found = []
    for key in ("FileVersion", "ProductVersion"):
        start = blob.index(key.encode("utf-16-le") + b"\0\0") + len(key) * 2 + 2
        while blob[start:start + 2] == b"\0\0":
            start += 2
        end = start
        while blob[end:end + 2] != b"\0\0":
            end += 2
        found.append(blob[start:end].decode("utf-16-le"))
    return found


def is_pe32_plus(path):
    blob = Path(path).read_bytes()[:4096]
    offset = struct.unpack_from("<I", blob, 0x3C)[0]
    magic = struct.unpack_from("<H", blob, offset + 24)[0]
    return blob[offset:offset + 4] == b"PE\0\0" and magic == 0x20B


# ------------------------------------------------------------------- tests ---
def test_release_holds_zip_installer_and_their_sums(session, dist):
    folder = release(dist)
    assert is_pe32_plus(setup_program(dist)), "the installer is not a 64-bit program"
    sums = dict(reversed(line.split("  ", 1)) for line in (folder / "SHA256SUMS").read_text().splitlines())
    assert set(sums) == {ZIP, SETUP}, sums
    for name, digest in sums.items():
        assert hashlib.sha256((folder / name).read_bytes()).hexdigest() == digest, f"{name}'s sum is wrong"
    for program in (Path(dist) / harness.SCR, Path(dist) / harness.RENDERER, setup_program(dist)):
        assert version_strings(program) == [VERSION, VERSION], program.name


def test_silent_install_registers_sets_the_screensaver_and_runs(session, dist):
    with installations_removed(session):
        folder = install_silently(session, dist)
        for name in INSTALLED:
            assert (folder / name).is_file(), f"{name} is not installed"
        assert (folder / harness.RENDERER).read_bytes() == (Path(dist) / harness.RENDERER).read_bytes()
        scr = session.win_path(folder / harness.SCR)

        entry = session.registry_values(UNINSTALL_KEY)
        uninstaller = session.win_path(folder / "uninstall.exe")
        expected = {"DisplayName": "メロヴァン", "DisplayVersion": VERSION, "Publisher": "Merovan",
                    "DisplayIcon": f"{scr},0", "InstallLocation": session.win_path(folder),
                    "UninstallString": f'"{uninstaller}"', "QuietUninstallString": f'"{uninstaller}" /S'}
        assert {name: entry.get(name) for name in expected} == expected
        program_kib = sum((folder / name).stat().st_size for name in INSTALLED[:3]) / 1024
        assert abs(int(entry["EstimatedSize"], 16) - program_kib) <= 4, entry["EstimatedSize"]
        desktop = session.registry_values(DESKTOP_KEY)
        assert (desktop.get("SCRNSAVE.EXE"), desktop.get("ScreenSaveActive")) == (scr, "1"), desktop

        # Started the way Windows starts it, from the registry's path.
        proc, window = harness.start_run(session, session.unix_path(desktop["SCRNSAVE.EXE"]))
        assert session.end_by_escape(proc, window) == 0

        # The settings window saves beside the installed program: the folder is the user's.
        proc = session.start(folder / harness.SCR, ["/c"])
        session.find_window(dialog.CAPTION, timeout=60, proc=proc)
        info = harness.parse_wintool(session.wine_output([str(harness.wintool(dist)), "window", dialog.CAPTION]))
        x, y, width, height = dialog.SET_BUTTON
        session.click(int(info["window"]["client_x"]) + x + width // 2,
                      int(info["window"]["client_y"]) + y + height // 2)
        assert session.wait_exit(proc, 15) == 0
        saved = (folder / dialog.INI).read_bytes().decode("cp932")
        assert "[Section]" in saved and "BGM区分=" in saved, saved
        assert not per_user_settings(session).exists()


def test_silent_uninstall_removes_the_program_and_keeps_the_settings(session, dist):
    # (the screensaver chosen before uninstalling (None: ours as installed), settings files
    #  there, the screensaver expected afterwards)
    rows = ((None, False, None), ("upper case", False, None),
            (OTHER_SCREENSAVER, True, OTHER_SCREENSAVER))
    for chosen, with_settings, expected in rows:
        with installations_removed(session):
            folder = install_silently(session, dist)
            if chosen == "upper case":  # Windows paths ignore case
                chosen = session.win_path(folder / harness.SCR).upper()
            if chosen:
                assert reg(session, "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", chosen, "/f") == 0
            settings = harness.settings_bytes(1, 3)
            if with_settings:
                settings_in_both_places(session, folder, settings)
            # Copies of the desktop that a run left behind go too.
            snapshots = [place / f"Merovan{n}.bmp" for place in (session.c_drive, session.temp_dir) for n in (1, 2)]
            for snapshot in snapshots:
                snapshot.write_bytes(b"BM")
            uninstall_silently(session)
            assert not [p for p in snapshots if p.exists()]

            assert screensaver(session) == expected, (chosen, screensaver(session))
            if with_settings:
                assert sorted(p.name for p in folder.iterdir()) == [dialog.INI]
                assert (folder / dialog.INI).read_bytes() == settings
                assert per_user_settings(session).read_bytes() == settings
            else:
                assert not folder.exists(), f"left behind: {sorted(p.name for p in folder.iterdir())}"


def test_upgrade_replaces_the_programs_and_keeps_changed_settings(session, dist):
    with installations_removed(session):
        folder = install_silently(session, dist)
        settings = harness.settings_bytes(2, 0, "C:\\曲.mp3")
        (folder / dialog.INI).write_bytes(settings)
        (folder / harness.RENDERER).write_bytes(b"an earlier version")
        install_silently(session, dist)
        assert (folder / dialog.INI).read_bytes() == settings
        assert (folder / harness.RENDERER).read_bytes() == (Path(dist) / harness.RENDERER).read_bytes()
        assert session.registry_values(UNINSTALL_KEY)["InstallLocation"] == session.win_path(folder)


def test_install_and_uninstall_end_a_running_screensaver(session, dist):
    # (what runs from the installed folder, whether the installer and uninstaller can end it)
    rows = (("/s", True), ("/c", True), ("held", False))
    for running, ends in rows:
        with installations_removed(session):
            folder = install_silently(session, dist)
            # An earlier version: programs that differ from the release's, an older entry.
            for name in (harness.SCR, harness.RENDERER):
                with open(folder / name, "ab") as program:
                    program.write(b"\0" * 16)
            assert reg(session, "add", UNINSTALL_KEY, "/v", "DisplayVersion", "/d", "0.9", "/f") == 0
            earlier = {name: (folder / name).read_bytes() for name in INSTALLED}
            entry = session.registry_values(UNINSTALL_KEY)

            proc = start_in_folder(session, dist, folder, running)
            code = session.run(setup_program(dist), ["/S"], timeout=120)
            if ends:
                assert code == 0, running
                assert session.wait_exit(proc, 30) is not None
                assert (folder / harness.SCR).read_bytes() == (Path(dist) / harness.SCR).read_bytes()
                assert session.registry_values(UNINSTALL_KEY)["DisplayVersion"] == VERSION
                start_in_folder(session, dist, folder, running)
                uninstall_silently(session)
                assert not folder.exists(), sorted(p.name for p in folder.iterdir())
                assert screensaver(session) is None
                continue

            # Nothing is replaced, the entry stays as it was, and /S says so.
            assert code == 2, code
            assert {name: (folder / name).read_bytes() for name in INSTALLED} == earlier
            assert session.registry_values(UNINSTALL_KEY) == entry
            # The uninstaller removes what it can and leaves the rest, with the uninstaller, its
            # entry and the screensaver choice, to itself at the next sign-in. Run in place
            # (_?=), it gives its own exit code, 3010: a restart is needed. Linux sees its low byte.
            code = session.run(folder / "uninstall.exe", ["/S", f"_?={session.win_path(folder)}"], timeout=120)
            assert code == 3010 & 0xFF, code
            assert sorted(p.name for p in folder.iterdir()) == sorted([harness.SCR, "uninstall.exe"])
            assert session.registry_values(UNINSTALL_KEY) is not None
            assert screensaver(session) == session.win_path(folder / harness.SCR)
            proc.kill()
            session.wait_exit(proc, 30)
            command = session.registry_values(RUN_ONCE_KEY)["Merovan"]
            assert command == f'"{session.win_path(folder / "uninstall.exe")}" /S', command
            assert session.run(folder / "uninstall.exe", ["/S"], timeout=120) == 0
            session.wait_until(lambda: session.registry_values(UNINSTALL_KEY) is None, 120, "the key's removal")
            wait_uninstaller_end(session)
            assert not folder.exists() and screensaver(session) is None
            assert "Merovan" not in (session.registry_values(RUN_ONCE_KEY) or {})


def test_wizard_pages_leave_the_screensaver_and_remove_settings_when_asked(session, dist):
    with installations_removed(session):
        assert reg(session, "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", OTHER_SCREENSAVER, "/f") == 0
        proc = session.start(setup_program(dist))
        window = session.find_window(SETUP_CAPTION, timeout=60, proc=proc)
        next_page(session, window)  # past the welcome
        wait_box(session, window, SCREENSAVER_BOX, "checked")
        session.click(window.x + SCREENSAVER_BOX[0], window.y + SCREENSAVER_BOX[1])
        wait_box(session, window, SCREENSAVER_BOX, "unchecked")
        next_page(session, window)  # install
        finish_wizard(session, window)
        assert session.wait_exit(proc, 60) == 0
        folder = program_folder(session)
        assert all((folder / name).is_file() for name in INSTALLED)
        assert screensaver(session) == OTHER_SCREENSAVER

        settings_in_both_places(session, folder, harness.settings_bytes(1, 3))
        session.start(folder / "uninstall.exe")
        window = session.find_window(UNINSTALL_CAPTION, timeout=60)
        next_page(session, window)  # past the confirmation
        wait_box(session, window, REMOVE_SETTINGS_BOX, "unchecked")
        session.click(window.x + REMOVE_SETTINGS_BOX[0], window.y + REMOVE_SETTINGS_BOX[1])
        wait_box(session, window, REMOVE_SETTINGS_BOX, "checked")
        next_page(session, window)  # uninstall
        finish_wizard(session, window)
        wait_uninstaller_end(session)
        assert not folder.exists() and not per_user_settings(session).parent.exists()
        assert session.registry_values(UNINSTALL_KEY) is None
        assert screensaver(session) == OTHER_SCREENSAVER
