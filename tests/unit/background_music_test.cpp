#include "music/background_music.h"

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
        uint32_t code;
        std::wstring text;
    };
    static constexpr uint32_t kResultTooLong = 343;

    // Answers for one command, used in turn; the last one repeats.
    void Script(const std::wstring& command, std::vector<Answer> answers) {
        script_[command] = std::deque<Answer>(answers.begin(), answers.end());
    }

    MusicPlatform Platform() {
        MusicPlatform p;
        p.sendString = [this](const std::wstring& command, wchar_t* buffer,
                              uint32_t length) -> uint32_t {
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
        p.playSound = [this](const wchar_t* file, uint32_t flags) {
            sounds.push_back({file != nullptr ? file : L"(stop)", flags});
        };
        p.waveDeviceCount = [this] { return waveDevices; };
        return p;
    }

    std::vector<std::wstring> sent;
    std::vector<std::pair<std::wstring, uint32_t>> sounds;
    int waveDevices = 1;

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

const std::wstring kSong = L"C:\\My Music\\曲 one.mp3";
const std::wstring kOpenSong = L"open \"C:\\My Music\\曲 one.mp3\" type MPEGVideo Alias MP3Play";

TEST(Mp3, RestartsWhenNotPlayingAndStops) {
    FakeMci mci;
    mci.Script(L"status MP3Play mode", {{0, L"playing"},
                                        {0, L"stopped"},
                                        {0, L"paused"},
                                        {263, L""},  // tells nothing: left as it is
                                        {0, L"playing"}});
    BackgroundMusic music(mci.Platform(), MusicSource::kMp3File, kSong, 0);
    for (int tick = 0; tick < 5; ++tick)
        music.RestartTick();
    music.Stop();
    EXPECT_EQ(mci.sent,
              (std::vector<std::wstring>{
                  kOpenSong, L"play MP3Play", L"status MP3Play mode", L"status MP3Play mode",
                  L"stop MP3Play", L"play MP3Play from 0", L"status MP3Play mode", L"stop MP3Play",
                  L"play MP3Play from 0", L"status MP3Play mode", L"status MP3Play mode",
                  L"stop MP3Play", L"close MP3Play"}));
}

TEST(MusicSource, FilesPlayByTheirLastThreeCharacters) {
    struct Row {
        const wchar_t* file;
        MusicSource source;
    };
    const Row rows[] = {
        {L"C:\\a.Mp3", MusicSource::kMp3File}, {L"C:\\a.WAV", MusicSource::kWavFile},
        {L"C:\\a.wav", MusicSource::kWavFile}, {L"C:\\a.mid", MusicSource::kNone},
        {L"p3", MusicSource::kNone},           {L"", MusicSource::kNone},
        {L"C:\\amp3", MusicSource::kMp3File},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MusicFileSource(row.file), row.source) << row.file;
}

TEST(BackgroundMusic, WhatIsOpenedIsStoppedAndClosedOnce) {
    struct Row {
        const char* name;
        MusicSource source;
        int waveDevices;
        std::vector<FakeMci::Answer> openAnswers;
        std::vector<std::wstring> started, stopped;
        std::vector<std::pair<std::wstring, uint32_t>> sounds;
        bool cdTicks, restartTicks;
    };
    const uint32_t kLoopFile = kSndAsync | kSndLoop | kSndFilename;
    // clang-format off
    const Row rows[] = {
        {"nothing", MusicSource::kNone, 1, {{0, L""}}, {}, {}, {}, false, false},
        {"CD", MusicSource::kAudioCd, 1, {{0, L""}},
         {L"open cdaudio", L"set cdaudio time format tmsf"}, {L"stop cdaudio", L"close cdaudio"},
         {}, true, false},
        {"MP3", MusicSource::kMp3File, 1, {{0, L""}},
         {kOpenSong, L"play MP3Play"}, {L"stop MP3Play", L"close MP3Play"}, {}, false, true},
        {"MP3 that does not open", MusicSource::kMp3File, 1, {{277, L""}},
         {kOpenSong}, {}, {}, false, false},
        {"WAV", MusicSource::kWavFile, 1, {{0, L""}},
         {}, {}, {{kSong, kLoopFile}, {L"(stop)", 0}}, false, false},
        {"WAV without a wave device", MusicSource::kWavFile, 0, {{0, L""}}, {}, {}, {}, false, false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeMci mci;
        mci.waveDevices = row.waveDevices;
        mci.Script(kOpenSong, row.openAnswers);
        {
            BackgroundMusic music(mci.Platform(), row.source, kSong, 0);
            EXPECT_EQ(mci.sent, row.started);
            EXPECT_EQ(music.WantsCdTicks(), row.cdTicks);
            EXPECT_EQ(music.WantsRestartTicks(), row.restartTicks);
            mci.sent.clear();
            music.Stop();
            EXPECT_FALSE(music.WantsCdTicks() || music.WantsRestartTicks());
        }  // the owner going stops nothing twice
        EXPECT_EQ(mci.sent, row.stopped);
        EXPECT_EQ(mci.sounds, row.sounds);
    }
}

TEST(Cd, EachTickDecidesByModeAndTrack) {
    const std::wstring kCurrent = L"status cdaudio current track";
    const std::wstring kTracks = L"status cdaudio number of tracks";
    const std::wstring kMode = L"status cdaudio mode";
    const std::wstring kPosition5 = L"status cdaudio position track 5";
    struct Row {
        const char* name;
        int16_t repeat;
        FakeMci::Answer current, tracks, mode, position;
        std::vector<std::wstring> extra;  // commands after the three queries
        bool keepWatching;
        size_t commands;
    };
    const FakeMci::Answer kTrack5At{0, L"05:00:00:00"};
    const std::wstring kPlay5 = L"play cdaudio from 05:00:00:00";
    // clang-format off
    const Row rows[] = {
        {"stopped disc, no repeat: play from its start",
         0, {0, L"1"}, {0, L"12"}, {0, L"stopped"}, kTrack5At, {L"play cdaudio"}, true, 4},
        {"playing disc, no repeat: left alone",
         0, {0, L"4"}, {0, L"12"}, {0, L"playing"}, kTrack5At, {}, true, 3},
        {"repeat 5 on a stopped disc: start of track 5",
         5, {0, L"1"}, {0, L"12"}, {0, L"stopped"}, kTrack5At, {kPosition5, kPlay5}, true, 5},
        {"repeat 5 while track 6 plays: jump back",
         5, {0, L"6"}, {0, L"12"}, {0, L"playing"}, kTrack5At, {kPosition5, kPlay5}, true, 5},
        {"repeat 5 while track 5 plays: nothing",
         5, {0, L" 5 "}, {0, L"12"}, {0, L"playing"}, kTrack5At, {}, true, 3},
        {"repeat 5 beyond the disc: nothing plays, the watch goes on",
         5, {0, L"1"}, {0, L"4"}, {0, L"stopped"}, {289, L""}, {kPosition5}, true, 4},
        {"mode unknown: not taken for stopped",
         0, {0, L"1"}, {0, L"12"}, {263, L""}, kTrack5At, {}, true, 3},
        {"no drive or no disc: the watch ends",
         0, {266, L""}, {0, L"12"}, {0, L"stopped"}, kTrack5At, {}, false, 1},
        {"track count fails: the watch ends",
         0, {0, L"1"}, {263, L""}, {0, L"stopped"}, kTrack5At, {}, false, 2},
        {"current track not a number: the watch ends",
         5, {0, L"x"}, {0, L"12"}, {0, L"playing"}, kTrack5At, {}, false, 3},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeMci mci;
        mci.Script(kCurrent, {row.current});
        mci.Script(kTracks, {row.tracks});
        mci.Script(kMode, {row.mode});
        mci.Script(kPosition5, {row.position});
        BackgroundMusic music(mci.Platform(), MusicSource::kAudioCd, L"", row.repeat);
        mci.sent.clear();
        music.CdTick();
        EXPECT_EQ(music.WantsCdTicks(), row.keepWatching);
        ASSERT_EQ(mci.sent.size(), row.commands);
        const std::vector<std::wstring> extra(
            mci.sent.begin() + std::min<size_t>(3, mci.sent.size()), mci.sent.end());
        EXPECT_EQ(extra, row.extra);
        // A CD no longer watched is not stopped: once its status failed there is nothing.
        mci.sent.clear();
        music.Stop();
        EXPECT_EQ(mci.sent.size(), row.keepWatching ? 2u : 0u);
    }
}

}  // namespace
}  // namespace merovan
