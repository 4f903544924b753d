"""End-to-end tests of the music during a run, under Wine: the MCI commands a
run sends (Wine traces them with WINEDEBUG=+mci), the MP3 restarted after its
end, the WAV looped, and the audio CD on a machine without a drive. How every
end of a run stops the music is in test_frontend."""

from harness import install, make_music, mci_commands, sent, settings_bytes, start_traced_run


def own_commands(commands):
    """Without the "open DEVICE wait" that Wine's MCI sends itself to open a device that a
    command names before it was opened; the program never sends "wait"."""
    return [c for c in commands if not (c[1].startswith("open ") and c[1].endswith(" wait"))]


def write_settings(scr, kind, repeat=0, music=""):
    (scr.parent / "メロヴァン.ini").write_bytes(settings_bytes(kind, repeat, music))


# ------------------------------------------------------------------- tests ---
def test_mp3_plays_restarts_after_its_end_and_stops(session, dist):
    scr = install(session, dist)
    song = make_music(session, "テスト 音.mp3", 2)
    write_settings(scr, 2, music=song)
    proc, window = start_traced_run(session, scr)
    session.wait_until(lambda: sent(session, proc).count("play MP3Play from 0") >= 2, 30,
                       "the MP3 restarted twice")
    code = session.end_by_escape(proc, window)
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
    scr = install(session, dist)
    song = make_music(session, "ループ.wav", 1)
    write_settings(scr, 2, music=song)
    proc, window = start_traced_run(session, scr)

    def plays():
        log = (session.logs / proc.log_name).read_text(encoding="utf-8", errors="replace")
        return [line for line in log.splitlines() if "PlaySound" in line]

    session.wait_until(lambda: any("\\30eb\\30fc\\30d7.wav" in line for line in plays()), 30,
                       "PlaySound of ループ.wav")
    assert session.end_by_escape(proc, window) == 0
    assert not sent(session, proc), "a WAV run sends no MCI command"


def test_cd_without_a_drive_stops_polling_and_the_run_ends_cleanly(session, dist):
    scr = install(session, dist)
    write_settings(scr, 1, repeat=5)
    proc, window = start_traced_run(session, scr)
    session.wait_until(lambda: "status cdaudio current track" in sent(session, proc), 30, "the first poll")
    session.holds_for(lambda: len(own_commands(mci_commands(session, proc))) == 3, 1.0,
                      "no poll after the first (five ticks of 200 ms)")
    assert session.end_by_escape(proc, window) == 0
    commands = own_commands(mci_commands(session, proc))
    texts = [c for _, c, _ in commands]
    assert texts == ["open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"], texts
    assert commands[0][2] != 0 and commands[2][2] != 0


def test_missing_music_file_plays_nothing(session, dist):
    scr = install(session, dist)
    write_settings(scr, 2, music="C:\\ない\\曲.mp3")
    proc, window = start_traced_run(session, scr)
    # The music is chosen as the run starts, before anything can end it.
    assert session.end_by_escape(proc, window) == 0
    assert not sent(session, proc)
