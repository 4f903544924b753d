#include "renderer/scene.h"

#include "renderer/gl_api.h"

namespace merovan {
namespace {

constexpr double kFieldOfViewDegrees = 55.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 20.0;
constexpr float kCameraDistance = 3.0f;
constexpr float kBackgroundHalfWidth = 2.3f;
// Just inside the visible half-height at the quad's depth (3 × tan 27.5° ≈ 1.562), so a
// thin black line stays above and below the background.
constexpr float kBackgroundHalfHeight = 1.55f;
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

void SetProjection(const SceneView& view) {
    glViewport(view.x, view.y, view.width, view.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees,
                   static_cast<double>(view.width) / static_cast<double>(view.height), kNearPlane,
                   kFarPlane);
    glMatrixMode(GL_MODELVIEW);
}

void DrawBackground(const Scene& scene) {
    glPushMatrix();
    glScalef(kBackgroundHalfWidth, kBackgroundHalfHeight, 1.0f);
    scene.background.Bind();
    glBegin(GL_QUADS);
    for (const BackgroundCorner& corner : kBackgroundCorners) {
        glColor3f(corner.r, corner.g, corner.b);
        glTexCoord2f(corner.s, corner.t);
        glVertex2f(corner.x, corner.y);
    }
    glEnd();
    glPopMatrix();
}

void DrawSheet(const RingTables& rings, const Texture& picture, double time) {
    glPushMatrix();
    glRotatef(static_cast<float>(TurnDegreesAt(time)), 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, kSheetDrop, 0.0f);
    picture.Bind();
    // Each ring's vertices are worked out once, not once for each of the four quads that
    // share them.
    SheetVertex vertices[kRingCount][kSegmentCount + 1];
    for (int k = 0; k < kRingCount; ++k) {
        const RingShape ring{rings.texShift[k], rings.radius[k], rings.shiftX[k]};
        for (int j = 0; j <= kSegmentCount; ++j) {
            vertices[k][j] = SheetVertexAt(k, j, ring);
        }
    }
    glBegin(GL_QUADS);
    for (int k = 0; k < kRingCount - 1; ++k) {
        for (int j = 0; j < kSegmentCount; ++j) {
            for (const SheetVertex* v : {&vertices[k][j], &vertices[k + 1][j],
                                         &vertices[k + 1][j + 1], &vertices[k][j + 1]}) {
                glTexCoord2f(v->s, v->t);
                glColor3f(v->shade, v->shade, v->shade);
                glVertex3f(v->x, v->y, v->z);
            }
        }
    }
    glEnd();
    glPopMatrix();
}

}  // namespace

void InitScene(Scene& scene, std::vector<SceneView> views) {
    scene.views = std::move(views);
    SetProjection(scene.views.front());
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -kCameraDistance);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    // The sheet's quads wind anticlockwise on its front, the half that faces the eye: the
    // default front face.
    glCullFace(GL_BACK);

    scene.sheets.clear();
    for (size_t i = 0; i < scene.views.size(); ++i) {
        scene.sheets.emplace_back();
        scene.sheets.back().Create();
    }
    scene.background.Create();
    scene.backgroundIsBlack = false;

    glEnable(GL_TEXTURE_2D);
    scene.rings = RingTables{};
    for (int k = 0; k < kRingCount; ++k) {
        scene.rings.radius[k] = 1.0;
    }
}

void UploadPictures(Scene& scene, const PreparedPictures& pictures) {
    for (size_t i = 0; i < scene.sheets.size() && i < pictures.sheets.size(); ++i) {
        scene.sheets[i].Upload(pictures.sheets[i].levels);
    }
    const bool uploaded = scene.background.Upload(pictures.background.levels);
    scene.backgroundIsBlack = uploaded && pictures.background.allBlack;
}

void DrawFrame(Scene& scene, double time, DrawOrder order) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (size_t i = 0; i < scene.views.size(); ++i) {
        if (scene.views.size() > 1) {
            SetProjection(scene.views[i]);
        }
        if (order == DrawOrder::kBackgroundFirst) {
            glDisable(GL_CULL_FACE);
            DrawBackground(scene);
            DrawSheet(scene.rings, scene.sheets[i], time);
            continue;
        }
        // The sheet's rear half is black (its shade is clamped at 0) and lies behind the
        // background plane or the sheet's own front: leaving it out changes nothing. Drawn
        // first, the sheet hides most of the background from the depth test before the
        // background is textured.
        glEnable(GL_CULL_FACE);
        DrawSheet(scene.rings, scene.sheets[i], time);
        glDisable(GL_CULL_FACE);
        // A black picture, modulated by the corner tints, is black: the quad would only draw
        // the clear colour again.
        if (!scene.backgroundIsBlack) {
            DrawBackground(scene);
        }
    }
    // The next frame draws what is computed now: each frame shows the previous frame's time.
    AdvanceRings(scene.rings, time);
}

void AdvanceRings(RingTables& rings, double time) {
    for (int k = 0; k < kRingCount; ++k) {
        const RingShape ring = RingShapeAt(k, time);
        rings.texShift[k] = ring.texShift;
        rings.radius[k] = ring.radius;
        rings.shiftX[k] = ring.shiftX;
    }
}

void DrawBlank() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace merovan
