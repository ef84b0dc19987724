// Bitmap resources: DIB decoding by number and by name, and the formats refused.
#include "tests/platform/platform_fixture.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void putU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    putU16(out, at, value & 0xFFFF);
    putU16(out, at + 2, value >> 16);
}

// A packed DIB: header, `colors` palette entries (entry i = blue 10 i, green 20 i,
// red 30 i) and the rows as given, bottom row first when height > 0.
std::vector<std::uint8_t> makeDib(int width, int height, int bits, int colors,
                                  const std::vector<std::uint8_t>& rows)
{
    // Sized once and copied into: GCC 12 at -O3 misreads a vector insert into a vector
    // grown from 40 bytes as a write past the 40 (-Warray-bounds).
    const std::size_t header = 40 + static_cast<std::size_t>(colors) * 4;
    std::vector<std::uint8_t> out(header + rows.size());
    putU32(out, 0, 40);
    putU32(out, 4, static_cast<std::uint32_t>(width));
    putU32(out, 8, static_cast<std::uint32_t>(height));
    putU16(out, 12, 1);
    putU16(out, 14, static_cast<std::uint32_t>(bits));
    putU32(out, 32, static_cast<std::uint32_t>(colors));
    for (int i = 0; i < colors; ++i) {
        out[40 + i * 4] = static_cast<std::uint8_t>(10 * i);
        out[41 + i * 4] = static_cast<std::uint8_t>(20 * i);
        out[42 + i * 4] = static_cast<std::uint8_t>(30 * i);
    }
    std::copy(rows.begin(), rows.end(), out.begin() + static_cast<std::ptrdiff_t>(header));
    return out;
}

COLORREF paletteColor(int i)
{
    return RGB(30 * i, 20 * i, 10 * i);
}

// 3 x 2 pixels at 8 bits: rows padded to 4 bytes, the bottom row (indices 3 4 5) first.
const std::vector<std::uint8_t> kPaletteRows = {3, 4, 5, 0, 0, 1, 2, 0};

} // namespace

class BitmapResources : public PlatformTest {
protected:
    HBITMAP loadOnly(const std::vector<std::uint8_t>& data)
    {
        entry = ResourceEntry{1, nullptr, data.data(), data.size()};
        return LoadBitmap(RegisterModuleResources("test", &entry, 1), MAKEINTRESOURCE(1));
    }
    ResourceEntry entry{};
};

// Each layout decodes with the picture's top row first, whatever order the rows are stored.
TEST_F(BitmapResources, SupportedLayoutsDecodeTopRowFirst)
{
    // 2 x 2 at 24 bits: rows of 6 bytes padded to 8.
    const std::vector<std::uint8_t> rows24 = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    std::vector<std::uint8_t> withFileHeader = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> dib = makeDib(3, 2, 8, 6, kPaletteRows);
    putU32(withFileHeader, 10, static_cast<std::uint32_t>(14 + dib.size() - kPaletteRows.size()));
    withFileHeader.insert(withFileHeader.end(), dib.begin(), dib.end());
    const struct {
        const char* what;
        std::vector<std::uint8_t> data;
        int width, height;
        std::vector<PixelCheck> pixels;
    } cases[] = {
        {"8-bit palette",
         dib,
         3,
         2,
         {{0, 0, paletteColor(0)},
          {2, 0, paletteColor(2)},
          {0, 1, paletteColor(3)},
          {2, 1, paletteColor(5)}}},
        {"index past the colour table: black",
         makeDib(3, 2, 8, 2, kPaletteRows),
         3,
         2,
         {{1, 0, paletteColor(1)}, {2, 0, RGB(0, 0, 0)}}},
        {"24 bits bottom-up: second row on top",
         makeDib(2, 2, 24, 0, rows24),
         2,
         2,
         {{0, 0, RGB(9, 8, 7)}, {1, 1, RGB(6, 5, 4)}}},
        {"32 bits top-down",
         makeDib(1, -2, 32, 0, {1, 2, 3, 99, 4, 5, 6, 99}),
         1,
         2,
         {{0, 0, RGB(3, 2, 1)}, {0, 1, RGB(6, 5, 4)}}},
        {"file header in front", withFileHeader, 3, 2, {{2, 1, paletteColor(5)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const HBITMAP bitmap = loadOnly(c.data);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObject(bitmap, sizeof info, &info);
        EXPECT_EQ((std::pair{info.bmWidth, info.bmHeight}), (std::pair{c.width, c.height}));
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        expectPixels(dc, c.pixels);
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

// Resources are found by number, by name whatever its case, and by "#number".
TEST_F(BitmapResources, BitmapsAreFoundByNumberOrByNameWhateverTheCase)
{
    const std::vector<std::uint8_t> dib = makeDib(3, 2, 8, 6, kPaletteRows);
    const ResourceEntry table[] = {{0, "DASHSCR", dib.data(), dib.size()},
                                   {155, nullptr, dib.data(), dib.size()}};
    const HINSTANCE module = RegisterModuleResources("nptarne", table, 2);
    EXPECT_EQ(RegisterModuleResources("again", table, 2), module); // same table, same module
    for (const char* name : {"DASHSCR", "dashscr", "#155", MAKEINTRESOURCE(155)}) {
        const HBITMAP bitmap = LoadBitmap(module, name);
        EXPECT_NE(bitmap, nullptr) << (IS_INTRESOURCE(name) ? "by number" : name);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(LoadBitmap(module, MAKEINTRESOURCE(156)), nullptr);
    EXPECT_EQ(LoadBitmap(module, "DASH"), nullptr);
    EXPECT_EQ(LoadBitmap(nullptr, "DASHSCR"), nullptr);
}

// Well-formed headers of formats the resources never use are refused; damaged and cut
// headers are fuzz seeds (tests/fuzz/seeds/platform_dib_fuzz).
TEST_F(BitmapResources, FormatsOtherThanUncompressed8To32BitsAreRefused)
{
    const struct {
        std::size_t at;
        std::uint32_t value;
        bool wide;
    } formats[] = {
        {0, 12, true},   // an old core header
        {12, 2, false},  // two planes
        {14, 16, false}, // 16 bits a pixel
        {14, 4, false},  // 4 bits a pixel
        {16, 1, true},   // run-length compression
    };
    for (const auto& format : formats) {
        std::vector<std::uint8_t> dib = makeDib(3, 2, 8, 6, kPaletteRows);
        if (format.wide)
            putU32(dib, format.at, format.value);
        else
            putU16(dib, format.at, format.value);
        EXPECT_EQ(loadOnly(dib), nullptr) << "offset " << format.at << " value " << format.value;
    }
}
