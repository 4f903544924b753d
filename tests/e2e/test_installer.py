"""End-to-end tests of the release's per-user installer under Wine: what the
package target makes, a silent install (files, registry, the installed
programs run and save their settings), a silent uninstall and an upgrade.

The installer comes from the release folder beside --dist (the package target
builds it). Every test leaves the prefix without our folder, keys or values."""

import hashlib
import re
import shutil
import struct
from pathlib import Path

import test_frontend as fe
import test_settings_dialog as dialog

REPO = Path(__file__).resolve().parents[2]
VERSION = re.search(r"project\(Merovan VERSION ([0-9.]+)",
                    (REPO / "CMakeLists.txt").read_text()).group(1)
SETUP = f"Merovan-{VERSION}-setup.exe"
ZIP = f"Merovan-{VERSION}-win64.zip"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Merovan"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
INSTALLED = (fe.SCR, fe.RENDERER, "README.md", "uninstall.exe")


# ----------------------------------------------------------------- helpers ---
def release(dist):
    return Path(dist).parent / "release"


def setup_program(dist):
    path = release(dist) / SETUP
    assert path.exists(), f"{path} is missing: build it with `cmake --build --preset windows --target package`"
    return path


def user_folder(session, variable):
    """A folder of the prefix's user (%LOCALAPPDATA%, %APPDATA%) as a Unix path."""
    return session.unix_path(session.wine_output(["cmd", "/c", "echo", f"%{variable}%"]).strip())


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
    session.wait_until(lambda: not session.wine_processes(), 120, "the uninstaller's end")


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


def test_silent_install_registers_sets_the_screensaver_and_runs(session, dist):
    remove_installation(session)
    try:
        folder = install_silently(session, dist)
        for name in INSTALLED:
            assert (folder / name).is_file(), f"{name} is not installed"
        assert (folder / fe.RENDERER).read_bytes() == (Path(dist) / fe.RENDERER).read_bytes()
        scr = session.win_path(folder / fe.SCR)

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
        proc, window = fe.start_run(session, session.unix_path(desktop["SCRNSAVE.EXE"]))
        seconds, code = fe.end_run_by_escape(session, proc, window)
        assert code == 0

        # The settings window saves beside the installed program: the folder is the user's.
        proc = session.start(folder / fe.SCR, ["/c"])
        session.find_window(dialog.CAPTION, timeout=60, proc=proc)
        info = fe.parse_wintool(session.wine_output([str(fe.wintool(dist)), "window", dialog.CAPTION]))
        x, y, width, height = dialog.SET_BUTTON
        session.click(int(info["window"]["client_x"]) + x + width // 2,
                      int(info["window"]["client_y"]) + y + height // 2)
        assert session.wait_exit(proc, 15) == 0
        saved = (folder / dialog.INI).read_bytes().decode("cp932")
        assert "[Section]" in saved and "BGM区分=" in saved, saved
        assert not per_user_settings(session).exists()
    finally:
        session.clean()
        remove_installation(session)


def test_silent_uninstall_removes_the_program_and_keeps_the_settings(session, dist):
    other = r"C:\windows\system32\other.scr"
    # (the screensaver chosen before uninstalling or None for ours, settings files there,
    #  the screensaver expected afterwards)
    rows = ((None, False, None), (other, True, other))
    for chosen, with_settings, expected in rows:
        remove_installation(session)
        try:
            folder = install_silently(session, dist)
            if chosen:
                assert reg(session, "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", chosen, "/f") == 0
            settings = fe.settings_bytes(1, 3)
            if with_settings:
                (folder / dialog.INI).write_bytes(settings)
                per_user_settings(session).parent.mkdir(parents=True, exist_ok=True)
                per_user_settings(session).write_bytes(settings)
            uninstall_silently(session)

            assert session.registry_values(UNINSTALL_KEY) is None, "the Uninstall key is still there"
            assert screensaver(session) == expected, (chosen, screensaver(session))
            if with_settings:
                assert sorted(p.name for p in folder.iterdir()) == [dialog.INI]
                assert (folder / dialog.INI).read_bytes() == settings
                assert per_user_settings(session).read_bytes() == settings
            else:
                assert not folder.exists(), f"left behind: {sorted(p.name for p in folder.iterdir())}"
        finally:
            session.clean()
            remove_installation(session)


def test_upgrade_replaces_the_programs_and_keeps_changed_settings(session, dist):
    remove_installation(session)
    try:
        folder = install_silently(session, dist)
        settings = fe.settings_bytes(2, 0, "C:\\曲.mp3")
        (folder / dialog.INI).write_bytes(settings)
        (folder / fe.RENDERER).write_bytes(b"an earlier version")
        install_silently(session, dist)
        assert (folder / dialog.INI).read_bytes() == settings
        assert (folder / fe.RENDERER).read_bytes() == (Path(dist) / fe.RENDERER).read_bytes()
        assert session.registry_values(UNINSTALL_KEY)["InstallLocation"] == session.win_path(folder)
    finally:
        session.clean()
        remove_installation(session)
