#include "tools/pictures/preview_drawing.h"

#include <GL/osmesa.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "renderer/gl_api.h"
#include "renderer/scene.h"
#include "renderer/snapshot_paths.h"
#include "tools/pictures/desktop_drawing.h"
#include "tools/pictures/picture_files.h"

namespace merovan::pictures {
namespace {

// Drawn this many times larger, then each block averaged into one preview pixel.
constexpr int kOversample = 4;
constexpr int kSceneWidth = kPreviewWidth * kOversample;
constexpr int kSceneHeight = kPreviewHeight * kOversample;
constexpr int kSnapshotWidth = 320;
constexpr int kSnapshotHeight = 240;
// Frames drawn before the one kept, so the ring tables have moved off the first frame's
// plain cylinder; one frame apart at the screen saver's usual pace.
constexpr int kWarmUpFrames = 3;
constexpr float kFrameSeconds = 0.05f;
// Chosen by eye: the band crosses from the bottom-left to the top-right.
constexpr float kDesktopShotSeconds = 6.5f;
constexpr float kBackgroundShotSeconds = 6.5f;
// A second, fainter sheet from earlier in the turn, seen through the first.
constexpr float kGhostShotSeconds = 2.0f;
constexpr float kGhostStrength = 0.45f;

// An OpenGL context drawing into memory with a depth buffer.
class OffscreenContext {
  public:
    OffscreenContext(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 4) {
        // Mesa's plain software rasteriser gives the same pixels on every processor, where
        // the JIT one may round differently with the vector units it finds.
        setenv("GALLIUM_DRIVER", "softpipe", 1);
        context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
        if (context_ == nullptr ||
            !OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, width, height)) {
            throw std::runtime_error("no offscreen OpenGL context");
        }
    }
    ~OffscreenContext() {
        OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
        OSMesaDestroyContext(context_);
    }
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // The colour buffer, top row first, opaque.
    Raster Colours() const {
        glFinish();
        Raster out(width_, height_);
        for (int y = 0; y < height_; ++y) {
            const uint8_t* row = &pixels_[static_cast<size_t>(height_ - 1 - y) * width_ * 4];
            for (int x = 0; x < width_; ++x) {
                const uint8_t* p = row + x * 4;
                out.Set(x, y, Colour{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f});
            }
        }
        return out;
    }

