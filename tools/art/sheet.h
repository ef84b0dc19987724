// tools/art/sheet.h - the contact sheet: the Dashboard put together as it is painted
// (at rest and in use), then every bitmap at 1:1 and 2:1, for a person to judge.
#pragma once

#include "tools/art/pictures.h"

#include <string>
#include <vector>

// A bitmap as it will be seen: after the palette.
struct SeenBitmap {
    u16 id;
    std::string name;
    Canvas picture;
};

Canvas drawContactSheet(const std::vector<SeenBitmap>& bitmaps,
                        const std::vector<IconPicture>& icons);
