// The symbols. Each function draws its figure in the 27 x 13 unit box; the comments
// say what a person should read in it.
#include "tools/art/symbols.h"

#include <cmath>

namespace {

constexpr f32 kPi = 3.14159265358979f;

// Stroke widths in units: a fine line, the usual outline, and a heavy part.
constexpr f32 kFine = 1.0f;
constexpr f32 kLine = 1.25f;
constexpr f32 kHeavy = 1.8f;

// The symbols' own colours, used on the keys.
constexpr Rgb kLensRed = hexColor(0xE2302A);
constexpr Rgb kLensCyan = hexColor(0x17BEE0);
constexpr Rgb kBeamYellow = hexColor(0xFFCF33);
constexpr Rgb kLampGlass = hexColor(0xFFF2B0);
constexpr Rgb kWaterBlue = hexColor(0x4F8DCC);
constexpr Rgb kBallLight = hexColor(0xF4F6F8);
constexpr Rgb kBallDark = hexColor(0x8A939D);
constexpr Rgb kShine = hexColor(0xFFFFFF);

// What every symbol function gets: the canvas, where the box is, and the inks.
struct Pen {
    Canvas& canvas;
    Frame frame;
    const SymbolInks& inks;

    Sketch sketch() const { return Sketch(canvas.width, canvas.height, frame); }
    // Paints the sketch in `color`, with the display's halo first when it has one.
    void paint(const Sketch& sketch, Rgb color, f32 opacity = 1.0f) const
    {
        if (inks.glowRadius > 0)
            paintGlow(canvas, sketch.mask(), inks.glow, inks.glowRadius,
                      inks.glowOpacity * opacity);
        paintMask(canvas, sketch.mask(), color, opacity);
    }
    // `own` on a key, the plain ink on the display.
    Rgb colorOr(Rgb own) const { return inks.ownColors ? own : inks.ink; }
};

// The point at `radius` from `centre` in the direction `degrees` (0 right, 90 up).
Point polar(Point centre, f32 radius, f32 degrees)
{
    const f32 angle = degrees * kPi / 180.0f;
    return Point{centre.x + radius * std::cos(angle), centre.y - radius * std::sin(angle)};
}

} // namespace

// Anaglyph glasses seen from the front: a red lens on the left, a cyan one on the right,
// the colours the stereo picture is split into.
static void drawGlasses(const Pen& pen)
{
    Sketch frames = pen.sketch();
    frames.roundRect(1.5f, 2.5f, 12.0f, 11.0f, 2.5f).roundRect(15.0f, 2.5f, 25.5f, 11.0f, 2.5f);
    frames.polyline({{11.5f, 5.5f}, {13.5f, 4.3f}, {15.5f, 5.5f}}, kLine);
    frames.line({2.0f, 4.0f}, {0.5f, 2.5f}, kFine).line({25.0f, 4.0f}, {26.5f, 2.5f}, kFine);
    pen.paint(frames, pen.inks.ink);
    Sketch left = pen.sketch(), right = pen.sketch();
    left.roundRect(2.7f, 3.7f, 10.8f, 9.8f, 1.4f);
    right.roundRect(16.2f, 3.7f, 24.3f, 9.8f, 1.4f);
    // In one colour the lenses are told apart by tone: left full, right the second tone.
    pen.paint(left, pen.colorOr(kLensRed));
    pen.paint(right, pen.inks.ownColors ? kLensCyan : pen.inks.soft);
    Sketch glint = pen.sketch();
    glint.line({4.0f, 5.0f}, {5.5f, 5.0f}, kFine).line({17.5f, 5.0f}, {19.0f, 5.0f}, kFine);
    pen.paint(glint, kShine, 0.7f);
}

// A ball lit from the upper left, and the long shadow it throws to the right.
static void drawShadow(const Pen& pen)
{
    const Point centre{8.5f, 5.7f};
    constexpr f32 kRadius = 4.9f;
    Sketch shadow = pen.sketch();
    shadow.ellipse({16.5f, 11.0f}, 9.8f, 1.9f);
    pen.paint(shadow, pen.inks.ink, 0.8f);
    Sketch ball = pen.sketch();
    ball.circle(centre, kRadius);
    if (!pen.inks.ownColors) {
        pen.paint(ball, pen.inks.ink);
        return;
    }
    const Point top = ball.place({centre.x, centre.y - kRadius});
    const Point bottom = ball.place({centre.x, centre.y + kRadius});
    paintGradient(pen.canvas, ball.mask(), kBallLight, kBallDark, top.y, bottom.y);
    Sketch outline = pen.sketch();
    outline.ring(centre, kRadius, kRadius, kLine);
    pen.paint(outline, pen.inks.ink);
    Sketch shine = pen.sketch();
    shine.circle({centre.x - 1.6f, centre.y - 1.6f}, 1.1f);
    pen.paint(shine, kShine);
}

