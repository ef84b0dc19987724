// The side panels the stereo key opens: on the left how the two eyes see (with the
// eye-gap strips and the 3-D lamp plate laid over it), on the right how to wear the
// glasses.
//
// The Dashboard stretches a panel's background to the height of the plug-in area but
// lays the strip at row 200 and the lamp plate at row 290 at their own sizes, so those
// rows of the background are left plain: whatever the stretch, the parts lie on panel.
#include "tools/art/colors.h"
#include "tools/art/font.h"
#include "tools/art/pictures.h"
#include "tools/art/symbols.h"

#include <cmath>

namespace {

// The screen window near the top of each panel.
constexpr i32 kScreenLeft = 10;
constexpr i32 kScreenTop = 34;
constexpr i32 kScreenRight = 130;
constexpr i32 kScreenBottom = 166;
constexpr i32 kTitleTop = 10;

// The right panel's screen is neutral, so that the red and cyan read true.
constexpr Rgb kNeutralCentre = hexColor(0x20242A);
constexpr Rgb kNeutralEdge = hexColor(0x08090B);
constexpr Rgb kAnaglyphRed = hexColor(0xFF3B30);
constexpr Rgb kAnaglyphCyan = hexColor(0x26D4F2);

// The eye-gap meter on a strip.
constexpr i32 kMeterSegments = 7;
constexpr i32 kSegmentWidth = 12;
constexpr i32 kSegmentGap = 2;
constexpr Rgb kSegmentOff = hexColor(0x3A2A12);

} // namespace

// Graphite, with a raised edge and a screw in each corner.
static Canvas drawPanelPlate(i32 width, i32 height)
{
    Canvas panel = makeCanvas(width, height, kPanelBottom);
    fillGradient(panel, 0, 0, width, height, kPanelTop, kPanelBottom);
    bevelFrame(panel, 0, 0, width, height, kPanelHighlight, kPanelShade);
    for (const Point& at :
         {Point{6.5f, 6.5f}, Point{static_cast<f32>(width) - 6.5f, 6.5f},
          Point{6.5f, static_cast<f32>(height) - 6.5f},
          Point{static_cast<f32>(width) - 6.5f, static_cast<f32>(height) - 6.5f}}) {
        Sketch head(width, height), slot(width, height);
        head.circle(at, 2.5f);
        slot.line({at.x - 1.6f, at.y + 1.6f}, {at.x + 1.6f, at.y - 1.6f}, 0.9f);
        paintEmbossed(panel, head.mask(), kPanelHighlight, kPanelShade);
        paintMask(panel, slot.mask(), kPanelShade);
    }
    return panel;
}

static void drawTitle(Canvas& panel, const char* title)
{
    Sketch text(panel.width, panel.height);
    text.text({static_cast<f32>((panel.width - textWidth(title, 2)) / 2), kTitleTop}, title, 2);
    paintEmbossed(panel, text.mask(), kCaption, kCaptionShadow);
}

static void drawCaption(Canvas& panel, f32 centreX, f32 top, const char* caption, Rgb color)
{
    Sketch text(panel.width, panel.height);
    text.text({std::round(centreX - 0.5f * static_cast<f32>(textWidth(caption))), top}, caption);
    paintEmbossed(panel, text.mask(), color, kCaptionShadow);
}

// A recess with a screen in it.
static void drawScreenWindow(Canvas& panel, Rgb centre, Rgb edge)
{
    bevelFrame(panel, kScreenLeft - 2, kScreenTop - 2, kScreenRight + 2, kScreenBottom + 2,
               kPanelShade, kWellLip);
    fillRect(panel, kScreenLeft - 1, kScreenTop - 1, kScreenRight + 1, kScreenBottom + 1, kWell);
    drawScreenGlass(panel, kScreenLeft, kScreenTop, kScreenRight, kScreenBottom, centre, edge);
}

// Paints a sketch the way the mode display does: a glow, then the line itself.
static void paintGlowing(Canvas& panel, const Sketch& sketch, Rgb color, Rgb glow)
{
    paintGlow(panel, sketch.mask(), glow, 2, 0.45f);
    paintMask(panel, sketch.mask(), color);
}

// An eye seen from above as the diagram draws it: a lid line and the pupil.
static void addEye(Sketch& sketch, Point centre)
{
    sketch.arc({centre.x, centre.y + 5.0f}, 8.0f, 40.0f, 140.0f, 1.3f);
    sketch.circle({centre.x, centre.y + 0.5f}, 2.6f);
}

