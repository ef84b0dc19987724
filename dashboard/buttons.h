// dashboard/buttons.h - the Dashboard's twenty buttons and its mode display, as fixed
// tables: where each button is hit and drawn, which bitmaps it shows, what it does.
//
// Coordinates are design units: pixels of a panel 796 wide and 90 high. The paint
// scales them by the panel's real size; a click is turned back into design units by
// the same factors before it is tested, so a button is hit where it is drawn at any
// width.
// Entry points: the tables, buttonContains, buttonForMode.
#pragma once

#include "base/types.h"

constexpr i32 kButtonCount = 20;

// What a button does when pressed, and how it is shown when released.
enum class ButtonRole : u8 {
    Stereo,        // switch: red/cyan anaglyph
    Shadow,        // switch: shadows
    Lamp,          // switch: the user's lamp at the eye
    Reflection,    // switch: the reflection image on every surface
    Mode,          // selects its navigation mode
    Home,          // puts the camera back where the world put it
    DisplayScale,  // switch: render at half size, stretched back
    LatchingSpare, // no action; shows pressed after release until the next paint
    Spare,         // no action; springs back on release
};

struct ButtonRecord {
    i16 hitLeft, hitRight; // inclusive design columns
    i16 hitTop, hitBottom; // inclusive design rows
    i16 x, y;              // top-left corner of the button's place
    i16 width, height;     // the place's size: the bitmap's own, used by press and release
    i16 paintHeight;       // rows the paint gives it (the reflection key is painted a row short)
    u16 normalImage;       // bitmap numbers
    u16 pressedImage;
    ButtonRole role;
    i16 mode; // navigation mode a mode button selects; -1 for the others
};

// Buttons 1 to 20 in order: the order in which presses and releases test them.
constexpr ButtonRecord kButtons[kButtonCount] = {
    {5, 40, 41, 62, 5, 41, 35, 21, 21, 166, 146, ButtonRole::Stereo, -1},
    {43, 78, 41, 62, 43, 41, 35, 21, 21, 164, 144, ButtonRole::Shadow, -1},
    {81, 117, 41, 62, 81, 41, 36, 21, 21, 155, 135, ButtonRole::Lamp, -1},
    {5, 41, 64, 87, 5, 64, 36, 22, 21, 161, 141, ButtonRole::Reflection, -1},
    {43, 79, 64, 87, 43, 64, 36, 22, 22, 163, 143, ButtonRole::Mode, 0},
    {81, 117, 64, 87, 80, 64, 38, 22, 22, 169, 149, ButtonRole::Mode, 1},
    {161, 204, 20, 42, 161, 20, 43, 21, 21, 156, 136, ButtonRole::Mode, 2},
    {161, 204, 43, 64, 161, 43, 43, 21, 21, 159, 139, ButtonRole::Mode, 5},
    {161, 204, 65, 86, 161, 65, 43, 21, 21, 160, 140, ButtonRole::Mode, 7},
    {418, 462, 20, 42, 418, 20, 44, 22, 22, 168, 148, ButtonRole::Mode, 4},
    {418, 462, 43, 64, 418, 43, 44, 22, 22, 153, 133, ButtonRole::Mode, 3},
    {418, 462, 65, 86, 418, 65, 44, 22, 22, 152, 132, ButtonRole::Mode, 6},
    {652, 687, 41, 62, 652, 41, 35, 21, 21, 162, 142, ButtonRole::Home, -1},
    {687, 722, 41, 62, 687, 41, 35, 22, 22, 167, 147, ButtonRole::LatchingSpare, -1},
    {722, 756, 41, 62, 722, 41, 34, 21, 21, 151, 131, ButtonRole::LatchingSpare, -1},
    {756, 791, 41, 62, 756, 41, 35, 22, 22, 150, 130, ButtonRole::LatchingSpare, -1},
    {652, 687, 64, 87, 652, 64, 35, 23, 23, 165, 145, ButtonRole::DisplayScale, -1},
    {687, 722, 64, 87, 687, 64, 35, 22, 22, 157, 137, ButtonRole::Spare, -1},
    {722, 756, 64, 87, 722, 64, 34, 22, 22, 158, 138, ButtonRole::Spare, -1},
    {756, 791, 64, 87, 756, 64, 35, 22, 22, 154, 134, ButtonRole::Spare, -1},
};

// Rows of kButtons the code names (a row is the button's number less one).
constexpr i32 kStereoButton = 0;
constexpr i32 kLampButton = 2;
constexpr i32 kWalkButton = 9; // mode 4: the paint shows it pressed
// The column mode buttons (two columns of three): a mode button shows the other
// column buttons at rest; the two mode buttons beside the switches are left alone.
constexpr i32 kFirstColumnButton = 6;
constexpr i32 kLastColumnButton = 11;

// The paint draws the buttons at rest in this order, then the walk button pressed.
constexpr i32 kPaintOrder[kButtonCount - 1] = {0,  1,  2,  3,  4,  5,  6,  7,  8, 10,
                                               11, 12, 13, 14, 15, 16, 17, 18, 19};

// The mode display: one picture per navigation mode, drawn 98 x 59 at (263, 17).
constexpr u16 kModeImages[8] = {190, 189, 182, 187, 180, 183, 181, 188};
constexpr i16 kModeDisplayX = 263;
constexpr i16 kModeDisplayY = 17;
constexpr i16 kModeDisplayWidth = 98;
constexpr i16 kModeDisplayHeight = 59;
constexpr i16 kWalkMode = 4; // every paint selects it again

// The label plates: loaded with the rest, shown nowhere (their places lie below the
// 90 design rows, or they have none).
constexpr u16 kLabelImages[6] = {173, 174, 175, 176, 178, 186};

// Paint scale factors per pixel of the client area: the panel is designed 796 x 90.
constexpr f32 kScalePerColumn = 0.0012562814f; // 1 / 796
constexpr f32 kScalePerRow = 0.011111111f;     // 1 / 90

// The background's name and size.
constexpr const char* kBackgroundName = "DASHSCR";

inline bool buttonContains(const ButtonRecord& button, i32 designX, i32 designY)
{
    return designX >= button.hitLeft && designX <= button.hitRight && designY >= button.hitTop &&
           designY <= button.hitBottom;
}

// The row of kButtons that selects `mode`, or -1.
inline i32 buttonForMode(i16 mode)
{
    for (i32 b = 0; b < kButtonCount; ++b)
        if (kButtons[b].role == ButtonRole::Mode && kButtons[b].mode == mode) return b;
    return -1;
}
