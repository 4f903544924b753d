// Background music through the Media Control Interface's command strings and the
// sound-playing service: an MP3 file polled once a second and restarted when it has ended,
// a WAV file looped, or the audio CD with one optional track repeated. One owner starts what
// a run plays and, whichever way the run ends, stops and closes what it opened.
//
// Windows is reached only through MusicPlatform, so tests drive the music with a scripted
// MCI that answers like Windows does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace merovan {

struct MusicPlatform {
    // mciSendString: 0 or an MCI error code; writes a NUL-terminated answer into `buffer`
    // (of `length` characters) when one is given.
    std::function<uint32_t(const std::wstring& command, wchar_t* buffer, uint32_t length)>
        sendString;
    // PlaySound of a file with the given flags; a null file stops the sound.
    std::function<void(const wchar_t* file, uint32_t flags)> playSound;
    // waveOutGetNumDevs.
    std::function<int()> waveDeviceCount;
};

// PlaySound flags.
constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndLoop = 0x0008;
constexpr uint32_t kSndFilename = 0x00020000;

enum class MusicSource { kNone, kAudioCd, kWavFile, kMp3File };

// What a music file plays as, told by the last three characters of its path in any case:
// "WAV" or "MP3"; a file of any other kind plays nothing.
MusicSource MusicFileSource(const std::wstring& path);

class BackgroundMusic {
  public:
    // Starts `source`: `file` is the MP3 or WAV file, `repeatTrack` the CD track played
    // over and over (0: the whole disc).
    BackgroundMusic(MusicPlatform platform, MusicSource source, const std::wstring& file,
                    int16_t repeatTrack);
    ~BackgroundMusic() { Stop(); }
    BackgroundMusic(const BackgroundMusic&) = delete;
    BackgroundMusic& operator=(const BackgroundMusic&) = delete;

    // Whether the run should call RestartTick once a second: an MP3 that opened is
    // restarted when it has ended.
    bool WantsRestartTicks() const { return mp3Open_; }
    void RestartTick();
    // Whether the run should call CdTick every 200 ms: the CD is watched until one of its
    // status queries fails.
    bool WantsCdTicks() const { return cdWatched_; }
    void CdTick();

    // Stops and closes what is open; a second call does nothing. The CD is only stopped
    // while it is watched: once its status failed there is nothing to stop.
    void Stop();

  private:
    // A command whose answer is not wanted; whether it succeeded.
    bool Send(const std::wstring& command);
    // A command's answer; none when it failed.
    std::optional<std::wstring> Query(const std::wstring& command);
    void StartMp3(const std::wstring& file);
    void StartWav(const std::wstring& file);
    // One look at the CD; whether it is to be watched on.
    bool CheckCd();

    MusicPlatform platform_;
    int16_t repeatTrack_;
    bool mp3Open_ = false;
    bool wavPlaying_ = false;
    bool cdWatched_ = false;
};

}  // namespace merovan
