// Makes and destroys picture surfaces, so that a test can watch what their destruction
// does to their GDI objects.
//
//   surface_host COUNT
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "forms/picture_surface.h"
#include "tests/e2e/hosts/host_support.h"

int wmain(int argc, wchar_t** argv) {
    const int count = argc == 2 ? _wtoi(argv[1]) : 0;
    if (count <= 0) {
        std::fprintf(stderr, "usage: surface_host COUNT\n");
        return 2;
    }
    HWND parent = MakePreviewParent(200, 200);
    for (int i = 0; i < count; ++i) {
        forms::PictureSurface surface;
        if (!surface.Create(parent, 0, 0, 64, 64))
            return 1;
    }
    std::printf("%d surfaces made and destroyed\n", count);
    return 0;
}
