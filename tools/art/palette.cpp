// Palette fitting by exact popular colours plus a median cut of the rest.
#include "tools/art/palette.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

// A colour used by at least this many pixels is kept exact.
constexpr u32 kOwnEntryPixels = 48;
// At most this many entries go to exact colours; the rest serve the blends.
constexpr std::size_t kMostExactEntries = 128;

struct ColorCount {
    u32 packed; // 0xRRGGBB
    u32 count;
};

// A box of the median cut: a run of colours in `colors`.
struct ColorBox {
    std::size_t first;
    std::size_t last; // exclusive
};

} // namespace

static u32 packColor(Rgb color)
{
    return (u32{color.r} << 16) | (u32{color.g} << 8) | u32{color.b};
}

static i32 channelOf(u32 packed, i32 channel)
{
    return static_cast<i32>((packed >> (16 - 8 * channel)) & 0xFF);
}

// Every colour of every picture with its pixel count, in colour order so that the
// result never depends on a hash table's order.
static std::vector<ColorCount> countColors(const std::vector<const Canvas*>& pictures)
{
    std::map<u32, u32> counts;
    for (const Canvas* picture : pictures)
        for (const Rgb& pixel : picture->pixels) ++counts[packColor(pixel)];
    std::vector<ColorCount> colors;
    for (const auto& [packed, count] : counts) colors.push_back(ColorCount{packed, count});
    return colors;
}

// The channel with the widest spread in the box, and that spread.
static i32 widestChannel(const std::vector<ColorCount>& colors, const ColorBox& box, i32* spread)
{
    i32 best = 0;
    *spread = -1;
    for (i32 channel = 0; channel < 3; ++channel) {
        i32 low = 255, high = 0;
        for (std::size_t i = box.first; i < box.last; ++i) {
            low = std::min(low, channelOf(colors[i].packed, channel));
            high = std::max(high, channelOf(colors[i].packed, channel));
        }
        if (high - low > *spread) *spread = high - low, best = channel;
    }
    return best;
}

static u64 pixelsIn(const std::vector<ColorCount>& colors, const ColorBox& box)
{
    u64 total = 0;
    for (std::size_t i = box.first; i < box.last; ++i) total += colors[i].count;
    return total;
}

// Splits the box that matters most (spread times pixels) at the pixel median of its
// widest channel; false when no box holds two colours.
static bool splitOneBox(std::vector<ColorCount>& colors, std::vector<ColorBox>& boxes)
{
    std::size_t chosen = boxes.size();
    u64 bestScore = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        if (boxes[b].last - boxes[b].first < 2) continue;
        i32 spread = 0;
        widestChannel(colors, boxes[b], &spread);
        const u64 score = static_cast<u64>(spread + 1) * pixelsIn(colors, boxes[b]);
        if (score > bestScore) bestScore = score, chosen = b;
    }
    if (chosen == boxes.size()) return false;
    ColorBox& box = boxes[chosen];
    i32 spread = 0;
    const i32 channel = widestChannel(colors, box, &spread);
    const auto begin = colors.begin() + static_cast<std::ptrdiff_t>(box.first);
    const auto end = colors.begin() + static_cast<std::ptrdiff_t>(box.last);
    std::stable_sort(begin, end, [channel](const ColorCount& a, const ColorCount& b) {
        return channelOf(a.packed, channel) < channelOf(b.packed, channel);
    });
    const u64 half = pixelsIn(colors, box) / 2;
    u64 seen = 0;
    std::size_t middle = box.first + 1;
    for (std::size_t i = box.first; i + 1 < box.last; ++i) {
        seen += colors[i].count;
        middle = i + 1;
        if (seen >= half) break;
    }
    const ColorBox upper{middle, box.last};
    box.last = middle;
    boxes.push_back(upper);
    return true;
}

static Rgb averageOf(const std::vector<ColorCount>& colors, const ColorBox& box)
{
    u64 sum[3] = {0, 0, 0};
    const u64 total = pixelsIn(colors, box);
    for (std::size_t i = box.first; i < box.last; ++i)
        for (i32 channel = 0; channel < 3; ++channel)
            sum[channel] +=
                static_cast<u64>(channelOf(colors[i].packed, channel)) * colors[i].count;
    // A mean of bytes is a byte.
    return Rgb{static_cast<u8>((sum[0] + total / 2) / total),
               static_cast<u8>((sum[1] + total / 2) / total),
               static_cast<u8>((sum[2] + total / 2) / total)};
}

Palette fitPalette(const std::vector<const Canvas*>& pictures)
{
    std::vector<ColorCount> colors = countColors(pictures);
    std::vector<ColorCount> exact;
    std::vector<ColorCount> blends;
    std::vector<ColorCount> byUse = colors;
    std::stable_sort(byUse.begin(), byUse.end(),
                     [](const ColorCount& a, const ColorCount& b) { return a.count > b.count; });
    for (const ColorCount& color : byUse) {
        if (color.count >= kOwnEntryPixels && exact.size() < kMostExactEntries)
            exact.push_back(color);
        else
            blends.push_back(color);
    }
    Palette palette;
    std::size_t entry = 0;
    for (const ColorCount& color : exact)
        palette.colors[entry++] = Rgb{static_cast<u8>(channelOf(color.packed, 0)),
                                      static_cast<u8>(channelOf(color.packed, 1)),
                                      static_cast<u8>(channelOf(color.packed, 2))};
    std::vector<ColorBox> boxes;
    if (!blends.empty()) boxes.push_back(ColorBox{0, blends.size()});
    while (entry + boxes.size() < kPaletteSize && splitOneBox(blends, boxes)) {}
    for (const ColorBox& box : boxes) palette.colors[entry++] = averageOf(blends, box);
    // Unused entries stay black.
    return palette;
}

// Distance between colours, green weighted most and blue least as the eye does.
static i32 colorDistance(Rgb a, Rgb b)
{
    const i32 dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

IndexedPicture mapToPalette(const Canvas& picture, const Palette& palette)
{
    IndexedPicture indexed;
    indexed.width = picture.width;
    indexed.height = picture.height;
    indexed.indices.reserve(picture.pixels.size());
    std::unordered_map<u32, u8> nearest;
    for (const Rgb& pixel : picture.pixels) {
        const u32 packed = packColor(pixel);
        auto found = nearest.find(packed);
        if (found == nearest.end()) {
            i32 best = 0;
            for (i32 i = 1; i < kPaletteSize; ++i)
                if (colorDistance(pixel, palette.colors[static_cast<std::size_t>(i)]) <
                    colorDistance(pixel, palette.colors[static_cast<std::size_t>(best)]))
                    best = i;
            found = nearest.emplace(packed, static_cast<u8>(best)).first;
        }
        indexed.indices.push_back(found->second);
    }
    return indexed;
}

Canvas expandPicture(const IndexedPicture& picture, const Palette& palette)
{
    Canvas canvas = makeCanvas(picture.width, picture.height, Rgb{0, 0, 0});
    for (std::size_t i = 0; i < picture.indices.size(); ++i)
        canvas.pixels[i] = palette.colors[picture.indices[i]];
    return canvas;
}
