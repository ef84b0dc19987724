// tools/art/layout.h - what the generator draws: every bitmap's number (or name) and
// size, where each button sits on the Dashboard, which symbol it carries and what
// kind of key it is. The places are the Dashboard's own design units: pixels of a
// panel 796 wide and 90 high, onto which the 800 x 94 background is stretched.
#pragma once

#include "base/types.h"

// The pictures a key or the mode display can carry.
enum class Symbol {
    Glasses,      // anaglyph stereo: red and cyan lenses
    Shadow,       // a ball and the shadow it casts
    Lamp,         // a spot lamp and its beam
    Reflection,   // peaks mirrored in water
    Roll,         // a turning arrow round a tilted horizon
    Zoom,         // a magnifier
    LookAround,   // an eye between two arrowheads
    Slide,        // arrows to the four sides
    Seek,         // an arrow into a target
    Walk,         // a walking figure
    Fly,          // an aeroplane
    Orbit,        // a path round a ball
    Home,         // a house
    DisplayScale, // coarse pixels and "2X"
    Blank,        // a spare key: no symbol
};

// What a key does decides the colour of its lamp: the navigation modes light amber,
// like the mode display they drive; switches and actions light green.
enum class KeyKind { Switch, Mode, Action, Spare };

struct ButtonArt {
    i32 button;   // 1..20, the Dashboard's numbering
    u16 normalId; // bitmap numbers
    u16 pressedId;
    i32 x, y;  // top-left corner on the panel, design units
    i32 width; // the bitmap's size
    i32 height;
    i32 faceHeight; // rows of key face; rows below it show the key well, so the keys of
                    // one row line up although some of their bitmaps are a row taller
    KeyKind kind;
    Symbol symbol;
    i32 spareNumber; // 1..6 on a spare key (its pips), else 0
};

constexpr ButtonArt kButtons[] = {
    {1, 166, 146, 5, 41, 35, 21, 21, KeyKind::Switch, Symbol::Glasses, 0},
    {2, 164, 144, 43, 41, 35, 21, 21, KeyKind::Switch, Symbol::Shadow, 0},
    {3, 155, 135, 81, 41, 36, 21, 21, KeyKind::Switch, Symbol::Lamp, 0},
    {4, 161, 141, 5, 64, 36, 22, 22, KeyKind::Switch, Symbol::Reflection, 0},
    {5, 163, 143, 43, 64, 36, 22, 22, KeyKind::Mode, Symbol::Roll, 0},
    {6, 169, 149, 80, 64, 38, 22, 22, KeyKind::Mode, Symbol::Zoom, 0},
    {7, 156, 136, 161, 20, 43, 21, 21, KeyKind::Mode, Symbol::LookAround, 0},
    {8, 159, 139, 161, 43, 43, 21, 21, KeyKind::Mode, Symbol::Slide, 0},
    {9, 160, 140, 161, 65, 43, 21, 21, KeyKind::Mode, Symbol::Seek, 0},
    {10, 168, 148, 418, 20, 44, 22, 22, KeyKind::Mode, Symbol::Walk, 0},
    {11, 153, 133, 418, 43, 44, 22, 22, KeyKind::Mode, Symbol::Fly, 0},
    {12, 152, 132, 418, 65, 44, 22, 22, KeyKind::Mode, Symbol::Orbit, 0},
    {13, 162, 142, 652, 41, 35, 21, 21, KeyKind::Action, Symbol::Home, 0},
    {14, 167, 147, 687, 41, 35, 22, 21, KeyKind::Spare, Symbol::Blank, 1},
    {15, 151, 131, 722, 41, 34, 21, 21, KeyKind::Spare, Symbol::Blank, 2},
    {16, 150, 130, 756, 41, 35, 22, 21, KeyKind::Spare, Symbol::Blank, 3},
    {17, 165, 145, 652, 64, 35, 23, 22, KeyKind::Switch, Symbol::DisplayScale, 0},
    {18, 157, 137, 687, 64, 35, 22, 22, KeyKind::Spare, Symbol::Blank, 4},
    {19, 158, 138, 722, 64, 34, 22, 22, KeyKind::Spare, Symbol::Blank, 5},
    {20, 154, 134, 756, 64, 35, 22, 22, KeyKind::Spare, Symbol::Blank, 6},
};

// The mode display: where the mode pictures are drawn, and their size. All eight are
// drawn the full 59 rows the display takes, so none is stretched to fit it.
constexpr i32 kModeDisplayX = 263;
constexpr i32 kModeDisplayY = 17;
constexpr i32 kModeWidth = 98;
constexpr i32 kModeHeight = 59;

struct ModeArt {
    i32 mode; // navigation mode 0..7
    u16 imageId;
    const char* name;
    Symbol symbol;
};

constexpr ModeArt kModes[] = {
    {0, 190, "ROLL", Symbol::Roll},
    {1, 189, "ZOOM", Symbol::Zoom},
    {2, 182, "LOOK AROUND", Symbol::LookAround},
    {3, 187, "FLY", Symbol::Fly},
    {4, 180, "WALK", Symbol::Walk},
    {5, 183, "SLIDE", Symbol::Slide},
    {6, 181, "ORBIT", Symbol::Orbit},
    {7, 188, "SEEK", Symbol::Seek},
};

// The label plates: the Dashboard's parts by name, for whoever places them.
struct LabelArt {
    u16 id;
    const char* text;
};

constexpr i32 kLabelWidth = 81;
constexpr i32 kLabelHeight = 16;
constexpr LabelArt kLabels[] = {
    {173, "OPTIONS"}, {174, "NAVIGATION"}, {175, "MODE"},
    {176, "CAMERA"},  {178, "TARNE"},      {186, "SPARE KEYS"},
};

// The background, by name.
constexpr const char* kBackgroundName = "DASHSCR";
constexpr i32 kBackgroundWidth = 800;
constexpr i32 kBackgroundHeight = 94;
// The design panel the background is stretched onto.
constexpr i32 kPanelWidth = 796;
constexpr i32 kPanelHeight = 90;

// The side panels: the stereo panel on the left with its level strips and its lamp
// plate, and the anaglyph panel on the right.
constexpr u16 kLeftPanelId = 204;
constexpr u16 kRightPanelId = 206;
constexpr i32 kSidePanelWidth = 140;
constexpr i32 kSidePanelHeight = 316;
constexpr u16 kStereoLampOnId = 201;  // drawn at (50, 290) of the left panel
constexpr u16 kStereoLampOffId = 200; // the same plate, unlit
constexpr i32 kLampPlateWidth = 42;
constexpr i32 kLampPlateHeight = 21;
constexpr i32 kLampPlateX = 50;
constexpr i32 kLampPlateY = 290;
// The eye-gap strips, levels 1 to 7 in this order; the first is drawn at (0, 200).
constexpr u16 kStripIds[] = {184, 210, 211, 212, 213, 214, 215};
constexpr i32 kStripWidth = 140;
constexpr i32 kStripHeight = 34;
constexpr i32 kStripY = 200;
