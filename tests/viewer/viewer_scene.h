// tests/viewer/viewer_scene.h - a Viewer of 400 x 210 client pixels in a headless browser
// frame, inside a stand-in plug-in instance, driven as a user drives it: mouse events
// injected at the frame's client coordinates (routed to the capture holder or the window
// under the point), frames run by the Viewer's own ticks. Every viewer test builds on it.
#pragma once

#include "platform/windows.h"
#include "render/render.h"
#include "viewer/viewer_window.h"
#include "world/reader.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace viewer_scene {

constexpr int kViewerWidth = 400;
constexpr int kViewerHeight = 210;

// One red triangle straight ahead of the default camera at file z = 10 (depth 50000),
// its corners 1 file unit off the axis: the world centre is (50000, 0, 0).
using Vec3 = std::array<double, 3>;

inline const char* kTriangleAhead =
    "Shape {\nappearance Appearance {\nmaterial Material {\ndiffuseColor 1 0 0\n}\n}\n"
    "geometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n-1 -1 10,\n1 -1 10,\n0 1 10,\n]\n}\n"
    "coordIndex [\n0, 1, 2, -1,\n]\n}\n}\n";

// Stands in for the plug-in instance; it goes as the instance does: no more frames, then
// the Viewer's window.
struct Instance {
    InstanceOptions options;
    ViewerWindow viewer;
    Instance(World& world, RenderState& render) : viewer(world, render, options) {}
    ~Instance()
    {
        viewer.busyFlag = 1;
        if (viewer.handle()) DestroyWindow(viewer.handle());
    }
};

class ViewerScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformUseBackend("headless");
        ASSERT_TRUE(initWorldTables(world));
        frame = CreateWindowEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                               300, nullptr, nullptr, nullptr, nullptr);
        plugin = CreateWindowEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame,
                                nullptr, nullptr, nullptr);
        instance = std::make_unique<Instance>(world, render);
    }
    void TearDown() override
    {
        instance.reset();
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        freeWorldTables(world);
        platformReset();
    }

    // Reads the shapes (none: no world), creates the Viewer at the display scale and
    // prepares the world as the loading sequence does. No frame is drawn yet.
    void open(const char* shapes, f32 scale = 1.0f)
    {
        if (shapes) { ASSERT_TRUE(readWorldText(world, shapes, std::string(shapes).size())); }
        instance->options.displayScale = scale;
        ASSERT_TRUE(viewer().createChild(WS_CHILD | WS_VISIBLE, 0, 0, kViewerWidth, kViewerHeight,
                                         plugin, 0));
        viewer().resizeToClient();
        ASSERT_TRUE(AllocateWorldBuffers(world, render));
        BuildVertexFaceLists(world, render);
        GenerateTexCoords(world);
        ASSERT_TRUE(BuildMaterialRamps(world));
    }

    // Frames through the loop: each waiting tick is dispatched and paints one frame
    // (the first starts the loop with a repaint).
    void frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            const auto before = platformPresentCount(viewer().handle());
            MSG msg{};
            if (PeekMessage(&msg, viewer().handle(), WM_TIMER, WM_TIMER, PM_REMOVE)) {
                DispatchMessage(&msg);
            } else {
                InvalidateRect(viewer().handle(), nullptr, FALSE);
                UpdateWindow(viewer().handle());
            }
            ASSERT_EQ(platformPresentCount(viewer().handle()), before + 1);
        }
    }

    // One mouse event at the frame's client (x, y), delivered at once.
    void mouse(UINT message, int x, int y, WPARAM keys = 0)
    {
        platformInjectMouse(frame, message, x, y, keys);
        MSG msg{};
        while (PeekMessage(&msg, nullptr, WM_MOUSEMOVE, WM_RBUTTONUP, PM_REMOVE))
            DispatchMessage(&msg);
    }
    // A press at (200, 100) and a move by (dx, dy); the button stays down.
    void drag(int dx, int dy, bool right = false, WPARAM modifiers = 0)
    {
        const WPARAM held = (right ? MK_RBUTTON : MK_LBUTTON) | modifiers;
        mouse(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 200, 100, held);
        mouse(WM_MOUSEMOVE, 200 + dx, 100 + dy, held);
    }
    void click(int x, int y)
    {
        mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        mouse(WM_LBUTTONUP, x, y);
    }

    void placeCamera(const Vec3& eye, const Vec3& target)
    {
        for (int axis = 0; axis < 3; ++axis) {
            world.camera.eyePoint[axis] = static_cast<f32>(eye[axis]);
            world.camera.targetPoint[axis] = static_cast<f32>(target[axis]);
        }
    }

    ViewerWindow& viewer() { return instance->viewer; }
    NavigationState& navigation() { return instance->viewer.navigation; }

    World world;
    RenderState render;
    HWND frame = nullptr;
    HWND plugin = nullptr;
    std::unique_ptr<Instance> instance;
};

inline void expectNear(const f32* actual, const Vec3& expected, double tolerance, const char* what)
{
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(actual[axis], expected[axis], tolerance) << what << " axis " << axis;
}

} // namespace viewer_scene