// A spot lamp on the left throwing a widening beam to the right.
static void drawLamp(const Pen& pen)
{
    Sketch beam = pen.sketch();
    beam.polygon({{9.5f, 4.0f}, {26.5f, 0.5f}, {26.5f, 12.5f}, {9.5f, 9.0f}});
    pen.paint(beam, pen.colorOr(kBeamYellow), pen.inks.ownColors ? 0.9f : 0.45f);
    Sketch body = pen.sketch();
    body.polygon({{4.0f, 4.5f}, {9.0f, 2.0f}, {9.0f, 11.0f}, {4.0f, 8.5f}});
    body.rect(1.0f, 5.0f, 4.5f, 8.0f);
    pen.paint(body, pen.inks.ink);
    Sketch glass = pen.sketch();
    glass.rect(8.6f, 2.6f, 10.0f, 10.4f);
    pen.paint(glass, pen.colorOr(kLampGlass));
}

// Two peaks above a water line and their broken reflection below it.
static void drawReflection(const Pen& pen)
{
    Sketch peaks = pen.sketch();
    peaks.polygon({{3.0f, 6.5f}, {10.0f, 0.5f}, {17.0f, 6.5f}});
    peaks.polygon({{12.5f, 6.5f}, {18.0f, 2.0f}, {23.5f, 6.5f}});
    peaks.line({0.5f, 7.0f}, {26.5f, 7.0f}, kFine);
    pen.paint(peaks, pen.inks.ink);
    Sketch mirrored = pen.sketch();
    mirrored.polygon({{3.0f, 7.5f}, {10.0f, 13.0f}, {17.0f, 7.5f}});
    mirrored.polygon({{12.5f, 7.5f}, {18.0f, 11.6f}, {23.5f, 7.5f}});
    Sketch ripples = pen.sketch();
    ripples.rect(0.0f, 9.3f, 27.0f, 9.9f).rect(0.0f, 11.3f, 27.0f, 11.9f);
    mirrored.cut(ripples);
    pen.paint(mirrored, pen.colorOr(kWaterBlue));
}

// A tilted horizon between two turning arrows: the view rolls about its own axis.
static void drawRoll(const Pen& pen)
{
    const Point centre{13.5f, 6.5f};
    constexpr f32 kRadius = 5.8f;
    Sketch turn = pen.sketch();
    turn.arc(centre, kRadius, 40.0f, 140.0f, kLine).arc(centre, kRadius, 220.0f, 320.0f, kLine);
    turn.arrowHead(polar(centre, kRadius, 158.0f), 250.0f, 3.4f, 4.2f);
    turn.arrowHead(polar(centre, kRadius, 338.0f), 70.0f, 3.4f, 4.2f);
    turn.line(polar(centre, 10.5f, 195.0f), polar(centre, 10.5f, 15.0f), kLine);
    pen.paint(turn, pen.inks.ink);
}

// A magnifier with a plus in its glass.
static void drawZoom(const Pen& pen)
{
    const Point lens{12.0f, 5.5f};
    Sketch magnifier = pen.sketch();
    magnifier.ring(lens, 4.3f, 4.3f, kLine);
    magnifier.line({15.3f, 8.8f}, {18.8f, 12.3f}, 2.2f);
    magnifier.line({10.0f, 5.5f}, {14.0f, 5.5f}, kFine).line({12.0f, 3.5f}, {12.0f, 7.5f}, kFine);
    pen.paint(magnifier, pen.inks.ink);
}

// An eye between arrowheads pointing left and right: turning the view on the spot.
static void drawLookAround(const Pen& pen)
{
    std::vector<Point> upper, lower;
    for (i32 step = 0; step <= 16; ++step) {
        const f32 t = static_cast<f32>(step) / 16.0f;
        const f32 x = 6.5f + 14.0f * t;
        const f32 bulge = 4.2f * std::sin(kPi * t);
        upper.push_back({x, 6.5f - bulge});
        lower.push_back({x, 6.5f + bulge});
    }
    Sketch eye = pen.sketch();
    eye.polyline(upper, kLine).polyline(lower, kLine);
    eye.circle({13.5f, 6.5f}, 2.6f);
    eye.arrowHead({0.5f, 6.5f}, 180.0f, 3.5f, 6.0f).arrowHead({26.5f, 6.5f}, 0.0f, 3.5f, 6.0f);
    Sketch pupilLight = pen.sketch();
    pupilLight.circle({12.8f, 5.8f}, 0.7f);
    eye.cut(pupilLight);
    pen.paint(eye, pen.inks.ink);
}

