#include "music/background_music.h"
#include "music/music_choice.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <deque>
#include <map>
#include <vector>

namespace merovan {
namespace {

// A scripted MCI: records every command and answers each from a table, the way Windows
// does: on success the result text and its NUL go into the caller's buffer (a result that
// does not fit is an error), on failure the buffer is left as it was.
class FakeMci {
  public:
    struct Answer {
        int32_t code;
        std::wstring text;
    };
    static constexpr int32_t kResultTooLong = 343;

    // Answers for one command, used in turn; the last one repeats.
    void Script(const std::wstring& command, std::vector<Answer> answers) {
        script_[command] = std::deque<Answer>(answers.begin(), answers.end());
    }

    MusicPlatform Platform() {
        MusicPlatform p;
        p.sendString = [this](const std::wstring& command, wchar_t* buffer, uint32_t length) {
            sent.push_back(command);
            const Answer answer = Next(command);
            if (answer.code != 0)
                return answer.code;
            if (buffer != nullptr) {
                if (answer.text.size() + 1 > length)
                    return kResultTooLong;
                std::wmemcpy(buffer, answer.text.c_str(), answer.text.size() + 1);
            }
            return 0;
        };
        p.errorString = [this](int32_t code, wchar_t* buffer, uint32_t length) {
            if (!describeErrors || code == -1)
                return false;
            const std::wstring text = L"MCI error " + std::to_wstring(code);
            std::wmemcpy(buffer, text.c_str(), std::min<size_t>(text.size() + 1, length));
            return true;
        };
        p.playSound = [this](const wchar_t* file, uint32_t flags) {
            sounds.push_back({file != nullptr ? file : L"(stop)", flags});
        };
        p.waveDeviceCount = [this] { return waveDevices; };
        return p;
    }

    std::vector<std::wstring> sent;
    std::vector<std::pair<std::wstring, uint32_t>> sounds;
    int waveDevices = 1;
    bool describeErrors = true;

