"""End-to-end tests of the settings window for everyone: what a screen reader finds in it
(wintool access) in Japanese and in English, using it by keyboard alone, English message
boxes, and its marks at 144 dots per inch. The walk also saves the README's pictures of the
window under <work>/readme/ with the names docs/ gives them, to be copied there."""

import re
import subprocess

from harness import RENDERER, install, parse_wintool, settings_bytes, wintool

INI = "メロヴァン.ini"
LOCALES = {"ja": "ja_JP.UTF-8", "en": "en_US.UTF-8"}
CAPTION = {"ja": "<メロヴァン>", "en": "Merovan Settings"}
BOX_TITLE = {"ja": "メロヴァン", "en": "Merovan"}
README_PICTURE = {"ja": "settings-window.png", "en": "settings-window-en.png"}
JAPANESE = re.compile("[\u3000-\u30ff\u3400-\u9fff\uf900-\ufaff\uff00-\uffef]")
FOCUSED, CHECKED, UNAVAILABLE, FOCUSABLE = 0x4, 0x10, 0x1, 0x100000
DIALOG, GROUPING, LINK, TEXT, PUSH, CHECK, RADIO = 18, 20, 30, 42, 43, 44, 45
# The window's accessible children in reading order: role, Japanese name, English name and
# its keyboard shortcut.
CONTROLS = ((GROUPING, "BGM", "Music", ""),
            (RADIO, "音楽CD", "Audio CD", "Alt+A"),
            (RADIO, "なし", "None", "Alt+N"),
            (RADIO, "MP3、WAV", "MP3 or WAV file", "Alt+F"),
            (TEXT, "曲目をﾘﾋﾟｰﾄ", "Repeat track", "Alt+R"),
            (PUSH, "...", "...", ""),
            (GROUPING, "表示", "Display", ""),
            (CHECK, "画面全体に表示", "Cover every monitor", "Alt+M"),
            (CHECK, "画面の更新に合わせて描画", "Draw in step with screen refreshes", "Alt+D"),
            (CHECK, "マウスやキーでも終了", "End on any mouse move or key", "Alt+E"),
            (PUSH, "設定", "Settings", "Alt+S"),
            (PUSH, "ｷｬﾝｾﾙ", "Cancel", "Alt+C"),
            (LINK, "説明書 (README.html)", "User's guide (README.html)", "Alt+G"))
NAMES = {lang: [c[1 + i] for c in CONTROLS] for i, lang in enumerate(LOCALES)}


def open_settings(session, dist, lang, settings=None):
    """Installs the programs with settings, opens the window in a language; (process, ini).
    C:\\song.mp3 is there for settings that choose it: a missing file is not chosen."""
    scr = install(session, dist)
    (session.c_drive / "song.mp3").write_bytes(b"ID3")
    ini = scr.parent / INI
    if settings is not None:
        ini.write_bytes(settings)
    proc = session.start(scr, ["/c"], extra_env={"LC_ALL": LOCALES[lang], "LANG": LOCALES[lang]})
    session.find_window(CAPTION[lang], timeout=60, proc=proc)
    return proc, ini


def access(session, dist, title):
    """wintool access's objects, each a dict of depth, role, state, child, place, name,
    value and shortcut; none while there is no such window."""
    out = session._tool(["wine", str(wintool(dist)), "access", title], timeout=60, check=False)
    objects = []
    for line in out.stdout.decode("utf-8", "replace").splitlines():
        assert not line.startswith("error access"), f"{title} gives no accessible object: {line}"
        if line.startswith("object "):
            head, *fields = line.rstrip("\r").split("\t")
            found = dict(word.split("=", 1) for word in head.split()[1:])
            found.update(field.split("=", 1) for field in fields)
            objects.append({k: int(v, 0) if k not in ("name", "value", "shortcut") else v
                            for k, v in found.items()})
    return objects


def children(session, dist, lang):
    return [o for o in access(session, dist, CAPTION[lang]) if o["depth"] == 1]


def has_state(session, dist, lang, name, state):
    """Whether the child named name has the state bit, or for a negative state, has it not."""
    return any(o["name"] == name and bool(o["state"] & abs(state)) == (state > 0)
               for o in children(session, dist, lang))


