// The generated bitmaps: every one the Dashboard and the side panels load is in the
// table at its size as an 8-bit DIB, they share one palette, and the keys and mode
// pictures can be told apart.
#include "resources/bitmaps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

// A key's pictures at rest and held down, and the size both have.
struct KeyBitmaps {
    std::uintptr_t normal;
    std::uintptr_t pressed;
    LONG width;
    LONG height;
};

// Button 1 to 20, in the Dashboard's order.
constexpr KeyBitmaps kKeys[] = {
    {166, 146, 35, 21}, {164, 144, 35, 21}, {155, 135, 36, 21}, {161, 141, 36, 22},
    {163, 143, 36, 22}, {169, 149, 38, 22}, {156, 136, 43, 21}, {159, 139, 43, 21},
    {160, 140, 43, 21}, {168, 148, 44, 22}, {153, 133, 44, 22}, {152, 132, 44, 22},
    {162, 142, 35, 21}, {167, 147, 35, 22}, {151, 131, 34, 21}, {150, 130, 35, 22},
    {165, 145, 35, 23}, {157, 137, 35, 22}, {158, 138, 34, 22}, {154, 134, 35, 22},
};

struct SizedBitmap {
    std::uintptr_t id;
    LONG width;
    LONG height;
};

// Mode pictures of modes 0 to 7, in that order.
constexpr SizedBitmap kModePictures[] = {{190, 98, 59}, {189, 98, 59}, {182, 98, 59},
                                         {187, 98, 59}, {180, 98, 59}, {183, 98, 59},
                                         {181, 98, 59}, {188, 98, 59}};

// The labels and the side panels' pictures.
constexpr SizedBitmap kOtherBitmaps[] = {
    {173, 81, 16},  {174, 81, 16},   {175, 81, 16},   {176, 81, 16},  {178, 81, 16},
    {186, 81, 16},  {204, 140, 316}, {206, 140, 316}, {201, 42, 21},  {200, 42, 21},
    {184, 140, 34}, {210, 140, 34},  {211, 140, 34},  {212, 140, 34}, {213, 140, 34},
    {214, 140, 34}, {215, 140, 34},
};

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPaletteBytes = 256 * 4;

std::uint32_t readU32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint16_t readU16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// Every numbered bitmap the tables above name, with its size.
std::vector<SizedBitmap> numberedBitmaps()
{
    std::vector<SizedBitmap> all;
    for (const KeyBitmaps& key : kKeys) {
        all.push_back({key.normal, key.width, key.height});
        all.push_back({key.pressed, key.width, key.height});
    }
    all.insert(all.end(), std::begin(kModePictures), std::end(kModePictures));
    all.insert(all.end(), std::begin(kOtherBitmaps), std::end(kOtherBitmaps));
    return all;
}

} // namespace

class GeneratedBitmaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformReset();
        table = dashboardBitmaps(&count);
        module = RegisterModuleResources("nptarne", table, count);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override { platformReset(); }

    // A picture as the platform decodes it: its size and every pixel, top row first.
    struct Picture {
        LONG width = 0;
        LONG height = 0;
        std::vector<COLORREF> pixels;
        bool operator==(const Picture&) const = default;
    };
    Picture load(LPCSTR name)
    {
        Picture picture;
        const HBITMAP bitmap = LoadBitmap(module, name);
        if (!bitmap) return picture;
        BITMAP info{};
        GetObject(bitmap, sizeof info, &info);
        picture.width = info.bmWidth;
        picture.height = info.bmHeight;
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        for (LONG y = 0; y < info.bmHeight; ++y)
            for (LONG x = 0; x < info.bmWidth; ++x) picture.pixels.push_back(GetPixel(dc, x, y));
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return picture;
    }
    Picture load(std::uintptr_t id) { return load(MAKEINTRESOURCE(id)); }

    // Expects no two of the pictures to be the same picture.
    void expectAllDifferent(const std::vector<std::uintptr_t>& ids)
    {
        std::vector<Picture> pictures;
        for (const std::uintptr_t id : ids) pictures.push_back(load(id));
        for (std::size_t a = 0; a < ids.size(); ++a)
            for (std::size_t b = a + 1; b < ids.size(); ++b)
                EXPECT_FALSE(pictures[a] == pictures[b]) << ids[a] << " and " << ids[b];
    }

    const ResourceEntry* table = nullptr;
    std::size_t count = 0;
    HINSTANCE module = nullptr;
};

