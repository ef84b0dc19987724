// tools/art/colors.h - the colour scheme every picture shares: a graphite panel, light
// keys in dark wells, dark ink, lamps that light green (switches) or amber (modes),
// and an amber screen for the mode display that the amber lamps point to.
#pragma once

#include "tools/art/canvas.h"

// The panel and the recesses the keys and the screen sit in.
constexpr Rgb kPanelTop = hexColor(0x4C545E);
constexpr Rgb kPanelBottom = hexColor(0x2C3138);
constexpr Rgb kPanelHighlight = hexColor(0x78818C);
constexpr Rgb kPanelShade = hexColor(0x1B1F24);
constexpr Rgb kWell = hexColor(0x15181C);
constexpr Rgb kWellLip = hexColor(0x66707B); // the lit lower edge of a recess

// Keys at rest and held down.
constexpr Rgb kKeyTop = hexColor(0xEDEFF1);
constexpr Rgb kKeyBottom = hexColor(0xC6CBD0);
constexpr Rgb kKeyLight = hexColor(0xFFFFFF);
constexpr Rgb kKeyEdge = hexColor(0x80878F);
constexpr Rgb kKeyPressedTop = hexColor(0x899098);
constexpr Rgb kKeyPressedBottom = hexColor(0xA7AEB5);
constexpr Rgb kKeyPressedShade = hexColor(0x454C54);

// The symbols on the keys.
constexpr Rgb kInk = hexColor(0x1C2128);
constexpr Rgb kInkSoft = hexColor(0x7A838D);

// Key lamps: off, and lit with a hot core.
constexpr Rgb kLampOff = hexColor(0x636B74);
constexpr Rgb kLampGreen = hexColor(0x2EE65A);
constexpr Rgb kLampGreenCore = hexColor(0xCCFFD8);
constexpr Rgb kLampAmber = hexColor(0xFF9A14);
constexpr Rgb kLampAmberCore = hexColor(0xFFE4AE);

// The mode display's screen.
constexpr Rgb kScreenCentre = hexColor(0x291A08);
constexpr Rgb kScreenEdge = hexColor(0x0B0703);
constexpr Rgb kScreenInk = hexColor(0xFFC45E);
constexpr Rgb kScreenSoft = hexColor(0xA86A1E);
constexpr Rgb kScreenGlow = hexColor(0xFF8A0C);

// Captions on the panel and on the plates.
constexpr Rgb kCaption = hexColor(0xC3C9CF);
constexpr Rgb kCaptionShadow = hexColor(0x14171B);
constexpr Rgb kPlate = hexColor(0x262B31);
