// The music module's Windows side: the wide MCI and sound functions.
#pragma once

#include "music/merovan_bgm.h"

namespace merovan {

MusicPlatform WindowsMusicPlatform();

}  // namespace merovan
