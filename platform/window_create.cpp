// CreateWindowEx: the record, its handle and place in the tree, the top-level surface,
// then WM_NCCREATE and WM_CREATE, either of which may refuse the window.
#include "platform/backend.h"
#include "platform/handles.h"
#include "platform/window_state.h"

#include <new>

// Destroys a window whose creation was refused (window_destroy.cpp).
void destroyRefusedWindow(HWND window, bool sendDestroy);

// A new window is wholly invalid, so its first paint comes by itself, as under Win32.
static void markNewWindowInvalid(WindowRecord* record)
{
    if (record->width <= 0 || record->height <= 0) return;
    record->invalid = true;
    record->eraseNeeded = true;
    record->invalidRect = RECT{0, 0, record->width, record->height};
}

// The record in place in the tree with its handle (and surface when top-level); null
// when memory, the handle table or the backend refuse.
static WindowRecord* makeWindow(const WindowRecord& fields, WindowRecord* parent)
{
    WindowRecord* record = new (std::nothrow) WindowRecord(fields);
    if (!record) return nullptr;
    record->handle = static_cast<HWND>(handleCreate(HandleKind::Window, record));
    if (!record->handle) {
        delete record;
        return nullptr;
    }
    if (!parent && !currentBackend().createSurface(record->handle, record->width, record->height,
                                                   &record->surface)) {
        handleRelease(record->handle);
        delete record;
        return nullptr;
    }
    linkWindow(record, parent);
    markNewWindowInvalid(record);
    return record;
}

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                    void* param)
{
    WindowRecord fields;
    if (!findClass(className, &fields.procedure, &fields.background, &fields.classAtom))
        return nullptr;
    WindowRecord* parentRecord = nullptr;
    if (parent) {
        parentRecord = lookupWindow(parent);
        if (!parentRecord || parentRecord->destroying) return nullptr;
    }
    // Without WS_CHILD the window is top-level; an owner is not kept.
    if (!(style & WS_CHILD)) parentRecord = nullptr;
    fields.style = style;
    fields.exStyle = exStyle;
    fields.x = x;
    fields.y = y;
    fields.width = width > 0 ? width : 0;
    fields.height = height > 0 ? height : 0;
    if (parentRecord) fields.id = reinterpret_cast<LONG_PTR>(menuOrId);
    WindowRecord* record = makeWindow(fields, parentRecord);
    if (!record) return nullptr;
    if (!parentRecord && windowName) currentBackend().setTitle(record->handle, windowName);

    const HWND window = record->handle;
    CREATESTRUCT create{param,
                        instance,
                        menuOrId,
                        parent,
                        fields.height,
                        fields.width,
                        y,
                        x,
                        static_cast<LONG>(style),
                        windowName,
                        className,
                        exStyle};
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (SendMessage(window, WM_NCCREATE, 0, createParam) == FALSE) {
        destroyRefusedWindow(window, false);
        return nullptr;
    }
    if (!lookupWindow(window)) return nullptr; // destroyed by its own handler
    if (SendMessage(window, WM_CREATE, 0, createParam) == -1) {
        destroyRefusedWindow(window, true);
        return nullptr;
    }
    return lookupWindow(window) ? window : nullptr;
}
