// tools/art/pictures.h - every picture the generator makes, one function each.
#pragma once

#include "tools/art/canvas.h"
#include "tools/art/layout.h"

#include <vector>

// A key of the Dashboard at its bitmap size: at rest, or held down (sunk, darker, the
// symbol a pixel lower and to the right, its lamp lit).
Canvas drawKey(const ButtonArt& button, bool pressed);

// The mode display showing one mode: its symbol and its name, in amber on a dark screen.
Canvas drawModePicture(const ModeArt& mode);

// A screen from (x0, y0) to (x1, y1), exclusive: lit from the middle, darker to the
// corners, every other row a little darker as on a tube.
void drawScreenGlass(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb centre, Rgb edge);

// A label plate, kLabelWidth x kLabelHeight.
Canvas drawLabel(const LabelArt& label);

// The Dashboard's background: a graphite panel with a recess for every group of keys
// and a bezel round the mode display, at the places the buttons are painted.
Canvas drawBackground();

// The side panels and their parts.
Canvas drawLeftPanel();
Canvas drawRightPanel();
Canvas drawStrip(i32 level); // the eye-gap meter, level 1..7 lit
Canvas drawLampPlate(bool lit);

// The program's icon, size x size, with its coverage (0..255 a pixel) as the alpha.
struct IconPicture {
    Canvas picture;
    std::vector<u8> alpha;
};
IconPicture drawIcon(i32 size);

// The Tarne cube, drawn in the box of `size` pixels whose top-left corner is (x, y); shared by the
// icon and the panel's name plate.
void drawCube(Canvas& canvas, f32 x, f32 y, f32 size);
