// DestroyWindow: WM_DESTROY down the subtree (parents first), WM_NCDESTROY up it
// (children first), then the records, handles, queued messages and capture go.
// Once the subtree is marked, nothing can add to it or destroy part of it, so it can
// be walked through its links while handlers run.
#include "platform/backend.h"
#include "platform/handles.h"
#include "platform/message_queue.h"
#include "platform/teardown.h"
#include "platform/window_state.h"

// The window after `window` in a parents-first walk that stays inside `root`.
static WindowRecord* nextPreOrder(WindowRecord* window, const WindowRecord* root)
{
    if (window->firstChild) return window->firstChild;
    for (; window != root; window = window->parent)
        if (window->nextSibling) return window->nextSibling;
    return nullptr;
}

static WindowRecord* deepestFirstChild(WindowRecord* window)
{
    while (window->firstChild) window = window->firstChild;
    return window;
}

// The window after `window` in a children-first walk that ends with `root`.
static WindowRecord* nextPostOrder(WindowRecord* window, const WindowRecord* root)
{
    if (window == root) return nullptr;
    if (window->nextSibling) return deepestFirstChild(window->nextSibling);
    return window->parent;
}

static void sendDestroyMessages(WindowRecord* root, bool sendDestroy)
{
    for (WindowRecord* w = root; w; w = nextPreOrder(w, root)) w->destroying = true;
    if (sendDestroy)
        for (WindowRecord* w = root; w; w = nextPreOrder(w, root))
            SendMessage(w->handle, WM_DESTROY, 0, 0);
    for (WindowRecord* w = deepestFirstChild(root); w; w = nextPostOrder(w, root))
        SendMessage(w->handle, WM_NCDESTROY, 0, 0);
}

void freeWindowRecord(WindowRecord* window)
{
    for (u32 row = 0; row < window->properties.count; ++row)
        std::free(window->properties.items[row].name);
    window->properties.release();
    delete window;
}

static void freeSubtree(WindowRecord* root)
{
    WindowRecord* w = deepestFirstChild(root);
    while (w) {
        WindowRecord* next = nextPostOrder(w, root);
        if (GetCapture() == w->handle) ReleaseCapture();
        dropMessagesFor(w->handle);
        if (!w->parent) currentBackend().destroySurface(w->handle, &w->surface);
        handleRelease(w->handle);
        if (w != root) freeWindowRecord(w);
        w = next;
    }
    unlinkWindow(root);
    freeWindowRecord(root);
}

static void destroyTree(WindowRecord* root, bool sendDestroy)
{
    sendDestroyMessages(root, sendDestroy);
    WindowRecord* parent = root->parent;
    const RECT uncovered{root->x, root->y, clampLong(i64{root->x} + root->width),
                         clampLong(i64{root->y} + root->height)};
    freeSubtree(root);
    // The parent shows again where the child was.
    if (parent && !parent->destroying) InvalidateRect(parent->handle, &uncovered, TRUE);
}

void destroyRefusedWindow(HWND window, bool sendDestroy)
{
    WindowRecord* record = lookupWindow(window);
    if (record && !record->destroying) destroyTree(record, sendDestroy);
}

BOOL DestroyWindow(HWND window)
{
    WindowRecord* record = lookupWindow(window);
    if (!record || record->destroying) return FALSE;
    destroyTree(record, true);
    return TRUE;
}

void destroyAllWindows()
{
    while (WindowRecord* top = firstTopLevel()) {
        if (top->destroying) break; // a reset from inside a destroy handler: leave it
        destroyTree(top, true);
    }
}
