// The Dashboard window: creation, paint, presses and releases, the side panels, size,
// teardown.
#include "dashboard/dashboard.h"

#include "base/convert.h"
#include "dashboard/actions.h"

#include <new>
#include <windowsx.h> // GET_X_LPARAM, GET_Y_LPARAM

namespace {

// The largest client coordinate a scaled design value can reach, far inside i32.
constexpr i32 kLargestPixel = 1 << 20;

i32 mouseX(LPARAM lParam)
{
    return GET_X_LPARAM(lParam);
}
i32 mouseY(LPARAM lParam)
{
    return GET_Y_LPARAM(lParam);
}

} // namespace

Dashboard::Dashboard(World& world, RenderState& render, ViewerWindow& viewer,
                     InstanceOptions& options, HINSTANCE resources)
    : world_(world), render_(render), viewer_(viewer), options_(options), resources_(resources)
{
}

Dashboard::~Dashboard()
{
    destroyPanels();
    // The lamp is the instance's own; the world it lights is shared with the others.
    switchLampOff(world_, options_);
    freePicture(background_);
    for (Picture& picture : normal_) freePicture(picture);
    for (Picture& picture : pressed_) freePicture(picture);
    for (Picture& picture : labels_) freePicture(picture);
    for (Picture& picture : modes_) freePicture(picture);
}

bool Dashboard::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_CREATE: *result = onCreate(wParam, lParam); return true;
    case WM_PAINT: onPaint(); break;
    case WM_LBUTTONDOWN: onLeftPress(mouseX(lParam), mouseY(lParam)); break;
    case WM_LBUTTONUP: onLeftRelease(mouseX(lParam), mouseY(lParam)); break;
    case WM_RBUTTONDOWN:
        onRightPress(mouseX(lParam), mouseY(lParam));
        *result = defaultHandling(message, wParam, lParam);
        return true;
    case WM_SIZE:
        defaultHandling(message, wParam, lParam);
        onSize();
        break;
    default: return false; // WM_MOUSEMOVE, WM_SHOWWINDOW, WM_RBUTTONUP: the default handling
    }
    *result = 0;
    return true;
}

LRESULT Dashboard::onCreate(WPARAM wParam, LPARAM lParam)
{
    if (defaultHandling(WM_CREATE, wParam, lParam) == -1) return -1;
    background_ = loadPicture(resources_, kBackgroundName);
    for (i32 b = 0; b < kButtonCount; ++b)
        normal_[b] = loadPicture(resources_, kButtons[b].normalImage);
    for (i32 b = 0; b < kButtonCount; ++b)
        pressed_[b] = loadPicture(resources_, kButtons[b].pressedImage);
    for (int l = 0; l < 6; ++l) labels_[l] = loadPicture(resources_, kLabelImages[l]);
    for (int m = 0; m < 8; ++m) modes_[m] = loadPicture(resources_, kModeImages[m]);
    // A click before the first paint is measured as that paint will draw.
    readScale();
    return 0;
}

void Dashboard::readScale()
{
    RECT client{};
    GetClientRect(handle(), &client);
    paintScaleX = static_cast<f32>(client.right) * kScalePerColumn;
    paintScaleY = static_cast<f32>(client.bottom) * kScalePerRow;
}

Place Dashboard::scaled(i32 x, i32 y, i32 width, i32 height) const
{
    return Place{clampTrunc(static_cast<f32>(x) * paintScaleX, 0, kLargestPixel),
                 clampTrunc(static_cast<f32>(y) * paintScaleY, 0, kLargestPixel),
                 clampTrunc(static_cast<f32>(width) * paintScaleX, 0, kLargestPixel),
                 clampTrunc(static_cast<f32>(height) * paintScaleY, 0, kLargestPixel)};
}

// Presses and releases draw over the painted button with the bitmap's full size, so
// the pressed image covers the painted one (the reflection key is painted a row short).
Place Dashboard::pressPlace(i32 button) const
{
    const ButtonRecord& record = kButtons[button];
    return scaled(record.x, record.y, record.width, record.height);
}

bool Dashboard::designPoint(i32 x, i32 y, i32* designX, i32* designY) const
{
    if (!(paintScaleX > 0.0f) || !(paintScaleY > 0.0f)) return false;
    // Truncated as the paint truncates: a click on a drawn button lands in its design
    // rectangle whatever the panel's width (-1 stands for any point left of or above it).
    *designX = clampTrunc(static_cast<f32>(x) / paintScaleX, -1, kLargestPixel);
    *designY = clampTrunc(static_cast<f32>(y) / paintScaleY, -1, kLargestPixel);
    return true;
}