  private:
    int width_, height_;
    std::vector<uint8_t> pixels_;
    OSMesaContext context_ = nullptr;
};

// A private folder holding the two snapshot pictures the scene reads, removed afterwards.
class SnapshotFolder {
  public:
    SnapshotFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "merovan-pictures-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder for the snapshots");
        }
        path_ = pattern;
    }
    ~SnapshotFolder() { std::filesystem::remove_all(path_); }
    SnapshotFolder(const SnapshotFolder&) = delete;
    SnapshotFolder& operator=(const SnapshotFolder&) = delete;

    void Write(int number, const Raster& picture) const {
        const std::vector<uint8_t> bytes = EncodeBmp24(picture);
        std::ofstream(path_ / ("Merovan" + std::to_string(number) + ".bmp"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// One frame of the scene, read back from the offscreen buffers.
struct SceneFrame {
    Raster colours;
    std::vector<bool> backdrop;  // top row first: true where the sheet leaves the pixel
};

// Draws the scene with the two snapshot pictures up to `seconds`, keeping the last frame.
SceneFrame RenderScene(const Raster& sheet, const Raster& background, float seconds) {
    OffscreenContext context(kSceneWidth, kSceneHeight);
    SnapshotFolder folder;
    folder.Write(kSheetSnapshot, sheet);
    folder.Write(kBackgroundSnapshot, background);
    setenv("MEROVAN_SNAPSHOT_DIR", folder.Path().c_str(), 1);
    Scene scene;
    InitScene(scene, {SceneView{0, 0, kSceneWidth, kSceneHeight}});
    // The committed previews were made with GLU's mipmaps; they stay so.
    const std::atomic<bool> cancelled{false};
    const std::pair<Texture*, int> textures[] = {{&scene.sheets.front(), kSheetSnapshot},
                                                 {&scene.background, kBackgroundSnapshot}};
    for (const auto& [texture, number] : textures) {
        BmpPicture picture;
        if (ReadPicture(SnapshotFilePath(number), cancelled, picture)) {
            texture->Bind();
            gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, GL_BGR_EXT,
                              GL_UNSIGNED_BYTE, picture.pixels.data());
        }
    }
    for (int frame = 0; frame <= kWarmUpFrames; ++frame) {
        // The background is drawn whatever its picture: the depth read below needs it.
        DrawFrame(scene, seconds - static_cast<float>(kWarmUpFrames - frame) * kFrameSeconds,
                  DrawOrder::kBackgroundFirst);
    }

    // The background quad lies in the plane z = 0 and the visible sheet in front of it, so
    // any depth at or beyond the quad's is backdrop (as is the cleared depth beyond its edges).
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble quadX, quadY, quadDepth;
    gluProject(0.0, 0.0, 0.0, model, projection, viewport, &quadX, &quadY, &quadDepth);
    std::vector<float> depth(static_cast<size_t>(kSceneWidth) * kSceneHeight);
    glReadPixels(0, 0, kSceneWidth, kSceneHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());

    SceneFrame frame{context.Colours(), std::vector<bool>(depth.size())};
    constexpr double kDepthMargin = 1e-3;
    for (int y = 0; y < kSceneHeight; ++y) {
        for (int x = 0; x < kSceneWidth; ++x) {
            const float d = depth[static_cast<size_t>(kSceneHeight - 1 - y) * kSceneWidth + x];
            frame.backdrop[static_cast<size_t>(y) * kSceneWidth + x] =
                d >= quadDepth - kDepthMargin;
        }
    }
    return frame;
}

// The dark sheet's picture: six panes of tinted glass with light rims, on black.
Raster DrawGlassPanels(int width, int height) {
    constexpr int kColumns = 3, kRows = 2;
    constexpr Colour kGlass[kColumns * kRows] = {Rgb(0x1D356C), Rgb(0x292161), Rgb(0x154A61),
                                                 Rgb(0x30205E), Rgb(0x163F6F), Rgb(0x1E2A64)};
    constexpr Colour kRim = Rgb(0x3F516C);
    constexpr Colour kSheen{1.0f, 1.0f, 1.0f, 0.12f};
    constexpr float kGapPerCell = 0.08f;
    constexpr float kRimPerCell = 0.025f;
    constexpr float kGlassFoot = 0.36f;  // brightness at the bottom of a pane, of its top's

    Raster p(width, height, Rgb(0x000000));
    const float cellWidth = static_cast<float>(width) / kColumns;
    const float cellHeight = static_cast<float>(height) / kRows;
    const float gap = kGapPerCell * cellWidth, rim = kRimPerCell * cellWidth;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const float left = column * cellWidth + gap, top = row * cellHeight + gap;
            const float right = (column + 1) * cellWidth - gap;
            const float bottom = (row + 1) * cellHeight - gap;
            const Colour glass = kGlass[row * kColumns + column];
            p.FillRect(left, top, right, bottom, kRim);
            p.FillVerticalGradient(left + rim, top + rim, right - rim, bottom - rim, glass,
                                   Shaded(glass, kGlassFoot));
            p.FillPolygon({{left + rim, top + rim},
                           {left + 0.55f * (right - left), top + rim},
                           {left + rim, top + 0.6f * (bottom - top)}},
                          kSheen);
        }
    }
    return p;
}

// Each pixel of `front` lightened by `back` at `strength`, as two slides projected together.
void ScreenBlend(Raster& front, const Raster& back, float strength) {
    for (int y = 0; y < front.Height(); ++y) {
        for (int x = 0; x < front.Width(); ++x) {
            const Colour a = front.At(x, y), b = Shaded(back.At(x, y), strength);
            front.Set(x, y,
                      Colour{1 - (1 - a.r) * (1 - b.r), 1 - (1 - a.g) * (1 - b.g),
                             1 - (1 - a.b) * (1 - b.b), 1.0f});
        }
    }
}

}  // namespace

Raster DrawDesktopPreview() {
    const Raster white(kSnapshotWidth, kSnapshotHeight, Rgb(0xFFFFFF));
    SceneFrame frame =
        RenderScene(DrawDesktop(kSnapshotWidth, kSnapshotHeight), white, kDesktopShotSeconds);
    // The quad tints its picture towards the corners; the preview wants plain white.
    for (int y = 0; y < kSceneHeight; ++y) {
        for (int x = 0; x < kSceneWidth; ++x) {
            if (frame.backdrop[static_cast<size_t>(y) * kSceneWidth + x]) {
                frame.colours.Set(x, y, Rgb(0xFFFFFF));
            }
        }
    }
    return frame.colours.Shrunk(kOversample);
}

Raster DrawBackgroundPreview() {
    const Raster panels = DrawGlassPanels(kSnapshotWidth, kSnapshotHeight);
    const Raster black(kSnapshotWidth, kSnapshotHeight, Rgb(0x000000));
    Raster near = RenderScene(panels, black, kBackgroundShotSeconds).colours;
    ScreenBlend(near, RenderScene(panels, black, kGhostShotSeconds).colours, kGhostStrength);
    return near.Shrunk(kOversample);
}

}  // namespace merovan::pictures
