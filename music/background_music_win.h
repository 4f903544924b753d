// The music module's Windows side: the wide MCI and sound functions.
#pragma once

#include "music/background_music.h"

namespace merovan {

MusicPlatform WindowsMusicPlatform();

}  // namespace merovan
