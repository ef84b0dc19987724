// viewer/viewer_window.h - the window in which frames appear, and its frame loop.
//
// Owns: the Viewer's FrameState (render size, frame, background and depth buffers,
// shadow and stereo flags), its presentation (DrawDib handle, bitmap header), its
// busy flag, client rectangle and navigation state. Reads the plug-in instance's options (display
// scale, lamp flag). Writes the World's camera at creation; renders the World every paint. The
// frame loop: every WM_PAINT renders one frame, applies one frame of navigation and posts
// WM_TIMER to the Viewer; every WM_TIMER asks for the next paint at once. It runs while a world
// with objects is loaded and the busy flag is 0. The mouse: a press captures it and a drag sets
// the navigation amounts (or moves the lamp); the left release stops all motion, the right
// release keeps it going (viewer/navigation.h says what each mode does).
// Entry points: the window messages; create (through FrameworkWindow::createChild);
//               teardown (the destructor); isLiveViewer.
#pragma once

#include "audio/sound_setup.h"
#include "render/render.h"
#include "viewer/framework_window.h"
#include "viewer/navigation.h"
#include "viewer/presentation.h"
#include "world/tables.h"

// The plug-in instance's options that the Viewer and the Dashboard read and switch.
struct InstanceOptions {
    f32 displayScale = 1.0f; // the Viewer renders at its client size / scale (1.0 or 2.0)
    i16 lampFlag = 0;        // 1 while the user's lamp (a spot light at the eye) is on
    bool sound = true;       // false: the world's Sounds are not set up (host-only switch)
    // The lamp's rows in lights and spotLights while it is on, else -1: the instances
    // share one world, so a lamp need not be the last light when it is switched off.
    i16 lampLight = -1;
    i16 lampSpot = -1;
    InstanceOptions* nextLamp = nullptr; // the next instance whose lamp is on
};

// Posted by the loading sequence once per load: the Viewer sets up the world's sounds.
constexpr UINT kSoundSetupMessage = 2024;

class ViewerWindow : public FrameworkWindow {
public:
    ViewerWindow(World& world, RenderState& render, const InstanceOptions& options);
    ~ViewerWindow() override; // the teardown

    HRESULT comResult = -1;         // CoInitialize's answer; negative: COM not initialised
    SoundObjects sounds;            // the world's Sounds in the 3-D audio library
    FrameState frame;               // render size, buffers, flags (see render/render.h)
    Presentation presentation;      // DrawDib handle and the frame's bitmap header
    u16 busyFlag = 1;               // while 1, painting draws nothing and the loop stops
    RECT clientRect = {0, 0, 0, 0}; // as last read
    NavigationState navigation;     // the one navigation mode: set it with chooseNavigationMode
    HWND leftSidePanel = nullptr;   // the Dashboard's left panel while it is open
    bool painting = false;          // inside onPaint's drain: a tick there is not wanted

    // A Viewer that has been destroyed is never touched again: the frame step's
    // message draining may run a handler that ends the whole instance.
    static bool isLiveViewer(u64 serial);
    u64 serial() const { return serial_; }

    // Recomputes W and H from the client size and the display scale and resizes the
    // buffers (WM_SIZE, WM_MOVE and the display-scale switch all come here).
    bool resizeToClient();

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // The lamp's row of spotLights while this instance's lamp is on, else -1.
    i16 lampSpot() const { return options_.lampFlag == 1 ? options_.lampSpot : -1; }
    LRESULT onCreate(WPARAM wParam, LPARAM lParam);
    LRESULT onPaint();
    void onTick();
    // Takes, translates and dispatches the queued messages of the browser's frame,
    // the plug-in window and the left side panel. False when the Viewer was
    // destroyed meanwhile (then nothing of it may be touched).
    bool drainInterfaceMessages();
    // One frame's worth of the current navigation motion (mouse navigation).
    void applyNavigationMotion();
    // WM_LBUTTONDOWN, WM_RBUTTONDOWN: capture, the press point, the seek pick.
    LRESULT onButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_MOUSEMOVE while captured: the amounts, or the lamp when it is on.
    LRESULT onMouseMove(WPARAM wParam, LPARAM lParam);
    // WM_LBUTTONUP, WM_RBUTTONUP while captured: the capture goes; a left release stops.
    LRESULT onButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    // Moves the sound listener to the camera (positioned sound).
    void updateListener();
    // Message 2024: sets up the world's sounds; answers 0.
    LRESULT onSoundSetup();

    World& world_;
    RenderState& render_;
    const InstanceOptions& options_;
    u64 serial_;
};
