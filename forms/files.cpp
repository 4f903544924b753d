#include "forms/files.h"

#include "forms/handles.h"

namespace forms {

bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

}  // namespace forms
