// host/browser.h - the browser side of the plug-in interface: it loads nptarne with
// dlopen, hands it the browser function table, gives an instance a window (a
// headless top-level "browser frame" holding a child "plug-in area"), delivers a
// world file as a stream, and runs the message loop.
#pragma once

#include "plugin/api/host_services.h"
#include "plugin/api/npapi.h"

#include <windows.h>

#include <string>

class Browser {
public:
    Browser() = default;
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;
    ~Browser(); // destroys the instance and shuts the plug-in down if still running

    // Loads the plug-in: $TARNE_PLUGIN, else libnptarne.so (NPTARNE.DLL) beside this program.
    bool loadPlugin(std::string& error);
    // NP_GetEntryPoints and NP_Initialize.
    bool initialize(std::string& error);
    // The browser frame (titled `title`) and the plug-in area of width x height,
    // NPP_New, NPP_SetWindow. When the frame is resized (the user, under SDL2), the area
    // follows and the plug-in is told its new size through NPP_SetWindow.
    bool createInstance(int width, int height, const std::string& title, std::string& error);
    // NPP_NewStream, NPP_WriteReady/NPP_Write with the file's bytes, NPP_StreamAsFile,
    // NPP_DestroyStream. False (with the reason) when the file cannot be read.
    bool streamFile(const char* path, std::string& error);
    // Runs the message loop until `frames` more frames were presented or nothing more
    // can happen; returns the frames presented. `onFrame` (optional) hears each one.
    int runFrames(int frames, void (*onFrame)(int frame, void* context) = nullptr,
                  void* context = nullptr);
    // Runs the message loop until the window is closed (its close button, Escape or q)
    // or nothing more can happen.
    void runUntilClosed();
    bool closeRequested() const { return closeRequested_; }
    void requestClose() { closeRequested_ = true; }
    void destroyInstance();
    void shutdown();

    const TarneServices* services() const { return services_; }
    NPP instance() { return &instance_; }
    HWND frameWindow() const { return frame_; }
    HWND pluginArea() const { return area_; }
    HWND viewerWindow();

    const char* mimeDescription() const;
    const char* pluginValue(NPPVariable variable) const;

private:
    static LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The frame's client area changed: the plug-in area follows, and the plug-in hears.
    void followFrameSize(int width, int height);

    void* library_ = nullptr;
    NPPluginFuncs pluginFuncs_{};
    NPNetscapeFuncs browserFuncs_{};
    NPP_t instance_{};
    bool initialised_ = false;
    bool instanceLive_ = false;
    HWND frame_ = nullptr;
    HWND area_ = nullptr;
    bool closeRequested_ = false; // the loop ends after the message that asked
    const TarneServices* services_ = nullptr;
    NP_ShutdownFunction shutdown_ = nullptr;
    NP_GetMIMEDescriptionFunction mimeDescription_ = nullptr;
    NP_GetValueFunction getValue_ = nullptr;
};
