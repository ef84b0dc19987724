// plugin/reflection_image.h - the picture reflective surfaces mirror, found and
// decoded by the loading sequence.
//
// Writes: the World's reflection image (reflectionWidth, reflectionHeight and a block
// of width x height x 3 bytes, blue, green, red, rows bottom-up; the old block freed).
// Entry points: loadReflectionImage.
// Failure: "reflex.jpg" absent or undecodable gives the 100 x 100 default; without
// memory even for that, the old image stays.
#pragma once

#include "world/tables.h"

// Looks for "reflex.jpg" on the path and decodes it into the reflection image; the
// 100 x 100 default (a sky-to-ground gradient) when absent or undecodable.
void loadReflectionImage(World& world);
