// Pixels, sampled shapes and painting.
#include "tools/art/canvas.h"

#include "base/convert.h"
#include "tools/art/font.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr i32 kSamplesAcross = 4; // samples per pixel along each axis
constexpr u16 kAllSamples = 0xFFFF;
constexpr f32 kSampleCount = 16.0f;
constexpr f32 kPi = 3.14159265358979f;

// The pixels a shape may touch, already clipped to the mask.
struct PixelBox {
    i32 x0, y0, x1, y1; // x0 <= x < x1, y0 <= y < y1
};

} // namespace

Rgb mixColor(Rgb from, Rgb to, f32 amount)
{
    const auto channel = [amount](u8 a, u8 b) {
        return toByte(static_cast<f32>(a) + (static_cast<f32>(b) - static_cast<f32>(a)) * amount +
                      0.5f);
    };
    return Rgb{channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

Canvas makeCanvas(i32 width, i32 height, Rgb fill)
{
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(static_cast<std::size_t>(width * height), fill);
    return canvas;
}

// ---- Whole pixels -------------------------------------------------------------------------

void fillRect(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb color)
{
    for (i32 y = std::max(y0, 0); y < std::min(y1, canvas.height); ++y)
        for (i32 x = std::max(x0, 0); x < std::min(x1, canvas.width); ++x) canvas.at(x, y) = color;
}

void tintRect(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb color, f32 opacity)
{
    for (i32 y = std::max(y0, 0); y < std::min(y1, canvas.height); ++y)
        for (i32 x = std::max(x0, 0); x < std::min(x1, canvas.width); ++x)
            canvas.at(x, y) = mixColor(canvas.at(x, y), color, opacity);
}

void fillGradient(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb top, Rgb bottom)
{
    const f32 rows = static_cast<f32>(std::max(y1 - y0 - 1, 1));
    for (i32 y = y0; y < y1; ++y) {
        const Rgb color = mixColor(top, bottom, static_cast<f32>(y - y0) / rows);
        fillRect(canvas, x0, y, x1, y + 1, color);
    }
}

void bevelFrame(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb light, Rgb dark)
{
    fillRect(canvas, x0, y0, x1, y0 + 1, light);
    fillRect(canvas, x0, y0, x0 + 1, y1, light);
    fillRect(canvas, x0 + 1, y1 - 1, x1, y1, dark);
    fillRect(canvas, x1 - 1, y0 + 1, x1, y1, dark);
}

void pasteCanvas(Canvas& canvas, const Canvas& picture, i32 x, i32 y)
{
    for (i32 row = 0; row < picture.height; ++row) {
        if (y + row < 0 || y + row >= canvas.height) continue;
        for (i32 column = 0; column < picture.width; ++column)
            if (x + column >= 0 && x + column < canvas.width)
                canvas.at(x + column, y + row) = picture.at(column, row);
    }
}

Canvas enlargeCanvas(const Canvas& picture, i32 factor)
{
    Canvas large = makeCanvas(picture.width * factor, picture.height * factor, Rgb{0, 0, 0});
    for (i32 y = 0; y < large.height; ++y)
        for (i32 x = 0; x < large.width; ++x) large.at(x, y) = picture.at(x / factor, y / factor);
    return large;
}

// How much of the source span [s, s + 1) lies inside [low, high), both in source units.
static f32 overlap(f32 s, f32 low, f32 high)
{
    return std::max(0.0f, std::min(s + 1.0f, high) - std::max(s, low));
}

Canvas shrinkCanvas(const Canvas& picture, i32 width, i32 height)
{
    Canvas small = makeCanvas(width, height, Rgb{0, 0, 0});
    const f32 stepX = static_cast<f32>(picture.width) / static_cast<f32>(width);
    const f32 stepY = static_cast<f32>(picture.height) / static_cast<f32>(height);
    for (i32 y = 0; y < height; ++y) {
        const f32 top = static_cast<f32>(y) * stepY, bottom = top + stepY;
        // The source rows and columns a pixel covers lie inside the picture.
        const i32 firstRow = static_cast<i32>(top);
        const i32 endRow = std::min(picture.height, static_cast<i32>(bottom) + 1);
        for (i32 x = 0; x < width; ++x) {
            const f32 left = static_cast<f32>(x) * stepX, right = left + stepX;
            const i32 firstColumn = static_cast<i32>(left);
            const i32 endColumn = std::min(picture.width, static_cast<i32>(right) + 1);
            f32 sum[3] = {0, 0, 0}, total = 0;
            for (i32 sy = firstRow; sy < endRow; ++sy) {
                const f32 weightY = overlap(static_cast<f32>(sy), top, bottom);
                for (i32 sx = firstColumn; sx < endColumn; ++sx) {
                    const f32 weight = weightY * overlap(static_cast<f32>(sx), left, right);
                    const Rgb in = picture.at(sx, sy);
                    sum[0] += weight * in.r;
                    sum[1] += weight * in.g;
                    sum[2] += weight * in.b;
                    total += weight;
                }
            }
            small.at(x, y) = Rgb{toByte(sum[0] / total + 0.5f), toByte(sum[1] / total + 0.5f),
                                 toByte(sum[2] / total + 0.5f)};
        }
    }
    return small;
}

// ---- Masks --------------------------------------------------------------------------------

Mask makeMask(i32 width, i32 height)
{
    Mask mask;
    mask.width = width;
    mask.height = height;
    mask.samples.assign(static_cast<std::size_t>(width * height), 0);
    return mask;
}

f32 coverageAt(const Mask& mask, i32 x, i32 y)
{
    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return 0.0f;
    const u16 bits = mask.samples[static_cast<std::size_t>(y * mask.width + x)];
    return static_cast<f32>(std::popcount(bits)) / kSampleCount;
}

void cutMask(Mask& mask, const Mask& holes)
{
    for (std::size_t i = 0; i < mask.samples.size() && i < holes.samples.size(); ++i)
        mask.samples[i] = static_cast<u16>(mask.samples[i] & ~holes.samples[i]);
}

void addPixel(Mask& mask, i32 x, i32 y)
{
    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return;
    mask.samples[static_cast<std::size_t>(y * mask.width + x)] = kAllSamples;
}

// The pixels under a box of pixel coordinates, one pixel wider each side for safety.
static PixelBox boxAround(const Mask& mask, f32 left, f32 top, f32 right, f32 bottom)
{
    return PixelBox{clampTrunc(std::floor(left) - 1.0f, 0, mask.width),
                    clampTrunc(std::floor(top) - 1.0f, 0, mask.height),
                    clampTrunc(std::ceil(right) + 1.0f, 0, mask.width),
                    clampTrunc(std::ceil(bottom) + 1.0f, 0, mask.height)};
}

// Sets every sample inside `box` for which `inside(x, y)` holds (pixel coordinates).
template <typename Inside>
static void addSamples(Mask& mask, const PixelBox& box, const Inside& inside)
{
    for (i32 y = box.y0; y < box.y1; ++y) {
        for (i32 x = box.x0; x < box.x1; ++x) {
            u16 bits = 0;
            for (i32 sy = 0; sy < kSamplesAcross; ++sy) {
                const f32 py = static_cast<f32>(y) + (static_cast<f32>(sy) + 0.5f) / kSamplesAcross;
                for (i32 sx = 0; sx < kSamplesAcross; ++sx) {
                    const f32 px =
                        static_cast<f32>(x) + (static_cast<f32>(sx) + 0.5f) / kSamplesAcross;
                    if (inside(px, py)) bits = static_cast<u16>(bits | 1u << (sy * 4 + sx));
                }
            }
            mask.samples[static_cast<std::size_t>(y * mask.width + x)] |= bits;
        }
    }
}

// Nonzero winding of the closed polygon around (x, y).
static i32 windingAround(const std::vector<Point>& corners, f32 x, f32 y)
{
    i32 winding = 0;
    const std::size_t count = corners.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Point a = corners[i], b = corners[(i + 1) % count];
        const f32 side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
        if (a.y <= y && b.y > y && side > 0) ++winding;
        if (a.y > y && b.y <= y && side < 0) --winding;
    }
    return winding;
}

// Squared distance from (x, y) to the segment from a to b.
static f32 distanceToSegment2(Point a, Point b, f32 x, f32 y)
{
    const f32 dx = b.x - a.x, dy = b.y - a.y;
    const f32 length2 = dx * dx + dy * dy;
    f32 t = length2 > 0.0f ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const f32 ex = a.x + t * dx - x, ey = a.y + t * dy - y;
    return ex * ex + ey * ey;
}

Sketch::Sketch(i32 width, i32 height, Frame frame) : mask_(makeMask(width, height)), frame_(frame)
{
}

Point Sketch::place(Point design) const
{
    return Point{frame_.left + frame_.scale * design.x, frame_.top + frame_.scale * design.y};
}

Sketch& Sketch::line(Point from, Point to, f32 width)
{
    const Point a = place(from), b = place(to);
    const f32 half = 0.5f * width * frame_.scale;
    const PixelBox box = boxAround(mask_, std::min(a.x, b.x) - half, std::min(a.y, b.y) - half,
                                   std::max(a.x, b.x) + half, std::max(a.y, b.y) + half);
    addSamples(mask_, box,
               [&](f32 x, f32 y) { return distanceToSegment2(a, b, x, y) <= half * half; });
    return *this;
}

Sketch& Sketch::polyline(std::initializer_list<Point> points, f32 width)
{
    return polyline(std::vector<Point>(points), width);
}

Sketch& Sketch::polyline(const std::vector<Point>& points, f32 width)
{
    for (std::size_t i = 1; i < points.size(); ++i) line(points[i - 1], points[i], width);
    return *this;
}

Sketch& Sketch::polygon(std::initializer_list<Point> corners)
{
    return polygon(std::vector<Point>(corners));
}

Sketch& Sketch::polygon(const std::vector<Point>& corners)
{
    if (corners.size() < 3) return *this;
    std::vector<Point> placed;
    f32 left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    for (const Point& corner : corners) {
        const Point p = place(corner);
        placed.push_back(p);
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    addSamples(mask_, boxAround(mask_, left, top, right, bottom),
               [&](f32 x, f32 y) { return windingAround(placed, x, y) != 0; });
    return *this;
}

Sketch& Sketch::ellipse(Point centre, f32 radiusX, f32 radiusY)
{
    const Point c = place(centre);
    const f32 rx = radiusX * frame_.scale, ry = radiusY * frame_.scale;
    addSamples(mask_, boxAround(mask_, c.x - rx, c.y - ry, c.x + rx, c.y + ry), [&](f32 x, f32 y) {
        const f32 u = (x - c.x) / rx, v = (y - c.y) / ry;
        return u * u + v * v <= 1.0f;
    });
    return *this;
}

// How far (x, y) lies from the outline of an ellipse, in pixels: exact for a circle and
// close enough for the gentle ellipses drawn here (the offset along the gradient).
static f32 distanceToEllipse(Point c, f32 rx, f32 ry, f32 x, f32 y)
{
    const f32 u = (x - c.x) / rx, v = (y - c.y) / ry;
    const f32 value = std::sqrt(u * u + v * v);
    const f32 gradient = std::sqrt(u * u / (rx * rx) + v * v / (ry * ry));
    if (gradient <= 0.0f) return std::min(rx, ry);
    return std::fabs(value - 1.0f) * value / gradient;
}

Sketch& Sketch::ring(Point centre, f32 radiusX, f32 radiusY, f32 width)
{
    const Point c = place(centre);
    const f32 rx = radiusX * frame_.scale, ry = radiusY * frame_.scale;
    const f32 half = 0.5f * width * frame_.scale;
    addSamples(mask_,
               boxAround(mask_, c.x - rx - half, c.y - ry - half, c.x + rx + half, c.y + ry + half),
               [&](f32 x, f32 y) { return distanceToEllipse(c, rx, ry, x, y) <= half; });
    return *this;
}

Sketch& Sketch::arc(Point centre, f32 radius, f32 fromDegrees, f32 toDegrees, f32 width)
{
    const Point c = place(centre);
    const f32 r = radius * frame_.scale, half = 0.5f * width * frame_.scale;
    const f32 from = fromDegrees * kPi / 180.0f;
    const f32 sweep = (toDegrees - fromDegrees) * kPi / 180.0f;
    addSamples(mask_,
               boxAround(mask_, c.x - r - half, c.y - r - half, c.x + r + half, c.y + r + half),
               [&](f32 x, f32 y) {
                   const f32 dx = x - c.x, dy = c.y - y; // dy grows upwards
                   const f32 distance = std::sqrt(dx * dx + dy * dy);
                   if (std::fabs(distance - r) > half) return false;
                   f32 angle = std::atan2(dy, dx) - from;
                   while (angle < 0.0f) angle += 2.0f * kPi;
                   while (angle >= 2.0f * kPi) angle -= 2.0f * kPi;
                   return angle <= sweep;
               });
    return *this;
}

Sketch& Sketch::rect(f32 left, f32 top, f32 right, f32 bottom)
{
    return polygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
}

Sketch& Sketch::roundRect(f32 left, f32 top, f32 right, f32 bottom, f32 radius)
{
    const Point a = place({left, top}), b = place({right, bottom});
    const f32 r = radius * frame_.scale;
    addSamples(mask_, boxAround(mask_, a.x, a.y, b.x, b.y), [&](f32 x, f32 y) {
        if (x < a.x || x > b.x || y < a.y || y > b.y) return false;
        // Distance past the inner rectangle that the corners are rounded about.
        const f32 dx = std::max({a.x + r - x, x - (b.x - r), 0.0f});
        const f32 dy = std::max({a.y + r - y, y - (b.y - r), 0.0f});
        return dx * dx + dy * dy <= r * r;
    });
    return *this;
}

Sketch& Sketch::arrowHead(Point tip, f32 degrees, f32 length, f32 width)
{
    const f32 angle = degrees * kPi / 180.0f;
    const f32 ux = std::cos(angle), uy = -std::sin(angle); // along the arrow, y down
    const Point back{tip.x - ux * length, tip.y - uy * length};
    const f32 half = 0.5f * width;
    return polygon(
        {tip, {back.x - uy * half, back.y + ux * half}, {back.x + uy * half, back.y - ux * half}});
}

Sketch& Sketch::text(Point at, const char* text, i32 pixelSize)
{
    const Point start = place(at);
    // Text is placed on whole pixels so that its strokes stay one pixel sharp.
    const i32 left = clampTrunc(std::round(start.x), -mask_.width, mask_.width);
    const i32 top = clampTrunc(std::round(start.y), -mask_.height, mask_.height);
    for (i32 index = 0; text[index]; ++index) {
        for (i32 row = 0; row < kGlyphHeight * pixelSize; ++row)
            for (i32 column = 0; column < kGlyphWidth * pixelSize; ++column)
                if (glyphPixel(text[index], column / pixelSize, row / pixelSize))
                    addPixel(mask_, left + index * kGlyphAdvance * pixelSize + column, top + row);
    }
    return *this;
}

Sketch& Sketch::cut(const Sketch& other)
{
    cutMask(mask_, other.mask_);
    return *this;
}

// ---- Painting masks -----------------------------------------------------------------------

void paintMask(Canvas& canvas, const Mask& mask, Rgb color, f32 opacity)
{
    for (i32 y = 0; y < std::min(canvas.height, mask.height); ++y)
        for (i32 x = 0; x < std::min(canvas.width, mask.width); ++x) {
            const f32 amount = coverageAt(mask, x, y) * opacity;
            if (amount > 0.0f) canvas.at(x, y) = mixColor(canvas.at(x, y), color, amount);
        }
}

void paintGradient(Canvas& canvas, const Mask& mask, Rgb top, Rgb bottom, f32 y0, f32 y1)
{
    for (i32 y = 0; y < std::min(canvas.height, mask.height); ++y) {
        const f32 along = std::clamp((static_cast<f32>(y) + 0.5f - y0) / (y1 - y0), 0.0f, 1.0f);
        const Rgb color = mixColor(top, bottom, along);
        for (i32 x = 0; x < std::min(canvas.width, mask.width); ++x) {
            const f32 amount = coverageAt(mask, x, y);
            if (amount > 0.0f) canvas.at(x, y) = mixColor(canvas.at(x, y), color, amount);
        }
    }
}

void paintGlow(Canvas& canvas, const Mask& mask, Rgb color, i32 radius, f32 opacity)
{
    const f32 side = static_cast<f32>(2 * radius + 1);
    for (i32 y = 0; y < std::min(canvas.height, mask.height); ++y)
        for (i32 x = 0; x < std::min(canvas.width, mask.width); ++x) {
            f32 sum = 0.0f;
            for (i32 dy = -radius; dy <= radius; ++dy)
                for (i32 dx = -radius; dx <= radius; ++dx) sum += coverageAt(mask, x + dx, y + dy);
            const f32 amount = sum / (side * side) * opacity;
            if (amount > 0.0f) canvas.at(x, y) = mixColor(canvas.at(x, y), color, amount);
        }
}

void paintEmbossed(Canvas& canvas, const Mask& mask, Rgb color, Rgb edge)
{
    for (i32 y = canvas.height - 1; y >= 1; --y)
        for (i32 x = 0; x < std::min(canvas.width, mask.width); ++x) {
            const f32 amount = coverageAt(mask, x, y - 1) * (1.0f - coverageAt(mask, x, y));
            if (amount > 0.0f) canvas.at(x, y) = mixColor(canvas.at(x, y), edge, amount);
        }
    paintMask(canvas, mask, color);
}
