"""End-to-end tests of the settings window, opened as Windows does with /c:
where it opens, its layout and shading, the choices and their marks, the
display options, the repeat box, picking a file, saving exactly the keys,
cancelling, and the link."""

import os
import shutil
import time
from urllib.parse import unquote

from harness import (DISPLAY_KEYS, INSTALL_FOLDER, MUSIC_FOLDER, PROGRAM_TITLE, RENDERER, RENDERER_TITLE, install,
                     make_music, mci_commands, parse_wintool, run_as_user, sent, settings_bytes,
                     shows_face, start_traced_run, wintool)

CAPTION = "<メロヴァン>"
FILE_DIALOG = "ﾌｧｲﾙを開く"
INI = "メロヴァン.ini"
# Client pixels of the controls (layout in twips ÷ 15).
PANEL = (12, 16)
MARK = {0: (28, 76), 1: (28, 56), 2: (28, 96)}        # in the panel
CHOICE_LABEL = {0: (48, 82), 1: (52, 62), 2: (60, 102)}  # in the panel
REPEAT_BOX = (112, 52, 41, 20)                          # in the panel
FILE_BUTTON = (28, 116, 41, 21)                         # in the panel
FILE_LABEL = (72, 116)                                  # in the panel
# The display panel below the music panel, 469 x 125, with one mark and caption a row;
# the window is taller by it and its margin, and what stands below moves down as much.
DISPLAY_PANEL = (12, 197)
GROWTH = 141
OPTION_MARK = {i: (12 + 28, 197 + 56 + 20 * i) for i in range(3)}
OPTION_CAPTION = {i: (12 + 54, 197 + 62 + 20 * i) for i in range(3)}
SET_BUTTON = (324, 200 + GROWTH, 77, 25)
CANCEL_BUTTON = (404, 200 + GROWTH, 77, 25)
LINK = (20, 214 + GROWTH)
# The shading: the window's band dark blue at the top, light in the middle of its 384
# rows; each panel, in its own rows, dark grey at its edges, near white in its middle.
SHADING = {(4, 0, False): (0, 0, 30), (4, 96, False): (156, 156, 186),
           (4, 192, False): (220, 220, 250),
           (460, 0, True): (30, 30, 30), (460, 82, True): (250, 250, 250),
           (472, 196, False): (220, 220, 250), (472, 197, False): (30, 30, 30),
           (472, 197 + 62, False): (250, 250, 250), (472, 197 + 124, False): (35, 35, 35),
           (472, 197 + 125, False): (107, 107, 137)}


