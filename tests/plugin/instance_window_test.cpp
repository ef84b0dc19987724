// One instance and its window: the take-over, the Dashboard and Viewer rectangles,
// repeated NPP_SetWindow, the browser's own procedure kept reachable and given back.
#include "tests/plugin/plugin_fixture.h"

#include <vector>

namespace {

std::vector<UINT> gBrowserMessages;

LRESULT browserProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER) gBrowserMessages.push_back(message);
    return DefWindowProc(window, message, wParam, lParam);
}

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetTopWindow(parent); child; child = GetNextChild(parent, child))
        children.push_back(child);
    return children;
}

} // namespace

using InstanceWindow = PluginTest;

TEST_F(InstanceWindow, SplitsA400By300AreaIntoViewerAboveAndDashboardBelowOnce)
{
    startPlugin();
    startInstance(400, 300);
    const std::vector<HWND> children = childrenOf(area);
    ASSERT_EQ(children.size(), 2u);
    HWND viewer = static_cast<HWND>(services->viewerWindow(&instance));
    ASSERT_NE(viewer, nullptr);
    for (HWND child : children) {
        RECT rect{};
        GetWindowRect(child, &rect);
        const LONG top = child == viewer ? 0 : 210, bottom = child == viewer ? 210 : 300;
        EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
                  (std::vector<LONG>{0, top, 400, bottom}));
        EXPECT_TRUE(IsWindowVisible(child));
    }
    // Later NPP_SetWindow calls take nothing over again; a new size moves the children
    // to fit it, as a browser's resized window should.
    EXPECT_EQ(setWindow(&instance, area, 800, 600), NPERR_NO_ERROR);
    EXPECT_EQ(setWindow(&instance, area, 800, 600), NPERR_NO_ERROR);
    EXPECT_EQ(childrenOf(area).size(), 2u);
    int width = 0, height = 0;
    ASSERT_EQ(services->renderSize(&instance, &width, &height), 0);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 510);
}

TEST_F(InstanceWindow, ANullHandleTakesNothingOverUntilAWindowArrives)
{
    startPlugin();
    area = CreateWindowEx(0, nullptr, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                          nullptr, nullptr, nullptr, nullptr);
    const LONG_PTR original = GetWindowLongPtr(area, GWLP_WNDPROC);
    ASSERT_EQ(plugin.newp(nullptr, &instance, NP_EMBED, 0, nullptr, nullptr, nullptr),
              NPERR_NO_ERROR);
    instanceLive = true;
    EXPECT_EQ(setWindow(&instance, nullptr, 400, 300), NPERR_NO_ERROR);
    EXPECT_EQ(services->viewerWindow(&instance), nullptr);
    EXPECT_EQ(GetWindowLongPtr(area, GWLP_WNDPROC), original);
    EXPECT_EQ(setWindow(&instance, area, 400, 300), NPERR_NO_ERROR);
    EXPECT_NE(services->viewerWindow(&instance), nullptr);
    EXPECT_NE(GetWindowLongPtr(area, GWLP_WNDPROC), original);
}

TEST_F(InstanceWindow, PassesUnhandledMessagesToTheBrowserAndGivesItsProcedureBack)
{
    startPlugin();
    gBrowserMessages.clear();
    WNDCLASS browserClass{};
    browserClass.lpfnWndProc = browserProcedure;
    browserClass.lpszClassName = "TestBrowserArea";
    ASSERT_NE(RegisterClass(&browserClass), 0);
    startInstance(400, 300, "TestBrowserArea");
    EXPECT_NE(GetWindowLongPtr(area, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&browserProcedure));
    EXPECT_EQ(GetProp(area, "this ptr"), instance.pdata);
    SendMessage(area, WM_USER + 7, 0, 0); // not in the instance's message map
    EXPECT_EQ(gBrowserMessages, (std::vector<UINT>{WM_USER + 7}));

    destroyInstance();
    EXPECT_EQ(GetWindowLongPtr(area, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&browserProcedure));
    EXPECT_EQ(GetProp(area, "this ptr"), nullptr);
    EXPECT_TRUE(IsWindow(area)); // the browser's window stays the browser's
    EXPECT_TRUE(childrenOf(area).empty());
    EXPECT_EQ(instance.pdata, nullptr);
}

TEST_F(InstanceWindow, AnAreaLowerThanTheDashboardGivesTheViewerNoRows)
{
    startPlugin();
    startInstance(300, 50);
    int width = 0, height = 0;
    ASSERT_EQ(services->renderSize(&instance, &width, &height), 0);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 0);
}
