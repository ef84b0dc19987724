// tools/art/symbols.h - the symbols of the keys and the mode display, one drawing
// function each, in design units so that a key and the mode display draw the same
// figure at their own scales.
//
// A symbol fills a box kSymbolWidth x kSymbolHeight units. At scale 1 a unit is a
// pixel and the figures are laid on pixel centres (x.5), so the key symbols stay sharp
// at 1:1; the mode display draws them at a whole scale for the same reason.
#pragma once

#include "tools/art/canvas.h"
#include "tools/art/layout.h"

constexpr f32 kSymbolWidth = 27.0f;
constexpr f32 kSymbolHeight = 13.0f;

struct SymbolInks {
    Rgb ink;        // the figure
    Rgb soft;       // its secondary parts: a reflection, a far side, a second tone
    bool ownColors; // lenses, beam and water in their own colours (keys); the mode
                    // display shows one colour only
    i32 glowRadius; // pixels of halo round every stroke; 0 for none
    f32 glowOpacity;
    Rgb glow;
};

// Draws `symbol` in the box whose top-left corner and scale `frame` gives.
void drawSymbol(Canvas& canvas, Symbol symbol, Frame frame, const SymbolInks& inks);
