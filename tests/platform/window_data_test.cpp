// Subclassing, the GWLP_ slots and window properties.
#include "tests/platform/platform_fixture.h"

class WindowData : public PlatformTest {};

namespace {

WNDPROC savedProcedure = nullptr;
std::vector<UINT> seenBySubclass;

// Takes WM_USER for itself and hands everything else to the procedure it replaced.
LRESULT subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seenBySubclass.push_back(message);
    if (message == WM_USER) return 99;
    return CallWindowProc(savedProcedure, window, message, wParam, lParam);
}

} // namespace

TEST_F(WindowData, SubclassingReplacesTheProcedureAndCallWindowProcReachesTheOldOne)
{
    const HWND top = makeTopLevel(20, 20);
    EXPECT_EQ(SetWindowLongPtr(top, GWLP_WNDPROC, 0), 0); // no procedure: refused
    seenBySubclass.clear();
    savedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure)));
    EXPECT_EQ(savedProcedure, recordingProcedure);
    received.clear();
    EXPECT_EQ(SendMessage(top, WM_USER, 0, 0), 99);
    EXPECT_TRUE(received.empty());
    SendMessage(top, WM_USER + 1, 3, 4);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_USER + 1u);
    EXPECT_EQ(received[0].wParam, 3u);
    EXPECT_EQ(seenBySubclass, (std::vector<UINT>{WM_USER, WM_USER + 1}));
    // Putting the old procedure back ends the subclassing.
    SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedProcedure));
    SendMessage(top, WM_USER, 0, 0);
    EXPECT_EQ(seenBySubclass.size(), 2u);
}

TEST_F(WindowData, PropertiesAreSetReplacedReadAndRemovedPerWindow)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 5, 5);
    int first = 1, second = 2;
    EXPECT_TRUE(SetProp(top, "this ptr", &first));
    EXPECT_EQ(GetProp(top, "THIS PTR"), &first); // names compare without case
    EXPECT_EQ(GetProp(child, "this ptr"), nullptr);
    EXPECT_TRUE(SetProp(top, "this ptr", &second));
    EXPECT_EQ(GetProp(top, "this ptr"), &second);
    EXPECT_TRUE(SetProp(top, MAKEINTRESOURCE(5), &first));
    EXPECT_EQ(GetProp(top, MAKEINTRESOURCE(5)), &first);
    EXPECT_EQ(RemoveProp(top, "this ptr"), &second);
    EXPECT_EQ(GetProp(top, "this ptr"), nullptr);
    EXPECT_EQ(RemoveProp(top, "this ptr"), nullptr);
    EXPECT_EQ(GetProp(top, MAKEINTRESOURCE(5)), &first);
    // Properties still set when the window goes are freed with it (the sanitizer build checks).
    SetProp(child, "left over", &first);
    DestroyWindow(top);
}
