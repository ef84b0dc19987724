// Per-window data: the GWLP_ slots (procedure, user data, id), properties, and the
// default procedure.
#include "platform/gdi_state.h"
#include "platform/text.h"
#include "platform/window_state.h"

#include <cstdlib>

LONG_PTR GetWindowLongPtr(HWND window, int index)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record) return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(record->procedure);
    case GWLP_USERDATA: return record->userData;
    case GWLP_ID: return record->id;
    default: return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value)
{
    WindowRecord* record = lookupWindow(window);
    if (!record) return 0;
    LONG_PTR previous = 0;
    switch (index) {
    case GWLP_WNDPROC:
        // A window without a procedure could receive nothing; refuse it.
        if (value == 0) return 0;
        previous = reinterpret_cast<LONG_PTR>(record->procedure);
        record->procedure = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_USERDATA:
        previous = record->userData;
        record->userData = value;
        return previous;
    case GWLP_ID:
        previous = record->id;
        record->id = value;
        return previous;
    default: return 0;
    }
}

LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        if (BeginPaint(window, &paint)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        const WindowRecord* record = lookupWindow(window);
        if (!record || !record->background) return 0;
        return eraseWithBrush(reinterpret_cast<HDC>(wParam), record->background) ? 1 : 0;
    }
    default: return 0;
    }
}

// The row of a property name (a string, or an atom given as MAKEINTRESOURCE); -1 when absent.
static i64 findProperty(const WindowRecord* record, LPCSTR name)
{
    const bool byAtom = IS_INTRESOURCE(name);
    for (u32 row = 0; row < record->properties.count; ++row) {
        const PropertyRecord& entry = record->properties.items[row];
        if (byAtom ? !entry.name && entry.atom == reinterpret_cast<std::uintptr_t>(name)
                   : entry.name && sameText(entry.name, name))
            return row;
    }
    return -1;
}

BOOL SetProp(HWND window, LPCSTR name, HANDLE data)
{
    WindowRecord* record = lookupWindow(window);
    if (!record || !name) return FALSE;
    const i64 row = findProperty(record, name);
    if (row >= 0) {
        record->properties.items[row].data = data;
        return TRUE;
    }
    PropertyRecord entry{nullptr, 0, data};
    if (IS_INTRESOURCE(name)) {
        entry.atom = reinterpret_cast<std::uintptr_t>(name);
    } else {
        entry.name = copyText(name);
        if (!entry.name) return FALSE;
    }
    if (record->properties.push(entry)) return TRUE;
    std::free(entry.name);
    return FALSE;
}

HANDLE GetProp(HWND window, LPCSTR name)
{
    const WindowRecord* record = lookupWindow(window);
    if (!record || !name) return nullptr;
    const i64 row = findProperty(record, name);
    return row >= 0 ? record->properties.items[row].data : nullptr;
}

HANDLE RemoveProp(HWND window, LPCSTR name)
{
    WindowRecord* record = lookupWindow(window);
    if (!record || !name) return nullptr;
    const i64 row = findProperty(record, name);
    if (row < 0) return nullptr;
    const PropertyRecord entry = record->properties.items[row];
    std::free(entry.name);
    record->properties.removeAt(static_cast<u32>(row));
    return entry.data;
}
