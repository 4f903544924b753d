// On the Linux host the scene is exercised by tests and benchmarks, which name the folder
// holding the two pictures.
#include <cstdlib>

#include "renderer/snapshot_paths.h"

namespace merovan {

std::string SnapshotFilePath(int number) {
    const char* folder = std::getenv("MEROVAN_SNAPSHOT_DIR");
    const std::wstring name = SnapshotFileName(number);  // plain ASCII
    return std::string(folder != nullptr ? folder : ".") + "/" +
           std::string(name.begin(), name.end());
}

}  // namespace merovan
