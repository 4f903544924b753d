// What a run plays for the stored music setting, and the playing music as one owner that
// starts it and, whichever way the run ends, stops and closes what it opened.
#pragma once

#include <cstdint>
#include <string>

#include "music/background_music.h"

namespace merovan {

enum class MusicSource { kNone, kAudioCd, kWavFile, kMp3File };

// `kind` as stored: 1 the audio CD, 2 a music file, told apart by its extension (any case);
// anything else, or a file of another kind, plays nothing.
MusicSource ChooseMusic(int16_t kind, const std::wstring& file);

// True when the path's last three characters, upper-cased, are `extension`.
bool HasExtension(const std::wstring& path, const wchar_t* extension);

class PlayingMusic {
  public:
    PlayingMusic(MusicPlatform platform, MusicSource source, const std::wstring& file);
    ~PlayingMusic() { Stop(); }
    PlayingMusic(const PlayingMusic&) = delete;
    PlayingMusic& operator=(const PlayingMusic&) = delete;

    // Whether the run should call RestartTick once a second: an MP3 is restarted when it
    // has ended.
    bool WantsRestartTicks() const { return source_ == MusicSource::kMp3File && !stopped_; }
    void RestartTick();
    // Whether the run should call CdTick every 200 ms: the CD is watched until a status
    // query fails.
    bool WantsCdTicks() const { return cdWatched_; }
    void CdTick(int16_t repeatTrack);

    // Stops and closes what is open; a second call does nothing. The CD is only stopped
    // while it is watched: once its status failed there is nothing to stop.
    void Stop();

  private:
    BackgroundMusic music_;
    MusicSource source_;
    bool cdWatched_ = false;
    bool stopped_ = false;
};

}  // namespace merovan
