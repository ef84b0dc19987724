// Keys, label plates and the stereo lamp plate.
#include "tools/art/colors.h"
#include "tools/art/font.h"
#include "tools/art/pictures.h"
#include "tools/art/symbols.h"

#include <algorithm>

namespace {

// A key's parts, in pixels from its top-left corner. The outermost ring of the bitmap
// is the well, so keys that touch on the panel still show a gap between them.
constexpr i32 kWellRing = 1;
constexpr i32 kSymbolTop = 2;      // first row of the symbol box
constexpr i32 kLampFromBottom = 5; // the lamp's top row, counted up from the face's end
constexpr i32 kLampRows = 2;
constexpr i32 kPressDepth = 1; // how far a held key's symbol moves down and right

} // namespace

// Softens the face's four corner pixels into the well.
static void roundCorners(Canvas& key, i32 x0, i32 y0, i32 x1, i32 y1)
{
    for (const auto& [x, y] : {std::pair{x0, y0}, {x1 - 1, y0}, {x0, y1 - 1}, {x1 - 1, y1 - 1}})
        key.at(x, y) = mixColor(key.at(x, y), kWell, 0.65f);
}

static void drawFace(Canvas& key, i32 faceHeight, bool pressed)
{
    const i32 x0 = kWellRing, y0 = kWellRing;
    const i32 x1 = key.width - kWellRing, y1 = faceHeight - kWellRing;
    if (!pressed) {
        fillGradient(key, x0, y0, x1, y1, kKeyTop, kKeyBottom);
        bevelFrame(key, x0, y0, x1, y1, kKeyLight, kKeyEdge);
        // A second, softer row of shade at the bottom gives the key its thickness.
        tintRect(key, x0 + 1, y1 - 2, x1 - 1, y1 - 1, kKeyEdge, 0.35f);
    } else {
        fillGradient(key, x0, y0, x1, y1, kKeyPressedTop, kKeyPressedBottom);
        // Sunk: the shade falls on the top and left edges, two rows deep.
        bevelFrame(key, x0, y0, x1, y1, kKeyPressedShade, kKeyPressedBottom);
        tintRect(key, x0 + 1, y0 + 1, x1 - 1, y0 + 2, kKeyPressedShade, 0.45f);
        tintRect(key, x0 + 1, y0 + 2, x0 + 2, y1 - 1, kKeyPressedShade, 0.45f);
    }
    roundCorners(key, x0, y0, x1, y1);
}

// The lamp: a short bar centred under the symbol, dark until the key is held or on.
static void drawLamp(Canvas& key, i32 faceHeight, KeyKind kind, bool lit)
{
    const f32 length = std::max(9.0f, static_cast<f32>(key.width) / 3.0f);
    const f32 left =
        (static_cast<f32>(key.width) - length) / 2.0f + static_cast<f32>(lit ? kPressDepth : 0);
    const f32 top = static_cast<f32>(faceHeight - kLampFromBottom);
    Sketch bar(key.width, key.height);
    bar.roundRect(left, top, left + length, top + kLampRows, 1.0f);
    if (!lit) {
        paintMask(key, bar.mask(), kLampOff);
        return;
    }
    const bool amber = kind == KeyKind::Mode;
    paintGlow(key, bar.mask(), amber ? kLampAmber : kLampGreen, 2, 0.9f);
    paintMask(key, bar.mask(), amber ? kLampAmber : kLampGreen);
    Sketch core(key.width, key.height);
    core.line({left + 2.0f, top + 0.5f}, {left + length - 2.0f, top + 0.5f}, 1.0f);
    paintMask(key, core.mask(), amber ? kLampAmberCore : kLampGreenCore);
}

// A spare key's only mark: as many faint dimples in its top-left corner as its
// number, so that no two spares are the same picture while all read as blank keys.
static void drawPips(Canvas& key, i32 count, i32 left, i32 top)
{
    Mask pips = makeMask(key.width, key.height);
    for (i32 pip = 0; pip < count; ++pip) addPixel(pips, left + pip * 2, top);
    paintEmbossed(key, pips, mixColor(kKeyTop, kInk, 0.22f), kKeyLight);
}

Canvas drawKey(const ButtonArt& button, bool pressed)
{
    Canvas key = makeCanvas(button.width, button.height, kWell);
    drawFace(key, button.faceHeight, pressed);
    const i32 shift = pressed ? kPressDepth : 0;
    const i32 boxLeft =
        kWellRing + 1 + (button.width - 2 * kWellRing - 2 - static_cast<i32>(kSymbolWidth)) / 2;
    const Frame frame{static_cast<f32>(boxLeft + shift), static_cast<f32>(kSymbolTop + shift),
                      1.0f};
    const SymbolInks inks{kInk, kInkSoft, true, 0, 0.0f, kInk};
    drawSymbol(key, button.symbol, frame, inks);
    if (button.spareNumber > 0)
        drawPips(key, button.spareNumber, kWellRing + 3 + shift, kWellRing + 2 + shift);
    drawLamp(key, button.faceHeight, button.kind, pressed);
    return key;
}

Canvas drawLabel(const LabelArt& label)
{
    Canvas plate = makeCanvas(kLabelWidth, kLabelHeight, kPlate);
    bevelFrame(plate, 0, 0, kLabelWidth, kLabelHeight, kPanelShade, kWellLip);
    const i32 left = (kLabelWidth - textWidth(label.text)) / 2;
    const i32 top = (kLabelHeight - kGlyphHeight) / 2;
    Sketch text(kLabelWidth, kLabelHeight);
    text.text({static_cast<f32>(left), static_cast<f32>(top)}, label.text);
    paintEmbossed(plate, text.mask(), kCaption, kCaptionShadow);
    return plate;
}

Canvas drawLampPlate(bool lit)
{
    Canvas plate = makeCanvas(kLampPlateWidth, kLampPlateHeight, kPlate);
    bevelFrame(plate, 0, 0, kLampPlateWidth, kLampPlateHeight, kWellLip, kPanelShade);
    Sketch lamp(kLampPlateWidth, kLampPlateHeight);
    lamp.circle({9.0f, 10.5f}, 3.5f);
    if (lit) {
        paintGlow(plate, lamp.mask(), kLampGreen, 3, 0.8f);
        paintMask(plate, lamp.mask(), kLampGreen);
        Sketch core(kLampPlateWidth, kLampPlateHeight);
        core.circle({8.3f, 9.8f}, 1.4f);
        paintMask(plate, core.mask(), kLampGreenCore);
    } else {
        paintMask(plate, lamp.mask(), kLampOff);
    }
    Sketch text(kLampPlateWidth, kLampPlateHeight);
    text.text({18.0f, 7.0f}, "3D");
    paintEmbossed(plate, text.mask(), lit ? kCaption : kInkSoft, kCaptionShadow);
    return plate;
}
