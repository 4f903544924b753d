#include "music/music_choice.h"

namespace merovan {
namespace {

constexpr int16_t kStoredAudioCd = 1;
constexpr int16_t kStoredMusicFile = 2;

}  // namespace

MusicSource ChooseMusic(int16_t kind, const std::wstring& file) {
    if (kind == kStoredAudioCd)
        return MusicSource::kAudioCd;
    if (kind != kStoredMusicFile)
        return MusicSource::kNone;
    if (HasExtension(file, L"WAV"))
        return MusicSource::kWavFile;
    if (HasExtension(file, L"MP3"))
        return MusicSource::kMp3File;
    return MusicSource::kNone;
}

bool HasExtension(const std::wstring& path, const wchar_t* extension) {
    if (path.size() < 3)
        return false;
    for (size_t i = 0; i < 3; ++i) {
        wchar_t c = path[path.size() - 3 + i];
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - 32);
        if (c != extension[i])
            return false;
    }
    return true;
}

PlayingMusic::PlayingMusic(MusicPlatform platform, MusicSource source, const std::wstring& file)
    : music_(std::move(platform)), source_(source) {
    switch (source_) {
        case MusicSource::kAudioCd:
            music_.OpenCdAudio();
            cdWatched_ = true;  // the first tick decides whether the watch goes on
            break;
        case MusicSource::kWavFile:
            music_.PlayWav(file);
            break;
        case MusicSource::kMp3File:
            music_.PlayMp3(file);
            break;
        case MusicSource::kNone:
            break;
    }
}

void PlayingMusic::RestartTick() {
    if (WantsRestartTicks())
        music_.RepeatMp3();
}

void PlayingMusic::CdTick(int16_t repeatTrack) {
    if (!cdWatched_)
        return;
    music_.CheckCdAudio(repeatTrack);
    cdWatched_ = music_.CdKeepPolling();
}

void PlayingMusic::Stop() {
    if (stopped_)
        return;
    stopped_ = true;
    if (cdWatched_) {
        cdWatched_ = false;
        music_.StopCdAudio();
    }
    if (source_ == MusicSource::kWavFile)
        music_.StopWav();
    if (source_ == MusicSource::kMp3File)
        music_.StopMp3();
}

}  // namespace merovan