void Dashboard::onPaint()
{
    const HWND window = handle();
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    if (!dc) {
        EndPaint(window, &paint);
        return;
    }
    readScale();
    RECT client{};
    GetClientRect(window, &client);
    const HDC memory = CreateCompatibleDC(dc);
    SetStretchBltMode(dc, HALFTONE);
    drawPicture(dc, memory, background_, Place{0, 0, client.right, client.bottom});
    for (const i32 b : kPaintOrder) {
        const ButtonRecord& record = kButtons[b];
        drawPicture(dc, memory, normal_[b],
                    scaled(record.x, record.y, record.width, record.paintHeight));
    }
    const ButtonRecord& walk = kButtons[kWalkButton];
    drawPicture(dc, memory, pressed_[kWalkButton],
                scaled(walk.x, walk.y, walk.width, walk.paintHeight));
    // The panel shows the walk button pressed, so walking it is.
    viewer_.navigation.mode = kWalkMode;
    drawPicture(dc, memory, modes_[kWalkMode],
                scaled(kModeDisplayX, kModeDisplayY, kModeDisplayWidth, kModeDisplayHeight));
    if (memory) DeleteDC(memory);
    EndPaint(window, &paint);
}

void Dashboard::onLeftPress(i32 x, i32 y)
{
    i32 designX = 0, designY = 0;
    if (!designPoint(x, y, &designX, &designY)) return;
    // Every button is tested: on a shared edge column both neighbours act.
    for (i32 b = 0; b < kButtonCount; ++b) {
        if (!buttonContains(kButtons[b], designX, designY)) continue;
        WindowDrawing(handle()).draw(pressed_[b], pressPlace(b));
        pressAction(b);
    }
}

void Dashboard::pressAction(i32 button)
{
    const ButtonRecord& record = kButtons[button];
    switch (record.role) {
    case ButtonRole::Stereo: toggleStereo(world_, render_, viewer_); break;
    case ButtonRole::Shadow: toggleShadows(world_, render_, viewer_); break;
    case ButtonRole::Lamp: toggleLamp(world_, options_); break;
    case ButtonRole::Reflection: toggleReflection(render_); break;
    case ButtonRole::Mode: showMode(record.mode, button); break;
    case ButtonRole::Home: goHome(world_); break;
    case ButtonRole::DisplayScale: toggleDisplayScale(options_, viewer_); break;
    case ButtonRole::LatchingSpare:
    case ButtonRole::Spare: break; // no function
    }
}

// The mode of a mode button, its picture on the display, and the other column mode
// buttons at rest (the two beside the switches keep whatever they show).
void Dashboard::showMode(i16 mode, i32 button)
{
    viewer_.navigation.mode = mode;
    if (mode == 3) viewer_.navigation.forwardAmount = 100.0f; // flying starts slowly
    WindowDrawing drawing(handle());
    drawing.draw(modes_[mode],
                 scaled(kModeDisplayX, kModeDisplayY, kModeDisplayWidth, kModeDisplayHeight));
    for (i32 b = kFirstColumnButton; b <= kLastColumnButton; ++b)
        if (b != button) drawing.draw(normal_[b], pressPlace(b));
}

bool Dashboard::releasedShowsPressed(i32 button) const
{
    switch (kButtons[button].role) {
    case ButtonRole::Stereo: return viewer_.frame.stereoFlag == 1;
    case ButtonRole::Shadow: return viewer_.frame.shadowFlag == 1;
    case ButtonRole::Lamp: return options_.lampFlag == 1;
    case ButtonRole::Reflection: return render_.reflectionFlag == 1;
    case ButtonRole::DisplayScale: return clampTrunc(options_.displayScale, 0, 2) == 2;
    case ButtonRole::Mode:          // the selected mode stays shown pressed
    case ButtonRole::LatchingSpare: // stays down until the next paint
        return true;
    case ButtonRole::Home:
    case ButtonRole::Spare: return false;
    }
    return false;
}

void Dashboard::onLeftRelease(i32 x, i32 y)
{
    i32 designX = 0, designY = 0;
    if (!designPoint(x, y, &designX, &designY)) return;
    for (i32 b = 0; b < kButtonCount; ++b) {
        if (!buttonContains(kButtons[b], designX, designY)) continue;
        const Picture& shown = releasedShowsPressed(b) ? pressed_[b] : normal_[b];
        WindowDrawing(handle()).draw(shown, pressPlace(b));
    }
}

void Dashboard::selectMode(i16 mode)
{
    const i32 button = buttonForMode(mode);
    if (button < 0) return;
    if (!handle()) {
        viewer_.navigation.mode = mode;
        if (mode == 3) viewer_.navigation.forwardAmount = 100.0f;
        return;
    }
    WindowDrawing(handle()).draw(pressed_[button], pressPlace(button));
    showMode(mode, button);
}

