// The Tarne cube and the program's icon.
#include "tools/art/colors.h"
#include "tools/art/pictures.h"

#include "base/convert.h"

namespace {

// The cube's faces, lit from above and from the left: a world in three dimensions.
constexpr Rgb kCubeTop = hexColor(0xFFD47E);
constexpr Rgb kCubeLeft = hexColor(0xF2991F);
constexpr Rgb kCubeRight = hexColor(0xB35C0C);
constexpr Rgb kCubeEdge = hexColor(0xFFF0CC);

// The icon's tile, in units of a 48-unit square.
constexpr f32 kIconUnits = 48.0f;

} // namespace

void drawCube(Canvas& canvas, f32 x, f32 y, f32 size)
{
    // Corners in a unit box: the top face's far, right, near and left corners, and the
    // bottom's left, near and right ones.
    const Frame frame{x, y, size};
    const Point far{0.5f, 0.04f}, right{0.94f, 0.27f}, near{0.5f, 0.5f}, left{0.06f, 0.27f};
    const Point bottomLeft{0.06f, 0.74f}, bottom{0.5f, 0.97f}, bottomRight{0.94f, 0.74f};
    const auto face = [&](std::initializer_list<Point> corners, Rgb color) {
        Sketch sketch(canvas.width, canvas.height, frame);
        sketch.polygon(corners);
        paintMask(canvas, sketch.mask(), color);
    };
    face({far, right, near, left}, kCubeTop);
    face({left, near, bottom, bottomLeft}, kCubeLeft);
    face({near, right, bottomRight, bottom}, kCubeRight);
    // The near edges in light keep the cube crisp on a dark panel; below this size
    // a one-pixel edge is a third of a face and would cross the cube out instead.
    constexpr f32 kSmallestEdged = 24.0f;
    if (size < kSmallestEdged) return;
    Sketch edges(canvas.width, canvas.height, frame);
    const f32 edge = 1.0f / size;
    edges.line(left, near, edge).line(near, right, edge).line(near, bottom, edge);
    paintMask(canvas, edges.mask(), kCubeEdge, 0.75f);
}

IconPicture drawIcon(i32 size)
{
    const f32 scale = static_cast<f32>(size) / kIconUnits;
    IconPicture icon{makeCanvas(size, size, kPanelBottom), {}};
    Canvas& picture = icon.picture;
    Sketch tile(size, size, Frame{0.0f, 0.0f, scale});
    tile.roundRect(2.0f, 2.0f, 46.0f, 46.0f, 9.0f);
    fillGradient(picture, 0, 0, size, size, kPanelTop, kPanelBottom);
    // A lit rim along the top of the tile.
    Sketch inner(size, size, Frame{0.0f, 0.0f, scale});
    inner.roundRect(2.0f, 3.0f, 46.0f, 46.0f, 9.0f);
    Sketch rim = tile;
    rim.cut(inner);
    paintMask(picture, rim.mask(), kPanelHighlight, 0.6f);
    // The cube over the amber glow of a screen; at the smallest sizes the glow would
    // only muddy the tile.
    constexpr i32 kSmallestGlow = 32;
    if (size >= kSmallestGlow) {
        Sketch glow(size, size, Frame{0.0f, 0.0f, scale});
        glow.ellipse({24.0f, 38.0f}, 15.0f, 4.0f);
        paintGlow(picture, glow.mask(), kScreenGlow, size / 24, 0.35f);
    }
    drawCube(picture, 10.0f * scale, 7.0f * scale, 28.0f * scale);
    icon.alpha.resize(static_cast<std::size_t>(size * size));
    for (i32 y = 0; y < size; ++y)
        for (i32 x = 0; x < size; ++x)
            icon.alpha[static_cast<std::size_t>(y * size + x)] =
                toByte(coverageAt(tile.mask(), x, y) * 255.0f + 0.5f);
    return icon;
}
