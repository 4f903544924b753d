// Every picture the Windows programs embed, by its file name under pictures/. A new
// picture is one drawing function and one row here.
#pragma once

#include <cstdint>
#include <vector>

namespace merovan::pictures {

struct PictureFile {
    const char* name;
    std::vector<uint8_t> (*make)();  // the file's bytes, the same on every run
};

const std::vector<PictureFile>& PictureCatalogue();

}  // namespace merovan::pictures
