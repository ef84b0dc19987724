// tools/art/font.h - the bitmap font of the labels, the mode names and the captions:
// capitals, digits and a few marks, 5 pixels wide and 7 high, drawn for this project.
// Lower-case letters are drawn as capitals; a character without a glyph is a space.
#pragma once

#include "base/types.h"

constexpr i32 kGlyphWidth = 5;
constexpr i32 kGlyphHeight = 7;
constexpr i32 kGlyphAdvance = 6; // one blank column between letters

// Whether font pixel (column, row) of `c` is set; column 0 is the left, row 0 the top.
bool glyphPixel(char c, i32 column, i32 row);

// The width in pixels of `text` drawn with each font pixel `pixelSize` square, from the
// first letter's left edge to the last one's right edge.
i32 textWidth(const char* text, i32 pixelSize = 1);
