// Background music through the Media Control Interface's command strings and the
// sound-playing service: a small command layer, MP3 files polled once a second and
// restarted when they end, WAV files looped, and the audio CD with one optional track
// repeated.
//
// The module knows Windows only through MusicPlatform, so tests drive it with a scripted
// MCI that answers like Windows does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace merovan {

struct MusicPlatform {
    // mciSendString: 0 or an MCI error code; writes a NUL-terminated result into `buffer`
    // (of `length` characters) when one is given.
    std::function<int32_t(const std::wstring& command, wchar_t* buffer, uint32_t length)>
        sendString;
    // mciGetErrorString: the description of `code`; false when there is none.
    std::function<bool(int32_t code, wchar_t* buffer, uint32_t length)> errorString;
    // PlaySound of a file with the given flags; a null file stops the sound.
    std::function<void(const wchar_t* file, uint32_t flags)> playSound;
    // waveOutGetNumDevs.
    std::function<int()> waveDeviceCount;
};

// PlaySound flags.
constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndLoop = 0x0008;
constexpr uint32_t kSndFilename = 0x00020000;

constexpr wchar_t kEmptyCommandText[] = L"コマンド文字列が指定されていません";
constexpr wchar_t kNoErrorText[] = L"Error (文字列が取れません)";

class BackgroundMusic {
  public:
    explicit BackgroundMusic(MusicPlatform platform) : platform_(std::move(platform)) {}

    // The command layer.
    int32_t SendMciCommand(const std::wstring& command, std::wstring& output);
    std::wstring MciQuery(const std::wstring& command);
    int32_t PlayMciDevice(const std::wstring& alias, const std::wstring& from,
                          const std::wstring& to);

    // MP3 and WAV files.
    void PlayMp3(const std::wstring& file);
    bool IsMp3Playing();
    void RepeatMp3();
    void StopMp3();
    void PlayWav(const std::wstring& file);
    void StopWav();

    // The audio CD; `repeatTrack` 0 plays the whole disc again and again.
    void OpenCdAudio();
    void CheckCdAudio(int16_t repeatTrack);
    void StopCdAudio();
    bool CdKeepPolling() const { return cdKeepPolling_; }

  private:
    static constexpr uint32_t kMciReturnChars = 512;
    static constexpr uint32_t kMciErrorChars = 256;
    static constexpr uint32_t kCdStatusChars = 256;
    static constexpr uint32_t kMp3ModeChars = 30;

    // A send whose result text is not wanted.
    int32_t Send(const std::wstring& command);

    MusicPlatform platform_;
    // Fixed buffers: a shorter text leaves the tail of a longer one behind its NUL, and
    // every text is taken up to the first NUL.
    wchar_t mciReturn_[kMciReturnChars] = {};
    wchar_t mciError_[kMciErrorChars] = {};
    wchar_t cdStatus_[kCdStatusChars] = {};
    wchar_t mp3Mode_[kMp3ModeChars] = {};
    bool cdKeepPolling_ = false;
};

}  // namespace merovan
