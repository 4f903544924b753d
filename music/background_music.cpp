#include "music/background_music.h"

#include <cwchar>

namespace merovan {
namespace {

constexpr wchar_t kMp3Alias[] = L"MP3Play";
constexpr wchar_t kCdDevice[] = L"cdaudio";
// The length the CD's mode is read with: one short of its buffer.
constexpr uint32_t kCdStatusReadChars = 255;

bool StartsWith(const wchar_t* buffer, const wchar_t* word) {
    return std::wcsncmp(buffer, word, std::wcslen(word)) == 0;
}

bool ContainsErr(const std::wstring& text) {
    std::wstring upper = text;
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - 32);
    }
    return upper.find(L"ERR") != std::wstring::npos;
}

// A track number as MCI reports it; false for anything that is not a whole number.
bool ReadTrackNumber(const std::wstring& text, long& number) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == L' ')
        ++begin;
    while (end > begin && text[end - 1] == L' ')
        --end;
    if (begin == end || end - begin > 9)
        return false;
    number = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        number = number * 10 + (text[i] - L'0');
    }
    return true;
}

}  // namespace

int32_t BackgroundMusic::SendMciCommand(const std::wstring& command, std::wstring& output) {
    if (command.empty()) {
        output = kEmptyCommandText;
        return -1;
    }
    const int32_t code = platform_.sendString(command, mciReturn_, kMciReturnChars);
    if (code != 0) {
        output = platform_.errorString(code, mciError_, kMciErrorChars) ? mciError_ : kNoErrorText;
        return code;
    }
    output = mciReturn_;
    return 0;
}

std::wstring BackgroundMusic::MciQuery(const std::wstring& command) {
    std::wstring result;
    const int32_t code = SendMciCommand(command, result);
    if (code != 0)
        return L"Error:" + std::to_wstring(code);
    return result;
}

int32_t BackgroundMusic::PlayMciDevice(const std::wstring& alias, const std::wstring& from,
                                       const std::wstring& to) {
    std::wstring command = L"play " + alias;
    if (!from.empty())
        command += L" from " + from;
    if (!to.empty())
        command += L" to " + to;
    std::wstring unused;  // a play command answers nothing worth keeping
    return SendMciCommand(command, unused);
}

int32_t BackgroundMusic::Send(const std::wstring& command) {
    return platform_.sendString(command, nullptr, 0);
}

void BackgroundMusic::PlayMp3(const std::wstring& file) {
    // The quotes keep a path with spaces in one piece.
    if (Send(L"open \"" + file + L"\" type MPEGVideo Alias " + kMp3Alias) == 0) {
        Send(std::wstring(L"play ") + kMp3Alias);
    }
}

bool BackgroundMusic::IsMp3Playing() {
    platform_.sendString(std::wstring(L"status ") + kMp3Alias + L" mode", mp3Mode_, kMp3ModeChars);
    return StartsWith(mp3Mode_, L"playing");
}

void BackgroundMusic::RepeatMp3() {
    if (IsMp3Playing())
        return;
    // After its end a device only plays again from 0 once it has been stopped.
    Send(std::wstring(L"stop ") + kMp3Alias);
    Send(std::wstring(L"play ") + kMp3Alias + L" from 0");
}

void BackgroundMusic::StopMp3() {
    Send(std::wstring(L"stop ") + kMp3Alias);
    Send(std::wstring(L"close ") + kMp3Alias);
}

void BackgroundMusic::PlayWav(const std::wstring& file) {
    if (platform_.waveDeviceCount() <= 0)
        return;
    platform_.playSound(file.c_str(), kSndAsync | kSndLoop | kSndFilename);
}

void BackgroundMusic::StopWav() {
    platform_.playSound(nullptr, 0);
}

void BackgroundMusic::OpenCdAudio() {
    Send(std::wstring(L"open ") + kCdDevice);
    Send(std::wstring(L"set ") + kCdDevice + L" time format tmsf");
}

void BackgroundMusic::CheckCdAudio(int16_t repeatTrack) {
    cdKeepPolling_ = true;
    const std::wstring current = MciQuery(L"status cdaudio current track");
    if (ContainsErr(current)) {
        cdKeepPolling_ = false;
        return;
    }
    const std::wstring tracks = MciQuery(L"status cdaudio number of tracks");
    if (ContainsErr(tracks)) {
        cdKeepPolling_ = false;
        return;
    }
    platform_.sendString(L"status cdaudio mode", cdStatus_, kCdStatusReadChars);
    const bool stopped = StartsWith(cdStatus_, L"stopped");

    if (repeatTrack != 0) {
        long currentTrack = 0;
        if (!ReadTrackNumber(current, currentTrack)) {
            cdKeepPolling_ = false;
            return;
        }
        if (stopped || currentTrack != repeatTrack) {
            const std::wstring start =
                MciQuery(L"status cdaudio position track " + std::to_wstring(repeatTrack));
            PlayMciDevice(kCdDevice, start, L"");
        }
    } else if (stopped) {
        PlayMciDevice(kCdDevice, L"", L"");
    }
}

void BackgroundMusic::StopCdAudio() {
    Send(std::wstring(L"stop ") + kCdDevice);
    Send(std::wstring(L"close ") + kCdDevice);
}

}  // namespace merovan
