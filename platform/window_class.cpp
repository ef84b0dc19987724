// The window class registry: names (compared without case, as Win32 does) mapped to a
// procedure and a background brush.
#include "platform/teardown.h"
#include "platform/text.h"
#include "platform/window_state.h"

#include <cstdlib>

namespace {

struct ClassRecord {
    char* name; // heap copy
    WNDPROC procedure;
    HBRUSH background;
    ATOM atom;
};

constexpr ATOM kFirstAtom = 0xC000; // where Win32 starts string atoms

Growable<ClassRecord> classes;
u32 nextAtom = kFirstAtom;

} // namespace

// The row of a class given by name or by atom (MAKEINTATOM); -1 when unknown.
static i64 findClassRow(LPCSTR className)
{
    const bool byAtom = IS_INTRESOURCE(className);
    for (u32 row = 0; row < classes.count; ++row) {
        const ClassRecord& entry = classes.items[row];
        if (byAtom ? entry.atom == reinterpret_cast<std::uintptr_t>(className)
                   : sameText(entry.name, className))
            return row;
    }
    return -1;
}

ATOM RegisterClass(const WNDCLASS* windowClass)
{
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName ||
        IS_INTRESOURCE(windowClass->lpszClassName) || windowClass->lpszClassName[0] == '\0')
        return 0;
    const i64 row = findClassRow(windowClass->lpszClassName);
    if (row >= 0) {
        // Registering the same class again is harmless; a clash of procedures is not.
        const ClassRecord& existing = classes.items[row];
        return existing.procedure == windowClass->lpfnWndProc ? existing.atom : ATOM{0};
    }
    if (nextAtom > 0xFFFF) return 0;
    char* name = copyText(windowClass->lpszClassName);
    if (!name) return 0;
    const ClassRecord entry{name, windowClass->lpfnWndProc, windowClass->hbrBackground,
                            static_cast<ATOM>(nextAtom)};
    if (!classes.push(entry)) {
        std::free(name);
        return 0;
    }
    ++nextAtom;
    return entry.atom;
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE)
{
    if (!className) return FALSE;
    const i64 row = findClassRow(className);
    if (row < 0) return FALSE;
    const ATOM atom = classes.items[row].atom;
    for (const WindowRecord* window = firstTopLevel(); window; window = nextInTree(window))
        if (window->classAtom == atom) return FALSE; // still in use, as under Win32
    std::free(classes.items[row].name);
    classes.removeAt(static_cast<u32>(row));
    return TRUE;
}

bool findClass(LPCSTR className, WNDPROC* procedure, HBRUSH* background, ATOM* atom)
{
    if (!className) {
        *procedure = DefWindowProc;
        *background = nullptr;
        *atom = 0;
        return true;
    }
    const i64 row = findClassRow(className);
    if (row < 0) return false;
    const ClassRecord& entry = classes.items[row];
    *procedure = entry.procedure;
    *background = entry.background;
    *atom = entry.atom;
    return true;
}

void clearClasses()
{
    for (u32 row = 0; row < classes.count; ++row) std::free(classes.items[row].name);
    classes.release();
    nextAtom = kFirstAtom;
}
