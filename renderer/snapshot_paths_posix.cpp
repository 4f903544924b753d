// On the Linux host the scene is exercised by tests and benchmarks, which name the folder
// holding the two pictures.
#include <cstdlib>

#include "renderer/snapshot_paths.h"

namespace merovan {

std::filesystem::path SnapshotFilePath(int number) {
    const char* folder = std::getenv("MEROVAN_SNAPSHOT_DIR");
    return std::filesystem::path(folder != nullptr ? folder : ".") / SnapshotFileName(number);
}

}  // namespace merovan
