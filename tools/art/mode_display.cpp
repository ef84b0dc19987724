// The mode display's pictures: a dark amber screen with the mode's symbol and name.
#include "tools/art/colors.h"
#include "tools/art/font.h"
#include "tools/art/pictures.h"
#include "tools/art/symbols.h"

#include <algorithm>
#include <cmath>

namespace {

// The symbol at three times its key size, on whole pixels so that its strokes keep
// the keys' proportions and stay sharp-edged under the glow.
constexpr i32 kSymbolScale = 3;
constexpr i32 kSymbolTop = 3;
constexpr i32 kNameTop = 47;
constexpr f32 kScanlineShade = 0.10f; // every other row a little darker, as on a tube

} // namespace

void drawScreenGlass(Canvas& canvas, i32 x0, i32 y0, i32 x1, i32 y1, Rgb centre, Rgb edge)
{
    const f32 halfWidth = 0.5f * static_cast<f32>(x1 - x0);
    const f32 halfHeight = 0.5f * static_cast<f32>(y1 - y0);
    for (i32 y = y0; y < y1; ++y)
        for (i32 x = x0; x < x1; ++x) {
            const f32 u = (static_cast<f32>(x - x0) + 0.5f - halfWidth) / halfWidth;
            const f32 v = (static_cast<f32>(y - y0) + 0.5f - halfHeight) / halfHeight;
            const f32 distance = std::min(1.0f, 0.5f * (u * u + v * v));
            Rgb color = mixColor(centre, edge, distance);
            if ((y - y0) % 2 == 1) color = mixColor(color, edge, kScanlineShade);
            canvas.at(x, y) = color;
        }
    bevelFrame(canvas, x0, y0, x1, y1, edge, edge);
}

static void drawName(Canvas& screen, const char* name)
{
    Sketch text(screen.width, screen.height);
    const i32 left = (screen.width - textWidth(name)) / 2;
    text.text({static_cast<f32>(left), static_cast<f32>(kNameTop)}, name);
    paintGlow(screen, text.mask(), kScreenGlow, 1, 0.55f);
    paintMask(screen, text.mask(), kScreenInk);
}

Canvas drawModePicture(const ModeArt& mode)
{
    Canvas screen = makeCanvas(kModeWidth, kModeHeight, kScreenEdge);
    drawScreenGlass(screen, 0, 0, kModeWidth, kModeHeight, kScreenCentre, kScreenEdge);
    const i32 symbolWidth = static_cast<i32>(kSymbolWidth) * kSymbolScale;
    const Frame frame{static_cast<f32>((kModeWidth - symbolWidth) / 2),
                      static_cast<f32>(kSymbolTop), static_cast<f32>(kSymbolScale)};
    const SymbolInks inks{kScreenInk, kScreenSoft, false, 2, 0.45f, kScreenGlow};
    drawSymbol(screen, mode.symbol, frame, inks);
    drawName(screen, mode.name);
    return screen;
}
