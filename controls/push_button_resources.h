// Resource numbers of the push button's face pictures, which the controls library carries.
#pragma once

#define IDB_FACE_NORMAL 200
#define IDB_FACE_HIGHLIGHT 201
#define IDB_FACE_PRESSED 202
#define IDB_FACE_SELECTED 203
#define IDB_FACE_DISABLE 204
