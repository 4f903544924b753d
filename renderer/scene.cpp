#include "renderer/scene.h"

#include "renderer/gl_api.h"
#include "renderer/snapshot_paths.h"
#include "renderer/texture.h"

namespace merovan {

float g_time = 0.0f;
int32_t g_width = 0;
int32_t g_height = 0;

double g_ringRadius[kRingCount] = {};
double g_ringShiftX[kRingCount] = {};
double g_ringTexShift[kRingCount] = {};

namespace {

constexpr double kFieldOfViewDegrees = 55.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 20.0;
constexpr float kCameraDistance = 3.0f;
constexpr float kBackgroundHalfWidth = 2.3f;
// Just inside the visible half-height at the quad's depth (3 × tan 27.5° ≈ 1.562), so a
// thin black line stays above and below the background.
constexpr float kBackgroundHalfHeight = 1.55f;
constexpr float kTurnDegreesPerSecond = 20.0f;
constexpr float kSheetDrop = -2.75f;

struct BackgroundCorner {
    float r, g, b;
    float s, t;
    float x, y;
};

// Each corner tints the second picture, which is shown twice side by side.
constexpr BackgroundCorner kBackgroundCorners[4] = {
    {1.0f, 0.8f, 0.8f, 0.0f, 0.0f, -1.0f, -1.0f},
    {0.8f, 1.0f, 0.8f, 2.0f, 0.0f, 1.0f, -1.0f},
    {0.8f, 0.8f, 1.0f, 2.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, 0.8f, 1.0f, 0.0f, 1.0f, -1.0f, 1.0f},
};

void DrawBackground() {
    glPushMatrix();
    glScalef(kBackgroundHalfWidth, kBackgroundHalfHeight, 1.0f);
    g_backgroundTexture.Bind();
    glBegin(GL_QUADS);
    for (const BackgroundCorner& corner : kBackgroundCorners) {
        glColor3f(corner.r, corner.g, corner.b);
        glTexCoord2f(corner.s, corner.t);
        glVertex2f(corner.x, corner.y);
    }
    glEnd();
    glPopMatrix();
}

}  // namespace

bool InitScene() {
    glViewport(0, 0, g_width, g_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees,
                   static_cast<double>(g_width) / static_cast<double>(g_height), kNearPlane,
                   kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -kCameraDistance);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);

    // A missing or broken picture leaves its surface in the bare vertex colours.
    g_sheetTexture.LoadBmp(SnapshotFilePath(kSheetSnapshot).c_str());
    g_backgroundTexture.LoadBmp(SnapshotFilePath(kBackgroundSnapshot).c_str());

    glEnable(GL_TEXTURE_2D);
    for (int k = 0; k < kRingCount; ++k) {
        g_ringRadius[k] = 1.0;
        g_ringTexShift[k] = 0.0;
    }
    return true;
}

void DrawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawBackground();

    glPushMatrix();
    glRotatef(kTurnDegreesPerSecond * g_time, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, kSheetDrop, 0.0f);
    DrawSheet();
    // The next frame draws what is computed now: each frame shows the previous frame's time.
    AdvanceRings();
    glPopMatrix();
}

void DrawSheet() {
    g_sheetTexture.Bind();
    glBegin(GL_QUADS);
    for (int k = 0; k < kRingCount - 1; ++k) {
        for (int j = 0; j < kSegmentCount; ++j) {
            EmitSheetVertex(k, j);
            EmitSheetVertex(k + 1, j);
            EmitSheetVertex(k + 1, j + 1);
            EmitSheetVertex(k, j + 1);
        }
    }
    glEnd();
}

void EmitSheetVertex(int k, int j) {
    const RingShape ring{g_ringTexShift[k], g_ringRadius[k], g_ringShiftX[k]};
    const SheetVertex v = SheetVertexAt(k, j, ring);
    glTexCoord2f(v.s, v.t);
    glColor3f(v.shade, v.shade, v.shade);
    glVertex3f(v.x, v.y, v.z);
}

void AdvanceRings() {
    const double t = g_time;
    for (int k = 0; k < kRingCount; ++k) {
        const RingShape ring = RingShapeAt(k, t);
        g_ringTexShift[k] = ring.texShift;
        g_ringRadius[k] = ring.radius;
        g_ringShiftX[k] = ring.shiftX;
    }
}

}  // namespace merovan