def window_texts(session, dist, title):
    """The texts of the visible top-level window named title and of each window inside it."""
    out = session._tool(["wine", str(wintool(dist)), "page", title], timeout=60).stdout
    texts, inside = [], False
    for line in out.decode("utf-8", "replace").splitlines():
        text = line.rstrip("\r").partition(" text=")[2]
        inside = text == title if line.startswith("window") else inside
        if inside:
            texts.append(text)
    return texts


def save_window_picture(session, dist, lang):
    """Saves the window as it shows, once two screenshots agree, for the README."""
    info = parse_wintool(session.wine_output([str(wintool(dist)), "window", CAPTION[lang]]))["window"]
    x, y, w, h = (int(info[k]) for k in ("x", "y", "width", "height"))
    crop = session.wait_until(lambda: (lambda a, b: a if a == b else None)(
        session.screenshot().crop_bytes(x, y, x + w, y + h),
        session.screenshot().crop_bytes(x, y, x + w, y + h)), 30, "the window painted")
    path = session.work / "readme" / README_PICTURE[lang]
    path.parent.mkdir(exist_ok=True)
    subprocess.run(["convert", "ppm:-", str(path)], input=b"P6\n%d %d\n255\n" % (w, h) + crop,
                   check=True, timeout=60)


def test_a_screen_reader_finds_every_control_with_its_role_name_and_state(session, dist):
    session.mouse_move(5, 5)  # off the buttons, for the pictures
    # Audio CD chosen, track 3, the first and last display options on: the same in both
    # languages, as the README shows them side by side. (The keyboard test sees the
    # controls of the other choices skipped while unavailable.)
    checked, focused, unavailable = {1, 7, 9}, {1}, {5}
    for lang in LOCALES:
        _, ini = open_settings(session, dist, lang, settings_bytes(1, 3, display=(1, 0, 1)))
        save_window_picture(session, dist, lang)
        root = session.wait_until(lambda: access(session, dist, CAPTION[lang]), 30, "the walk")[0]
        assert (root["role"], root["name"]) == (DIALOG, CAPTION[lang]), root
        found = session.wait_until(lambda: (lambda c: c if any(o["state"] & FOCUSED for o in c) else None)(
            children(session, dist, lang)), 30, f"{lang}: a control with the focus")
        assert [(o["role"], o["name"]) for o in found] == [(c[0], n) for c, n in zip(CONTROLS, NAMES[lang])]
        assert all(o["child"] == 0 for o in found), "a child that is not an object of its own"
        for i, o in enumerate(found):
            state = o["state"]
            assert (bool(state & CHECKED), bool(state & FOCUSED), bool(state & UNAVAILABLE)) == \
                   (i in checked, i in focused, i in unavailable), f"{lang}: {o}"
            assert state & FOCUSABLE or CONTROLS[i][0] == GROUPING or i in unavailable, f"{o}: not focusable"
            shortcut = CONTROLS[i][3] if lang == "en" else ""
            assert "&" not in o["name"] and o["shortcut"] == shortcut, f"{o}: not {shortcut!r}"
        assert found[4]["value"] == "3", found[4]
        assert found[-1]["value"].lower() == session.win_path(ini.parent / "README.html").lower()
        if lang == "en":
            names = [o["name"] for o in access(session, dist, CAPTION[lang])]
            texts = window_texts(session, dist, CAPTION[lang])
            assert not JAPANESE.search(" ".join(names + texts)), (names, texts)
        session.clean()


