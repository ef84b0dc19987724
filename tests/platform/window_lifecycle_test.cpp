// Creation, destruction and handle safety.
#include "tests/platform/platform_fixture.h"

namespace {

CREATESTRUCT createSeen{};
LRESULT createAnswer = 0;
LRESULT ncCreateAnswer = TRUE;
BOOL destroyAgainAnswer = TRUE;

LRESULT creationProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    if (message == WM_NCCREATE) return ncCreateAnswer;
    if (message == WM_CREATE) {
        createSeen = *reinterpret_cast<CREATESTRUCT*>(lParam);
        // The window is whole while WM_CREATE runs: its rectangle and parent answer.
        RECT client{};
        EXPECT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.right, createSeen.cx);
        EXPECT_EQ(GetParent(window), createSeen.hwndParent);
        return createAnswer;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

LRESULT destroysItselfAgain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    if (message == WM_DESTROY) destroyAgainAnswer = DestroyWindow(window);
    return DefWindowProc(window, message, wParam, lParam);
}

std::vector<HWND> windowsOf(const std::vector<Received>& messages)
{
    std::vector<HWND> windows;
    for (const Received& entry : messages) windows.push_back(entry.window);
    return windows;
}

} // namespace

class WindowLifecycle : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        registerClass("Creation", creationProcedure);
        createAnswer = 0;
        ncCreateAnswer = TRUE;
    }
};

TEST_F(WindowLifecycle, CreationSendsNcCreateThenCreateWithTheCreateStruct)
{
    const HWND top = makeTopLevel(100, 80);
    received.clear();
    int param = 42;
    const HWND child = CreateWindow("Creation", nullptr, WS_CHILD | WS_VISIBLE, 5, 6, 30, 20, top,
                                    reinterpret_cast<HMENU>(7), nullptr, &param);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ((std::vector{received[0].message, received[1].message}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
    EXPECT_EQ(createSeen.lpCreateParams, &param);
    EXPECT_EQ((Edges{createSeen.x, createSeen.y, createSeen.cx, createSeen.cy}),
              (Edges{5, 6, 30, 20}));
    EXPECT_EQ(createSeen.hwndParent, top);
    EXPECT_EQ(GetWindowLongPtr(child, GWLP_ID), 7);
}

// A creation answered -1 (WM_CREATE) or FALSE (WM_NCCREATE) fails and leaves nothing
// behind; a window refused before WM_CREATE never gets WM_DESTROY.
TEST_F(WindowLifecycle, RefusedCreationReturnsNullAndLeavesNoWindow)
{
    const struct {
        const char* what;
        LRESULT ncCreate, create;
        size_t creates, destroys;
    } rows[] = {{"-1 from WM_CREATE", TRUE, -1, 1, 1}, {"FALSE from WM_NCCREATE", FALSE, 0, 0, 0}};
    for (const auto& row : rows) {
        received.clear();
        ncCreateAnswer = row.ncCreate;
        createAnswer = row.create;
        EXPECT_EQ(makeOf("Creation", nullptr, 0, 0, 10, 10), nullptr) << row.what;
        EXPECT_EQ(receivedOf(WM_CREATE).size(), row.creates) << row.what;
        EXPECT_EQ(receivedOf(WM_DESTROY).size(), row.destroys) << row.what;
        ASSERT_EQ(receivedOf(WM_NCDESTROY).size(), 1u) << row.what;
        EXPECT_FALSE(IsWindow(receivedOf(WM_NCDESTROY)[0].window)) << row.what;
        EXPECT_EQ(GetTopWindow(nullptr), nullptr); // nothing is left in the tree
    }
}

TEST_F(WindowLifecycle, UnknownClassDeadParentAndOversizedSurfaceAreRefused)
{
    EXPECT_EQ(makeOf("NoSuchClass", nullptr, 0, 0, 10, 10), nullptr);
    const HWND top = makeTopLevel(10, 10);
    DestroyWindow(top);
    EXPECT_EQ(makeChild(top, 0, 0, 5, 5), nullptr);
    EXPECT_EQ(makeTopLevel(100000, 10), nullptr);
    EXPECT_NE(makeTopLevel(0, 0), nullptr); // an empty window is fine
}

TEST_F(WindowLifecycle, CloseDestroysSendingDestroyParentsFirstAndNcDestroyChildrenFirst)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND a = makeChild(top, 0, 0, 50, 50);
    const HWND a1 = makeChild(a, 0, 0, 10, 10);
    const HWND b = makeChild(top, 50, 0, 50, 50);
    received.clear();
    SendMessage(top, WM_CLOSE, 0, 0); // DefWindowProc answers WM_CLOSE by destroying
    EXPECT_EQ(windowsOf(receivedOf(WM_DESTROY)), (std::vector<HWND>{top, a, a1, b}));
    EXPECT_EQ(windowsOf(receivedOf(WM_NCDESTROY)), (std::vector<HWND>{a1, a, b, top}));
    for (HWND window : {top, a, a1, b}) EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowLifecycle, DestroyedAndBogusHandlesAreRefusedEverywhere)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND dead = makeChild(top, 0, 0, 10, 10);
    DestroyWindow(dead);
    // A window made afterwards may reuse the slot; the old handle must stay dead.
    const HWND fresh = makeChild(top, 0, 0, 10, 10);
    ASSERT_NE(fresh, dead);
    const HDC dc = GetDC(top);
    for (HWND bad : {dead, reinterpret_cast<HWND>(0x1234),
                     reinterpret_cast<HWND>(~std::uintptr_t{0}), reinterpret_cast<HWND>(dc)}) {
        RECT rect{};
        EXPECT_FALSE(IsWindow(bad));
        EXPECT_FALSE(PostMessage(bad, WM_USER, 0, 0));
        EXPECT_EQ(SendMessage(bad, WM_USER, 0, 0), 0);
        EXPECT_FALSE(GetClientRect(bad, &rect));
        EXPECT_FALSE(MoveWindow(bad, 0, 0, 5, 5, TRUE));
        EXPECT_FALSE(SetProp(bad, "p", &rect));
        EXPECT_EQ(GetDC(bad), nullptr);
        EXPECT_FALSE(DestroyWindow(bad));
        EXPECT_FALSE(InvalidateRect(bad, nullptr, FALSE));
        EXPECT_EQ(SetCapture(bad), nullptr);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(take(bad).message, 0u);
    }
    ReleaseDC(top, dc);
}