Canvas drawLeftPanel()
{
    Canvas panel = drawPanelPlate(kSidePanelWidth, kSidePanelHeight);
    drawTitle(panel, "STEREO");
    drawScreenWindow(panel, kScreenCentre, kScreenEdge);
    // Two eyes a gap apart, each sighting the same point: the picture for each eye is
    // drawn from its own place, and the gap sets how deep the world looks.
    const Point object{70.0f, 62.0f}, leftEye{50.0f, 134.0f}, rightEye{90.0f, 134.0f};
    Sketch sight(panel.width, panel.height), figure(panel.width, panel.height);
    sight.line(leftEye, object, 1.0f).line(rightEye, object, 1.0f);
    paintGlowing(panel, sight, kScreenSoft, kScreenGlow);
    drawCube(panel, object.x - 11.0f, object.y - 20.0f, 22.0f);
    addEye(figure, leftEye);
    addEye(figure, rightEye);
    figure.line({leftEye.x, 150.0f}, {rightEye.x, 150.0f}, 1.0f);
    figure.arrowHead({leftEye.x, 150.0f}, 180.0f, 4.0f, 5.0f);
    figure.arrowHead({rightEye.x, 150.0f}, 0.0f, 4.0f, 5.0f);
    figure.line({leftEye.x, 142.0f}, {leftEye.x, 154.0f}, 1.0f);
    figure.line({rightEye.x, 142.0f}, {rightEye.x, 154.0f}, 1.0f);
    paintGlowing(panel, figure, kScreenInk, kScreenGlow);
    Sketch gap(panel.width, panel.height);
    gap.text({61.0f, 154.0f}, "GAP");
    paintGlowing(panel, gap, kScreenInk, kScreenGlow);
    drawCaption(panel, 70.0f, 176.0f, "TWO EYES ONE WORLD", mixColor(kCaption, kPanelBottom, 0.3f));
    return panel;
}

// A wire cube drawn twice, a few pixels apart, in red and in cyan: what a stereo
// picture looks like without the glasses.
static void drawAnaglyphCube(Canvas& panel, Point centre, f32 half, f32 offset, Rgb color)
{
    const f32 depth = 0.45f * half; // the back face, up and to the right
    const f32 x = centre.x + offset;
    const Point front[4] = {{x - half, centre.y - half},
                            {x + half, centre.y - half},
                            {x + half, centre.y + half},
                            {x - half, centre.y + half}};
    Sketch wire(panel.width, panel.height);
    for (i32 i = 0; i < 4; ++i) {
        const Point a = front[i], b = front[(i + 1) % 4];
        const Point backA{a.x + depth, a.y - depth}, backB{b.x + depth, b.y - depth};
        wire.line(a, b, 1.3f).line(backA, backB, 1.3f).line(a, backA, 1.3f);
    }
    paintMask(panel, wire.mask(), color);
}

Canvas drawRightPanel()
{
    Canvas panel = drawPanelPlate(kSidePanelWidth, kSidePanelHeight);
    drawTitle(panel, "ANAGLYPH");
    drawScreenWindow(panel, kNeutralCentre, kNeutralEdge);
    const Point centre{66.0f, 104.0f};
    drawAnaglyphCube(panel, centre, 26.0f, -4.0f, kAnaglyphRed);
    drawAnaglyphCube(panel, centre, 26.0f, 4.0f, kAnaglyphCyan);
    // The glasses, four times the key's size, each lens named under it.
    constexpr f32 kGlassesScale = 4.0f;
    const f32 left = std::round(0.5f * (kSidePanelWidth - kGlassesScale * kSymbolWidth));
    const SymbolInks inks{kInk, kInkSoft, true, 0, 0.0f, kInk};
    Sketch backing(panel.width, panel.height);
    backing.roundRect(left - 4.0f, 176.0f, left + kGlassesScale * kSymbolWidth + 4.0f, 236.0f,
                      6.0f);
    paintMask(panel, backing.mask(), kKeyBottom);
    drawSymbol(panel, Symbol::Glasses, Frame{left, 178.0f, kGlassesScale}, inks);
    drawCaption(panel, left + kGlassesScale * 6.75f, 244.0f, "LEFT", kCaption);
    drawCaption(panel, left + kGlassesScale * 20.25f, 244.0f, "RIGHT", kCaption);
    return panel;
}

Canvas drawStrip(i32 level)
{
    Canvas strip = makeCanvas(kStripWidth, kStripHeight, kPlate);
    bevelFrame(strip, 0, 0, kStripWidth, kStripHeight, kWellLip, kPanelShade);
    Sketch caption(kStripWidth, kStripHeight);
    caption.text({8.0f, 5.0f}, "EYE GAP");
    paintEmbossed(strip, caption.mask(), kCaption, kCaptionShadow);
    Sketch lit(kStripWidth, kStripHeight), dark(kStripWidth, kStripHeight);
    for (i32 segment = 0; segment < kMeterSegments; ++segment) {
        const f32 left = 8.0f + static_cast<f32>(segment * (kSegmentWidth + kSegmentGap));
        (segment < level ? lit : dark).rect(left, 16.0f, left + kSegmentWidth, 27.0f);
    }
    paintMask(strip, dark.mask(), kSegmentOff);
    paintGlowing(strip, lit, kLampAmber, kScreenGlow);
    const char digit[2] = {static_cast<char>('0' + level), '\0'};
    Sketch value(kStripWidth, kStripHeight);
    value.text({114.0f, 13.0f}, digit, 2);
    paintGlowing(strip, value, kScreenInk, kScreenGlow);
    return strip;
}
