// The glyphs, one line each: seven rows of five pixels, top row first, '#' set.
#include "tools/art/font.h"

#include <cstring>

namespace {

struct Glyph {
    char character;
    const char* rows; // 7 rows of 5 characters, separated by '|'
};

// Square shoulders and open counters: at 1:1 a rounded corner is a single missing
// pixel, which is all the rounding seven rows can carry.
constexpr Glyph kGlyphs[] = {
    {'A', ".###.|#...#|#...#|#####|#...#|#...#|#...#"},
    {'B', "####.|#...#|#...#|####.|#...#|#...#|####."},
    {'C', ".###.|#...#|#....|#....|#....|#...#|.###."},
    {'D', "####.|#...#|#...#|#...#|#...#|#...#|####."},
    {'E', "#####|#....|#....|####.|#....|#....|#####"},
    {'F', "#####|#....|#....|####.|#....|#....|#...."},
    {'G', ".###.|#...#|#....|#.###|#...#|#...#|.####"},
    {'H', "#...#|#...#|#...#|#####|#...#|#...#|#...#"},
    {'I', ".###.|..#..|..#..|..#..|..#..|..#..|.###."},
    {'J', "..###|...#.|...#.|...#.|...#.|#..#.|.##.."},
    {'K', "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#"},
    {'L', "#....|#....|#....|#....|#....|#....|#####"},
    {'M', "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#"},
    {'N', "#...#|##..#|#.#.#|#..##|#...#|#...#|#...#"},
    {'O', ".###.|#...#|#...#|#...#|#...#|#...#|.###."},
    {'P', "####.|#...#|#...#|####.|#....|#....|#...."},
    {'Q', ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#"},
    {'R', "####.|#...#|#...#|####.|#.#..|#..#.|#...#"},
    {'S', ".###.|#...#|#....|.###.|....#|#...#|.###."},
    {'T', "#####|..#..|..#..|..#..|..#..|..#..|..#.."},
    {'U', "#...#|#...#|#...#|#...#|#...#|#...#|.###."},
    {'V', "#...#|#...#|#...#|#...#|#...#|.#.#.|..#.."},
    {'W', "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#."},
    {'X', "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#"},
    {'Y', "#...#|#...#|.#.#.|..#..|..#..|..#..|..#.."},
    {'Z', "#####|....#|...#.|..#..|.#...|#....|#####"},
    {'0', ".###.|#...#|#..##|#.#.#|##..#|#...#|.###."},
    {'1', "..#..|.##..|..#..|..#..|..#..|..#..|.###."},
    {'2', ".###.|#...#|....#|...#.|..#..|.#...|#####"},
    {'3', "#####|...#.|..#..|...#.|....#|#...#|.###."},
    {'4', "...#.|..##.|.#.#.|#..#.|#####|...#.|...#."},
    {'5', "#####|#....|####.|....#|....#|#...#|.###."},
    {'6', "..##.|.#...|#....|####.|#...#|#...#|.###."},
    {'7', "#####|....#|...#.|..#..|.#...|.#...|.#..."},
    {'8', ".###.|#...#|#...#|.###.|#...#|#...#|.###."},
    {'9', ".###.|#...#|#...#|.####|....#|...#.|.##.."},
    {'.', ".....|.....|.....|.....|.....|.##..|.##.."},
    {'-', ".....|.....|.....|.###.|.....|.....|....."},
    {':', ".....|.##..|.##..|.....|.##..|.##..|....."},
    {'/', "....#|....#|...#.|..#..|.#...|#....|#...."},
    {'+', ".....|..#..|..#..|#####|..#..|..#..|....."},
};

// Each glyph is seven rows of five '#' or '.', the rows separated by '|': a slip in
// the table stops the build instead of shifting a letter's pixels.
constexpr bool wellFormed(const Glyph& glyph)
{
    for (i32 row = 0; row < kGlyphHeight; ++row) {
        for (i32 column = 0; column < kGlyphWidth; ++column) {
            const char pixel = glyph.rows[row * (kGlyphWidth + 1) + column];
            if (pixel != '#' && pixel != '.') return false;
        }
        const char end = glyph.rows[row * (kGlyphWidth + 1) + kGlyphWidth];
        if (end != (row + 1 < kGlyphHeight ? '|' : '\0')) return false;
    }
    return true;
}

constexpr bool allWellFormed()
{
    for (const Glyph& glyph : kGlyphs)
        if (!wellFormed(glyph)) return false;
    return true;
}
static_assert(allWellFormed(), "a glyph is seven rows of five pixels");

} // namespace

static const Glyph* findGlyph(char c)
{
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    for (const Glyph& glyph : kGlyphs)
        if (glyph.character == upper) return &glyph;
    return nullptr;
}

bool glyphPixel(char c, i32 column, i32 row)
{
    if (column < 0 || column >= kGlyphWidth || row < 0 || row >= kGlyphHeight) return false;
    const Glyph* glyph = findGlyph(c);
    // Each row takes its five characters and one separator.
    return glyph && glyph->rows[row * (kGlyphWidth + 1) + column] == '#';
}

i32 textWidth(const char* text, i32 pixelSize)
{
    const i32 length = static_cast<i32>(std::strlen(text));
    if (length == 0) return 0;
    return (length * kGlyphAdvance - (kGlyphAdvance - kGlyphWidth)) * pixelSize;
}