void Dashboard::onRightPress(i32 x, i32 y)
{
    i32 designX = 0, designY = 0;
    if (!designPoint(x, y, &designX, &designY)) return;
    if (buttonContains(kButtons[kStereoButton], designX, designY)) openStereoPanels();
    if (buttonContains(kButtons[kLampButton], designX, designY)) openEmptyPanel();
    // Spare 1 asks for a dialog the module does not hold: the request fails and
    // nothing shows, so there is nothing to do.
}

void Dashboard::onSize()
{
    const HWND parent = GetParent(handle());
    RECT area{};
    if (!parent || !GetClientRect(parent, &area)) return;
    MoveWindow(handle(), 0, area.bottom - kDashboardHeight, area.right, kDashboardHeight, TRUE);
    // Painted at once, as a move with repainting does under Win32: the frame loop keeps
    // a tick waiting, and a paint would otherwise wait behind it for ever.
    UpdateWindow(handle());
}

// ---- Side panels ----------------------------------------------------------------------

template <class Panel>
Panel* Dashboard::createPanel(Panel* panel, i32 x, i32 y, i32 width, i32 height)
{
    if (!panel) return nullptr;
    const HWND plugin = GetParent(handle());
    if (!plugin || !panel->createChild(WS_CHILD | WS_VISIBLE, x, y, width, height, plugin, 0)) {
        delete panel;
        return nullptr;
    }
    panel->older = newestPanel_;
    newestPanel_ = panel;
    return panel;
}

void Dashboard::openStereoPanels()
{
    RECT area{};
    if (!GetClientRect(GetParent(handle()), &area)) return;
    const i32 height = area.bottom - kDashboardHeight - area.top;
    LeftPanel* left = createPanel(new (std::nothrow) LeftPanel(resources_), area.left, area.top,
                                  kSidePanelWidth, height);
    RightPanel* right =
        createPanel(new (std::nothrow) RightPanel(resources_), area.right - kSidePanelWidth,
                    area.top, kSidePanelWidth, height);
    if (left) {
        leftPanel = left;
        // The Viewer's frame step drains this panel's messages while frames run.
        viewer_.leftSidePanel = left->handle();
        UpdateWindow(left->handle());
    }
    if (right) {
        rightPanel = right;
        // Painted now: while frames run, a waiting tick keeps its paint from coming.
        UpdateWindow(right->handle());
    }
    layout_ = PanelLayout::StereoPair;
    moveViewerBesidePanels();
}

void Dashboard::openEmptyPanel()
{
    RECT area{};
    if (!GetClientRect(GetParent(handle()), &area)) return;
    EmptyPanel* panel = createPanel(new (std::nothrow) EmptyPanel, area.left, area.top,
                                    kSidePanelWidth, kSidePanelPictureHeight);
    if (panel) {
        emptyPanel = panel;
        InvalidateRect(panel->handle(), nullptr, TRUE);
        UpdateWindow(panel->handle());
    }
    layout_ = PanelLayout::Empty;
    moveViewerBesidePanels();
}

Place Dashboard::viewerPlace(const RECT& area) const
{
    const i32 height = area.bottom - kDashboardHeight;
    switch (layout_) {
    case PanelLayout::StereoPair:
        return Place{area.left + kSidePanelWidth, area.top, area.right - 2 * kSidePanelWidth,
                     height};
    case PanelLayout::Empty:
        return Place{area.left + kSidePanelWidth, area.top, area.right - kSidePanelWidth, height};
    case PanelLayout::None: break;
    }
    return Place{area.left, area.top, area.right - area.left, height - area.top};
}

// The Viewer makes room: its move and size handling recompute its render size. In an
// area too narrow for the panels it is left without columns, and draws nothing until
// it grows.
void Dashboard::moveViewerBesidePanels()
{
    RECT area{};
    if (!viewer_.handle() || !GetClientRect(GetParent(handle()), &area)) return;
    const Place place = viewerPlace(area);
    MoveWindow(viewer_.handle(), place.x, place.y, place.width, place.height, TRUE);
}

void Dashboard::destroyPanels()
{
    // The panels are children of the browser's window, which outlives the instance:
    // their windows go here, or they would stay on the page.
    while (newestPanel_) {
        SidePanel* panel = newestPanel_;
        newestPanel_ = panel->older;
        if (panel->handle()) DestroyWindow(panel->handle());
        delete panel;
    }
    emptyPanel = nullptr;
    leftPanel = nullptr;
    rightPanel = nullptr;
    viewer_.leftSidePanel = nullptr;
}
