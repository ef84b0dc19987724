// The Dashboard clicked through tarne render's script, in whole-area shots: at 640, 796
// and 1592 pixels wide every button is hit where it is drawn, and its pressed and
// released images cover the drawn one and nothing else.
#include "tests/host/tarne_run.h"

#include <vector>

namespace {

constexpr int kHeight = 300;
constexpr int kDashboardTop = kHeight - 90;

// A button's design place (the size of its bitmap) and whether it shows pressed once
// released: switches that went on, the selected mode and spares 1 to 3 do.
struct Button {
    int x, y, width, height;
    bool staysDown;
    bool mode;
};

constexpr Button kButtons[20] = {
    {5, 41, 35, 21, true, false},    {43, 41, 35, 21, true, false},
    {81, 41, 36, 21, true, false},   {5, 64, 36, 22, true, false},
    {43, 64, 36, 22, true, true},    {80, 64, 38, 22, true, true},
    {161, 20, 43, 21, true, true},   {161, 43, 43, 21, true, true},
    {161, 65, 43, 21, true, true},   {418, 20, 44, 22, true, true},
    {418, 43, 44, 22, true, true},   {418, 65, 44, 22, true, true},
    {652, 41, 35, 21, false, false}, {687, 41, 35, 22, true, false},
    {722, 41, 34, 21, true, false},  {756, 41, 35, 22, true, false},
    {652, 64, 35, 23, true, false},  {687, 64, 35, 22, false, false},
    {722, 64, 34, 22, false, false}, {756, 64, 35, 22, false, false},
};
constexpr int kWalkButton = 9;

struct Box {
    int left, top, right, bottom; // plug-in area pixels, right and bottom exclusive
    bool holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where a Dashboard `width` pixels wide draws a design place: each value times the
// paint's factor, truncated (the Dashboard is 90 high, so rows are not scaled).
Box drawn(int x, int y, int w, int h, int width)
{
    const float scale = static_cast<float>(width) * 0.0012562814f;
    const int left = static_cast<int>(static_cast<float>(x) * scale);
    return Box{left, kDashboardTop + y, left + static_cast<int>(static_cast<float>(w) * scale),
               kDashboardTop + y + h};
}
Box drawn(const Button& button, int width)
{
    return drawn(button.x, button.y, button.width, button.height, width);
}

// What a press of `b` may change: its own place; a mode button also the mode display
// and the column mode buttons it shows at rest.
std::vector<Box> mayChange(int b, int width)
{
    std::vector<Box> boxes{drawn(kButtons[b], width)};
    if (!kButtons[b].mode) return boxes;
    boxes.push_back(drawn(263, 17, 98, 59, width));
    for (int column = 6; column <= 11; ++column) boxes.push_back(drawn(kButtons[column], width));
    return boxes;
}

// The Dashboard's pixels that differ between two whole-area shots.
std::vector<std::pair<int, int>> changes(const PngFile& before, const PngFile& after)
{
    std::vector<std::pair<int, int>> changed;
    for (unsigned y = kDashboardTop; y < before.height; ++y)
        for (unsigned x = 0; x < before.width; ++x)
            if (before.at(x, y) != after.at(x, y))
                changed.emplace_back(static_cast<int>(x), static_cast<int>(y));
    return changed;
}

bool anyInside(const std::vector<std::pair<int, int>>& points, const Box& box)
{
    for (const auto& [x, y] : points)
        if (box.holds(x, y)) return true;
    return false;
}

// Every changed pixel outside the boxes, as "x,y" (empty when there is none).
std::string outside(const std::vector<std::pair<int, int>>& points, const std::vector<Box>& boxes)
{
    for (const auto& [x, y] : points) {
        bool inside = false;
        for (const Box& box : boxes) inside = inside || box.holds(x, y);
        if (!inside) return std::to_string(x) + "," + std::to_string(y);
    }
    return "";
}

// Clicks at the centre of each button as drawn, the walk button first, with a shot
// before, while held and after the release of each; returns the shots in that order.
std::vector<PngFile> clickEveryButton(int width)
{
    const std::string folder = "clicks/" + std::to_string(width) + "/";
    const std::string world = writeTempFile(
        folder + "w.wrl", "#VRML V2.0 utf8\nShape { geometry IndexedFaceSet { coord Coordinate "
                          "{ point [ -1 -1 10, 1 -1 10, 0 1 10 ] } coordIndex [ 0 1 2 -1 ] } }\n");
    std::vector<int> order{kWalkButton};
    for (int b = 0; b < 20; ++b) order.push_back(b);
    std::string script = "frames 1\nshot " + tempDir() + folder + "0.png --whole\n";
    int shot = 0;
    for (const int b : order) {
        const Box box = drawn(kButtons[b], width);
        const std::string at = std::to_string((box.left + box.right) / 2) + " " +
                               std::to_string((box.top + box.bottom) / 2);
        for (const char* step : {"down ", "up "})
            script += step + at + "\nframes 2\nshot " + tempDir() + folder +
                      std::to_string(++shot) + ".png --whole\n";
    }
    const std::string steps = writeTempFile(folder + "steps.txt", script);
    const auto run = tarne(
        "render " + quote(world) + " -o " + quote(tempDir() + folder + "last.png") + " --size " +
        std::to_string(width) + "x" + std::to_string(kHeight) + " --script " + quote(steps));
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<PngFile> shots;
    for (int s = 0; s <= shot; ++s)
        shots.push_back(readPng(tempDir() + folder + std::to_string(s) + ".png"));
    return shots;
}

} // namespace

TEST(DashboardClicks, EveryButtonIsHitWhereItIsDrawnAndItsImagesCoverOnlyIt)
{
    for (const int width : {640, 796, 1592}) {
        SCOPED_TRACE("width " + std::to_string(width));
        const std::vector<PngFile> shots = clickEveryButton(width);
        ASSERT_EQ(shots.size(), 43u);
        for (const PngFile& shot : shots) ASSERT_EQ(shot.width, static_cast<unsigned>(width));
        // The walk button is painted pressed: pressing it draws the very same pixels.
        EXPECT_TRUE(changes(shots[0], shots[1]).empty());
        EXPECT_TRUE(changes(shots[0], shots[2]).empty());
        for (int b = 0; b < 20; ++b) {
            SCOPED_TRACE("button " + std::to_string(b + 1));
            const PngFile& before = shots[2 + 2 * b];
            const PngFile& held = shots[3 + 2 * b];
            const PngFile& released = shots[4 + 2 * b];
            const Box place = drawn(kButtons[b], width);
            const auto pressed = changes(before, held);
            EXPECT_TRUE(anyInside(pressed, place));
            EXPECT_EQ(outside(pressed, mayChange(b, width)), "");
            const auto afterRelease = changes(before, released);
            EXPECT_EQ(anyInside(afterRelease, place), kButtons[b].staysDown);
            EXPECT_EQ(outside(afterRelease, mayChange(b, width)), "");
        }
    }
}
