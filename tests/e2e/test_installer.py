"""End-to-end tests of the release's per-user installer under Wine: what the
package target makes (and signs, given a certificate), a silent install (files,
registry, the installed programs run and save their settings), a silent
uninstall, an upgrade, installing and uninstalling over a running screensaver,
and every page of the wizards with their texts and choices.

The installer comes from the release folder beside --dist (the package target
builds it). Every test leaves the prefix without our folder, keys or values."""

import contextlib
import hashlib
import os
import re
import shutil
import struct
import subprocess
import tempfile
import zipfile
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
INSTALLED = (harness.SCR, harness.RENDERER, "README.html", "uninstall.exe")
OTHER_SCREENSAVER = r"C:\windows\system32\other.scr"
# The wizards in each language: the locale Wine runs them in, how their captions start, for
# each page a text that page alone shows, and the texts the tests look for.
WIZARD_TEXTS = {
    "ja": {"locale": "ja_JP.UTF-8", "setup": "メロヴァン セットアップ", "uninstall": "メロヴァン アンインストール",
           "pages": {"welcome": "メロヴァンのセットアップへようこそ", "options": "スクリーンセーバーの設定",
                     "installed": "インストールの完了", "finish": "メロヴァンをインストールしました",
                     "confirm": "メロヴァンのアンインストール", "settings": "設定ファイルも削除する",
                     "removed": "アンインストールの完了", "unfinish": "メロヴァンを削除しました"},
           "boxes": ("メロヴァンをスクリーンセーバーに設定する", "画面全体に表示", "マウスやキーでも終了"),
           "remove_settings": "設定ファイルも削除する", "settings_removed": "設定ファイルも削除しました。",
           "set": "スクリーンセーバーをメロヴァンにしました。", "not_set": "スクリーンセーバーは変えていません。"},
    "en": {"locale": "en_US.UTF-8", "setup": "Merovan Setup", "uninstall": "Merovan Uninstall",
           "pages": {"welcome": "Welcome to Merovan Setup", "options": "Screensaver options",
                     "installed": "Installation Complete", "finish": "Merovan is installed",
                     "confirm": "Uninstall Merovan", "settings": "Remove the settings too",
                     "removed": "Uninstallation Complete", "unfinish": "Merovan is removed"},
           "boxes": ("Make Merovan my screensaver", "Cover every monitor", "End on any mouse move or key"),
           "remove_settings": "Remove the settings too", "settings_removed": "Your settings were removed too.",
           "set": "It is now your screensaver.", "not_set": "Your screensaver was left as it was."},
}
# What a fresh install writes with the page's two display options left on.
BOTH_OPTIONS_ON = "[Section]\r\n表示範囲= 1\r\n終了操作= 1\r\n".encode("cp932")


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


def install_silently(session, dist, extra_env=None):
    proc = session.start(setup_program(dist), ["/S"], extra_env=extra_env)
    assert session.wait_exit(proc, 120) == 0
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
    ("/c", "/c English"), or a program of another kind that holds the screensaver's file open
    ("held"), as a preview in the display settings does and which the installer does not end."""
    if what == "/s":
        return harness.start_run(session, folder / harness.SCR)[0]
    if what.startswith("/c"):
        english = what.endswith("English")
        proc = session.start(folder / harness.SCR, ["/c"],
                             extra_env={"LC_ALL": "en_US.UTF-8"} if english else None)
        session.find_window("Merovan Settings" if english else dialog.CAPTION, timeout=60, proc=proc)
        return proc
    proc = session.start(harness.wintool(dist), ["hold", session.win_path(folder / harness.SCR)])
    log = sorted(session.logs.glob("*-wintool.exe.log"))[-1]
    session.wait_until(lambda: b"held" in log.read_bytes(), 60, "the file held")
    return proc


def version_string(path, key, language="0411"):
    """The text of key (FileVersion, FileDescription, ...) in a language's block ("0411"
    Japanese, "0409" English) of a program's version resource."""
    blob = Path(path).read_bytes()
    # The block's name: the language, then its code page (04B0 Unicode, 03A4 Shift-JIS, ...).
    block = re.search(re.escape(language.encode("utf-16-le")) + b"(?:[0-9A-Fa-f]\0){4}\0\0", blob)
    assert block, f"{path} has no version block for language {language}"
    start = blob.index(key.encode("utf-16-le") + b"\0\0", block.end()) + len(key) * 2 + 2
    while blob[start:start + 2] == b"\0\0":
        start += 2
    end = start
    while blob[end:end + 2] != b"\0\0":
        end += 2
    return blob[start:end].decode("utf-16-le")


