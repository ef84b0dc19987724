// The side panels.
#include "dashboard/side_panels.h"

namespace {

constexpr u16 kLeftBackground = 204;
constexpr u16 kRightBackground = 206;
constexpr u16 kLampOnPlate = 201;
constexpr u16 kLampOffPlate = 200;
constexpr u16 kStrips[7] = {184, 210, 211, 212, 213, 214, 215};
constexpr i32 kLampPlateX = 50;
constexpr i32 kLampPlateY = 290;
constexpr i32 kStripY = 200;
// The empty panel's background: the graphite of the Dashboard's lower edge, so that
// it reads as part of the same console.
constexpr COLORREF kEmptyPanelColor = RGB(0x2C, 0x31, 0x38);

// Begins painting; the whole background stretched over the client area, halftone,
// then `more` with the paint context and a memory context; ends painting.
template <class More> void paintPanel(HWND window, const Picture& background, More more)
{
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    if (dc) {
        RECT client{};
        GetClientRect(window, &client);
        const HDC memory = CreateCompatibleDC(dc);
        SetStretchBltMode(dc, HALFTONE);
        drawPicture(dc, memory, background, Place{0, 0, client.right, client.bottom});
        more(dc, memory);
        if (memory) DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

} // namespace

LeftPanel::~LeftPanel()
{
    freePicture(background_);
    freePicture(lampOn_);
    freePicture(lampOff_);
    for (Picture& strip : strips_) freePicture(strip);
}

bool LeftPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_CREATE:
        if (defaultHandling(message, wParam, lParam) == -1) {
            *result = -1;
            return true;
        }
        background_ = loadPicture(module_, kLeftBackground);
        lampOn_ = loadPicture(module_, kLampOnPlate);
        lampOff_ = loadPicture(module_, kLampOffPlate);
        for (int s = 0; s < 7; ++s) strips_[s] = loadPicture(module_, kStrips[s]);
        *result = 0;
        return true;
    case WM_PAINT:
        paintPanel(handle(), background_, [this](HDC dc, HDC memory) {
            copyPicture(dc, memory, lampOn_, kLampPlateX, kLampPlateY);
            copyPicture(dc, memory, strips_[0], 0, kStripY);
        });
        *result = 0;
        return true;
    default: return false; // WM_MOVE and the rest: the default handling
    }
}

RightPanel::~RightPanel()
{
    freePicture(background_);
}

bool RightPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_CREATE:
        if (defaultHandling(message, wParam, lParam) == -1) {
            *result = -1;
            return true;
        }
        background_ = loadPicture(module_, kRightBackground);
        *result = 0;
        return true;
    case WM_PAINT:
        paintPanel(handle(), background_, [](HDC, HDC) {});
        *result = 0;
        return true;
    default: return false;
    }
}

bool EmptyPanel::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_CREATE: *result = defaultHandling(message, wParam, lParam) == -1 ? -1 : 0; return true;
    case WM_ERASEBKGND: {
        // The framework's window class has no background brush; this is the one the
        // panel's class would carry.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        GetClientRect(handle(), &client);
        const HBRUSH brush = CreateSolidBrush(kEmptyPanelColor);
        const HPEN pen = CreatePen(PS_SOLID, 1, kEmptyPanelColor);
        const HGDIOBJ oldBrush = SelectObject(dc, brush);
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        Rectangle(dc, 0, 0, client.right, client.bottom);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);
        *result = 1;
        return true;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        BeginPaint(handle(), &paint);
        EndPaint(handle(), &paint);
        *result = 0;
        return true;
    }
    default: return false;
    }
}
