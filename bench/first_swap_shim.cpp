// An LD_PRELOAD library that notes when a process first makes a GLX context current, when
// it first swaps buffers, and when it first swaps a frame in which it drew something (a
// glBegin), so start-up can be timed from outside without touching the program. Each first
// event appends one line to the file named by MEROVAN_SWAP_LOG:
//
//     current <CLOCK_MONOTONIC nanoseconds> <pid>
//     swap <CLOCK_MONOTONIC nanoseconds> <pid>
//     scene <CLOCK_MONOTONIC nanoseconds> <pid>
//
// A program that clears its window before its pictures are ready swaps first and shows its
// scene later; "scene" is its first real frame.
//
// A program linked against libGL reaches the functions below directly. Wine's X11 driver
// does not: it opens libGL itself, takes glXGetProcAddressARB from it with dlsym and asks
// that for every other GLX function. So dlsym and glXGetProcAddress(ARB) are wrapped too,
// and hand out this library's functions for the names it watches.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

enum Hook {
    kMakeCurrent,
    kMakeContextCurrent,
    kSwapBuffers,
    kGetProcAddressARB,
    kGetProcAddress,
    kBegin,
    kHookCount
};

constexpr const char* kHookNames[kHookCount] = {"glXMakeCurrent",    "glXMakeContextCurrent",
                                                "glXSwapBuffers",    "glXGetProcAddressARB",
                                                "glXGetProcAddress", "glBegin"};

// The real function behind each hook, as the program's own look-up found it (Wine's handle
// to libGL need not be in the global scope), or else the next definition after this library.
std::atomic<void*> g_real[kHookCount];

using DlsymFunction = void* (*)(void*, const char*);
using MakeCurrentFunction = Bool (*)(Display*, GLXDrawable, GLXContext);
using MakeContextCurrentFunction = Bool (*)(Display*, GLXDrawable, GLXDrawable, GLXContext);
using SwapBuffersFunction = void (*)(Display*, GLXDrawable);
using GetProcAddressFunction = __GLXextFuncPtr (*)(const GLubyte*);
using BeginFunction = void (*)(GLenum);

DlsymFunction RealDlsym() {
    // dlsym is itself wrapped, so the C library's own is found by version. glibc 2.34 gave
    // it a new version; older ones only have the first.
    static const DlsymFunction real = [] {
        void* found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
        if (found == nullptr) {
            found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
        }
        return reinterpret_cast<DlsymFunction>(found);
    }();
    return real;
}

template <typename Function>
Function Real(Hook hook) {
    void* found = g_real[hook].load();
    if (found == nullptr) {
        found = RealDlsym()(RTLD_NEXT, kHookNames[hook]);
        g_real[hook].store(found);
    }
    return reinterpret_cast<Function>(found);
}

void NoteFirst(std::atomic<bool>& seen, const char* event) {
    if (seen.exchange(true)) {
        return;
    }
    const char* logPath = std::getenv("MEROVAN_SWAP_LOG");
    if (logPath == nullptr) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[96];
    const int length =
        std::snprintf(line, sizeof line, "%s %lld %d\n", event,
                      static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                      static_cast<int>(getpid()));
    // One write of a whole line to a file opened for appending: lines from several
    // processes never mix.
    const int file = open(logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file >= 0) {
        const ssize_t written = write(file, line, static_cast<size_t>(length));
        (void)written;  // a lost line shows up as a missing measurement
        close(file);
    }
}

std::atomic<bool> g_madeCurrent{false};
std::atomic<bool> g_swapped{false};
std::atomic<bool> g_drew{false};
std::atomic<bool> g_sceneSwapped{false};

void* Ours(Hook hook);

// What a look-up of `name` that found `found` hands out: for a watched name, this library's
// function, after keeping the real one; otherwise `found` itself.
void* Intercept(const char* name, void* found) {
    for (int hook = 0; hook < kHookCount; ++hook) {
        if (std::strcmp(name, kHookNames[hook]) != 0) {
            continue;
        }
        void* ours = Ours(static_cast<Hook>(hook));
        // Nothing found, or this library's own definition: nothing to keep.
        if (found == nullptr || found == ours) {
            return found;
        }
        g_real[hook].store(found);
        return ours;
    }
    return found;
}

}  // namespace

extern "C" {

Bool glXMakeCurrent(Display* display, GLXDrawable drawable, GLXContext context) {
    const Bool made = Real<MakeCurrentFunction>(kMakeCurrent)(display, drawable, context);
    if (made && context != nullptr) {
        NoteFirst(g_madeCurrent, "current");
    }
    return made;
}

Bool glXMakeContextCurrent(Display* display, GLXDrawable draw, GLXDrawable read,
                           GLXContext context) {
    const Bool made =
        Real<MakeContextCurrentFunction>(kMakeContextCurrent)(display, draw, read, context);
    if (made && context != nullptr) {
        NoteFirst(g_madeCurrent, "current");
    }
    return made;
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    // The moment the program hands over its first frame.
    NoteFirst(g_swapped, "swap");
    if (g_drew.load(std::memory_order_relaxed)) {
        NoteFirst(g_sceneSwapped, "scene");
    }
    Real<SwapBuffersFunction>(kSwapBuffers)(display, drawable);
}

void glBegin(GLenum mode) {
    g_drew.store(true, std::memory_order_relaxed);
    Real<BeginFunction>(kBegin)(mode);
}

__GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name) {
    void* found = reinterpret_cast<void*>(Real<GetProcAddressFunction>(kGetProcAddressARB)(name));
    return reinterpret_cast<__GLXextFuncPtr>(Intercept(reinterpret_cast<const char*>(name), found));
}

__GLXextFuncPtr glXGetProcAddress(const GLubyte* name) {
    void* found = reinterpret_cast<void*>(Real<GetProcAddressFunction>(kGetProcAddress)(name));
    return reinterpret_cast<__GLXextFuncPtr>(Intercept(reinterpret_cast<const char*>(name), found));
}

void* dlsym(void* handle, const char* name) {
    return Intercept(name, RealDlsym()(handle, name));
}

}  // extern "C"

namespace {

void* Ours(Hook hook) {
    switch (hook) {
        case kMakeCurrent:
            return reinterpret_cast<void*>(&glXMakeCurrent);
        case kMakeContextCurrent:
            return reinterpret_cast<void*>(&glXMakeContextCurrent);
        case kSwapBuffers:
            return reinterpret_cast<void*>(&glXSwapBuffers);
        case kGetProcAddressARB:
            return reinterpret_cast<void*>(&glXGetProcAddressARB);
        case kGetProcAddress:
            return reinterpret_cast<void*>(&glXGetProcAddress);
        case kBegin:
            return reinterpret_cast<void*>(&glBegin);
        case kHookCount:
            break;
    }
    return nullptr;
}

}  // namespace
