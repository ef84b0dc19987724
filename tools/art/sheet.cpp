// The contact sheet, laid out row by row.
#include "tools/art/sheet.h"

#include "tools/art/font.h"

#include <algorithm>
#include <string>

namespace {

constexpr i32 kSheetWidth = 1640;
constexpr i32 kMargin = 16;
constexpr i32 kGap = 10;
constexpr i32 kCaptionHeight = 11;
constexpr Rgb kSheetPaper = hexColor(0xD4D7DB);
constexpr Rgb kSheetText = hexColor(0x202428);

// Fills the sheet row by row, wrapping when a picture would pass the right margin.
struct Layout {
    Canvas sheet;
    i32 x = kMargin;
    i32 y = kMargin;
    i32 rowHeight = 0;
};

} // namespace

static const Canvas& bitmapOf(const std::vector<SeenBitmap>& bitmaps, u16 id, const char* name = "")
{
    for (const SeenBitmap& bitmap : bitmaps)
        if (name[0] ? bitmap.name == name : bitmap.id == id && bitmap.name.empty())
            return bitmap.picture;
    static const Canvas kNothing = makeCanvas(1, 1, Rgb{255, 0, 255});
    return kNothing;
}

static void caption(Canvas& sheet, i32 x, i32 y, const std::string& text)
{
    Sketch letters(sheet.width, sheet.height);
    letters.text({static_cast<f32>(x), static_cast<f32>(y)}, text.c_str());
    paintMask(sheet, letters.mask(), kSheetText);
}

static void newRow(Layout& layout, i32 extra = 0)
{
    layout.x = kMargin;
    layout.y += layout.rowHeight + kGap + extra;
    layout.rowHeight = 0;
}

// Places a picture with its caption above it.
static void place(Layout& layout, const Canvas& picture, const std::string& text)
{
    const i32 width = std::max(picture.width, textWidth(text.c_str()));
    if (layout.x + width > kSheetWidth - kMargin) newRow(layout);
    caption(layout.sheet, layout.x, layout.y, text);
    pasteCanvas(layout.sheet, picture, layout.x, layout.y + kCaptionHeight);
    layout.x += width + kGap;
    layout.rowHeight = std::max(layout.rowHeight, picture.height + kCaptionHeight);
}

// The Dashboard as its paint puts it together at 796 x 90: the background stretched
// with averaging, the buttons at their places, one mode picture in the display.
static Canvas assembleDashboard(const std::vector<SeenBitmap>& bitmaps,
                                const std::vector<i32>& pressedButtons, u16 modeImage)
{
    Canvas panel = shrinkCanvas(bitmapOf(bitmaps, 0, kBackgroundName), kPanelWidth, kPanelHeight);
    for (const ButtonArt& button : kButtons) {
        const bool pressed = std::find(pressedButtons.begin(), pressedButtons.end(),
                                       button.button) != pressedButtons.end();
        const Canvas& key = bitmapOf(bitmaps, pressed ? button.pressedId : button.normalId);
        pasteCanvas(panel, key, button.x, button.y);
    }
    pasteCanvas(panel, bitmapOf(bitmaps, modeImage), kModeDisplayX, kModeDisplayY);
    return panel;
}

// The left panel as its paint shows it at its own height: background, first strip, lamp.
static Canvas assembleLeftPanel(const std::vector<SeenBitmap>& bitmaps)
{
    Canvas panel = bitmapOf(bitmaps, kLeftPanelId);
    pasteCanvas(panel, bitmapOf(bitmaps, kStripIds[0]), 0, kStripY);
    pasteCanvas(panel, bitmapOf(bitmaps, kStereoLampOnId), kLampPlateX, kLampPlateY);
    return panel;
}

static Canvas iconOnPaper(const IconPicture& icon)
{
    Canvas picture = makeCanvas(icon.picture.width, icon.picture.height, kSheetPaper);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] =
            mixColor(kSheetPaper, icon.picture.pixels[i], static_cast<f32>(icon.alpha[i]) / 255.0f);
    return picture;
}

