// The Background reader: a sky colour, or one picture for the whole background.
#include "world/node_readers.h"

#include "base/convert.h"

#include <cstring>

constexpr i16 kBackgroundColour = 1;
constexpr i16 kBackgroundPicture = 3;

// A colour channel times 255, truncated and reduced to its low 8 bits: 1.5 gives 382,
// stored as 126. Truncation goes through 64 bits first, so no value is undefined.
static u8 channelByte(f32 channel)
{
    const i64 scaled = saturatingTrunc64(static_cast<f64>(channel * 255.0f));
    return static_cast<u8>(static_cast<u64>(scaled) & 0xFFu);
}

// skyColor: the first colour of the list, from the line holding its "[" (lines are read
// until one does; the last line read stays the current line).
static void readSkyColor(World& world, LineReader& in, Line& line)
{
    world.backgroundMode = kBackgroundColour;
    while (!std::strchr(line.text, '[')) {
        if (!nextLine(in, line)) return;
    }
    f32 colour[3] = {0.0f, 0.0f, 0.0f};
    const u32 count = readNumbersAt(std::strchr(line.text, '[') + 1, colour, 3);
    if (count > 0) world.backgroundRed = channelByte(colour[0]);
    if (count > 1) world.backgroundGreen = channelByte(colour[1]);
    if (count > 2) world.backgroundBlue = channelByte(colour[2]);
}

void readBackground(World& world, LineReader& in, Line line)
{
    if (commentedOut(line, "Background")) return;
    static constexpr const char* kUrlFields[] = {"backUrl", "bottomUrl", "frontUrl",
                                                 "leftUrl", "rightUrl",  "topUrl"};
    while (!has(line, "}")) {
        if (has(line, "skyColor")) readSkyColor(world, in, line);
        // Any face's url names the one picture; the last one read wins.
        for (const char* field : kUrlFields) {
            if (!has(line, field)) continue;
            world.backgroundMode = kBackgroundPicture;
            urlText(line, world.backgroundUrl, sizeof world.backgroundUrl);
        }
        if (!nextLine(in, line)) break;
    }
}
