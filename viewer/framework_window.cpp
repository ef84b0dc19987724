// The framework window: one dispatcher for every window of the plug-in, finding the
// C++ object through a window property.
#include "viewer/framework_window.h"

#include <cstdint>

namespace {

constexpr const char* kClassName = "TarneFrameworkWindow";
constexpr const char* kObjectProperty = "framework object";

void registerFrameworkClass(WNDPROC procedure)
{
    // Registering again is harmless; it also brings the class back after the
    // platform was reset between tests.
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = kClassName;
    RegisterClass(&windowClass);
}

} // namespace

FrameworkWindow::~FrameworkWindow()
{
    if (window_ && IsWindow(window_) && objectOf(window_) == this) {
        if (superProcedure_) {
            detach();
        } else {
            RemoveProp(window_, kObjectProperty);
        }
    }
    window_ = nullptr;
}

FrameworkWindow* FrameworkWindow::objectOf(HWND window)
{
    return static_cast<FrameworkWindow*>(GetProp(window, kObjectProperty));
}

bool FrameworkWindow::createChild(DWORD style, int x, int y, int width, int height, HWND parent,
                                  UINT id)
{
    registerFrameworkClass(dispatch);
    HWND created =
        CreateWindowEx(0, kClassName, nullptr, style, x, y, width, height, parent,
                       reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, this);
    return created != nullptr;
}

bool FrameworkWindow::attach(HWND window)
{
    if (!IsWindow(window) || objectOf(window) || window_) return false;
    window_ = window;
    SetProp(window, kObjectProperty, this);
    superProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&dispatch)));
    return true;
}

void FrameworkWindow::detach()
{
    if (!window_) return;
    if (IsWindow(window_)) {
        if (superProcedure_)
            SetWindowLongPtr(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProcedure_));
        RemoveProp(window_, kObjectProperty);
    }
    superProcedure_ = nullptr;
    window_ = nullptr;
}

LRESULT FrameworkWindow::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (superProcedure_) return CallWindowProc(superProcedure_, window_, message, wParam, lParam);
    return DefWindowProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK FrameworkWindow::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FrameworkWindow* object = objectOf(window);
    if (!object && message == WM_NCCREATE) {
        // A window this class is creating: the object comes with the creation data.
        const auto* creation = reinterpret_cast<const CREATESTRUCT*>(lParam);
        object = creation ? static_cast<FrameworkWindow*>(creation->lpCreateParams) : nullptr;
        if (object) {
            object->window_ = window;
            SetProp(window, kObjectProperty, object);
        }
    }
    if (!object) return DefWindowProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The native window is going; the object lives on without it.
        const LRESULT result = object->defaultHandling(message, wParam, lParam);
        RemoveProp(window, kObjectProperty);
        if (object->window_ == window) object->window_ = nullptr;
        object->superProcedure_ = nullptr;
        return result;
    }
    LRESULT result = 0;
    // After a handler returns, the object may be gone (a handler can end the
    // instance that embeds it): nothing here touches it again.
    if (object->onMessage(message, wParam, lParam, &result)) return result;
    return object->defaultHandling(message, wParam, lParam);
}
