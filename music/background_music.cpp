#include "music/background_music.h"

#include <cwchar>

#include "common/ascii_text.h"

namespace merovan {
namespace {

// Long enough for every answer we ask for; a longer one is an error of MCI's own.
constexpr uint32_t kAnswerChars = 512;

bool StartsWith(const std::wstring& text, const wchar_t* word) {
    return text.compare(0, std::wcslen(word), word) == 0;
}

bool HasExtension(const std::wstring& path, const wchar_t (&extension)[4]) {
    if (path.size() < 3)
        return false;
    for (size_t i = 0; i < 3; ++i) {
        if (UpperAscii(path[path.size() - 3 + i]) != extension[i])
            return false;
    }
    return true;
}

// A track number as MCI reports it: digits, blanks around them allowed.
std::optional<long> TrackNumber(const std::wstring& text) {
    const size_t begin = text.find_first_not_of(L' ');
    const size_t end = text.find_last_not_of(L' ') + 1;
    if (begin == std::wstring::npos || end - begin > 9)
        return std::nullopt;
    long number = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return std::nullopt;
        number = number * 10 + (text[i] - L'0');
    }
    return number;
}

}  // namespace

MusicSource MusicFileSource(const std::wstring& path) {
    if (HasExtension(path, L"WAV"))
        return MusicSource::kWavFile;
    if (HasExtension(path, L"MP3"))
        return MusicSource::kMp3File;
    return MusicSource::kNone;
}

BackgroundMusic::BackgroundMusic(MusicPlatform platform, MusicSource source,
                                 const std::wstring& file, int16_t repeatTrack)
    : platform_(std::move(platform)), repeatTrack_(repeatTrack) {
    switch (source) {
        case MusicSource::kAudioCd:
            // Opened only: the first tick finds the disc stopped and starts it, or finds no
            // disc and ends the watch.
            Send(L"open cdaudio");
            Send(L"set cdaudio time format tmsf");
            cdWatched_ = true;
            break;
        case MusicSource::kWavFile:
            StartWav(file);
            break;
        case MusicSource::kMp3File:
            StartMp3(file);
            break;
        case MusicSource::kNone:
            break;
    }
}

bool BackgroundMusic::Send(const std::wstring& command) {
    return platform_.sendString(command, nullptr, 0) == 0;
}

std::optional<std::wstring> BackgroundMusic::Query(const std::wstring& command) {
    wchar_t answer[kAnswerChars] = {};
    if (platform_.sendString(command, answer, kAnswerChars) != 0)
        return std::nullopt;
    return std::wstring(answer, wcsnlen(answer, kAnswerChars));
}

void BackgroundMusic::StartMp3(const std::wstring& file) {
    // The quotes keep a path with spaces in one piece.
    mp3Open_ = Send(L"open \"" + file + L"\" type MPEGVideo Alias MP3Play");
    if (mp3Open_)
        Send(L"play MP3Play");
}

void BackgroundMusic::RestartTick() {
    if (!mp3Open_)
        return;
    // A status that fails tells nothing: the music is left as it is.
    const std::optional<std::wstring> mode = Query(L"status MP3Play mode");
    if (!mode || StartsWith(*mode, L"playing"))
        return;
    // After its end a device only plays again from 0 once it has been stopped.
    Send(L"stop MP3Play");
    Send(L"play MP3Play from 0");
}

void BackgroundMusic::StartWav(const std::wstring& file) {
    if (platform_.waveDeviceCount() <= 0)
        return;
    platform_.playSound(file.c_str(), kSndAsync | kSndLoop | kSndFilename);
    wavPlaying_ = true;
}

void BackgroundMusic::CdTick() {
    if (cdWatched_)
        cdWatched_ = CheckCd();
}

bool BackgroundMusic::CheckCd() {
    // No drive, no disc or a disc taken out: the watch ends for the rest of the run.
    const std::optional<std::wstring> current = Query(L"status cdaudio current track");
    if (!current || !Query(L"status cdaudio number of tracks"))
        return false;
    const std::optional<std::wstring> mode = Query(L"status cdaudio mode");
    const bool stopped = mode && StartsWith(*mode, L"stopped");
    if (repeatTrack_ == 0) {
        if (stopped)
            Send(L"play cdaudio");
        return true;
    }
    const std::optional<long> track = TrackNumber(*current);
    if (!track)
        return false;
    if (stopped || *track != repeatTrack_) {
        // A track beyond the last one has no position: nothing plays, and the next tick
        // asks again.
        const std::optional<std::wstring> start =
            Query(L"status cdaudio position track " + std::to_wstring(repeatTrack_));
        if (start)
            Send(L"play cdaudio from " + *start);
    }
    return true;
}

void BackgroundMusic::Stop() {
    if (cdWatched_) {
        cdWatched_ = false;
        Send(L"stop cdaudio");
        Send(L"close cdaudio");
    }
    if (mp3Open_) {
        mp3Open_ = false;
        Send(L"stop MP3Play");
        Send(L"close MP3Play");
    }
    if (wavPlaying_) {
        wavPlaying_ = false;
        platform_.playSound(nullptr, 0);
    }
}

}  // namespace merovan