Canvas drawContactSheet(const std::vector<SeenBitmap>& bitmaps,
                        const std::vector<IconPicture>& icons)
{
    Layout layout{makeCanvas(kSheetWidth, 2600, kSheetPaper)};
    const Canvas atRest = assembleDashboard(bitmaps, {10}, 180);
    const Canvas inUse = assembleDashboard(bitmaps, {1, 3, 4, 9, 14, 17}, 188);
    place(layout, atRest, "DASHBOARD AT REST 1:1 - WALK");
    newRow(layout);
    place(layout, inUse, "IN USE 1:1 - STEREO LAMP REFLECTION SEEK SCALE SPARE 1");
    newRow(layout);
    place(layout, enlargeCanvas(atRest, 2), "DASHBOARD AT REST 2:1");
    newRow(layout);
    place(layout, enlargeCanvas(inUse, 2), "IN USE 2:1");
    newRow(layout, kGap);
    for (const ButtonArt& button : kButtons) {
        const std::string number = std::to_string(button.button);
        place(layout, enlargeCanvas(bitmapOf(bitmaps, button.normalId), 2),
              number + ": " + std::to_string(button.normalId));
        place(layout, enlargeCanvas(bitmapOf(bitmaps, button.pressedId), 2),
              std::to_string(button.pressedId));
    }
    newRow(layout);
    for (const ButtonArt& button : kButtons) {
        place(layout, bitmapOf(bitmaps, button.normalId), std::to_string(button.normalId));
        place(layout, bitmapOf(bitmaps, button.pressedId), std::to_string(button.pressedId));
    }
    newRow(layout, kGap);
    for (const ModeArt& mode : kModes)
        place(layout, enlargeCanvas(bitmapOf(bitmaps, mode.imageId), 2),
              std::to_string(mode.mode) + ": " + std::to_string(mode.imageId));
    newRow(layout);
    for (const ModeArt& mode : kModes)
        place(layout, bitmapOf(bitmaps, mode.imageId), std::to_string(mode.imageId));
    for (const LabelArt& label : kLabels)
        place(layout, bitmapOf(bitmaps, label.id), std::to_string(label.id));
    newRow(layout);
    for (const LabelArt& label : kLabels)
        place(layout, enlargeCanvas(bitmapOf(bitmaps, label.id), 2), std::to_string(label.id));
    newRow(layout, kGap);
    place(layout, assembleLeftPanel(bitmaps), "LEFT PANEL AS PAINTED");
    place(layout, bitmapOf(bitmaps, kLeftPanelId), std::to_string(kLeftPanelId));
    place(layout, bitmapOf(bitmaps, kRightPanelId), std::to_string(kRightPanelId));
    place(layout, enlargeCanvas(bitmapOf(bitmaps, kRightPanelId), 2), "206 2:1");
    for (const u16 strip : kStripIds)
        place(layout, bitmapOf(bitmaps, strip), std::to_string(strip));
    place(layout, bitmapOf(bitmaps, kStereoLampOnId), std::to_string(kStereoLampOnId));
    place(layout, bitmapOf(bitmaps, kStereoLampOffId), std::to_string(kStereoLampOffId));
    place(layout, enlargeCanvas(bitmapOf(bitmaps, kStereoLampOnId), 2), "201 2:1");
    place(layout, enlargeCanvas(bitmapOf(bitmaps, kStereoLampOffId), 2), "200 2:1");
    newRow(layout, kGap);
    for (const IconPicture& icon : icons)
        place(layout, iconOnPaper(icon), "ICON " + std::to_string(icon.picture.width));
    newRow(layout);
    // Cut the sheet to what was used.
    Canvas used = makeCanvas(kSheetWidth, layout.y + kMargin, kSheetPaper);
    pasteCanvas(used, layout.sheet, 0, 0);
    return used;
}
