// Opens a file for sequential reading as a ByteSource.
#pragma once

#include <filesystem>
#include <memory>

#include "renderer/bmp_reader.h"

namespace merovan {

// Null when the file cannot be opened.
std::unique_ptr<ByteSource> OpenFileSource(const std::filesystem::path& path);

}  // namespace merovan
