#include <windows.h>
#include <mmsystem.h>

#include "music/background_music_win.h"

namespace merovan {

MusicPlatform WindowsMusicPlatform() {
    MusicPlatform platform;
    // The wide functions, so that paths outside the user's code page play too.
    platform.sendString = [](const std::wstring& command, wchar_t* buffer, uint32_t length) {
        return static_cast<uint32_t>(mciSendStringW(command.c_str(), buffer, length, nullptr));
    };
    platform.playSound = [](const wchar_t* file, uint32_t flags) {
        PlaySoundW(file, nullptr, flags);
    };
    platform.waveDeviceCount = [] { return static_cast<int>(waveOutGetNumDevs()); };
    return platform;
}

}  // namespace merovan
