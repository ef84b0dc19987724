// Creation, destruction and handle safety.
#include "tests/platform/platform_fixture.h"

class WindowLifecycle : public PlatformTest {};

namespace {

CREATESTRUCT createSeen{};
int createParamSeen = 0;
LRESULT createAnswer = 0;
LRESULT ncCreateAnswer = TRUE;

LRESULT creationProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    if (message == WM_NCCREATE) return ncCreateAnswer;
    if (message == WM_CREATE) {
        createSeen = *reinterpret_cast<CREATESTRUCT*>(lParam);
        createParamSeen = *static_cast<int*>(createSeen.lpCreateParams);
        // The window is whole while WM_CREATE runs: its rectangle and parent answer.
        RECT client{};
        EXPECT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.right, createSeen.cx);
        EXPECT_EQ(GetParent(window), createSeen.hwndParent);
        return createAnswer;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

void registerCreationClass()
{
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = creationProcedure;
    windowClass.lpszClassName = "Creation";
    ASSERT_NE(RegisterClass(&windowClass), 0);
    createAnswer = 0;
    ncCreateAnswer = TRUE;
}

std::vector<HWND> windowsOf(const std::vector<Received>& messages)
{
    std::vector<HWND> windows;
    for (const Received& entry : messages) windows.push_back(entry.window);
    return windows;
}

} // namespace

TEST_F(WindowLifecycle, CreationSendsNcCreateThenCreateWithTheCreateStruct)
{
    registerCreationClass();
    const HWND top = makeTopLevel(100, 80);
    received.clear();
    int param = 42;
    const HWND child = CreateWindow("Creation", nullptr, WS_CHILD | WS_VISIBLE, 5, 6, 30, 20, top,
                                    reinterpret_cast<HMENU>(7), nullptr, &param);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_NCCREATE);
    EXPECT_EQ(received[1].message, WM_CREATE);
    EXPECT_EQ(createParamSeen, 42);
    EXPECT_EQ(createSeen.x, 5);
    EXPECT_EQ(createSeen.y, 6);
    EXPECT_EQ(createSeen.cx, 30);
    EXPECT_EQ(createSeen.cy, 20);
    EXPECT_EQ(createSeen.hwndParent, top);
    EXPECT_EQ(GetWindowLongPtr(child, GWLP_ID), 7);
}

TEST_F(WindowLifecycle, MinusOneFromCreateDestroysTheWindowAndReturnsNull)
{
    registerCreationClass();
    createAnswer = -1;
    int param = 0;
    const HWND window = CreateWindow("Creation", nullptr, WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                     nullptr, nullptr, &param);
    EXPECT_EQ(window, nullptr);
    const std::vector<Received> destroyed = receivedOf(WM_DESTROY);
    const std::vector<Received> finished = receivedOf(WM_NCDESTROY);
    ASSERT_EQ(destroyed.size(), 1u);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_FALSE(IsWindow(destroyed[0].window));
    EXPECT_EQ(GetTopWindow(nullptr), nullptr); // nothing is left in the tree
}

TEST_F(WindowLifecycle, FalseFromNcCreateRefusesTheWindowBeforeCreate)
{
    registerCreationClass();
    ncCreateAnswer = FALSE;
    int param = 0;
    EXPECT_EQ(CreateWindow("Creation", nullptr, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, &param),
              nullptr);
    EXPECT_TRUE(receivedOf(WM_CREATE).empty());
    EXPECT_TRUE(receivedOf(WM_DESTROY).empty());
    EXPECT_EQ(receivedOf(WM_NCDESTROY).size(), 1u);
}

TEST_F(WindowLifecycle, NullClassNameGivesTheDefaultProcedure)
{
    const HWND window = CreateWindow(nullptr, nullptr, WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtr(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(DefWindowProc));
}

TEST_F(WindowLifecycle, UnknownClassAndDeadParentAreRefused)
{
    EXPECT_EQ(
        CreateWindow("NoSuchClass", nullptr, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    const HWND top = makeTopLevel(10, 10);
    DestroyWindow(top);
    EXPECT_EQ(makeChild(top, 0, 0, 5, 5), nullptr);
}

TEST_F(WindowLifecycle, DestroySendsDestroyParentsFirstAndNcDestroyChildrenFirst)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND a = makeChild(top, 0, 0, 50, 50);
    const HWND a1 = makeChild(a, 0, 0, 10, 10);
    const HWND b = makeChild(top, 50, 0, 50, 50);
    received.clear();
    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_EQ(windowsOf(receivedOf(WM_DESTROY)), (std::vector<HWND>{top, a, a1, b}));
    EXPECT_EQ(windowsOf(receivedOf(WM_NCDESTROY)), (std::vector<HWND>{a1, a, b, top}));
    for (HWND window : {top, a, a1, b}) EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowLifecycle, DestroyingAChildLeavesItsParentAndSiblings)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND a = makeChild(top, 0, 0, 50, 50);
    const HWND b = makeChild(top, 50, 0, 50, 50);
    EXPECT_TRUE(DestroyWindow(a));
    EXPECT_TRUE(IsWindow(top));
    EXPECT_EQ(GetTopWindow(top), b);
    EXPECT_EQ(GetNextChild(top, b), nullptr);
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
        MSG msg;
        EXPECT_FALSE(PeekMessage(&msg, bad, 0, 0, PM_REMOVE));
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
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    // Only the parent's repaint of the uncovered area remains.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    EXPECT_EQ(msg.hwnd, top);
}

TEST_F(WindowLifecycle, DestroyingTheCaptureHolderReleasesTheCapture)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    SetCapture(child);
    DestroyWindow(top);
    EXPECT_EQ(GetCapture(), nullptr);
}

namespace {

BOOL destroyAgainAnswer = TRUE;

LRESULT destroysItselfAgain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    if (message == WM_DESTROY) destroyAgainAnswer = DestroyWindow(window);
    return DefWindowProc(window, message, wParam, lParam);
}

} // namespace

TEST_F(WindowLifecycle, DestroyWindowFromItsOwnWmDestroyIsRefused)
{
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = destroysItselfAgain;
    windowClass.lpszClassName = "Again";
    RegisterClass(&windowClass);
    const HWND window =
        CreateWindow("Again", nullptr, 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(destroyAgainAnswer);
    EXPECT_EQ(receivedOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(receivedOf(WM_NCDESTROY).size(), 1u);
}

TEST_F(WindowLifecycle, WmCloseThroughDefWindowProcDestroysTheWindow)
{
    const HWND top = makeTopLevel(20, 20);
    SendMessage(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(top));
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

TEST_F(WindowLifecycle, OversizedTopLevelWindowIsRefused)
{
    EXPECT_EQ(makeTopLevel(100000, 10), nullptr);
    EXPECT_NE(makeTopLevel(0, 0), nullptr); // an empty window is fine
}
