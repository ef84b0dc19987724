// world/textures.h - the pictures of the texture rows, decoded when the Appearance
// reader names them.
//
// Reads: a texture row's fileName and the World's worldFolder.
// Writes: the row's width, height, tgaIdLength, loaded and its texturePixels block (width
// x height x 3 bytes, blue, green, red; the old block freed).
// Entry points: loadTexture.
// Failure: a picture that cannot be found, opened or decoded gets the grey 40 x 40
// replacement; a format the viewer does not decode leaves the row as it was.
#pragma once

#include "world/line_reader.h"
#include "world/tables.h"

// Fills texture row `row` from the file named in its fileName (JPEG, PNG, TGA or GIF): its
// width, height, tgaIdLength and a new 3-byte block (the old one freed). A file an
// earlier counted row already names is copied from that row, not decoded again. A
// format the viewer does not decode (BMP, say) leaves the size and pixels as they were.
// A picture that is not loaded is told to `report` when given: "texture PIC not loaded:
// reason". True when the row holds the decoded picture (its `loaded` is 1).
bool loadTexture(World& world, i16 row, ReadReport* report = nullptr);
