// tools/art/canvas.h - the drawing surface of the art generator: a true-colour picture,
// coverage masks that shapes are added to, and the ways a mask is painted.
//
// Shapes are sampled 4 x 4 times a pixel into a mask (one bit a sample), so shapes
// added to one mask join without dark seams where their soft edges overlap, and a
// mask can be painted plain, as a gradient or as a glow. Coordinates are pixels with
// (0, 0) the top-left corner of the top-left pixel: pixel (x, y) spans [x, x + 1) and
// [y, y + 1), so a 1-pixel line along a row is drawn at y + 0.5.
#pragma once

#include "base/types.h"

#include <initializer_list>
#include <vector>

struct Rgb {
    u8 r, g, b;
    bool operator==(const Rgb&) const = default;
};

// A colour from its 0xRRGGBB writing.
constexpr Rgb hexColor(u32 hex)
{
    return Rgb{static_cast<u8>(hex >> 16), static_cast<u8>(hex >> 8), static_cast<u8>(hex)};
}

// The colour `amount` (0..1) of the way from `from` to `to`.
Rgb mixColor(Rgb from, Rgb to, f32 amount);

struct Canvas {
    i32 width = 0;
    i32 height = 0;
    std::vector<Rgb> pixels; // top row first
    Rgb& at(i32 x, i32 y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    const Rgb& at(i32 x, i32 y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Canvas makeCanvas(i32 width, i32 height, Rgb fill);

// ---- Whole pixels -------------------------------------------------------------------------

// Fills the pixels x0 <= x < x1, y0 <= y < y1, clipped to the canvas.
void fillRect(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb color);
// Blends `color` over those pixels with the given opacity (0..1).
void tintRect(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb color, f32 opacity);
// Fills them with a top-to-bottom gradient from `top` (row y0) to `bottom` (row y1 - 1).
void fillGradient(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb top, Rgb bottom);
// A one-pixel frame: `light` on the top and left edges, `dark` on the bottom and right,
// as a raised edge (swap them for a sunken one).
void bevelFrame(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb light, Rgb dark);
// Copies `picture` with its top-left corner at (x, y), clipped.
void pasteCanvas(Canvas& canvas, const Canvas& picture, i32 x, i32 y);
// `picture` enlarged `factor` times, each pixel a factor x factor square.
Canvas enlargeCanvas(const Canvas& picture, i32 factor);
// `picture` shrunk to width x height, each pixel the area average of what it covers.
Canvas shrinkCanvas(const Canvas& picture, i32 width, i32 height);

// ---- Masks --------------------------------------------------------------------------------

struct Point {
    f32 x, y;
};

struct Mask {
    i32 width = 0;
    i32 height = 0;
    std::vector<u16> samples; // one bit per sample, 16 a pixel, top row first
};

Mask makeMask(i32 width, i32 height);

// The fraction (0..1) of pixel (x, y) that the mask covers; 0 outside the mask.
f32 coverageAt(const Mask& mask, i32 x, i32 y);
// Removes from `mask` every sample that `holes` covers.
void cutMask(Mask& mask, const Mask& holes);
// Marks every sample of a whole pixel (bitmap text and other pixel-exact shapes).
void addPixel(Mask& mask, i32 x, i32 y);

// Where design units land on a canvas: pixel = origin + scale * design.
struct Frame {
    f32 left = 0.0f;
    f32 top = 0.0f;
    f32 scale = 1.0f;
};

// Shapes added to a mask, in design units through a frame. Every call returns the
// sketch, so a figure reads as one chain of its parts.
class Sketch {
public:
    Sketch(i32 width, i32 height, Frame frame = {});

    // A straight stroke with round ends.
    Sketch& line(Point from, Point to, f32 width);
    // Strokes joining the points in order (round joins, since each end is round).
    Sketch& polyline(std::initializer_list<Point> points, f32 width);
    Sketch& polyline(const std::vector<Point>& points, f32 width);
    // A filled polygon (nonzero winding), corners in order.
    Sketch& polygon(std::initializer_list<Point> corners);
    Sketch& polygon(const std::vector<Point>& corners);
    Sketch& ellipse(Point centre, f32 radiusX, f32 radiusY);
    Sketch& circle(Point centre, f32 radius) { return ellipse(centre, radius, radius); }
    // The outline of an ellipse, `width` thick, centred on its edge.
    Sketch& ring(Point centre, f32 radiusX, f32 radiusY, f32 width);
    // Part of a circle's outline from one angle to the other, counter-clockwise on the
    // screen (y grows down, so 90 degrees is straight up), with square ends.
    Sketch& arc(Point centre, f32 radius, f32 fromDegrees, f32 toDegrees, f32 width);
    Sketch& rect(f32 left, f32 top, f32 right, f32 bottom);
    Sketch& roundRect(f32 left, f32 top, f32 right, f32 bottom, f32 radius);
    // A filled arrowhead whose tip is at `tip`, pointing along `degrees` (0 right,
    // 90 up), `length` long and `width` across its back.
    Sketch& arrowHead(Point tip, f32 degrees, f32 length, f32 width);
    // Bitmap text (see font.h), whole pixels at the frame's position of `at`,
    // each font pixel `pixelSize` pixels square.
    Sketch& text(Point at, const char* text, i32 pixelSize = 1);
    // Removes whatever `other` covers.
    Sketch& cut(const Sketch& other);

    const Mask& mask() const { return mask_; }
    const Frame& frame() const { return frame_; }
    // Where a design point lands on the canvas.
    Point place(Point design) const;

private:
    Mask mask_;
    Frame frame_;
};

// ---- Painting masks -----------------------------------------------------------------------

// Blends `color` over every pixel in proportion to its coverage times `opacity`.
void paintMask(Canvas& canvas, const Mask& mask, Rgb color, f32 opacity = 1.0f);
// The same with a top-to-bottom gradient from `top` at row y0 to `bottom` at row y1.
void paintGradient(Canvas& canvas, const Mask& mask, Rgb top, Rgb bottom, f32 y0, f32 y1);
// A soft halo: the coverage blurred over `radius` pixels, painted at `opacity`.
void paintGlow(Canvas& canvas, const Mask& mask, Rgb color, i32 radius, f32 opacity);
// The mask painted one pixel lower in `edge` and then in place in `color`: a light
// edge under dark letters reads as cut into a lit surface, a dark one under light
// letters as raised from it.
void paintEmbossed(Canvas& canvas, const Mask& mask, Rgb color, Rgb edge);
