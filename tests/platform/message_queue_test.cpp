// The queue: order, filters, quitting, waiting, sending and translating.
#include "tests/platform/platform_fixture.h"

class MessageQueue : public PlatformTest {};

TEST_F(MessageQueue, PostedMessagesComeOutInPostingOrder)
{
    const HWND top = makeTopLevel(20, 20);
    drainAll();
    for (UINT i = 0; i < 5; ++i) PostMessage(top, WM_USER + i, i, 0);
    MSG msg;
    for (UINT i = 0; i < 5; ++i) {
        ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_USER + i);
        EXPECT_EQ(msg.wParam, i);
    }
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, WindowFilterTakesThatWindowOnlyNotItsChildren)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 5, 5);
    drainAll();
    PostMessage(child, WM_USER + 1, 0, 0);
    PostMessage(top, WM_USER + 2, 0, 0);
    PostMessage(nullptr, WM_USER + 3, 0, 0); // a thread message
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, top, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    EXPECT_FALSE(PeekMessage(&msg, top, 0, 0, PM_REMOVE));
    // The others kept their order; the thread message needs the null filter.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, child);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, WM_USER + 3u);
}

TEST_F(MessageQueue, RangeFilterSkipsOtherMessagesWithoutLosingThem)
{
    const HWND top = makeTopLevel(20, 20);
    drainAll();
    PostMessage(top, WM_MOUSEMOVE, 0, 0);
    PostMessage(top, WM_TIMER, 0, 0);
    PostMessage(top, WM_LBUTTONDOWN, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEMOVE + 1, WM_LBUTTONUP, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
}

TEST_F(MessageQueue, NoRemoveLeavesTheMessageInPlace)
{
    const HWND top = makeTopLevel(20, 20);
    drainAll();
    PostMessage(top, WM_USER, 7, 8);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageQueue, QuitComesAfterPostedMessagesAndEndsGetMessage)
{
    const HWND top = makeTopLevel(20, 20);
    drainAll();
    PostQuitMessage(3);
    PostMessage(top, WM_USER, 0, 0);
    InvalidateRect(top, nullptr, FALSE);
    MSG msg;
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(PeekMessage(&msg, top, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0); // the quit overtakes the paint
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_PAINT);
}

TEST_F(MessageQueue, GetMessageAnswersMinusOneWhenNothingCanEverArrive)
{
    const HWND top = makeTopLevel(20, 20);
    drainAll();
    MSG msg;
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), -1);
    EXPECT_EQ(GetMessage(&msg, top, 0, 0), -1);
    DestroyWindow(top);
    EXPECT_EQ(GetMessage(&msg, top, 0, 0), -1);
}

namespace {

LRESULT answersTwiceTheParameter(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_NCCREATE) return TRUE;
    return static_cast<LRESULT>(wParam * 2);
}

} // namespace

TEST_F(MessageQueue, SendMessageCallsAtOnceAndDispatchReturnsTheAnswer)
{
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = answersTwiceTheParameter;
    windowClass.lpszClassName = "Twice";
    RegisterClass(&windowClass);
    const HWND window =
        CreateWindow("Twice", nullptr, 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessage(window, WM_USER, 21, 0), 42);
    const MSG msg{window, WM_USER, 5, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessage(&msg), 10);
    const MSG threadMessage{nullptr, WM_USER, 5, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessage(&threadMessage), 0);
}
