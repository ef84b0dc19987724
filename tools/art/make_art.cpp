// make_art: draws the plug-in's bitmaps and the program's icon.
//
//   make_art FOLDER
//     FOLDER/bitmaps.cpp                        the resource table (resources/bitmaps.h)
//     FOLDER/bmp/*.bmp, FOLDER/bitmaps.rc       the same bitmaps and the dialog templates
//                                               for a Windows build
//     FOLDER/icons/hicolor/NxN/apps/tarne.png   the desktop icon at the usual sizes
//     FOLDER/sheet.png                          every bitmap at 1:1 and 2:1, to look at
//
// Every bitmap is an 8-bit DIB and all of them share one palette.
#include "tools/art/output.h"
#include "tools/art/sheet.h"

#include <cstdio>

namespace {

constexpr i32 kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A picture drawn and waiting for the palette.
struct Drawn {
    u16 id;
    std::string name;
    Canvas picture;
};

} // namespace

static std::vector<Drawn> drawEverything()
{
    std::vector<Drawn> drawn;
    drawn.push_back({0, kBackgroundName, drawBackground()});
    for (const ButtonArt& button : kButtons) {
        drawn.push_back({button.normalId, "", drawKey(button, false)});
        drawn.push_back({button.pressedId, "", drawKey(button, true)});
    }
    for (const ModeArt& mode : kModes) drawn.push_back({mode.imageId, "", drawModePicture(mode)});
    for (const LabelArt& label : kLabels) drawn.push_back({label.id, "", drawLabel(label)});
    drawn.push_back({kLeftPanelId, "", drawLeftPanel()});
    drawn.push_back({kRightPanelId, "", drawRightPanel()});
    drawn.push_back({kStereoLampOnId, "", drawLampPlate(true)});
    drawn.push_back({kStereoLampOffId, "", drawLampPlate(false)});
    i32 level = 1;
    for (const u16 strip : kStripIds) drawn.push_back({strip, "", drawStrip(level++)});
    return drawn;
}

static bool writeIcons(const std::string& folder, std::vector<IconPicture>* shown)
{
    for (const i32 size : kIconSizes) {
        const std::string side = std::to_string(size);
        const std::string iconFolder = folder + "/icons/hicolor/" + side + "x" + side + "/apps";
        const IconPicture icon = drawIcon(size);
        if (!makeFolders(iconFolder) ||
            !writePng(iconFolder + "/tarne.png", icon.picture, &icon.alpha))
            return false;
        if (size == 16 || size == 48 || size == 256) shown->push_back(icon);
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<Drawn> drawn = drawEverything();
    std::vector<const Canvas*> pictures;
    for (const Drawn& picture : drawn) pictures.push_back(&picture.picture);
    const Palette palette = fitPalette(pictures);

    std::vector<BitmapResource> resources;
    std::vector<SeenBitmap> seen;
    for (const Drawn& picture : drawn) {
        const IndexedPicture indexed = mapToPalette(picture.picture, palette);
        resources.push_back({picture.id, picture.name, encodeDib(indexed, palette)});
        seen.push_back({picture.id, picture.name, expandPicture(indexed, palette)});
    }
    std::vector<IconPicture> icons;
    if (!makeFolders(folder + "/bmp") || !writeBitmapSource(folder + "/bitmaps.cpp", resources) ||
        !writeBitmapFiles(folder + "/bmp", folder + "/bitmaps.rc", resources) ||
        !writeIcons(folder, &icons) ||
        !writePng(folder + "/sheet.png", drawContactSheet(seen, icons), nullptr)) {
        std::fprintf(stderr, "make_art: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
