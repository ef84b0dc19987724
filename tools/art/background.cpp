// The Dashboard's background, "DASHSCR".
//
// The Dashboard stretches the 800 x 94 background onto its whole client area but
// places the buttons in units of a 796 x 90 panel, so a button at design (x, y) lands
// on background pixel (x * 800 / 796, y * 94 / 90). Every recess and the bezel are
// drawn at those mapped places, a little larger than the keys, so that the small
// rounding of the stretch never uncovers a key's edge.
#include "tools/art/colors.h"
#include "tools/art/font.h"
#include "tools/art/pictures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr f32 kToBackgroundX = static_cast<f32>(kBackgroundWidth) / kPanelWidth;
constexpr f32 kToBackgroundY = static_cast<f32>(kBackgroundHeight) / kPanelHeight;
constexpr f32 kRecessMargin = 2.5f; // background pixels of well round a group of keys
constexpr f32 kBezelWidth = 6.0f;   // the metal ring round the mode display

// A rectangle in background pixels.
struct Area {
    f32 left, top, right, bottom;
};

// The groups of keys that share a recess, by button number (first and last).
struct KeyGroup {
    i32 first, last;
};
constexpr KeyGroup kKeyGroups[] = {{1, 6}, {7, 9}, {10, 12}, {13, 20}};

} // namespace

static Area toBackground(f32 left, f32 top, f32 right, f32 bottom)
{
    return Area{left * kToBackgroundX, top * kToBackgroundY, right * kToBackgroundX,
                bottom * kToBackgroundY};
}

static Area grow(Area area, f32 by)
{
    return Area{area.left - by, area.top - by, area.right + by, area.bottom + by};
}

// The union of the group's button places, on the background.
static Area groupArea(const KeyGroup& group)
{
    f32 left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    for (const ButtonArt& button : kButtons) {
        if (button.button < group.first || button.button > group.last) continue;
        left = std::min(left, static_cast<f32>(button.x));
        top = std::min(top, static_cast<f32>(button.y));
        right = std::max(right, static_cast<f32>(button.x + button.width));
        bottom = std::max(bottom, static_cast<f32>(button.y + button.faceHeight));
    }
    return toBackground(left, top, right, bottom);
}

static Sketch roundedArea(const Area& area, f32 radius)
{
    Sketch shape(kBackgroundWidth, kBackgroundHeight);
    shape.roundRect(area.left, area.top, area.right, area.bottom, radius);
    return shape;
}

// Graphite, lighter at the top, with a lit top edge and a dark bottom edge.
static void drawPanel(Canvas& panel)
{
    fillGradient(panel, 0, 0, panel.width, panel.height, kPanelTop, kPanelBottom);
    fillRect(panel, 0, 0, panel.width, 1, kPanelHighlight);
    tintRect(panel, 0, 1, panel.width, 2, kPanelHighlight, 0.4f);
    fillRect(panel, 0, panel.height - 1, panel.width, panel.height, kPanelShade);
}

// A recess: the panel's shade above and to the left, its lit lip below and to the
// right, the dark well inside.
static void drawRecess(Canvas& panel, const Area& area, f32 radius)
{
    paintMask(
        panel,
        roundedArea(Area{area.left, area.top, area.right + 1, area.bottom + 1}, radius).mask(),
        kWellLip);
    paintMask(
        panel,
        roundedArea(Area{area.left - 1, area.top - 1, area.right, area.bottom}, radius).mask(),
        kPanelShade);
    paintMask(panel, roundedArea(area, radius).mask(), kWell);
}

// The mode display's place on the background, and the metal ring round it.
static Area screenArea()
{
    return toBackground(kModeDisplayX, kModeDisplayY, kModeDisplayX + kModeWidth,
                        kModeDisplayY + kModeHeight);
}

static Area bezelArea()
{
    return grow(screenArea(), kBezelWidth);
}

// The mode display's bezel: a raised metal ring with the screen sunk inside it.
static void drawBezel(Canvas& panel)
{
    const Area ring = bezelArea();
    paintMask(panel, roundedArea(grow(ring, 1.0f), 5.0f).mask(), kPanelShade);
    paintGradient(panel, roundedArea(ring, 4.0f).mask(), kPanelHighlight, kPanelBottom, ring.top,
                  ring.bottom);
    drawRecess(panel, grow(screenArea(), 1.0f), 2.0f);
    paintMask(panel, roundedArea(screenArea(), 1.0f).mask(), kScreenEdge);
}

// Grooves from each mode key of the two columns to the display they drive.
static void drawGrooves(Canvas& panel)
{
    constexpr f32 kGap = 4.0f; // clear space at each end of a groove
    Sketch grooves(kBackgroundWidth, kBackgroundHeight), lips(kBackgroundWidth, kBackgroundHeight);
    const Area ring = bezelArea();
    for (const ButtonArt& button : kButtons) {
        if (button.button < 7 || button.button > 12) continue;
        const f32 y =
            std::round((static_cast<f32>(button.y) + 0.5f * static_cast<f32>(button.faceHeight)) *
                       kToBackgroundY) +
            0.5f;
        const bool leftColumn = button.x < kModeDisplayX;
        const f32 from = leftColumn
                             ? static_cast<f32>(button.x + button.width) * kToBackgroundX + kGap
                             : ring.right + kGap;
        const f32 to =
            leftColumn ? ring.left - kGap : static_cast<f32>(button.x) * kToBackgroundX - kGap;
        grooves.line({from, y}, {to, y}, 1.0f);
        lips.line({from, y + 1.0f}, {to, y + 1.0f}, 1.0f);
    }
    paintMask(panel, lips.mask(), kWellLip, 0.6f);
    paintMask(panel, grooves.mask(), kPanelShade);
}

// The name plate in the open space between the navigation keys and the camera keys.
static void drawNamePlate(Canvas& panel)
{
    constexpr const char* kName = "TARNE";
    constexpr const char* kSubtitle = "VRML VIEWER";
    constexpr f32 kCubeSize = 30.0f;
    const Area space = toBackground(462, 0, 652, kPanelHeight);
    const f32 nameWidth = static_cast<f32>(textWidth(kName, 2));
    const f32 blockWidth = kCubeSize + 8.0f + nameWidth;
    const f32 left = std::floor(0.5f * (space.left + space.right - blockWidth));
    const f32 top = 30.0f;
    drawCube(panel, left, top - 1.0f, kCubeSize);
    Sketch name(kBackgroundWidth, kBackgroundHeight), subtitle(kBackgroundWidth, kBackgroundHeight);
    name.text({left + kCubeSize + 8.0f, top + 1.0f}, kName, 2);
    subtitle.text(
        {left + kCubeSize + 8.0f + 0.5f * (nameWidth - static_cast<f32>(textWidth(kSubtitle))),
         top + 20.0f},
        kSubtitle);
    paintEmbossed(panel, name.mask(), kCaption, kCaptionShadow);
    paintEmbossed(panel, subtitle.mask(), mixColor(kCaption, kPanelBottom, 0.35f), kCaptionShadow);
}

Canvas drawBackground()
{
    Canvas panel = makeCanvas(kBackgroundWidth, kBackgroundHeight, kPanelBottom);
    drawPanel(panel);
    for (const KeyGroup& group : kKeyGroups)
        drawRecess(panel, grow(groupArea(group), kRecessMargin), 3.0f);
    drawGrooves(panel);
    drawBezel(panel);
    drawNamePlate(panel);
    return panel;
}
