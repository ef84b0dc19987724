// The Viewer window: creation, resize, the paint-and-tick frame loop, teardown.
#include "viewer/viewer_window.h"

#include "base/convert.h"
#include "render/field_of_view.h"

#include <unordered_set>
#include <windowsx.h> // GET_X_LPARAM, GET_Y_LPARAM

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

// H / W; a size without rows or columns keeps the last ratio, which is never 0.
void setAspectRatio(RenderState& render, i16 width, i16 height)
{
    if (width >= 1 && height >= 1)
        render.aspectRatio = static_cast<f32>(height) / static_cast<f32>(width);
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
    releaseSounds(sounds);
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
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: *result = onButtonDown(message, wParam, lParam); return true;
    case WM_MOUSEMOVE: *result = onMouseMove(wParam, lParam); return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: *result = onButtonUp(message, wParam, lParam); return true;
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
    setAspectRatio(render_, width, height);
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
    // Home before any world is read goes to this camera, not to an eye on its target.
    for (int c = 0; c < 3; ++c) {
        world_.startEyePoint[c] = world_.camera.eyePoint[c];
        world_.startTargetPoint[c] = world_.camera.targetPoint[c];
    }

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
    setAspectRatio(render_, width, height);
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
    // A Viewer without rows or columns (side panels in a narrow area) draws nothing,
    // but the loop goes on, and frames come back when it grows.
    if (frame.renderWidth >= 1 && frame.renderHeight >= 1 && RenderFrame(world_, render_, frame))
        presentFrame(presentation, frame, dc, options_.displayScale);
    // The drain takes the messages of every window inside the browser's frame, this
    // Viewer's own WM_TIMER among them. That tick is dropped: this paint posts the next
    // one, and a tick that painted here would post another, so the drain would draw
    // frame after frame without ever returning. A paint nested in a drain (a handler
    // invalidated the Viewer) keeps the outer drain's flag.
    const bool outerPainting = painting;
    painting = true;
    if (!drainInterfaceMessages()) {
        // The instance was destroyed by a handler: its windows are gone with it.
        EndPaint(window, &paint);
        return 0;
    }
    painting = outerPainting;
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
    if (painting) return;
    InvalidateRect(handle(), nullptr, FALSE);
    UpdateWindow(handle());
}

void ViewerWindow::applyNavigationMotion()
{
    applyNavigationFrame(world_, render_, navigation, lampSpot());
}

LRESULT ViewerWindow::onButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    SetCapture(handle());
    const i32 x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    navigation.pressX = navigation.lastX = x;
    navigation.pressY = navigation.lastY = y;
    const bool left = message == WM_LBUTTONDOWN;
    navigation.buttonState = left ? kLeftDrag : kRightDrag;
    // With the lamp on, a left press starts a lamp drag instead of a seek.
    if (left && options_.lampFlag == 0 && navigation.mode == kModeSeek)
        pickSeekTarget(world_, render_, frame, navigation, x, y, options_.displayScale);
    return defaultHandling(message, wParam, lParam);
}

LRESULT ViewerWindow::onMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (GetCapture() == handle()) {
        const i32 x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        // The movement since the previous mouse message, not since the press.
        const i32 dx = x - navigation.lastX, dy = y - navigation.lastY;
        if (options_.lampFlag == 1) {
            const bool modified = (wParam & (MK_SHIFT | MK_CONTROL)) != 0;
            dragLamp(world_, render_, lampSpot(), navigation.buttonState, modified, dx, dy);
        } else {
            setMotionAmounts(navigation, dx, dy);
        }
        navigation.lastX = x;
        navigation.lastY = y;
    }
    return defaultHandling(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT ViewerWindow::onButtonUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetCapture() == handle()) {
        // The right button lets go but keeps the amounts: the camera drifts on until a
        // left release.
        if (message == WM_LBUTTONUP) stopMotion(navigation);
        ReleaseCapture();
    }
    return defaultHandling(message, wParam, lParam);
}

void ViewerWindow::updateListener()
{
    moveListener(sounds, world_, render_);
}

LRESULT ViewerWindow::onSoundSetup()
{
    if (options_.sound) {
        setUpSounds(sounds, world_, render_, handle());
    } else {
        releaseSounds(sounds);
    }
    return 0;
}
