// The plug-in instance and its window.
#include "plugin/plugin_window.h"

#include <algorithm>

PluginWindow::PluginWindow(World& world, RenderState& render, HINSTANCE module)
    : viewer(world, render, options), dashboard(world, render, viewer, options, module)
{
}

PluginWindow::~PluginWindow()
{
    destroyWindows();
}

// The children's places in a plug-in area of the NPWindow's size: the Dashboard the
// bottom 90 rows, the Viewer the rest (no rows at all in an area lower than that).
struct ChildPlaces {
    int width;
    int height;
    int viewerHeight;
};

static ChildPlaces placesFor(const NPWindow& window)
{
    const int width = static_cast<int>(std::min<std::uint32_t>(window.width, 32767));
    const int height = static_cast<int>(std::min<std::uint32_t>(window.height, 32767));
    return ChildPlaces{width, height, std::max(0, height - kDashboardHeight)};
}

NPError PluginWindow::takeOver(const NPWindow& window)
{
    HWND handle = static_cast<HWND>(window.window);
    if (!handle) return NPERR_NO_ERROR;
    if (savedWindowProcedure) {
        // Taken over already: a new size (the page or the window was resized) moves the
        // children, whose own size handling follows; nothing else changes.
        if (handle == browserWindow) followSize(placesFor(window));
        return NPERR_NO_ERROR;
    }
    if (!IsWindow(handle)) return NPERR_NO_ERROR;

    browserWindow = handle;
    savedWindowProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&forwardingProcedure)));
    SetProp(handle, kInstanceProperty, this);
    attach(handle);

    const ChildPlaces places = placesFor(window);
    constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE; // 0x50000000
    dashboard.createChild(kChildStyle, 0, places.viewerHeight, places.width,
                          places.height - places.viewerHeight, handle, 0);
    // Painted at once: its first paint selects walking, and must come before any
    // click or mode choice rather than undo it.
    if (dashboard.handle()) UpdateWindow(dashboard.handle());
    viewer.createChild(kChildStyle, 0, 0, places.width, places.viewerHeight, handle, 0);
    return NPERR_NO_ERROR;
}

void PluginWindow::followSize(const ChildPlaces& places)
{
    // A move to where a window already is changes nothing and sends nothing.
    if (dashboard.handle())
        MoveWindow(dashboard.handle(), 0, places.viewerHeight, places.width,
                   places.height - places.viewerHeight, TRUE);
    if (!viewer.handle()) return;
    // The Viewer keeps beside the side panels, if any are open.
    const Place place = dashboard.viewerPlace(RECT{0, 0, places.width, places.height});
    MoveWindow(viewer.handle(), place.x, place.y, place.width, place.height, TRUE);
}

LRESULT CALLBACK PluginWindow::forwardingProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam)
{
    const auto* instance = static_cast<const PluginWindow*>(GetProp(window, kInstanceProperty));
    if (instance && instance->savedWindowProcedure)
        return CallWindowProc(instance->savedWindowProcedure, window, message, wParam, lParam);
    return DefWindowProc(window, message, wParam, lParam);
}

bool PluginWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_CREATE: *result = defaultHandling(message, wParam, lParam) == -1 ? -1 : 0; return true;
    case WM_MOVE: *result = defaultHandling(message, wParam, lParam); return true;
    default: return false;
    }
}

void PluginWindow::destroyWindows()
{
    viewer.busyFlag = 1; // no frame is drawn from here on
    if (viewer.handle()) DestroyWindow(viewer.handle());
    if (dashboard.handle()) DestroyWindow(dashboard.handle());
    if (savedWindowProcedure) {
        // The framework lets go first, then the browser's procedure goes back.
        detach();
        if (IsWindow(browserWindow)) {
            SetWindowLongPtr(browserWindow, GWLP_WNDPROC,
                             reinterpret_cast<LONG_PTR>(savedWindowProcedure));
            RemoveProp(browserWindow, kInstanceProperty);
        }
        savedWindowProcedure = nullptr;
    }
    // The Dashboard's and then the Viewer's teardown follow as the members are
    // destroyed (in reverse order of declaration); the browser's window stays.
}
