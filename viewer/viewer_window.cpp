// The Viewer window: creation, resize, the paint-and-tick frame loop, teardown.
#include "viewer/viewer_window.h"

#include "base/convert.h"
#include "render/field_of_view.h"

#include <unordered_set>

namespace {

// Viewers alive now, by serial number: a destroyed Viewer is recognised without
// reading its memory, and serials are never reused.
std::unordered_set<u64>& liveViewers()
{
    static std::unordered_set<u64> serials;
    return serials;
}

u64 nextSerial()
{
    static u64 counter = 0;
    return ++counter;
}

// A client extent divided by the display scale, as a 16-bit render size.
i16 renderExtent(LONG clientExtent, f32 scale)
{
    const f32 divisor = scale > 0.0f ? scale : 1.0f;
    return static_cast<i16>(clampTrunc(static_cast<f32>(clientExtent) / divisor, 0, kMaxCount16));
}

} // namespace

ViewerWindow::ViewerWindow(World& world, RenderState& render, const InstanceOptions& options)
    : world_(world), render_(render), options_(options), serial_(nextSerial())
{
    liveViewers().insert(serial_);
}

bool ViewerWindow::isLiveViewer(u64 serial)
{
    return liveViewers().count(serial) != 0;
}

ViewerWindow::~ViewerWindow()
{
    liveViewers().erase(serial_);
    busyFlag = 1;
    closePresentation(presentation);
    // The per-world working buffers and colour ramps are shared by every Viewer of
    // the library; the last Viewer to go releases them. The world tables themselves
    // stay until the next load or the library's shutdown, so a world still loaded is
    // never left with freed tables.
    if (liveViewers().empty()) {
        FreeMaterialRamps(world_);
        FreeWorldBuffers(render_);
    }
    FreeFrameBuffers(frame);
    if (comResult >= 0) {
        CoUninitialize();
        comResult = -1;
    }
}

bool ViewerWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_CREATE: *result = onCreate(wParam, lParam); return true;
    case WM_SIZE:
    case WM_MOVE:
        defaultHandling(message, wParam, lParam);
        resizeToClient();
        *result = 0;
        return true;
    case WM_PAINT: *result = onPaint(); return true;
    case WM_TIMER:
        onTick();
        *result = 0;
        return true;
    case kSoundSetupMessage: *result = onSoundSetup(); return true;
    default: return false;
    }
}

LRESULT ViewerWindow::onCreate(WPARAM wParam, LPARAM lParam)
{
    if (defaultHandling(WM_CREATE, wParam, lParam) == -1) return -1;
    GetClientRect(handle(), &clientRect);
    // The display scale is 1.0 while the Viewer is being created.
    const i16 width = renderExtent(clientRect.right, 1.0f);
    const i16 height = renderExtent(clientRect.bottom, 1.0f);
    render_.aspectRatio = width > 0 ? static_cast<f32>(height) / static_cast<f32>(width) : 1.0f;
    if (!CreateFrameBuffers(frame, width, height)) return -1;

    openPresentation(presentation, width, height);

    busyFlag = 0;
    frame.shadowFlag = 0;
    frame.stereoFlag = 0;
    navigation = NavigationState{};

    world_.camera.eyePoint[0] = world_.camera.eyePoint[1] = world_.camera.eyePoint[2] = 0.0f;
    world_.camera.targetPoint[0] = 1.0f;
    world_.camera.targetPoint[1] = world_.camera.targetPoint[2] = 0.0f;
    world_.camera.viewAngle = 0.3f;

    comResult = CoInitialize(nullptr);
    if (comResult < 0) {
        MessageBox(handle(), "Failed to load COM libraries", "Tarne", MB_OK);
        return -1;
    }
    return 0;
}

bool ViewerWindow::resizeToClient()
{
    GetClientRect(handle(), &clientRect);
    const i16 width = renderExtent(clientRect.right, options_.displayScale);
    const i16 height = renderExtent(clientRect.bottom, options_.displayScale);
    render_.aspectRatio = width > 0 ? static_cast<f32>(height) / static_cast<f32>(width) : 1.0f;
    const i16 oldWidth = frame.renderWidth;
    const i16 oldHeight = frame.renderHeight;
    if (!ResizeFrameBuffers(world_, frame, width, height)) return false;
    // A VRML field of view opens the smaller side: a new shape needs a new view angle.
    RefitViewAngle(world_, oldWidth, oldHeight, width, height);
    return true;
}

LRESULT ViewerWindow::onPaint()
{
    const HWND window = handle();
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (busyFlag == 1 || world_.objectCount < 1) {
        EndPaint(window, &paint);
        return 0;
    }
    GetClientRect(window, &clientRect);
    if (RenderFrame(world_, render_, frame))
        presentFrame(presentation, frame, dc, options_.displayScale);
    if (!drainInterfaceMessages()) {
        // The instance was destroyed by a handler: its windows are gone with it.
        EndPaint(window, &paint);
        return 0;
    }
    applyNavigationMotion();
    updateListener();
    PostMessage(window, WM_TIMER, 0, 0);
    EndPaint(window, &paint);
    return 0;
}

bool ViewerWindow::drainInterfaceMessages()
{
    const u64 self = serial_;
    const HWND pluginWindow = GetParent(handle());
    const HWND browserFrame = pluginWindow ? GetAncestor(pluginWindow, GA_ROOT) : nullptr;
    const HWND windows[3] = {browserFrame, pluginWindow, leftSidePanel};
    for (int w = 0; w < 3; ++w) {
        const HWND source = windows[w];
        // The same window twice (a plug-in window that is itself top-level) is
        // drained once; a null entry would mean "every window", never wanted here.
        if (!source || (w == 1 && source == browserFrame)) continue;
        MSG msg{};
        while (PeekMessage(&msg, source, 0, 0, PM_REMOVE)) {
            if (w == 0 && (msg.message == WM_CLOSE || msg.message == WM_COMMAND)) busyFlag = 1;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            if (!isLiveViewer(self)) return false;
        }
    }
    return true;
}

void ViewerWindow::onTick()
{
    InvalidateRect(handle(), nullptr, FALSE);
    UpdateWindow(handle());
}

void ViewerWindow::applyNavigationMotion()
{
    // No navigation motion is defined yet: the camera stays where the world put it.
}

void ViewerWindow::updateListener()
{
    // Positioned sound is not set up yet, so there is no listener to move.
}

LRESULT ViewerWindow::onSoundSetup()
{
    // Sounds are not played yet: the world's sound rows are read but stay silent.
    return 0;
}
