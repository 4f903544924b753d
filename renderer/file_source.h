// Opens a file for sequential reading as a ByteSource.
#pragma once

#include <memory>

#include "renderer/bmp_reader.h"

namespace merovan {

// `path` is UTF-8. Null when the file cannot be opened.
std::unique_ptr<ByteSource> OpenFileSource(const char* path);

}  // namespace merovan
