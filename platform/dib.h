// platform/dib.h - Windows device-independent bitmaps read from memory (bitmap
// resources). Takes the packed form (a BITMAPINFOHEADER or a longer header, the colour
// table, the rows) and the same behind a 14-byte "BM" file header; 8 bits a pixel with
// a palette, 24 and 32 bits, BI_RGB, rows bottom-up (positive height) or top-down.
// Every size is checked against the data before it is used: malformed or truncated
// data gives false, never a read past the end.
// Entry point: decodeDib.
#pragma once

#include "platform/backend.h"

#include <cstddef>

// A new 32-bit top-down surface holding the picture; false (nothing allocated) when the
// data is not a DIB of a supported kind, is cut short, or memory runs out.
bool decodeDib(const u8* data, std::size_t size, Surface* out);
