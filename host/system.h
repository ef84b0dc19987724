// host/system.h - what the host needs of its system beyond the Win32 vocabulary it shares
// with the plug-in: the plug-in's library, how windows are shown, the frames presented,
// scripted mouse input, the pixels of a window, the sound engine, and file identity
// (sameFile of host/output_file.h).
// Linux: dlopen and the window system stand-in's host services (system_linux.cpp).
// Windows: LoadLibrary, real windows on the desktop, GDI (system_windows.cpp).
//
// Failure: functions answering bool say false with nothing changed; `error` (where
// given) says why, for the user.
#pragma once

#include "platform/sound/sound.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

// The plug-in's library: $TARNE_PLUGIN, else libnptarne.so (NPTARNE.DLL) beside the program.
std::string pluginLibraryPath();
void* openLibrary(const std::string& path, std::string& error);
void* librarySymbol(void* library, const char* name);
void closeLibrary(void* library);

// Shows the windows made from now on on the display (`interactive`: view), or keeps
// them from the user (render, info). False, with the reason, when there is no display.
bool useDisplay(bool interactive, std::string& error);
// How many frames a second a window is shown at most (0: unpaced).
void setPresentRate(int framesPerSecond);
// While held, the user's own mouse is kept from the windows (a script has them).
void holdNativeMouse(bool hold);

// The browser frame's window for `width` x `height` client pixels at the top-left.
HWND createFrameWindow(const char* className, const char* title, int width, int height);
// The next message for the loop; false when none can arrive any more (headless, nothing
// due), or on WM_QUIT.
bool nextMessage(MSG& msg);
// How many frames the Viewer window has presented so far.
std::uint64_t presentCount(HWND viewer);

// A mouse event at (x, y) of the top-level window's client area, routed as a real mouse
// routes it: to the capture holder, else the deepest visible child under the point, in
// its client coordinates. Answers the window that got it.
HWND injectMouse(HWND topLevel, UINT message, int x, int y, WPARAM keys);
// The client size of a top-level window as its pictures are taken.
bool windowPictureSize(HWND topLevel, int& width, int& height);
// The area of the top-level window's client pixels as an RGB PNG into `file`.
bool writeWindowPng(HWND topLevel, const RECT& area, std::FILE* file);

// The sound engine of the world's Sounds: "device" (the default output), "loopback"
// (rendered into memory, pulled by renderSound at kSoundRenderRate frames a second of
// kSoundRenderChannels floats), or "off". False when the mode is not available here.
bool startSoundEngine(const char* mode);
bool renderSound(float* samples, std::uint32_t frameCount);

// Replaces `to` with `from` in one step (on Windows rename refuses an existing target).
bool replaceFile(const std::string& from, const std::string& to);
// The file: url of a local path, absolute ("file:///C:/w/a.wrl" on Windows).
std::string fileUrl(const char* path);