  private:
    Answer Next(const std::wstring& command) {
        auto it = script_.find(command);
        if (it == script_.end())
            return {0, L""};
        Answer answer = it->second.front();
        if (it->second.size() > 1)
            it->second.pop_front();
        return answer;
    }
    std::map<std::wstring, std::deque<Answer>> script_;
};

TEST(MciLayer, CommandsResultsAndErrors) {
    FakeMci mci;
    BackgroundMusic music(mci.Platform());
    std::wstring out;
    EXPECT_EQ(music.SendMciCommand(L"", out), -1);
    EXPECT_EQ(out, kEmptyCommandText);
    EXPECT_TRUE(mci.sent.empty());
    EXPECT_EQ(music.MciQuery(L""), L"Error:-1");

    mci.Script(L"close nothing", {{263, L""}});
    EXPECT_EQ(music.SendMciCommand(L"close nothing", out), 263);
    EXPECT_EQ(out, L"MCI error 263");
    EXPECT_EQ(music.MciQuery(L"close nothing"), L"Error:263");
    mci.describeErrors = false;
    EXPECT_EQ(music.SendMciCommand(L"close nothing", out), 263);
    EXPECT_EQ(out, kNoErrorText);

    // A shorter result after a longer one: only the new text.
    mci.Script(L"q", {{0, L"a long first answer"}, {0, L"ok"}});
    EXPECT_EQ(music.MciQuery(L"q"), L"a long first answer");
    EXPECT_EQ(music.MciQuery(L"q"), L"ok");
    // A result longer than the 512-character buffer is an error.
    mci.Script(L"huge", {{0, std::wstring(512, L'x')}});
    EXPECT_EQ(music.MciQuery(L"huge"), L"Error:343");
}

TEST(MciLayer, PlayCommandForms) {
    FakeMci mci;
    BackgroundMusic music(mci.Platform());
    music.PlayMciDevice(L"cdaudio", L"", L"");
    music.PlayMciDevice(L"cdaudio", L"1", L"");
    music.PlayMciDevice(L"cdaudio", L"", L"3");
    music.PlayMciDevice(L"MP3Play", L"0", L"100");
    EXPECT_EQ(mci.sent,
              (std::vector<std::wstring>{L"play cdaudio", L"play cdaudio from 1",
                                         L"play cdaudio to 3", L"play MP3Play from 0 to 100"}));
}

const std::wstring kSong = L"C:\\My Music\\曲 one.mp3";
const std::wstring kOpenSong = L"open \"C:\\My Music\\曲 one.mp3\" type MPEGVideo Alias MP3Play";

TEST(Mp3, PlaysRestartsAndStops) {
    FakeMci mci;
    BackgroundMusic music(mci.Platform());
    mci.Script(L"status MP3Play mode",
               {{0, L"playing"}, {0, L"stopped"}, {0, L"paused"}, {0, L"playing"}});
    music.PlayMp3(kSong);
    music.RepeatMp3();  // playing: nothing more
    music.RepeatMp3();  // ended: back to the start
    music.RepeatMp3();  // paused: back to the start too
    music.RepeatMp3();
    music.StopMp3();
    EXPECT_EQ(mci.sent, (std::vector<std::wstring>{
                            kOpenSong, L"play MP3Play", L"status MP3Play mode",
                            L"status MP3Play mode", L"stop MP3Play", L"play MP3Play from 0",
                            L"status MP3Play mode", L"stop MP3Play", L"play MP3Play from 0",
                            L"status MP3Play mode", L"stop MP3Play", L"close MP3Play"}));
}

TEST(Mp3, FailedOpenSendsNothingMore) {
    FakeMci mci;
    BackgroundMusic music(mci.Platform());
    mci.Script(kOpenSong, {{277, L""}});
    mci.Script(L"status MP3Play mode", {{281, L""}});
    music.PlayMp3(kSong);
    EXPECT_EQ(mci.sent, std::vector<std::wstring>{kOpenSong});
    // The timer still ticks: the status fails and leaves the mode buffer empty, so the
    // restart is tried (and fails quietly).
    EXPECT_FALSE(music.IsMp3Playing());
}

TEST(Wav, PlaysOnlyWithAWaveDevice) {
    FakeMci mci;
    mci.waveDevices = 0;
    BackgroundMusic music(mci.Platform());
    music.PlayWav(L"C:\\x.wav");
    EXPECT_TRUE(mci.sounds.empty() && mci.sent.empty());
}

TEST(MusicChoice, WhatPlaysForTheStoredSetting) {
    struct Row {
        int16_t kind;
        const wchar_t* file;
        MusicSource source;
    };
    const Row rows[] = {
        {0, L"C:\\a.mp3", MusicSource::kNone},    {1, L"", MusicSource::kAudioCd},
        {1, L"C:\\a.mp3", MusicSource::kAudioCd}, {2, L"C:\\a.Mp3", MusicSource::kMp3File},
        {2, L"C:\\a.WAV", MusicSource::kWavFile}, {2, L"C:\\a.mid", MusicSource::kNone},
        {2, L"p3", MusicSource::kNone},           {3, L"C:\\a.wav", MusicSource::kNone},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ChooseMusic(row.kind, row.file), row.source) << row.kind << ' ' << row.file;
}

TEST(MusicChoice, WhatIsOpenedIsStoppedAndClosedOnce) {
    struct Row {
        MusicSource source;
        std::vector<std::wstring> started, stopped;
        std::vector<std::pair<std::wstring, uint32_t>> sounds;
    };
    const uint32_t kLoopFile = kSndAsync | kSndLoop | kSndFilename;
    const Row rows[] = {
        {MusicSource::kNone, {}, {}, {}},
        {MusicSource::kAudioCd,
         {L"open cdaudio", L"set cdaudio time format tmsf"},
         {L"stop cdaudio", L"close cdaudio"},
         {}},
        {MusicSource::kMp3File,
         {kOpenSong, L"play MP3Play"},
         {L"stop MP3Play", L"close MP3Play"},
         {}},
        {MusicSource::kWavFile, {}, {}, {{kSong, kLoopFile}, {L"(stop)", 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.source));
        FakeMci mci;
        {
            PlayingMusic playing(mci.Platform(), row.source, kSong);
            EXPECT_EQ(mci.sent, row.started);
            EXPECT_EQ(playing.WantsCdTicks(), row.source == MusicSource::kAudioCd);
            EXPECT_EQ(playing.WantsRestartTicks(), row.source == MusicSource::kMp3File);
            mci.sent.clear();
            playing.Stop();
            EXPECT_FALSE(playing.WantsCdTicks() || playing.WantsRestartTicks());
        }  // the owner going stops nothing twice
        EXPECT_EQ(mci.sent, row.stopped);
        EXPECT_EQ(mci.sounds, row.sounds);
    }
    // A CD whose status failed is no longer watched, and is not stopped.
    FakeMci mci;
    mci.Script(L"status cdaudio current track", {{262, L""}});
    PlayingMusic playing(mci.Platform(), MusicSource::kAudioCd, L"");
    playing.CdTick(0);
    EXPECT_FALSE(playing.WantsCdTicks());
    playing.Stop();
    EXPECT_EQ(mci.sent.back(), L"status cdaudio current track");
}

TEST(Cd, EachTickDecidesByModeAndTrack) {
    const std::wstring kCurrent = L"status cdaudio current track";
    const std::wstring kTracks = L"status cdaudio number of tracks";
    const std::wstring kMode = L"status cdaudio mode";
    struct Row {
        const char* name;
        int16_t repeat;
        FakeMci::Answer current, tracks, mode;
        std::vector<std::wstring> extra;  // commands after the three queries
        bool keepPolling;
        size_t commands;
    };
    const Row rows[] = {
        {"stopped disc, no repeat: play from its start",
         0,
         {0, L"1"},
         {0, L"12"},
         {0, L"stopped"},
         {L"play cdaudio"},
         true,
         4},
        {"playing disc, no repeat: left alone",
         0,
         {0, L"4"},
         {0, L"12"},
         {0, L"playing"},
         {},
         true,
         3},
        {"repeat 5 on a stopped disc: start of track 5",
         5,
         {0, L"1"},
         {0, L"12"},
         {0, L"stopped"},
         {L"status cdaudio position track 5", L"play cdaudio from 05:00:00:00"},
         true,
         5},
        {"repeat 5 while track 6 plays: jump back",
         5,
         {0, L"6"},
         {0, L"12"},
         {0, L"playing"},
         {L"status cdaudio position track 5", L"play cdaudio from 05:00:00:00"},
         true,
         5},
        {"repeat 5 while track 5 plays: nothing",
         5,
         {0, L"5"},
         {0, L"12"},
         {0, L"playing"},
         {},
         true,
         3},
        {"no drive or no disc: polling stops",
         0,
         {266, L""},
         {0, L"12"},
         {0, L"stopped"},
         {},
         false,
         1},
        {"track count fails: polling stops",
         0,
         {0, L"1"},
         {263, L""},
         {0, L"stopped"},
         {},
         false,
         2},
        {"current track not a number: polling stops",
         5,
         {0, L"x"},
         {0, L"12"},
         {0, L"playing"},
         {},
         false,
         3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeMci mci;
        mci.Script(kCurrent, {row.current});
        mci.Script(kTracks, {row.tracks});
        mci.Script(kMode, {row.mode});
        mci.Script(L"status cdaudio position track 5", {{0, L"05:00:00:00"}});
        BackgroundMusic music(mci.Platform());
        music.CheckCdAudio(row.repeat);
        EXPECT_EQ(music.CdKeepPolling(), row.keepPolling);
        ASSERT_EQ(mci.sent.size(), row.commands);
        const std::vector<std::wstring> extra(
            mci.sent.begin() + std::min<size_t>(3, mci.sent.size()), mci.sent.end());
        EXPECT_EQ(extra, row.extra);
    }
}

TEST(Cd, RepeatBeyondTheDiscGivesSilenceButKeepsPolling) {
    FakeMci mci;
    mci.Script(L"status cdaudio current track", {{0, L"1"}});
    mci.Script(L"status cdaudio mode", {{0, L"stopped"}});
    mci.Script(L"status cdaudio position track 30", {{289, L""}});
    mci.Script(L"play cdaudio from Error:289", {{274, L""}});
    BackgroundMusic music(mci.Platform());
    music.CheckCdAudio(30);
    EXPECT_TRUE(music.CdKeepPolling());
    EXPECT_EQ(mci.sent.back(), L"play cdaudio from Error:289");
}

TEST(Mp3, ModeBufferKeepsItsLastTextWhenAStatusFails) {
    // The fixed buffer is only written by a status that succeeds.
    FakeMci mci;
    mci.Script(L"status MP3Play mode", {{0, L"playing"}, {263, L""}, {0, L"stopped"}});
    BackgroundMusic music(mci.Platform());
    EXPECT_TRUE(music.IsMp3Playing());
    EXPECT_TRUE(music.IsMp3Playing());
    EXPECT_FALSE(music.IsMp3Playing());
}

}  // namespace
}  // namespace merovan
