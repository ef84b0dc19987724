// resources/bitmaps.h - the plug-in's bitmap resources: the Dashboard's background
// ("DASHSCR", 800 x 94), its twenty keys at rest and held down, the six label plates
// and the eight mode pictures, and the side panels' backgrounds, strips and lamp
// plates. All are 8-bit DIBs (BITMAPINFOHEADER, 256 palette entries, rows bottom-up)
// sharing one palette.
//
// The pictures are drawn at build time by make_art (tools/art), which writes the
// table's definition into the build folder; nothing here is drawn by hand.
#pragma once

#include <windows.h>

#include <cstddef>

// Every bitmap, numbered ones by number and the background by name; sets *count to
// the number of entries. The table is static: hand it to RegisterModuleResources as
// the plug-in module's resources, and load from it with LoadBitmap.
const ResourceEntry* dashboardBitmaps(std::size_t* count);