// Arrows to the four sides from a small square: the camera slides without turning.
static void drawSlide(const Pen& pen)
{
    const Point centre{13.5f, 6.5f};
    Sketch arrows = pen.sketch();
    arrows.line({6.0f, 6.5f}, {21.0f, 6.5f}, kLine).line({13.5f, 3.0f}, {13.5f, 10.0f}, kLine);
    arrows.arrowHead({4.0f, 6.5f}, 180.0f, 3.2f, 5.0f).arrowHead({23.0f, 6.5f}, 0.0f, 3.2f, 5.0f);
    arrows.arrowHead({13.5f, 0.2f}, 90.0f, 3.0f, 5.0f)
        .arrowHead({13.5f, 12.8f}, 270.0f, 3.0f, 5.0f);
    arrows.rect(centre.x - 1.8f, centre.y - 1.8f, centre.x + 1.8f, centre.y + 1.8f);
    pen.paint(arrows, pen.inks.ink);
}

// An arrow flying into a target: the camera goes to the point clicked.
static void drawSeek(const Pen& pen)
{
    const Point target{18.5f, 6.5f};
    Sketch sight = pen.sketch();
    sight.ring(target, 5.0f, 5.0f, kLine);
    sight.circle(target, 1.3f);
    sight.line({18.5f, 0.0f}, {18.5f, 2.5f}, kFine).line({18.5f, 10.5f}, {18.5f, 13.0f}, kFine);
    sight.line({22.5f, 6.5f}, {25.5f, 6.5f}, kFine);
    sight.line({1.0f, 6.5f}, {13.0f, 6.5f}, kLine);
    sight.arrowHead({16.0f, 6.5f}, 0.0f, 3.6f, 4.8f);
    sight.polyline({{1.0f, 4.0f}, {3.0f, 6.5f}, {1.0f, 9.0f}}, kFine);
    pen.paint(sight, pen.inks.ink);
}

// A figure in mid-stride, heading right.
static void drawWalk(const Pen& pen)
{
    Sketch figure = pen.sketch();
    figure.circle({15.4f, 1.9f}, 1.9f);
    figure.line({14.8f, 4.5f}, {13.5f, 8.3f}, kHeavy + 0.3f); // the body a little heavier
    figure.polyline({{13.5f, 8.3f}, {15.7f, 10.3f}, {16.6f, 12.5f}}, kHeavy);
    figure.polyline({{13.5f, 8.3f}, {12.3f, 10.5f}, {10.0f, 12.3f}}, kHeavy);
    figure.polyline({{14.6f, 4.9f}, {16.4f, 6.6f}, {18.0f, 7.2f}}, 1.4f);
    figure.polyline({{14.6f, 4.9f}, {12.6f, 6.4f}, {11.5f, 8.2f}}, 1.4f);
    pen.paint(figure, pen.inks.ink);
}

// An aeroplane seen from above, nose to the right.
static void drawFly(const Pen& pen)
{
    Sketch plane = pen.sketch();
    plane.line({3.5f, 6.5f}, {23.5f, 6.5f}, 2.2f);
    plane.polygon({{16.5f, 5.6f},
                   {10.5f, 0.3f},
                   {8.0f, 0.3f},
                   {10.8f, 6.5f},
                   {8.0f, 12.7f},
                   {10.5f, 12.7f},
                   {16.5f, 7.4f}});
    plane.polygon({{6.2f, 6.0f},
                   {3.2f, 2.6f},
                   {1.6f, 2.6f},
                   {3.2f, 6.5f},
                   {1.6f, 10.4f},
                   {3.2f, 10.4f},
                   {6.2f, 7.0f}});
    pen.paint(plane, pen.inks.ink);
    Sketch trail = pen.sketch();
    trail.line({19.5f, 2.5f}, {25.5f, 2.5f}, kFine).line({19.5f, 10.5f}, {25.5f, 10.5f}, kFine);
    pen.paint(trail, pen.inks.soft);
}

// The points of a path round `centre`, an ellipse tilted by `tiltDegrees` (its right
// end up), from parameter `fromDegrees` to `toDegrees`; parameters 0 to 180 are the
// near half, below the centre.
static std::vector<Point> tiltedEllipse(Point centre, f32 radiusX, f32 radiusY, f32 tiltDegrees,
                                        f32 fromDegrees, f32 toDegrees)
{
    const f32 tilt = tiltDegrees * kPi / 180.0f;
    std::vector<Point> points;
    constexpr i32 kSteps = 48;
    for (i32 step = 0; step <= kSteps; ++step) {
        const f32 t = (fromDegrees + (toDegrees - fromDegrees) * static_cast<f32>(step) / kSteps) *
                      kPi / 180.0f;
        const f32 x = radiusX * std::cos(t), y = radiusY * std::sin(t);
        points.push_back({centre.x + x * std::cos(tilt) + y * std::sin(tilt),
                          centre.y - x * std::sin(tilt) + y * std::cos(tilt)});
    }
    return points;
}