class Dialog:
    def __init__(self, session, dist, settings=None, extra_env=None):
        self.session = session
        self.scr = install(session, dist)
        self.ini = self.scr.parent / INI
        if settings is not None:
            self.ini.write_bytes(settings)
        self.proc = session.start(self.scr, ["/c"], extra_env=extra_env)
        session.find_window(CAPTION, timeout=60, proc=self.proc)
        info = parse_wintool(session.wine_output([str(wintool(dist)), "window", CAPTION]))["window"]
        self.info = info
        self.x0, self.y0 = int(info["client_x"]), int(info["client_y"])

    def at(self, x, y, in_panel=False):
        dx, dy = PANEL if in_panel else (0, 0)
        return self.x0 + dx + x, self.y0 + dy + y

    def click(self, x, y, in_panel=False, button=1):
        self.session.click(*self.at(x, y, in_panel), button=button)

    def click_button(self, box, in_panel=False):
        self.click(box[0] + box[2] // 2, box[1] + box[3] // 2, in_panel)

    def shading_faults(self):
        shot = self.session.screenshot()
        return [f"{probe}: {shot.pixel(*self.at(*probe))}, not {rgb}"
                for probe, rgb in SHADING.items() if shot.pixel(*self.at(*probe)) != rgb]

    def selected_mark(self):
        shot = self.session.screenshot()
        return [kind for kind, (x, y) in MARK.items() if _is_blue(shot.pixel(*self.at(x + 6, y + 6, True)))]

    def options_on(self):
        shot = self.session.screenshot()
        return tuple(int(_is_blue(shot.pixel(*self.at(x + 6, y + 6)))) for x, y in OPTION_MARK.values())

    def button_face(self, box, name, in_panel=False):
        return shows_face(self.session, self.at(0, 0, in_panel), box, name)

    def closed(self, timeout=15):
        return self.session.wait_exit(self.proc, timeout)


def _is_blue(rgb):
    r, g, b = rgb
    return b > 150 and r < 120 and g < 180


def test_opens_centred_one_third_down_with_its_layout_and_shading(session, dist):
    session.mouse_move(5, 5)  # off the buttons, which then show their plain face
    dialog = Dialog(session, dist, settings_bytes(0, 0))
    info = dialog.info
    assert info["client"] == f"496x{243 + GROWTH}"
    width, height = int(info["width"]), int(info["height"])
    assert int(info["x"]) == (1280 - width) // 2
    assert int(info["y"]) == (1024 - height) // 3
    session.wait_until(lambda: not dialog.shading_faults(), 10, "the shading")
    # The buttons and the link below the panels, moved down by exactly the growth.
    for box in (SET_BUTTON, CANCEL_BUTTON):
        session.wait_until(lambda: dialog.button_face(box, "normal"), 10, f"a button at {box}")
    shot = session.screenshot()
    def white_in_link_rows(top):
        return sum(shot.pixel(*dialog.at(x, y)) == (255, 255, 255)
                   for x in range(LINK[0], LINK[0] + 200) for y in range(top, top + 14))

    assert white_in_link_rows(LINK[1] - GROWTH) == 0 and white_in_link_rows(LINK[1]) > 0, \
        "the link is not in its rows"
    # Painted over, the shading comes back when the whole window repaints.
    session.paint_over(dialog.x0, dialog.y0, 496, 243 + GROWTH, (255, 0, 255))
    assert len(dialog.shading_faults()) == len(SHADING), "the paint-over does not show"
    session.wine_output([str(wintool(dist)), "repaint", CAPTION])
    session.wait_until(lambda: not dialog.shading_faults(), 10, "the shading repainted")
    # Beside an open settings window nothing else starts.
    assert session.run(dialog.scr, ["/s"], timeout=30) == 0
    assert not session.windows(RENDERER_TITLE)
    close_window(session, dist)
    assert dialog.closed() == 0


def close_window(session, dist):
    session.wine_output([str(wintool(dist)), "close", CAPTION])


def test_marks_and_enabled_controls_follow_the_stored_choice(session, dist):
    for kind, file_enabled, display in ((0, False, (1, 0, 0)), (1, False, (0, 1, 1)),
                                        (2, True, None), (3, False, (1, 1, 1))):
        music = ""
        if kind == 2:
            (session.c_drive / "曲.mp3").write_bytes(b"ID3")
            music = "C:\\曲.mp3"
        dialog = Dialog(session, dist, settings_bytes(kind, 0, music, display))
        expected = [kind] if kind in (0, 1, 2) else []
        session.wait_until(lambda: dialog.selected_mark() == expected, 10, f"marks for kind {kind}")
        options = display or (0, 0, 0)  # no keys: every option off
        session.wait_until(lambda: dialog.options_on() == options, 10, f"options {options}")
        face = "normal" if file_enabled else "disable"
        session.wait_until(lambda: dialog.button_face(FILE_BUTTON, face, True), 10, f"'...' {face}")
        before = dialog.ini.read_bytes()
        close_window(session, dist)
        assert dialog.closed() == 0
        assert dialog.ini.read_bytes() == before, "closing changed the settings file"
        session.clean()


def test_choosing_typing_toggling_and_setting_writes_exactly_the_keys(session, dist):
    original = b"; keep me\r\n" + settings_bytes(0, 0) + b"[Other]\r\nx=y\r\n"
    dialog = Dialog(session, dist, original)
    dialog.click(*CHOICE_LABEL[1], in_panel=True)  # the label "音楽CD"
    session.wait_until(lambda: dialog.selected_mark() == [1], 10, "the CD mark")
    dialog.click(REPEAT_BOX[0] + 10, REPEAT_BOX[1] + 8, in_panel=True)
    session._xdotool("type", "--delay", "50", "7")
    # A caption or its mark toggles its option: on, on and off again, on.
    mark = {i: (x + 6, y + 6) for i, (x, y) in OPTION_MARK.items()}
    for point, options in ((OPTION_CAPTION[0], (1, 0, 0)), (mark[1], (1, 1, 0)),
                           (OPTION_CAPTION[1], (1, 0, 0)), (mark[2], (1, 0, 1))):
        dialog.click(*point)
        session.wait_until(lambda: dialog.options_on() == options, 10, f"options {options}")
    dialog.click_button(SET_BUTTON)
    assert dialog.closed() == 0
    # The music keys change in place; the display keys follow them in their section.
    expected = b"; keep me\r\n" + settings_bytes(1, 7, display=(1, 0, 1)) + b"[Other]\r\nx=y\r\n"
    assert dialog.ini.read_bytes() == expected


def test_the_repeat_box_takes_a_track_number_of_digits_only(session, dist):
    """Other keys are refused as typed, a paste of anything but digits whole; two digits at most."""
    for typed, pasted, stored in (("x9a9", None, 99), ("5", "x7", 5), ("", " 12 ", 12),
                                  ("123", None, 12)):
        dialog = Dialog(session, dist, settings_bytes(1, 0))
        dialog.click(REPEAT_BOX[0] + 10, REPEAT_BOX[1] + 8, in_panel=True)
        session._xdotool("type", "--delay", "50", typed)
        if pasted is not None:
            session.wine_output([str(wintool(dist)), "clip", pasted])
            session.key("ctrl+v")
        dialog.click_button(SET_BUTTON)
        assert dialog.closed() == 0
        assert dialog.ini.read_bytes() == settings_bytes(1, stored, display=(0, 0, 0)), (typed, pasted)
        session.clean()


def test_right_press_on_a_mark_chooses_and_cancel_leaves_the_file(session, dist):
    original = settings_bytes(1, 3)
    dialog = Dialog(session, dist, original)
    x, y = MARK[0]
    dialog.click(x + 6, y + 6, in_panel=True, button=3)
    session.wait_until(lambda: dialog.selected_mark() == [0], 10, "the none mark")
    dialog.click(*OPTION_CAPTION[2])
    session.wait_until(lambda: dialog.options_on() == (0, 0, 1), 10, "the option toggled")
    dialog.click_button(CANCEL_BUTTON)
    assert dialog.closed() == 0
    assert dialog.ini.read_bytes() == original


def test_a_file_picked_in_the_file_dialog_is_shown_and_saved(session, dist):
    folder = session.c_drive / "ﾐｭｰｼﾞｯｸ"
    folder.mkdir()
    (folder / "song.mp3").write_bytes(b"ID3")
    (folder / "old.wav").write_bytes(b"RIFF")
    dialog = Dialog(session, dist, settings_bytes(2, 0, "C:\\ﾐｭｰｼﾞｯｸ\\old.wav"))
    dialog.click_button(FILE_BUTTON, in_panel=True)
    picker = session.find_window(FILE_DIALOG, timeout=30)
    # The dialog opens in the folder of the current file; a name typed there is taken.
    session.mouse_move(picker.x + picker.width // 2, picker.y + 20)
    session._xdotool("type", "--delay", "50", "song.mp3")
    session.key("Return")
    session.window_gone(FILE_DIALOG, timeout=30)
    dialog.click_button(SET_BUTTON)
    assert dialog.closed() == 0
    assert dialog.ini.read_bytes() == settings_bytes(2, 0, "C:\\ﾐｭｰｼﾞｯｸ\\song.mp3", (0, 0, 0))


def test_the_link_shows_the_hand_and_opens_the_installed_guide(session, dist):
    fake = session.work / "fakebin"
    fake.mkdir(exist_ok=True)
    opened = session.work / "opened.txt"
    opened.unlink(missing_ok=True)
    script = fake / "xdg-open"
    script.write_text(f"#!/bin/sh\necho \"$1\" >> '{opened}'\n")
    script.chmod(0o755)
    dialog = Dialog(session, dist, settings_bytes(0, 0),
                    extra_env={"PATH": f"{fake}:{os.environ.get('PATH', '')}"})
    (dialog.scr.parent / "README.html").write_text("<p>guide</p>")
    session.mouse_move(*dialog.at(*LINK))
    session.wait_until(lambda: session.cursor_image()[2:4] == (12, 10), 10, "the hand over the link")
    session.mouse_move(*dialog.at(200, 120))
    session.wait_until(lambda: session.cursor_image()[2:4] != (12, 10), 10, "the arrow off the link")
    dialog.click(*LINK)
    session.wait_until(lambda: opened.exists() and opened.read_text().strip(), 30, "the browser started")
    # Wine's browser hands on the page as a file:// address of the folder's path.
    assert unquote(opened.read_text().strip()).endswith(f"/{INSTALL_FOLDER}/メロヴァン/README.html")
    close_window(session, dist)
    assert dialog.closed() == 0


def test_an_unwritable_program_folder_saves_the_per_user_copy(session, dist):
    run_as_user(session, dist, "readonly-program-folder")


def test_a_read_only_settings_file_stays_read_only(session, dist):
    run_as_user(session, dist, "readonly-settings-file")


def test_a_file_saved_by_an_editor_keeps_its_encoding_and_line_breaks(session, dist):
    cd = "; 設定 ✓\n[Section]\nBGM区分= 1\nBGMﾘﾋﾟｰﾄ= 3\n"
    zeros = "".join(f"{key}= 0\n" for key in DISPLAY_KEYS)
    music_keys = "BGM区分= 0\nBGMﾘﾋﾟｰﾄ= 0\nBGMﾌｧｲﾙ=\n"
    for mark, encoding, newline, kind, text, saved in (
            (b"\xff\xfe", "utf-16-le", "\r\n", 1, cd, cd + "BGMﾌｧｲﾙ=\n" + zeros),
            (b"\xfe\xff", "utf-16-be", "\n", 1, cd, cd + "BGMﾌｧｲﾙ=\n" + zeros),
            (b"\xef\xbb\xbf", "utf-8", "\n", 1, cd, cd + "BGMﾌｧｲﾙ=\n" + zeros),
            (b"", "utf-8", "\r\n", 1, cd, cd + "BGMﾌｧｲﾙ=\n" + zeros),
            (b"", "utf-8", "\n", 0, "; café\n", "; café\n[Section]\n" + music_keys + zeros),
            (b"", "utf-8", "\n", 0, "[Section]\n表示範囲= 1\n",
             "[Section]\n表示範囲= 1\n" + music_keys + zeros[len("表示範囲= 0\n"):]),
            (b"", "cp932", "\r", 1, cd.replace(" ✓", ""), cd.replace(" ✓", "") + "BGMﾌｧｲﾙ=\n" + zeros)):
        def stored(t):
            return mark + t.replace("\n", newline).encode(encoding)
        dialog = Dialog(session, dist, stored(text))
        session.wait_until(lambda: dialog.selected_mark() == [kind], 10, f"{text!r}: the mark")
        dialog.click_button(SET_BUTTON)
        assert dialog.closed() == 0
        assert dialog.ini.read_bytes() == stored(saved), (encoding, text)
        session.clean()


def test_a_file_not_read_whole_is_kept_and_the_window_says_why(session, dist):
    """A file too large to read, one another program holds, and a folder in the file's
    place: "設定" writes nothing, says why and which file, and the window stays open."""
    small = settings_bytes(0, 0)
    # Another program's section after ours, 17 MB in.
    large = small + b"[Other]\r\n" + b"".join(b"k%07d=%s\r\n" % (i, b"v" * 40) for i in range(340000))
    for case, settings, reason in (("too large", large, "大きすぎます"), ("held", small, "使用中"),
                                   ("a folder", None, "読み込めません")):
        dialog = Dialog(session, dist, settings)
        if case == "held":
            session.start(wintool(dist), ["hold", session.win_path(dialog.ini)])
            log = sorted(session.logs.glob("[0-9]*.log"))[-1]
            session.wait_until(lambda: b"held" in log.read_bytes(), 30, "the file held")
        if case == "a folder":
            dialog.ini.mkdir()
        dialog.click(*CHOICE_LABEL[1], in_panel=True)
        dialog.click_button(SET_BUTTON)
        box = session.find_window(PROGRAM_TITLE, timeout=30)
        text = session.wine_output([str(wintool(dist)), "texts", PROGRAM_TITLE])
        assert all(part in text for part in ("設定を保存できませんでした", reason,
                                             session.win_path(dialog.ini))), text
        session.mouse_move(box.x + box.width // 2, box.y + box.height // 2)
        session.key("Return")
        session.window_gone(PROGRAM_TITLE, timeout=30)
        assert dialog.proc.poll() is None and session.windows(CAPTION), f"{case}: the window closed"
        if settings is not None:
            assert dialog.ini.read_bytes() == settings, f"{case}: the file changed"
        close_window(session, dist)
        assert dialog.closed() == 0
        session.clean()


def test_a_save_is_what_the_next_window_and_run_read_and_the_file_stays_what_it_was(session, dist):
    """Whichever copy is dated in the future, the next /c and /s show what "設定" saved: beside the
    program, in a file that stays hidden, or, that file read-only, in the per-user copy, a link."""
    roaming = session.unix_path(session.wine_output(["cmd", "/c", "echo", "%APPDATA%"]).strip())
    per_user, linked = roaming / "Merovan" / INI, session.c_drive / "設定の置き場" / INI
    try:
        for read_only in (False, True):
            scr = install(session, dist)
            beside = scr.parent / INI
            per_user.parent.mkdir(parents=True, exist_ok=True)
            linked.parent.mkdir()
            if read_only:
                per_user.symlink_to(linked)
            for path in (beside, per_user):
                path.write_bytes(settings_bytes(0, 0))
            future = time.time() + 3 * 365 * 86400
            os.utime(beside if read_only else per_user, (future, future))
            if read_only:
                beside.chmod(0o444)
            else:
                session.wine_output(["attrib", "+h", session.win_path(beside)])
            dialog = Dialog(session, dist)
            dialog.click(*CHOICE_LABEL[1], in_panel=True)
            dialog.click(*OPTION_CAPTION[1])
            session.wait_until(lambda: dialog.options_on() == (0, 1, 0), 10, "paced frames on")
            dialog.click_button(SET_BUTTON)
            assert dialog.closed() == 0
            saved = linked if read_only else beside
            assert saved.read_bytes() == settings_bytes(1, 0, display=(0, 1, 0)), read_only
            if read_only:
                assert per_user.is_symlink() and per_user.resolve() == linked.resolve()
            else:
                flags = session.wine_output(["attrib", session.win_path(beside)]).split("C:\\")[0]
                assert "H" in flags, f"no longer hidden: {flags}"
            dialog = Dialog(session, dist)
            session.wait_until(lambda: dialog.selected_mark() == [1] and dialog.options_on() == (0, 1, 0),
                               10, "the saved choice shown")
            close_window(session, dist)
            assert dialog.closed() == 0
            proc, window = start_traced_run(session, scr)
            session.wait_until(lambda: "open cdaudio" in sent(session, proc), 30, "the CD opened")
            assert session.program_arguments(RENDERER)[:2] == ["/paced", "/snapshots"], read_only
            assert session.end_by_escape(proc, window) == 0
            per_user.unlink()
            session.clean()
    finally:
        shutil.rmtree(per_user.parent, ignore_errors=True)


def test_a_file_outside_code_page_932_is_stored_by_its_short_name(session, dist):
    """The settings file holds code page 932 text: a picked name with other characters is
    stored by its short form, which the next run plays."""
    song = make_music(session, "Grüße 😀.mp3", 2)
    folder = session.unix_path(song).parent
    (folder / "old.wav").write_bytes(b"RIFF")
    dialog = Dialog(session, dist, settings_bytes(2, 0, f"C:\\{MUSIC_FOLDER}\\old.wav"))
    dialog.click_button(FILE_BUTTON, in_panel=True)
    picker = session.find_window(FILE_DIALOG, timeout=30)
    # The first entry of the list, in name order: the song.
    session.mouse_move(picker.x + 60, picker.y + 64)
    session._xdotool("click", "--repeat", "2", "--delay", "80", "1")
    session.window_gone(FILE_DIALOG, timeout=30)
    dialog.click_button(SET_BUTTON)
    assert dialog.closed() == 0
    stored = dialog.ini.read_bytes().decode("cp932").split("BGMﾌｧｲﾙ=")[1].split("\r\n")[0]
    assert stored.startswith("C:\\") and "~" in stored.rsplit("\\", 1)[1], stored
    proc, window = start_traced_run(session, dialog.scr)
    session.wait_until(lambda: "play MP3Play" in sent(session, proc), 30, "the MP3 playing")
    opened = mci_commands(session, proc)[0]
    assert opened[1] == f'open "{stored}" type MPEGVideo Alias MP3Play' and opened[2] == 0, opened
    assert session.end_by_escape(proc, window) == 0
