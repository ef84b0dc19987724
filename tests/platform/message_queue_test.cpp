// The queue: order, filters, quitting, waiting, sending and translating.
#include "tests/platform/platform_fixture.h"

class MessageQueue : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        top = makeTopLevel(20, 20);
        child = makeChild(top, 0, 0, 5, 5);
        drainAll();
    }
    HWND top = nullptr;
    HWND child = nullptr;
};

TEST_F(MessageQueue, PostedMessagesComeOutInPostingOrderAndPeekingLeavesThemInPlace)
{
    for (UINT i = 0; i < 5; ++i) PostMessage(top, WM_USER + i, i, 10 + i);
    for (UINT i = 0; i < 5; ++i) {
        EXPECT_FALSE(queueEmpty()); // a peek without PM_REMOVE
        const MSG msg = take();
        EXPECT_EQ(msg.message, WM_USER + i);
        EXPECT_EQ(msg.wParam, i);
        EXPECT_EQ(msg.lParam, static_cast<LPARAM>(10 + i));
    }
    EXPECT_TRUE(queueEmpty());
}

TEST_F(MessageQueue, WindowFilterTakesThatWindowAndTheWindowsInsideIt)
{
    PostMessage(top, WM_USER + 1, 0, 0);
    PostMessage(child, WM_USER + 2, 0, 0);
    PostMessage(nullptr, WM_USER + 3, 0, 0); // a thread message
    PostMessage(top, WM_USER + 4, 0, 0);
    // The child's own filter passes over its parent's message, which keeps its place.
    EXPECT_EQ(take(child).message, WM_USER + 2u);
    EXPECT_EQ(take(child).message, 0u);
    EXPECT_EQ(take(top).message, WM_USER + 1u);
    PostMessage(child, WM_USER + 5, 0, 0);
    EXPECT_EQ(take(top).message, WM_USER + 4u);
    EXPECT_EQ(take(top).message, WM_USER + 5u);
    EXPECT_EQ(take(top).message, 0u);
    // The thread message needs the null filter.
    const MSG thread = take();
    EXPECT_EQ(thread.hwnd, nullptr);
    EXPECT_EQ(thread.message, WM_USER + 3u);
}

TEST_F(MessageQueue, RangeFilterSkipsOtherMessagesWithoutLosingThem)
{
    PostMessage(top, WM_MOUSEMOVE, 0, 0);
    PostMessage(top, WM_TIMER, 0, 0);
    PostMessage(top, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(take(nullptr, WM_MOUSEMOVE + 1, WM_LBUTTONUP).message, WM_LBUTTONDOWN);
    EXPECT_EQ(take(nullptr, WM_TIMER, WM_TIMER).message, WM_TIMER);
    EXPECT_EQ(take().message, WM_MOUSEMOVE);
}

TEST_F(MessageQueue, QuitComesAfterPostedMessagesAndEndsGetMessage)
{
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
    registerClass("Twice", answersTwiceTheParameter);
    const HWND window = makeOf("Twice", nullptr, 0, 0, 5, 5);
    EXPECT_EQ(SendMessage(window, WM_USER, 21, 0), 42);
    const MSG msg{window, WM_USER, 5, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessage(&msg), 10);
    const MSG threadMessage{nullptr, WM_USER, 5, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessage(&threadMessage), 0);
}
