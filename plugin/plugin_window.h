// plugin/plugin_window.h - one plug-in instance: the browser's window taken over, the
// Dashboard and the Viewer as its children, and the instance's options.
//
// Owns: its Viewer and Dashboard (by value), the instance options (display scale,
// lamp flag), the host-only load options and the messages of the last load.
// Entry points: takeOver (NPP_SetWindow), destroyWindows (NPP_Destroy).
#pragma once

#include "dashboard/dashboard.h"
#include "plugin/api/npapi.h"
#include "viewer/framework_window.h"
#include "viewer/viewer_window.h"

#include <string>

struct ChildPlaces;

class PluginWindow : public FrameworkWindow {
public:
    // `module`: the library's resources, from which the Dashboard draws itself.
    PluginWindow(World& world, RenderState& render, HINSTANCE module);
    ~PluginWindow() override;

    HWND browserWindow = nullptr;           // the window the browser supplied
    WNDPROC savedWindowProcedure = nullptr; // the browser's procedure; set once taken over
    InstanceOptions options;                // display scale 1.0, lamp flag 0
    ViewerWindow viewer;
    Dashboard dashboard;

    // Host-only: read the next world with the line reader alone.
    bool strictLoading = false;
    // The world being loaded came from the network (its stream url is not a file: url):
    // it may read files only from its own folder and below.
    bool worldFromNetwork = true;
    // "FILE: message" and "FILE:LINE:COLUMN: message" lines of the last load.
    std::string loadMessages;
    // The last world given to the instance was refused or could not be read.
    bool loadFailed = false;

    // The first call with a window handle takes the window over and creates the
    // Dashboard (bottom 90 pixels) and the Viewer (the rest); a later call with the same
    // window and a new size moves them to fit it. Answers 0.
    NPError takeOver(const NPWindow& window);

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Passes a message the instance does not handle to the browser's own procedure.
    static LRESULT CALLBACK forwardingProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);
    void destroyWindows();
    void followSize(const ChildPlaces& places);
};

// The property of the browser's window that leads back to the instance.
constexpr const char* kInstanceProperty = "this ptr";
