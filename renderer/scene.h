// The scene: a tinted background quad and, in front of it, the twisting sheet of 32 rings
// wrapped in the desktop picture, turning about the viewing axis.
#pragma once

#include <cstdint>

#include "renderer/twist.h"

namespace merovan {

// Written by the window code, read here.
extern float g_time;     // seconds since start
extern int32_t g_width;  // client size from the last WM_SIZE
extern int32_t g_height;

// Per-ring tables; those drawn at a frame were computed at the frame before.
extern double g_ringRadius[kRingCount];
extern double g_ringShiftX[kRingCount];
extern double g_ringTexShift[kRingCount];

// One-time set-up of projection, camera, state, textures and ring tables. Always true.
bool InitScene();
// Clears and draws one frame into the back buffer, then advances the ring tables.
void DrawFrame();
void DrawSheet();
void EmitSheetVertex(int k, int j);
void AdvanceRings();

}  // namespace merovan