TEST_F(GeneratedBitmaps, EveryBitmapLoadsByNumberAtItsSize)
{
    for (const SizedBitmap& expected : numberedBitmaps()) {
        const Picture picture = load(expected.id);
        EXPECT_EQ(picture.width, expected.width) << expected.id;
        EXPECT_EQ(picture.height, expected.height) << expected.id;
    }
}

TEST_F(GeneratedBitmaps, BackgroundLoadsByName)
{
    const Picture background = load("DASHSCR");
    EXPECT_EQ(background.width, 800);
    EXPECT_EQ(background.height, 94);
}

TEST_F(GeneratedBitmaps, TableHoldsEachBitmapOnceAndNothingElse)
{
    std::multiset<std::uintptr_t> ids;
    std::size_t named = 0;
    for (std::size_t row = 0; row < count; ++row) {
        if (table[row].name) {
            EXPECT_STREQ(table[row].name, "DASHSCR");
            EXPECT_EQ(table[row].id, 0u);
            ++named;
        } else {
            ids.insert(table[row].id);
        }
    }
    EXPECT_EQ(named, 1u);
    const std::vector<SizedBitmap> expected = numberedBitmaps();
    EXPECT_EQ(ids.size(), expected.size());
    for (const SizedBitmap& bitmap : expected) EXPECT_EQ(ids.count(bitmap.id), 1u) << bitmap.id;
}

TEST_F(GeneratedBitmaps, EveryEntryIsAnEightBitDibWithAFullPaletteAndPaddedRows)
{
    for (std::size_t row = 0; row < count; ++row) {
        const ResourceEntry& entry = table[row];
        ASSERT_GE(entry.size, kInfoHeaderSize + kPaletteBytes) << entry.id;
        const unsigned char* header = entry.data;
        const std::uint32_t width = readU32(header + 4);
        const std::int32_t height = static_cast<std::int32_t>(readU32(header + 8));
        const std::uint32_t stride = (width + 3) / 4 * 4;
        EXPECT_EQ(readU32(header), kInfoHeaderSize) << entry.id;
        EXPECT_GT(height, 0) << entry.id;               // rows bottom-up, as resource bitmaps are
        EXPECT_EQ(readU16(header + 12), 1) << entry.id; // planes
        EXPECT_EQ(readU16(header + 14), 8) << entry.id; // bits a pixel
        EXPECT_EQ(readU32(header + 16), BI_RGB) << entry.id;
        EXPECT_EQ(readU32(header + 32), 256u) << entry.id; // colours used
        EXPECT_EQ(entry.size,
                  kInfoHeaderSize + kPaletteBytes +
                      static_cast<std::size_t>(stride) * static_cast<std::size_t>(height))
            << entry.id;
    }
}

TEST_F(GeneratedBitmaps, AllShareOnePalette)
{
    ASSERT_GT(count, 1u);
    const unsigned char* first = table[0].data + kInfoHeaderSize;
    for (std::size_t row = 1; row < count; ++row)
        EXPECT_EQ(std::memcmp(table[row].data + kInfoHeaderSize, first, kPaletteBytes), 0)
            << table[row].id;
}

TEST_F(GeneratedBitmaps, NoTwoKeysAtRestAreTheSamePicture)
{
    std::vector<std::uintptr_t> ids;
    for (const KeyBitmaps& key : kKeys) ids.push_back(key.normal);
    expectAllDifferent(ids);
}

TEST_F(GeneratedBitmaps, EveryKeyHeldDownDiffersFromItAtRest)
{
    for (const KeyBitmaps& key : kKeys)
        EXPECT_FALSE(load(key.normal) == load(key.pressed)) << key.normal;
}

TEST_F(GeneratedBitmaps, NoTwoModePicturesAreTheSamePicture)
{
    std::vector<std::uintptr_t> ids;
    for (const SizedBitmap& picture : kModePictures) ids.push_back(picture.id);
    expectAllDifferent(ids);
}