TEST_F(WindowLifecycle, PostedMessagesOfDestroyedWindowsAreDropped)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    drainAll();
    PostMessage(child, WM_USER + 1, 0, 0);
    PostMessage(top, WM_USER + 2, 0, 0);
    PostMessage(child, WM_USER + 3, 0, 0);
    DestroyWindow(child);
    EXPECT_EQ(take().message, WM_USER + 2u);
    // Only the parent's repaint of the uncovered area remains.
    const MSG paint = take();
    EXPECT_EQ(paint.message, WM_PAINT);
    EXPECT_EQ(paint.hwnd, top);
}

TEST_F(WindowLifecycle, DestroyWindowFromItsOwnWmDestroyIsRefused)
{
    registerClass("Again", destroysItselfAgain);
    EXPECT_TRUE(DestroyWindow(makeOf("Again", nullptr, 0, 0, 5, 5)));
    EXPECT_FALSE(destroyAgainAnswer);
    EXPECT_EQ(receivedOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(receivedOf(WM_NCDESTROY).size(), 1u);
}

TEST_F(WindowLifecycle, ClassesClashOnlyWithAnotherProcedure)
{
    WNDCLASS same{};
    same.lpfnWndProc = recordingProcedure;
    same.lpszClassName = "testrecorder"; // names compare without case
    EXPECT_NE(RegisterClass(&same), 0);
    same.lpfnWndProc = DefWindowProc;
    EXPECT_EQ(RegisterClass(&same), 0);
    const HWND top = makeTopLevel(5, 5);
    EXPECT_FALSE(UnregisterClass("TestRecorder", nullptr)); // still in use
    DestroyWindow(top);
    EXPECT_TRUE(UnregisterClass("TestRecorder", nullptr));
    EXPECT_EQ(makeTopLevel(5, 5), nullptr);
}

TEST_F(WindowLifecycle, ResetDestroysLiveWindowsWithTheirMessages)
{
    const HWND top = makeTopLevel(20, 20);
    makeChild(top, 0, 0, 5, 5);
    received.clear();
    platformReset();
    EXPECT_EQ(receivedOf(WM_DESTROY).size(), 2u);
    EXPECT_EQ(receivedOf(WM_NCDESTROY).size(), 2u);
    EXPECT_FALSE(IsWindow(top));
}