# Keys pressed in turn, each with what it leads to: the control named then has the state
# (FOCUSED or CHECKED), or has it not (its negative); digits are typed.
F, C = FOCUSED, CHECKED
KEYBOARD = (
    ("ja", settings_bytes(2, 0, "C:\\song.mp3"), settings_bytes(1, 12, "C:\\song.mp3", (1, 1, 1)),
     ((None, "MP3、WAV", F), ("Tab", "...", F), ("Tab", "画面全体に表示", F),
      ("Tab", "画面の更新に合わせて描画", F), ("Tab", "マウスやキーでも終了", F), ("Tab", "設定", F),
      ("Tab", "ｷｬﾝｾﾙ", F), ("Tab", "説明書 (README.html)", F), ("Tab", "MP3、WAV", F),
      ("shift+Tab", "説明書 (README.html)", F), ("Tab", "MP3、WAV", F), ("Down", "音楽CD", C),
      ("Down", "なし", C), ("Up", "音楽CD", C), ("Tab", "曲目をﾘﾋﾟｰﾄ", F), ("12", None, 0),
      ("Tab", "画面全体に表示", F), ("space", "画面全体に表示", C), ("Down", "画面の更新に合わせて描画", F),
      ("space", "画面の更新に合わせて描画", C), ("Right", "マウスやキーでも終了", F),
      ("space", "マウスやキーでも終了", C), ("Left", "画面の更新に合わせて描画", F),
      ("shift+Tab", "画面全体に表示", F), ("shift+Tab", "曲目をﾘﾋﾟｰﾄ", F), ("shift+Tab", "音楽CD", F),
      ("shift+Tab", "説明書 (README.html)", F), ("shift+Tab", "ｷｬﾝｾﾙ", F), ("shift+Tab", "設定", F),
      ("space", None, 0))),
    ("en", settings_bytes(0, 0, display=(0, 1, 0)), settings_bytes(1, 7, display=(1, 0, 1)),
     (("alt+f", "MP3 or WAV file", C), ("alt+n", "None", C), ("alt+a", "Audio CD", C),
      ("alt+r", "Repeat track", F), ("7", None, 0), ("alt+m", "Cover every monitor", C),
      ("alt+d", "Draw in step with screen refreshes", -C), ("alt+e", "End on any mouse move or key", C),
      ("alt+s", None, 0))),
    ("ja", settings_bytes(0, 0), settings_bytes(1, 9, display=(0, 0, 0)),
     (("Up", "音楽CD", C), ("Tab", "曲目をﾘﾋﾟｰﾄ", F), ("9", None, 0), ("Return", None, 0))),
    ("ja", settings_bytes(1, 3, display=(1, 0, 0)), None,
     (("Down", "なし", C), ("Tab", "画面全体に表示", F), ("space", "画面全体に表示", -C),
      ("Tab", "画面の更新に合わせて描画", F), ("Tab", "マウスやキーでも終了", F), ("Tab", "設定", F),
      ("Tab", "ｷｬﾝｾﾙ", F), ("Return", None, 0))),
    ("en", settings_bytes(1, 3, display=(1, 0, 0)), None,
     (("alt+n", "None", C), ("alt+m", "Cover every monitor", -C), ("Escape", None, 0))),
)


