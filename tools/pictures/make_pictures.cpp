// Writes every picture in the catalogue into the folder named on the command line.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "tools/pictures/picture_catalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    try {
        std::filesystem::create_directories(folder);
        for (const merovan::pictures::PictureFile& file : merovan::pictures::PictureCatalogue()) {
            const std::vector<uint8_t> bytes = file.make();
            std::ofstream out(folder / file.name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                std::fprintf(stderr, "make_pictures: cannot write %s\n", file.name);
                return 1;
            }
            std::printf("%-24s %6zu bytes\n", file.name, bytes.size());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_pictures: %s\n", e.what());
        return 1;
    }
    return 0;
}
