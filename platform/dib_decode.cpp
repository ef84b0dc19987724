// DIB decoding: header checks first, then one loop per pixel depth.
#include "platform/dib.h"

#include "platform/surface.h"

#include <cstring>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr u32 kMaxPaletteEntries = 256;

// The header fields that decoding needs, checked against the data.
struct DibLayout {
    i32 width;
    i32 height;        // rows of the picture (always positive)
    bool bottomUp;     // the header's height was positive
    u16 bitCount;      // 8, 24 or 32
    const u8* palette; // blue, green, red, unused per entry
    u32 paletteEntries;
    const u8* rows; // first row as stored
    u64 stride;     // bytes a stored row, a multiple of 4
};

} // namespace

static u32 readU32(const u8* at)
{
    return static_cast<u32>(at[0]) | (static_cast<u32>(at[1]) << 8) |
           (static_cast<u32>(at[2]) << 16) | (static_cast<u32>(at[3]) << 24);
}

static u16 readU16(const u8* at)
{
    return static_cast<u16>(at[0] | (at[1] << 8));
}

// Checks the info header at `header` (with `available` bytes from there to the end
// of the data) and fills the sizes; false for anything unsupported or inconsistent.
static bool readInfoHeader(const u8* header, std::size_t available, DibLayout* layout)
{
    if (available < kInfoHeaderSize) return false;
    const u32 headerSize = readU32(header);
    if (headerSize < kInfoHeaderSize || headerSize > available) return false;
    const i64 width = static_cast<i32>(readU32(header + 4));
    const i64 height = static_cast<i32>(readU32(header + 8));
    const u16 planes = readU16(header + 12);
    const u16 bitCount = readU16(header + 14);
    const u32 compression = readU32(header + 16);
    const u32 colorsUsed = readU32(header + 32);
    const i64 rows = height < 0 ? -height : height;
    if (planes != 1 || compression != BI_RGB) return false;
    if (width <= 0 || width > kMaxSurfaceSide || rows == 0 || rows > kMaxSurfaceSide) return false;
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) return false;
    // Deeper pictures may still carry a colour table (a display hint); it is skipped.
    const u32 entries = bitCount == 8 && colorsUsed == 0 ? kMaxPaletteEntries : colorsUsed;
    if (entries > kMaxPaletteEntries) return false;
    layout->width = static_cast<i32>(width);
    layout->height = static_cast<i32>(rows);
    layout->bottomUp = height > 0;
    layout->bitCount = bitCount;
    layout->palette = header + headerSize;
    layout->paletteEntries = entries;
    layout->stride = ((static_cast<u64>(width) * bitCount + 31) / 32) * 4;
    return true;
}

// Finds the rows: right after the colour table, or where a file header says they are.
// False when the table or the rows run past the end of the data.
static bool placeRows(const u8* data, std::size_t size, std::size_t fileOffset, DibLayout* layout)
{
    const u64 paletteEnd =
        static_cast<u64>(layout->palette - data) + u64{layout->paletteEntries} * 4;
    if (paletteEnd > size) return false;
    const u64 start = fileOffset >= paletteEnd ? fileOffset : paletteEnd;
    const u64 need = layout->stride * static_cast<u64>(layout->height);
    if (start > size || need > size - start) return false;
    layout->rows = data + start;
    return true;
}

static void convertRow(const DibLayout& layout, const u8* in, u8* out)
{
    for (i32 x = 0; x < layout.width; ++x, out += 4) {
        if (layout.bitCount == 8) {
            const u32 index = in[x];
            // An index past the colour table has no colour: black.
            const u8 black[4] = {0, 0, 0, 0};
            const u8* entry = index < layout.paletteEntries ? layout.palette + index * 4 : black;
            std::memcpy(out, entry, 3);
        } else {
            std::memcpy(out, in + static_cast<std::size_t>(x) * (layout.bitCount / 8), 3);
        }
        out[3] = 0;
    }
}

bool decodeDib(const u8* data, std::size_t size, Surface* out)
{
    if (!data || !out) return false;
    std::size_t headerAt = 0, fileOffset = 0;
    if (size >= kFileHeaderSize && data[0] == 'B' && data[1] == 'M') {
        headerAt = kFileHeaderSize;
        fileOffset = readU32(data + 10);
    }
    DibLayout layout{};
    if (!readInfoHeader(data + headerAt, size - headerAt, &layout)) return false;
    if (!placeRows(data, size, fileOffset, &layout)) return false;
    Surface picture;
    if (!allocateSurface(layout.width, layout.height, &picture)) return false;
    for (i32 row = 0; row < layout.height; ++row) {
        const i32 stored = layout.bottomUp ? layout.height - 1 - row : row;
        convertRow(layout, layout.rows + static_cast<u64>(stored) * layout.stride,
                   surfacePixel(picture, 0, row));
    }
    *out = picture;
    return true;
}
