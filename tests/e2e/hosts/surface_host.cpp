// Makes and destroys picture surfaces and prints what they leave behind: the process's GDI
// object count before and after, and how many of their bitmaps still exist.
//
//   surface_host COUNT
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>

#include "forms/picture_surface.h"
#include "tests/e2e/hosts/host_support.h"

int wmain(int argc, wchar_t** argv) {
    const int count = argc == 2 ? _wtoi(argv[1]) : 0;
    if (count <= 0) {
        std::fprintf(stderr, "usage: surface_host COUNT\n");
        return 2;
    }
    HWND parent = MakePreviewParent(200, 200);
    // One surface first, so that what the first one sets up once is not counted.
    std::make_unique<forms::PictureSurface>()->Create(parent, 0, 0, 64, 64);
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    int bitmapsLeft = 0;
    for (int i = 0; i < count; ++i) {
        auto surface = std::make_unique<forms::PictureSurface>();
        surface->Create(parent, 0, 0, 64, 64);
        const HGDIOBJ bitmap = GetCurrentObject(surface->Canvas(), OBJ_BITMAP);
        surface.reset();
        if (GetObjectType(bitmap) == OBJ_BITMAP)
            ++bitmapsLeft;
    }
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::printf("gdi objects before=%lu after=%lu bitmaps left=%d\n", before, after, bitmapsLeft);
    return 0;
}
