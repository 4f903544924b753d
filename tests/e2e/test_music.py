"""End-to-end tests of the music during a run, under Wine: the MCI commands a
run sends (Wine traces them with WINEDEBUG=+mci), the MP3 restarted after its
end, the WAV looped, the audio CD on a machine without a drive, and a run that
always ends cleanly."""

import re
import subprocess
import time

import test_frontend as fe

MCI_TRACE = {"WINEDEBUG": "+timestamp,+mci,+winmm"}
MUSIC_FOLDER = "ﾐｭｰｼﾞｯｸ 曲"
COMMAND = re.compile(r'^(\d+\.\d+):[0-9a-f]+:trace:mci:mciSendStringW \(L"((?:[^"\\]|\\.)*)"')
RESULT = re.compile(r'^(\d+\.\d+):[0-9a-f]+:trace:mci:mciSendStringW => 2/ (-?\d+)')


def unescape(text):
    """Undoes Wine's debug quoting: \\\\, \\", and \\XXXX for other characters."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt in "\\\"'":
                out.append(nxt)
                i += 2
                continue
            if re.match(r"[0-9a-f]{4}", text[i + 1:i + 5]):
                out.append(chr(int(text[i + 1:i + 5], 16)))
                i += 5
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t"}.get(nxt, nxt))
            i += 2
            continue
        out.append(text[i])
        i += 1
    return "".join(out)


def mci_commands(session, proc):
    """[(seconds, command, code)] of every command the process sent, in order."""
    log = session.logs / proc.log_name
    commands = []
    for line in log.read_text(encoding="utf-8", errors="replace").splitlines():
        found = COMMAND.match(line)
        if found:
            commands.append([float(found.group(1)), unescape(found.group(2)), None])
            continue
        result = RESULT.match(line)
        if result and commands and commands[-1][2] is None:
            commands[-1][2] = int(result.group(2))
    return [tuple(c) for c in commands]


def sent(session, proc):
    return [command for _, command, _ in mci_commands(session, proc)]


def own_commands(commands):
    """Without the "open DEVICE wait" that Wine's MCI sends itself to open a device that a
    command names before it was opened; the program never sends "wait"."""
    return [c for c in commands if not (c[1].startswith("open ") and c[1].endswith(" wait"))]


def write_settings(scr, kind, repeat=0, music=""):
    (scr.parent / "メロヴァン.ini").write_bytes(fe.settings_bytes(kind, repeat, music))


def make_music(session, name, seconds):
    """A tone of the given length in C:\\ﾐｭｰｼﾞｯｸ 曲; returns its Windows path."""
    folder = session.c_drive / MUSIC_FOLDER
    folder.mkdir(exist_ok=True)
    wav = folder / (name.rsplit(".", 1)[0] + ".wav")
    subprocess.run(["sox", "-q", "-n", "-r", "44100", "-c", "2", str(wav), "synth", str(seconds),
                    "sine", "440"], check=True, timeout=60)
    if name.lower().endswith(".mp3"):
        subprocess.run(["lame", "--quiet", "-b", "64", str(wav), str(folder / name)], check=True, timeout=60)
        wav.unlink()
    return f"C:\\{MUSIC_FOLDER}\\{name}"


def start_traced_run(session, scr):
    (session.home / ".asoundrc").write_text("pcm.!default { type null }\n")  # one wave device
    proc = session.start(scr, ["/s"], extra_env=MCI_TRACE)
    proc.log_name = sorted(session.logs.glob("[0-9]*.log"))[-1].name
    window = session.find_window(fe.RENDERER_TITLE, timeout=60)
    return proc, window


# ------------------------------------------------------------------- tests ---
def test_mp3_plays_restarts_after_its_end_and_stops(session, dist):
    scr = fe.install(session, dist)
    song = make_music(session, "テスト 音.mp3", 2)
    write_settings(scr, 2, music=song)
    proc, window = start_traced_run(session, scr)
    session.wait_until(lambda: sent(session, proc).count("play MP3Play from 0") >= 2, 30,
                       "the MP3 restarted twice")
    seconds, code = fe.end_run_by_escape(session, proc, window)
    assert code == 0, f"the run ended with {code}"

    commands = mci_commands(session, proc)
    texts = [c for _, c, _ in commands]
    opened = f'open "{song}" type MPEGVideo Alias MP3Play'
    assert texts[:2] == [opened, "play MP3Play"], texts[:2]
    assert commands[0][2] == 0 and commands[1][2] == 0, "the MP3 did not open and play"
    # Every restart is a stop and a play from 0 after a status that was not "playing".
    restarts = [i for i, c in enumerate(texts) if c == "play MP3Play from 0"]
    for i in restarts:
        assert texts[i - 1] == "stop MP3Play" and texts[i - 2] == "status MP3Play mode"
    # A two-second tone starts again within a second of its end.
    started = commands[1][0]
    first_restart = commands[restarts[0]][0]
    # Its end plus one tick of the 1 s timer, with room for a busy machine.
    assert first_restart - started < 2.0 + 1.0 + 1.5, f"restarted {first_restart - started:.2f} s after start"
    assert texts[-2:] == ["stop MP3Play", "close MP3Play"], texts[-4:]
    session.log(f"first restart {first_restart - started:.2f} s after the start of a 2 s MP3")


def test_wav_loops_and_stops(session, dist):
    scr = fe.install(session, dist)
    song = make_music(session, "ループ.wav", 1)
    write_settings(scr, 2, music=song)
    proc, window = start_traced_run(session, scr)
    time.sleep(1.5)
    _, code = fe.end_run_by_escape(session, proc, window)
    assert code == 0
    log = (session.logs / proc.log_name).read_text(encoding="utf-8", errors="replace")
    plays = [line for line in log.splitlines() if "PlaySoundW" in line or "PlaySound" in line]
    assert any("\\30eb\\30fc\\30d7.wav" in line for line in plays), plays[:5]
    assert not sent(session, proc), "a WAV run sends no MCI command"


def test_cd_without_a_drive_stops_polling_and_the_run_ends_cleanly(session, dist):
    scr = fe.install(session, dist)
    write_settings(scr, 1, repeat=5)
    proc, window = start_traced_run(session, scr)
    time.sleep(1.5)  # several 200 ms ticks
    _, code = fe.end_run_by_escape(session, proc, window)
    assert code == 0
    commands = own_commands(mci_commands(session, proc))
    texts = [c for _, c, _ in commands]
    assert texts == ["open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"], texts
    assert commands[0][2] != 0 and commands[2][2] != 0


def test_missing_music_file_plays_nothing(session, dist):
    scr = fe.install(session, dist)
    write_settings(scr, 2, music="C:\\ない\\曲.mp3")
    proc, window = start_traced_run(session, scr)
    time.sleep(1.5)
    _, code = fe.end_run_by_escape(session, proc, window)
    assert code == 0
    assert not sent(session, proc)


def test_every_way_a_run_ends_stops_and_closes_the_mp3(session, dist):
    """A close request and the end of the user's session run the same shutdown as the
    renderer's end: a process that exits with the MP3 device open can crash on its way out."""
    scr = fe.install(session, dist)
    song = make_music(session, "曲.mp3", 2)
    write_settings(scr, 2, music=song)
    for how in ("close", "endsession"):
        proc, window = start_traced_run(session, scr)
        session.wait_until(lambda: "play MP3Play" in sent(session, proc), 30, "the MP3 playing")
        session.wine_output([str(fe.wintool(dist)), how, fe.RUN_CAPTION], timeout=60)
        assert session.wait_exit(proc, 15) == 0, how
        assert sent(session, proc)[-2:] == ["stop MP3Play", "close MP3Play"], how
        # The renderer runs on until the user ends it.
        assert session.windows(fe.RENDERER_TITLE)
        session.mouse_move(window.x + window.width // 2, window.y + window.height // 2)
        session.key_hold("Escape", 0.4)
        session.window_gone(fe.RENDERER_TITLE, timeout=10)
