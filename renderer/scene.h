// The scene: a tinted background quad and, in front of it, the twisting sheet of 32 rings
// wrapped in the desktop picture, turning about the viewing axis.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/picture_loader.h"
#include "renderer/texture.h"
#include "renderer/twist.h"

namespace merovan {

// The per-ring tables; those drawn at a frame were computed at the frame before.
struct RingTables {
    double radius[kRingCount] = {};
    double shiftX[kRingCount] = {};
    double texShift[kRingCount] = {};
};

// Where one view of the scene goes in the window, and the aspect of its projection.
struct SceneView {
    int32_t x = 0, y = 0, width = 0, height = 0;  // OpenGL viewport, from the bottom-left
};

struct Scene {
    std::vector<SceneView> views;  // the whole window, or one per monitor
    RingTables rings;
    std::vector<Texture> sheets;  // the desktop picture for each view
    Texture background;
    bool backgroundIsBlack = false;  // its picture is loaded and entirely black
};

// How a frame is put together. Both give the same picture: the depth test decides what
// shows, whatever the order, except where two surfaces lie at exactly the same depth.
enum class DrawOrder {
    // Sheet first, its back faces left out, then the background, unless its picture is
    // all black: the least filled pixels.
    kLeastFill,
    // The background, then the whole sheet over it, as the scene is described.
    kBackgroundFirst,
};

// One-time set-up of the projection, camera, state, empty textures and ring tables, with
// the context current.
void InitScene(Scene& scene, std::vector<SceneView> views);
// Gives the textures their pictures; a picture that could not be read leaves its surface
// in the bare vertex colours.
void UploadPictures(Scene& scene, const PreparedPictures& pictures);
// Clears and draws one frame at `time` seconds into the back buffer, then advances the ring
// tables for the next frame.
void DrawFrame(Scene& scene, double time, DrawOrder order);
// The ring tables at `time` seconds.
void AdvanceRings(RingTables& rings, double time);
// Clears to black: what shows until the pictures are ready.
void DrawBlank();

}  // namespace merovan
