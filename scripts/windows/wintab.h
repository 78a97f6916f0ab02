/* Stand-in for the Wintab header that Debian's qtbase source leaves out: Wine's LGPL wintab.h (libwine-dev),
 * copied next to this file as wintab-wine.h by build-qt-windows.sh, with the few macros it takes from Wine's own
 * Windows headers and that MinGW-w64's do not have. */
#ifndef CARNETTO_WINTAB_H
#define CARNETTO_WINTAB_H
#include <windows.h>
#ifndef API
#define API WINAPI
#endif
#ifndef WINELIB_NAME_AW
#ifdef UNICODE
#define WINELIB_NAME_AW(func) func##W
#else
#define WINELIB_NAME_AW(func) func##A
#endif
#endif
#ifndef DECL_WINELIB_TYPE_AW
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#include "wintab-wine.h"
#endif
