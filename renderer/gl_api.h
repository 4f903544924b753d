// OpenGL 1.1 and GLU, on Windows and on the Linux host where the scene is tested.
#pragma once

#ifdef _WIN32
// The Windows GL headers need the calling-convention macros of <windows.h>.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