class Wizard:
    """The pages of the installer or the uninstaller as they show, read through wintool: each
    window of a page as a dict of its class, screen rectangle, check state, whether enabled,
    and text (its line breaks as "|"). Every page it reads is checked for the texts no page
    may show and kept as a picture, <work>/installer-pages/<name>-<n>-<page>.png."""

    def __init__(self, session, dist, texts, name):
        self.session, self.dist, self.texts, self.name = session, dist, texts, name
        self.caption = texts["setup" if name.endswith("setup") else "uninstall"]
        self.window = None
        self.count = 0

    def read(self):
        result = self.session._tool(["wine", str(harness.wintool(self.dist)), "page", self.caption],
                                    timeout=60, check=False)
        windows = []
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            head, _, text = line.partition(" text=")
            fields = dict(word.split("=", 1) for word in head.split()[1:])
            if line.startswith("window") and windows:
                break  # a second wizard window: a message box of the first
            windows.append({**fields, "text": text.rstrip("\r")})
        return windows

    def page(self, name):
        marker = self.texts["pages"][name]
        windows = self.session.wait_until(
            lambda: (lambda page: page if any(marker in w["text"] for w in page) else None)(self.read()),
            60, f"the page {name!r}")
        self.window = {key: int(windows[0][key]) for key in ("x", "y", "width", "height")}
        shown = " ".join([windows[0]["text"]] + [w["text"] for w in windows])
        assert "Nullsoft" not in shown, shown
        if self.texts["locale"].startswith("ja"):
            assert not re.search("[\uff61-\uff9f]", shown), f"half-width katakana: {shown}"
        else:
            assert not re.search("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]", shown), f"Japanese: {shown}"
        self.count += 1
        self.keep_picture(f"{self.name}-{self.count}-{name}")
        return windows[1:]

    def keep_picture(self, name):
        """Saves the wizard window once two screenshots in a row show it alike: painted."""
        box = (self.window["x"], self.window["y"], self.window["x"] + self.window["width"],
               self.window["y"] + self.window["height"])
        last = [None]

        def settled():
            crop = self.session.screenshot().crop_bytes(*box)
            same, last[0] = crop == last[0], crop
            return crop if same else None
        crop = self.session.wait_until(settled, 30, "the page painted", interval=0.3)
        folder = self.session.work / "installer-pages"
        folder.mkdir(exist_ok=True)
        header = f"P6 {self.window['width']} {self.window['height']} 255\n".encode()
        subprocess.run(["convert", "ppm:-", str(folder / f"{name}.png")], input=header + crop,
                       check=True, timeout=60)

    def next(self):
        """The default button: Next, Install, Uninstall or Finish."""
        self.session.mouse_move(self.window["x"] + self.window["width"] // 2,
                                self.window["y"] + self.window["height"] // 2)
        self.session.key("Return")

    def toggle(self, box):
        before = box["checked"]
        self.session.click(int(box["x"]) + 8, int(box["y"]) + int(box["height"]) // 2)
        self.session.wait_until(lambda: any(w["text"] == box["text"] and w["checked"] != before
                                            for w in self.read()), 30, f"{box['text']!r} switched")


def broken_between_names(page, path):
    """Whether a text of the page spells path on lines of their own, each broken after a "\\"
    and never within a name, over at least two lines."""
    for window in page:
        lines = window["text"].split("|")
        for start in range(len(lines)):
            for end in range(start + 2, len(lines) + 1):
                if "".join(lines[start:end]) == path:
                    return all(line.endswith("\\") for line in lines[start:end - 1])
    return False


def uninstaller_of_release(dist):
    """The uninstaller the package target built and put into the installer."""
    return Path(dist).parent / "_CPack_Packages" / "installer" / "uninstall.exe"


def make_certificate(folder):
    """A throwaway self-signed code-signing certificate: its .pfx (password "throwaway") and
    the .pem that verifies signatures made with it."""
    key, pem, pfx = folder / "key.pem", folder / "certificate.pem", folder / "certificate.pfx"
    for command in (["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", str(key),
                     "-out", str(pem), "-days", "2", "-subj", "/CN=Merovan test signing"],
                    ["openssl", "pkcs12", "-export", "-in", str(pem), "-inkey", str(key), "-out", str(pfx),
                     "-passout", "pass:throwaway"]):
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return {"pem": pem, "pfx": pfx}


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
    with zipfile.ZipFile(folder / ZIP) as archive:
        assert sorted(archive.namelist()) == sorted(INSTALLED[:3]), archive.namelist()
        readme = archive.read("README.html").decode("utf-8")
    assert "アンインストール" in readme and "Uninstalling" in readme, "the users' README in both languages"

    # (program, its version resource's language, product, and what it says the program is)
    rows = ((Path(dist) / harness.SCR, "0411", "メロヴァン", "メロヴァン スクリーンセーバー"),
            (Path(dist) / harness.SCR, "0409", "Merovan", "Merovan screensaver"),
            (Path(dist) / harness.RENDERER, "0411", "メロヴァン", "メロヴァン 描画プログラム"),
            (Path(dist) / harness.RENDERER, "0409", "Merovan", "Merovan renderer"),
            (setup_program(dist), "0411", "メロヴァン", "メロヴァン セットアップ"),
            (setup_program(dist), "0409", "Merovan", "Merovan Setup"),
            (uninstaller_of_release(dist), "0411", "メロヴァン", "メロヴァン アンインストーラー"),
            (uninstaller_of_release(dist), "0409", "Merovan", "Merovan Uninstaller"))
    for program, language, product, description in rows:
        found = {key: version_string(program, key, language) for key in
                 ("FileVersion", "ProductVersion", "ProductName", "FileDescription", "CompanyName",
                  "LegalCopyright")}
        assert found == {"FileVersion": VERSION, "ProductVersion": VERSION, "ProductName": product,
                         "FileDescription": description, "CompanyName": "Merovan",
                         "LegalCopyright": "© 2026 Merovan"}, (program.name, language, found)


def test_release_is_signed_only_when_a_certificate_is_given(session, dist):
    """The release step signs the two programs, the uninstaller and the installer with the
    certificate it is given, before it writes the sums; a signed installer still installs, and
    its uninstaller still uninstalls."""
    signed_release = Path(tempfile.mkdtemp(prefix="merovan-signed-"))
    try:
        certificate = make_certificate(signed_release)
        scratch = signed_release / "scratch"
        env = dict(os.environ, MEROVAN_SIGN_PFX=str(certificate["pfx"]), MEROVAN_SIGN_PASSWORD="throwaway")
        subprocess.run(["cpack", "--config", str(Path(dist).parent / "CPackConfig.cmake"), "-B", str(scratch),
                        "-D", f"CPACK_OUTPUT_FILE_PREFIX={signed_release}",
                        "-D", f"CPACK_MEROVAN_RELEASE_DIR={signed_release}",
                        "-D", f"CPACK_MEROVAN_SCRATCH_DIR={scratch}"],
                       check=True, env=env, stdout=subprocess.DEVNULL, timeout=600)
        # (release folder, folder of the uninstaller it built, whether signed)
        rows = ((release(dist), Path(dist).parent / "_CPack_Packages", False), (signed_release, scratch, True))
        for folder, uninstaller_folder, signed in rows:
            programs = folder / "programs"
            with zipfile.ZipFile(folder / ZIP) as archive:
                archive.extractall(programs)
            for program in (programs / harness.SCR, programs / harness.RENDERER, folder / SETUP,
                            uninstaller_folder / "installer" / "uninstall.exe"):
                verified = subprocess.run(["osslsigncode", "verify", "-CAfile", str(certificate["pem"]),
                                           "-in", str(program)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                          timeout=60)
                assert (verified.returncode == 0) == signed, (program, verified.stdout.decode()[-500:])
            shutil.rmtree(programs)
            for line in (folder / "SHA256SUMS").read_text().splitlines():
                digest, name = line.split("  ", 1)
                assert hashlib.sha256((folder / name).read_bytes()).hexdigest() == digest, name
        with installations_removed(session):
            assert session.run(signed_release / SETUP, ["/S"], timeout=120) == 0
            assert (program_folder(session) / harness.SCR).is_file()
            uninstall_silently(session)
    finally:
        shutil.rmtree(signed_release, ignore_errors=True)


def test_silent_install_registers_sets_the_screensaver_and_runs(session, dist):
    # (the locale the installer runs in, the name it gives the installed programs' list) In
    # either language a silent install does the same.
    for locale, name in (("ja_JP.UTF-8", "メロヴァン"), ("en_US.UTF-8", "Merovan")):
        with installations_removed(session):
            check_silent_install(session, dist, locale, name)


def check_silent_install(session, dist, locale, display_name):
    folder = install_silently(session, dist, {"LC_ALL": locale, "LANG": locale})
    for name in INSTALLED:
        assert (folder / name).is_file(), f"{name} is not installed"
    assert (folder / harness.RENDERER).read_bytes() == (Path(dist) / harness.RENDERER).read_bytes()
    assert (folder / "uninstall.exe").read_bytes() == uninstaller_of_release(dist).read_bytes()
    # The page's two display options, on by default, in a new settings file.
    assert (folder / dialog.INI).read_bytes() == BOTH_OPTIONS_ON
    scr = session.win_path(folder / harness.SCR)

    entry = session.registry_values(UNINSTALL_KEY)
    uninstaller = session.win_path(folder / "uninstall.exe")
    readme = session.win_path(folder / "README.html")
    expected = {"DisplayName": display_name, "DisplayVersion": VERSION, "Publisher": "Merovan",
                "DisplayIcon": f"{scr},0", "InstallLocation": session.win_path(folder),
                "UninstallString": f'"{uninstaller}"', "QuietUninstallString": f'"{uninstaller}" /S',
                "URLInfoAbout": readme, "HelpLink": readme}
    assert {name: entry.get(name) for name in expected} == expected
    program_kib = sum((folder / name).stat().st_size for name in INSTALLED) / 1024
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
    # The settings window read the installer's file: it saves the two options as they were.
    assert "[Section]" in saved and "BGM区分=" in saved, saved
    assert "表示範囲= 1" in saved and "終了操作= 1" in saved, saved
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
            else:
                (folder / dialog.INI).unlink()  # the one the install wrote
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


def test_upgrade_replaces_the_programs_and_keeps_the_settings_as_they_are(session, dist):
    # Where the user's settings are. Wherever they are, an upgrade writes no settings file: a new
    # one beside the program would hide the per-user one.
    for place in ("beside", "per-user"):
        with installations_removed(session):
            folder = install_silently(session, dist)
            settings = harness.settings_bytes(2, 0, "C:\\曲.mp3", display=(0, 1, 0))
            (folder / dialog.INI).unlink()
            if place == "beside":
                (folder / dialog.INI).write_bytes(settings)
            else:
                per_user_settings(session).parent.mkdir(parents=True)
                per_user_settings(session).write_bytes(settings)
            (folder / harness.RENDERER).write_bytes(b"an earlier version")
            (folder / "README.md").write_text("the notes the first versions installed")
            install_silently(session, dist)
            assert (folder / harness.RENDERER).read_bytes() == (Path(dist) / harness.RENDERER).read_bytes()
            assert not (folder / "README.md").exists()
            assert session.registry_values(UNINSTALL_KEY)["InstallLocation"] == session.win_path(folder)
            if place == "beside":
                assert (folder / dialog.INI).read_bytes() == settings
            else:
                assert not (folder / dialog.INI).exists()
                assert per_user_settings(session).read_bytes() == settings


def test_install_and_uninstall_end_a_running_screensaver(session, dist):
    # (what runs from the installed folder, whether the installer and uninstaller can end it)
    rows = (("/s", True), ("/c", True), ("/c English", True), ("held", False))
    for running, ends in rows:
        with installations_removed(session):
            folder = install_silently(session, dist)
            (folder / dialog.INI).unlink()  # the folder holds the programs alone
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
                # With the settings file the upgrade wrote, as the folder had none.
                assert sorted(p.name for p in folder.iterdir()) == [dialog.INI]
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


def test_wizard_pages_show_their_texts_and_do_what_they_say(session, dist):
    # (language, folder to install in, long enough to be broken between its names, "Make it my
    #  screensaver", "End on any mouse move or key", "Remove the settings too")
    rows = (("ja", "C:\\スクリーンセーバーのための長い名前のフォルダー\\もうひとつの長い名前のフォルダー\\メロヴァン",
             True, True, False),
            ("en", "C:\\ScreensaversForEveryoneInThisHouse\\AnotherRatherLongFolderNameForTheWholeFamily\\Merovan",
             False, False, True))
    for language, install_folder, set_as_screensaver, any_input_ends, remove_settings in rows:
        texts = WIZARD_TEXTS[language]
        env = {"LC_ALL": texts["locale"], "LANG": texts["locale"]}
        folder = session.unix_path(install_folder)
        with installations_removed(session):
            assert reg(session, "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", OTHER_SCREENSAVER, "/f") == 0
            wizard = Wizard(session, dist, texts, f"{language}-setup")
            proc = session.start(setup_program(dist), [f"/D={install_folder}"], extra_env=env)
            wizard.page("welcome")
            wizard.next()
            page = wizard.page("options")
            boxes = [box for box in page if box["class"] == "Button" and box["text"] in texts["boxes"]]
            assert [(b["text"], b["checked"], b["enabled"]) for b in boxes] == \
                [(text, "1", "1") for text in texts["boxes"]], boxes
            wanted = {texts["boxes"][0]: set_as_screensaver, texts["boxes"][2]: any_input_ends}
            for box in boxes:
                if not wanted.get(box["text"], True):
                    wizard.toggle(box)
            wizard.next()
            wizard.page("installed")
            wizard.next()
            page = wizard.page("finish")
            assert broken_between_names(page, install_folder), page
            assert any(texts["set" if set_as_screensaver else "not_set"] in w["text"] for w in page)
            wizard.next()
            assert session.wait_exit(proc, 60) == 0
            assert screensaver(session) == (session.win_path(folder / harness.SCR) if set_as_screensaver
                                            else OTHER_SCREENSAVER)
            expected = f"[Section]\r\n表示範囲= 1\r\n終了操作= {int(any_input_ends)}\r\n".encode("cp932")
            assert (folder / dialog.INI).read_bytes() == expected

            wizard = Wizard(session, dist, texts, f"{language}-uninstall")
            session.start(folder / "uninstall.exe", extra_env=env)
            wizard.page("confirm")
            wizard.next()
            # Only the folder that holds settings is listed: the per-user one holds none.
            page = wizard.page("settings")
            assert broken_between_names(page, install_folder), page
            assert not [w for w in page if "Roaming" in w["text"]], page
            if remove_settings:
                wizard.toggle(next(w for w in page if w["text"] == texts["remove_settings"]))
            wizard.next()
            wizard.page("removed")
            wizard.next()
            page = wizard.page("unfinish")
            if remove_settings:
                assert any(texts["settings_removed"] in w["text"] for w in page), page
            else:
                assert broken_between_names(page, install_folder), page
            wizard.next()
            wait_uninstaller_end(session)
            assert session.registry_values(UNINSTALL_KEY) is None
            assert screensaver(session) == (None if set_as_screensaver else OTHER_SCREENSAVER)
            left = sorted(p.name for p in folder.iterdir()) if folder.exists() else []
            assert left == ([] if remove_settings else [dialog.INI]), left