// A ball with a tilted path round it, the near half passing in front of it and an
// arrow on that half: the camera circles the world.
static void drawOrbit(const Pen& pen)
{
    const Point centre{13.5f, 6.5f};
    constexpr f32 kRadiusX = 12.0f, kRadiusY = 3.9f, kTilt = 14.0f, kBall = 3.9f;
    Sketch back = pen.sketch(), front = pen.sketch(), clearance = pen.sketch();
    back.polyline(tiltedEllipse(centre, kRadiusX, kRadiusY, kTilt, 180.0f, 360.0f), kLine);
    front.polyline(tiltedEllipse(centre, kRadiusX, kRadiusY, kTilt, 0.0f, 180.0f), kLine);
    clearance.circle(centre, kBall + 1.2f);
    back.cut(clearance);
    pen.paint(back, pen.inks.ink);
    // The near half cuts a gap through the ball so that it reads as passing in front.
    Sketch ball = pen.sketch(), gap = pen.sketch();
    ball.circle(centre, kBall);
    gap.polyline(tiltedEllipse(centre, kRadiusX, kRadiusY, kTilt, 40.0f, 140.0f), kLine + 1.8f);
    ball.cut(gap);
    pen.paint(ball, pen.inks.ink);
    // The arrow on the near half, right of the ball, heading the way that half turns.
    constexpr f32 kAt = 58.0f;
    const std::vector<Point> along =
        tiltedEllipse(centre, kRadiusX, kRadiusY, kTilt, kAt + 6.0f, kAt);
    const Point tip = along.back(), before = along.front();
    const f32 heading = std::atan2(before.y - tip.y, tip.x - before.x) * 180.0f / kPi;
    front.arrowHead(polar(tip, 1.0f, heading), heading, 3.6f, 4.6f);
    pen.paint(front, pen.inks.ink);
}

// A house with a door and a chimney.
static void drawHome(const Pen& pen)
{
    Sketch house = pen.sketch();
    house.polygon({{5.0f, 7.0f}, {13.5f, 0.5f}, {22.0f, 7.0f}});
    house.rect(17.0f, 1.0f, 19.0f, 5.0f);
    house.rect(7.5f, 6.0f, 19.5f, 12.5f);
    Sketch door = pen.sketch();
    door.rect(12.0f, 8.5f, 15.0f, 12.5f);
    house.cut(door);
    pen.paint(house, pen.inks.ink);
}

// Coarse pixels of a slope, and "2X": the picture drawn at half the resolution and
// shown twice as large.
static void drawDisplayScale(const Pen& pen)
{
    // Cells of a 4 x 4 grid, 3 units each: 1 ink, 2 the second tone, 0 empty.
    constexpr i32 kCells[4][4] = {{0, 0, 2, 1}, {0, 2, 1, 1}, {2, 1, 1, 1}, {1, 1, 1, 1}};
    Sketch dark = pen.sketch(), light = pen.sketch();
    for (i32 row = 0; row < 4; ++row)
        for (i32 column = 0; column < 4; ++column) {
            const f32 left = 1.0f + 3.0f * static_cast<f32>(column);
            const f32 top = 0.5f + 3.0f * static_cast<f32>(row);
            if (kCells[row][column] == 1) dark.rect(left, top, left + 3.0f, top + 3.0f);
            if (kCells[row][column] == 2) light.rect(left, top, left + 3.0f, top + 3.0f);
        }
    pen.paint(light, pen.inks.soft);
    pen.paint(dark, pen.inks.ink);
    Sketch label = pen.sketch();
    label.text({15.0f, 3.0f}, "2X");
    pen.paint(label, pen.inks.ink);
}

void drawSymbol(Canvas& canvas, Symbol symbol, Frame frame, const SymbolInks& inks)
{
    const Pen pen{canvas, frame, inks};
    switch (symbol) {
    case Symbol::Glasses: drawGlasses(pen); break;
    case Symbol::Shadow: drawShadow(pen); break;
    case Symbol::Lamp: drawLamp(pen); break;
    case Symbol::Reflection: drawReflection(pen); break;
    case Symbol::Roll: drawRoll(pen); break;
    case Symbol::Zoom: drawZoom(pen); break;
    case Symbol::LookAround: drawLookAround(pen); break;
    case Symbol::Slide: drawSlide(pen); break;
    case Symbol::Seek: drawSeek(pen); break;
    case Symbol::Walk: drawWalk(pen); break;
    case Symbol::Fly: drawFly(pen); break;
    case Symbol::Orbit: drawOrbit(pen); break;
    case Symbol::Home: drawHome(pen); break;
    case Symbol::DisplayScale: drawDisplayScale(pen); break;
    case Symbol::Blank: break;
    }
}
