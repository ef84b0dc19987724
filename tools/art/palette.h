// tools/art/palette.h - the one 256-colour palette that every bitmap shares, and
// pictures turned into palette indices. One palette for all means a screen of 256
// colours shows the whole Dashboard at once without a palette change.
#pragma once

#include "tools/art/canvas.h"

#include <array>
#include <vector>

constexpr i32 kPaletteSize = 256;

struct Palette {
    std::array<Rgb, kPaletteSize> colors{};
};

struct IndexedPicture {
    i32 width = 0;
    i32 height = 0;
    std::vector<u8> indices; // one a pixel, top row first
};

// A palette fitted to all the pictures: every colour that fills a good number of
// pixels (key faces, the panel, the inks) gets an entry of its own and comes back
// exact; the soft edges and gradients share the remaining entries, found by cutting
// the colour space where their pixels are.
Palette fitPalette(const std::vector<const Canvas*>& pictures);

// Each pixel as the index of the nearest palette colour.
IndexedPicture mapToPalette(const Canvas& picture, const Palette& palette);

// The picture as it will be seen: each index replaced by its colour.
Canvas expandPicture(const IndexedPicture& picture, const Palette& palette);
