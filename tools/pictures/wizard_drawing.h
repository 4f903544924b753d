// The installer's and uninstaller's own pictures: the tall one beside the welcome and last
// pages, and the small one in the header of the pages between.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

// The sizes the wizard shows them at, in pixels.
constexpr int kWizardSideWidth = 164;
constexpr int kWizardSideHeight = 314;
constexpr int kWizardHeaderWidth = 150;
constexpr int kWizardHeaderHeight = 57;

// The program's twisted ribbon, large, in a glow on a deep blue that lightens downwards.
Raster DrawWizardSide();
// The ribbon at the right end of a white strip, which the header's texts share.
Raster DrawWizardHeader();

}  // namespace merovan::pictures
