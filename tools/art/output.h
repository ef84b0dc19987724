// tools/art/output.h - the files the generator writes: DIBs for the plug-in's
// resource table, .bmp files and a resource script for a Windows build, and PNGs.
// Every file is written beside its place and renamed into it once complete, so an
// interrupted build never leaves half a file that looks up to date.
#pragma once

#include "tools/art/palette.h"

#include <string>
#include <vector>

// One bitmap resource: by number, or by name when `name` is set.
struct BitmapResource {
    u16 id;
    std::string name; // "" for a numbered bitmap
    std::vector<u8> dib;
};

// A packed Windows DIB: BITMAPINFOHEADER, the 256 palette entries (blue, green, red,
// 0), then the rows bottom-up, each padded to a multiple of 4 bytes.
std::vector<u8> encodeDib(const IndexedPicture& picture, const Palette& palette);

// The C++ source of the resource table that resources/bitmaps.h declares.
bool writeBitmapSource(const std::string& path, const std::vector<BitmapResource>& bitmaps);

// Each bitmap as a .bmp file (a BITMAPFILEHEADER before the DIB) in `folder`, named by
// its number or name, and a resource script naming them all, with the dialog templates
// (tools/art/dialogs.h), for windres.
bool writeBitmapFiles(const std::string& folder, const std::string& scriptPath,
                      const std::vector<BitmapResource>& bitmaps);

// A PNG of the picture; with `alpha` (one byte a pixel) it has an alpha channel.
bool writePng(const std::string& path, const Canvas& picture, const std::vector<u8>* alpha);

// Makes the folder and its parents.
bool makeFolders(const std::string& path);