def test_the_keyboard_alone_changes_every_setting_saves_and_cancels(session, dist):
    """Rows: Tab, arrows and Space, then Space on 設定; the English mnemonics; Enter in the
    repeat field saves; Enter on ｷｬﾝｾﾙ and Escape cancel, the file unchanged to the byte."""
    for lang, before, after, steps in KEYBOARD:
        proc, ini = open_settings(session, dist, lang, before)
        window = session.find_window(CAPTION[lang])
        session.mouse_move(window.x + 3, window.y + window.height // 2)  # keys go where it points
        for key, name, state in steps:
            if key is not None and key.isdigit():
                session._xdotool("type", "--delay", "50", key)
            elif key is not None:
                session.key(key)
            if name is not None:
                session.wait_until(lambda: has_state(session, dist, lang, name, state), 30,
                                   f"{lang}: {key} leaves {name} {'without' if state < 0 else 'with'} "
                                   f"state {abs(state):#x}")
        assert session.wait_exit(proc, 30) == 0
        assert ini.read_bytes() == (after or before), (lang, steps[-1])
        session.clean()


def test_english_message_boxes_hold_no_japanese_but_our_file_names(session, dist):
    english = {"LC_ALL": LOCALES["en"], "LANG": LOCALES["en"]}
    for case in ("missing renderer", "save failure"):
        if case == "missing renderer":
            proc = session.start(install(session, dist, renderer=False), ["/s"], extra_env=english)
        else:
            proc, ini = open_settings(session, dist, "en")
            ini.mkdir()
            window = session.find_window(CAPTION["en"])
            session.mouse_move(window.x + 3, window.y + window.height // 2)
            session.key("alt+s")
        session.find_window(BOX_TITLE["en"], timeout=60, proc=proc)
        text = " ".join(window_texts(session, dist, BOX_TITLE["en"]))
        if case == "save failure":
            assert session.win_path(ini) in text, text
            text = text.replace(session.win_path(ini), "")
        assert not JAPANESE.search(text.replace(RENDERER, "").replace(INI, "")), f"{case}: {text}"
        session.clean()


def _frame(rgb):
    return all(abs(c - 0x5A) <= 6 for c in rgb)  # the marks' dark grey outline


def _blue(rgb):
    return rgb[2] > 150 and rgb[0] < 120 and rgb[1] < 180


def _frame_at(picture, start, step):
    """The column (or row) of the first frame pixel from start in the direction of step."""
    (x, y), (dx, dy) = start, step
    for _ in range(40):
        if _frame(picture.pixel(x, y)):
            break
        x, y = x + dx, y + dy
    return x if dx else y


def marks_and_captions(picture, left, top, width, height):
    """The marks that are on in a box of the screen, top to bottom: each blue square's frame,
    found from its middle outwards, as (left, top, (width, height), middle row of the text
    of its caption)."""
    blue = {(x, y) for x, y, rgb in picture.pixels(left, top, left + width, top + height) if _blue(rgb)}
    marks = []
    for x, y in sorted(blue, key=lambda p: (p[1], p[0])):  # a square's top left first
        if any(m[0] <= x < m[0] + m[2][0] and m[1] <= y < m[1] + m[2][1] for m in marks):
            continue
        w, h = (next(i for i in range(99) if (x + i * dx, y + i * dy) not in blue) for dx, dy in ((1, 0), (0, 1)))
        if not (4 <= w < 30 and 4 <= h < 30):
            continue  # not a mark's square: a button's edge, say
        middle = x + w // 2, y + h // 2
        x0, x1, y0, y1 = (_frame_at(picture, middle, step) for step in ((-1, 0), (1, 0), (0, -1), (0, 1)))
        marks.append((x0, y0, (x1 - x0 + 1, y1 - y0 + 1), _ink_centre(picture, x1 + 1, middle[1], y1 - y0 + 1)))
    return marks


def _ink_centre(picture, x0, row, size):
    """The middle of the run of rows with text right of x0 that holds row or is nearest it."""
    def inked(y):
        return any(max(rgb) < 100 for _, _, rgb in picture.pixels(x0 + 2, y, x0 + 2 + 4 * size, y + 1))

    rows = [y for y in range(row - size, row + size) if inked(y)]
    if not rows:
        return None
    y = min(rows, key=lambda r: abs(r - row))
    top = bottom = y
    while inked(top - 1):
        top -= 1
    while inked(bottom + 1):
        bottom += 1
    return (top + bottom) / 2


def test_at_144_dpi_the_marks_grow_with_the_text_and_centre_on_its_line(session, dist):
    key = r"HKCU\Control Panel\Desktop"
    before = (session.registry_values(key) or {}).get("LogPixels")
    session.wine_output(["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"])
    try:
        session.mouse_move(5, 5)
        open_settings(session, dist, "ja", settings_bytes(1, 0, display=(1, 1, 1)))
        info = parse_wintool(session.wine_output([str(wintool(dist)), "window", CAPTION["ja"]]))["window"]
        assert info["client"] == "744x576", info  # 496 x 384 at 96 dpi
        box = (int(info["client_x"]), int(info["client_y"]), 744, 576)
        # The music's chosen mark and the three display options', all on.
        marks = session.wait_until(lambda: (lambda m: m if len(m) == 4 else None)(
            marks_and_captions(session.screenshot(), *box)), 30, "four marks on")
        for left, top, size, text_centre in marks:
            assert size == (19, 19), f"the mark at ({left}, {top}) is {size} px"
            middle = top + (size[1] - 1) / 2
            assert text_centre is not None and abs(middle - text_centre) <= 2, \
                f"the mark at ({left}, {top}) centres at {middle}, its caption at {text_centre}"
    finally:  # the window keeps its DPI; the next program reads the value as it was
        if before is None:
            session.wine_output(["reg", "delete", key, "/v", "LogPixels", "/f"])
        else:
            session.wine_output(["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", before, "/f"])
