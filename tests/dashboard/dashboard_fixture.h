// tests/dashboard/dashboard_fixture.h - a stand-in plug-in instance (a browser frame,
// the plug-in area, a Viewer and a Dashboard over one World), the plug-in's bitmaps as
// its module's resources, and clicks that reach the Dashboard as a mouse's do.
#pragma once

#include "dashboard/dashboard.h"
#include "platform/windows.h"
#include "resources/bitmaps.h"
#include "world/reader.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// One red triangle ahead of the default camera.
inline const char* kTriangle = "Shape {\nappearance Appearance {\nmaterial Material {\n"
                               "diffuseColor 1 0 0\n}\n}\ngeometry IndexedFaceSet {\n"
                               "coord Coordinate {\npoint [\n-1 -1 10,\n1 -1 10,\n0 1 10,\n]\n}\n"
                               "coordIndex [\n0, 1, 2, -1,\n]\n}\n}\n";

struct StandInInstance {
    InstanceOptions options;
    ViewerWindow viewer;
    Dashboard dashboard;
    StandInInstance(World& world, RenderState& render, HINSTANCE module)
        : viewer(world, render, options), dashboard(world, render, viewer, options, module)
    {
    }
    // As the plug-in instance goes: no more frames, the windows, then the teardowns.
    ~StandInInstance()
    {
        viewer.busyFlag = 1;
        if (viewer.handle()) DestroyWindow(viewer.handle());
        if (dashboard.handle()) DestroyWindow(dashboard.handle());
    }
};

class DashboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformUseBackend("headless");
        ASSERT_TRUE(initWorldTables(world));
        std::size_t count = 0;
        const ResourceEntry* bitmaps = dashboardBitmaps(&count);
        module = RegisterModuleResources("nptarne", bitmaps, count);
    }

    void TearDown() override
    {
        instance.reset();
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        freeWorldTables(world);
        platformReset();
    }

    // The plug-in area of width x height, the Dashboard along its bottom 90 rows and
    // the Viewer above, as NPP_SetWindow makes them.
    void start(int width, int height)
    {
        frame = CreateWindowEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                               height, nullptr, nullptr, nullptr, nullptr);
        area = CreateWindowEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                              frame, nullptr, nullptr, nullptr);
        instance = std::make_unique<StandInInstance>(world, render, module);
        ASSERT_TRUE(instance->dashboard.createChild(WS_CHILD | WS_VISIBLE, 0, height - 90, width,
                                                    90, area, 0));
        UpdateWindow(instance->dashboard.handle());
        ASSERT_TRUE(
            instance->viewer.createChild(WS_CHILD | WS_VISIBLE, 0, 0, width, height - 90, area, 0));
    }

    // The one-triangle world, prepared as the loading sequence prepares it.
    void loadTriangle()
    {
        ASSERT_TRUE(readWorldText(world, kTriangle, std::string(kTriangle).size()));
        ASSERT_TRUE(AllocateWorldBuffers(world, render));
        BuildVertexFaceLists(world, render);
        ASSERT_TRUE(BuildMaterialRamps(world));
    }

    // A press or release at (x, y) of the plug-in area, routed as the mouse's are;
    // every message it causes is handled.
    void press(int x, int y, bool right = false)
    {
        platformInjectMouse(frame, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x, y, 0);
        dispatchWaiting();
    }
    void release(int x, int y, bool right = false)
    {
        platformInjectMouse(frame, right ? WM_RBUTTONUP : WM_LBUTTONUP, x, y, 0);
        dispatchWaiting();
    }
    void click(int x, int y, bool right = false)
    {
        press(x, y, right);
        release(x, y, right);
    }
    void dispatchWaiting()
    {
        MSG msg{};
        for (int n = 0; n < 100 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    // The pixels (blue, green, red, unused) of a rectangle of the plug-in area.
    std::vector<std::uint32_t> pixels(const RECT& rect)
    {
        const SurfaceView surface = platformSurface(frame);
        std::vector<std::uint32_t> out;
        for (LONG y = rect.top; y < rect.bottom; ++y)
            for (LONG x = rect.left; x < rect.right; ++x) {
                std::uint32_t value = 0;
                std::memcpy(&value, surface.pixels + y * surface.stride + x * 4, 4);
                out.push_back(value & 0xFFFFFFu);
            }
        return out;
    }

    World world;
    RenderState render;
    HINSTANCE module = nullptr;
    HWND frame = nullptr;
    HWND area = nullptr;
    std::unique_ptr<StandInInstance> instance;
};

// A window's rectangle in the plug-in area: left, top, right, bottom.
inline std::vector<LONG> placeOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}
