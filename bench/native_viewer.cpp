// The renderer's scene on the Linux host: a 1024 × 768 double-buffered GLX window at the
// top-left corner, frames drawn back to back with no cap for the given number of seconds.
// It is the native counterpart of the Windows renderer under Wine: the same scene code, the
// same loop of "handle pending events, draw, swap", only GLX in place of WGL.
//
//     MEROVAN_SNAPSHOT_DIR=folder/with/Merovan1.bmp/and/Merovan2.bmp native_viewer 10
//
// prints the OpenGL renderer's name, then "frames N seconds S fps F" when done.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "renderer/gl_api.h"
#include "renderer/scene.h"
#include "renderer/snapshot_paths.h"

namespace {

constexpr int kWindowWidth = 1024;  // as the renderer's window
constexpr int kWindowHeight = 768;
constexpr int kDepthBits = 16;
constexpr char kWindowTitle[] = "Merovan native viewer";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Owns the X connection, the window and its GL context for the life of the run.
class GlxWindow {
  public:
    bool Open() {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            std::fprintf(stderr, "native_viewer: cannot open the X display\n");
            return false;
        }
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, kDepthBits, None};
        XVisualInfo* visual = glXChooseVisual(display_, DefaultScreen(display_), attributes);
        if (visual == nullptr) {
            std::fprintf(stderr, "native_viewer: no double-buffered RGBA visual\n");
            return false;
        }
        const Window root = RootWindow(display_, visual->screen);
        XSetWindowAttributes windowAttributes{};
        windowAttributes.colormap = XCreateColormap(display_, root, visual->visual, AllocNone);
        windowAttributes.event_mask = StructureNotifyMask;
        // Like the renderer's pop-up: no frame, placed by us rather than by a window manager.
        windowAttributes.override_redirect = True;
        window_ = XCreateWindow(display_, root, 0, 0, kWindowWidth, kWindowHeight, 0, visual->depth,
                                InputOutput, visual->visual,
                                CWColormap | CWEventMask | CWOverrideRedirect, &windowAttributes);
        XStoreName(display_, window_, kWindowTitle);
        context_ = glXCreateContext(display_, visual, nullptr, True);
        XFree(visual);
        if (context_ == nullptr) {
            std::fprintf(stderr, "native_viewer: cannot create a GLX context\n");
            return false;
        }
        XMapWindow(display_, window_);
        WaitUntilMapped();
        return glXMakeCurrent(display_, window_, context_);
    }

    ~GlxWindow() {
        if (display_ == nullptr) {
            return;
        }
        if (context_ != nullptr) {
            glXMakeCurrent(display_, None, nullptr);
            glXDestroyContext(display_, context_);
        }
        if (window_ != 0) {
            XDestroyWindow(display_, window_);
        }
        XCloseDisplay(display_);
    }

    // Takes whatever the server has sent, as the renderer empties its message queue
    // between frames; nothing here needs an answer.
    void DrainEvents() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
        }
    }

    void Swap() { glXSwapBuffers(display_, window_); }

  private:
    void WaitUntilMapped() {
        XEvent event;
        do {
            XNextEvent(display_, &event);
        } while (event.type != MapNotify || event.xmap.window != window_);
    }

    Display* display_ = nullptr;
    Window window_ = 0;
    GLXContext context_ = nullptr;
};

bool ParseSeconds(int argc, char** argv, double& seconds) {
    if (argc != 2) {
        return false;
    }
    char* end = nullptr;
    seconds = std::strtod(argv[1], &end);
    return end != argv[1] && *end == '\0' && seconds > 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    double runSeconds = 0.0;
    if (!ParseSeconds(argc, argv, runSeconds)) {
        std::fprintf(stderr,
                     "usage: native_viewer SECONDS  (pictures from $MEROVAN_SNAPSHOT_DIR)\n");
        return 2;
    }
    // Whether Mesa waits for the vertical blank at a swap depends on its vblank_mode: the
    // frame rate here must not be capped. An explicit setting from the caller wins.
    setenv("vblank_mode", "0", 0);

    GlxWindow window;
    if (!window.Open()) {
        return 1;
    }
    // As in the renderer, the clock starts before the scene is set up.
    const Clock::time_point start = Clock::now();
    merovan::PictureRequest request;
    request.sheetPath = merovan::SnapshotFilePath(merovan::kSheetSnapshot);
    request.backgroundPath = merovan::SnapshotFilePath(merovan::kBackgroundSnapshot);
    merovan::PictureLoader loader(request, [] {});
    merovan::Scene scene;
    merovan::InitScene(scene, {merovan::SceneView{0, 0, kWindowWidth, kWindowHeight}});
    const merovan::PreparedPictures pictures = loader.Take();
    // A missing picture would leave a cheaper scene to draw and a figure that means nothing.
    if (!pictures.sheets.front().read || !pictures.background.read) {
        std::fprintf(stderr, "native_viewer: cannot read %s or %s\n", request.sheetPath.c_str(),
                     request.backgroundPath.c_str());
        return 1;
    }
    merovan::UploadPictures(scene, pictures);

    std::printf("renderer %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    const Clock::time_point firstFrame = Clock::now();
    long frames = 0;
    double elapsed = 0.0;
    while (elapsed < runSeconds) {
        window.DrainEvents();
        merovan::DrawFrame(scene, static_cast<float>(SecondsSince(start)),
                           merovan::DrawOrder::kLeastFill);
        window.Swap();
        ++frames;
        elapsed = SecondsSince(firstFrame);
    }
    std::printf("frames %ld seconds %.3f fps %.1f\n", frames, elapsed,
                static_cast<double>(frames) / elapsed);
    return 0;
}
