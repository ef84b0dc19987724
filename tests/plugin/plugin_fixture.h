// tests/plugin/plugin_fixture.h - the plug-in loaded with dlopen, a browser function
// table whose allocator counts blocks and can be told to fail, and the windows a
// browser would give an instance.
#pragma once

#include "platform/windows.h"
#include "plugin/api/host_services.h"
#include "plugin/api/npapi.h"
#include "tests/support/counting_allocator.h"
#include "tests/support/test_support.h"

#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>

// The browser's allocator is the tests' counting allocator, handed to the plug-in
// through the browser function table.
using BrowserMemory = testing_support::CountingAllocator;

// The browser's Java environment: none, but each request is counted.
struct JavaEnvironment {
    static inline long calls = 0;
    static void* request()
    {
        ++calls;
        return nullptr;
    }
};

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformUseBackend("headless");
        BrowserMemory::reset();
        JavaEnvironment::calls = 0;
        const std::string path = testing_support::binDir() + "/libnptarne.so";
        library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        getEntryPoints = symbol<NP_GetEntryPointsFunction>("NP_GetEntryPoints");
        initialize = symbol<NP_InitializeFunction>("NP_Initialize");
        shutdown = symbol<NP_ShutdownFunction>("NP_Shutdown");
        auto getServices = symbol<NP_GetTarneServicesFunction>("NP_GetTarneServices");
        ASSERT_TRUE(getEntryPoints && initialize && shutdown && getServices);
        services = getServices();
        plugin.size = sizeof plugin;
        browser.size = sizeof browser;
        browser.version = 0x001B;
        browser.memalloc = BrowserMemory::alloc;
        browser.memfree = BrowserMemory::release;
        browser.getJavaEnv = JavaEnvironment::request;
    }

    void TearDown() override
    {
        if (instanceLive) plugin.destroy(&instance, nullptr);
        if (initialised) shutdown();
        if (library) dlclose(library);
        platformReset();
    }

    template <class Function> Function symbol(const char* name)
    {
        return reinterpret_cast<Function>(dlsym(library, name));
    }

    // NP_GetEntryPoints and NP_Initialize with the counting browser table.
    void startPlugin()
    {
        ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
        ASSERT_EQ(initialize(&browser), NPERR_NO_ERROR);
        initialised = true;
    }

    // A browser frame holding a plug-in area of the size (of the browser's own window
    // class, if given); NPP_New and NPP_SetWindow.
    void startInstance(int width, int height, const char* areaClass = nullptr)
    {
        frame = CreateWindowEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                               height, nullptr, nullptr, nullptr, nullptr);
        area = CreateWindowEx(0, areaClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                              frame, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame && area);
        ASSERT_EQ(plugin.newp(nullptr, &instance, NP_EMBED, 0, nullptr, nullptr, nullptr),
                  NPERR_NO_ERROR);
        instanceLive = true;
        ASSERT_EQ(setWindow(&instance, area, width, height), NPERR_NO_ERROR);
    }

    // NPP_SetWindow with `window` (null: none yet) as the plug-in area of that size.
    NPError setWindow(NPP which, HWND window, int width, int height)
    {
        NPWindow npWindow{};
        npWindow.window = window;
        npWindow.width = static_cast<std::uint32_t>(width);
        npWindow.height = static_cast<std::uint32_t>(height);
        return plugin.setwindow(which, &npWindow);
    }

    // The instance's world as the JSON dump, and its counts.
    std::string dump(NPP which)
    {
        char* text = services->describeWorld(which, 1);
        const std::string json = text ? text : "";
        services->freeText(text);
        return json;
    }
    TarneWorldCounts counts(NPP which)
    {
        TarneWorldCounts result{};
        services->worldCounts(which, &result);
        return result;
    }

    // Streams a world written into the test's folder, as a browser hands it over, from
    // `url` (null: a stream without one, taken as one from the network).
    void loadWorld(const std::string& name, const std::string& text, const char* url = nullptr)
    {
        const std::string path = testing_support::writeTempFile(name, text);
        NPStream stream{};
        stream.url = url;
        std::uint16_t type = NP_NORMAL;
        ASSERT_EQ(plugin.newstream(&instance, nullptr, &stream, 0, &type), NPERR_NO_ERROR);
        plugin.asfile(&instance, &stream, path.c_str());
        plugin.destroystream(&instance, &stream, NPRES_DONE);
    }

    // Dispatches messages until `frames` frames were presented or nothing is left.
    int runFrames(int frames)
    {
        HWND viewer = static_cast<HWND>(services->viewerWindow(&instance));
        if (!viewer) return 0;
        const std::uint64_t start = platformPresentCount(viewer);
        // A frame that cannot be drawn (memory ran out) presents nothing while the
        // loop goes on asking for the next one: give up after a while.
        int dispatchedWithoutFrame = 0;
        std::uint64_t last = start;
        MSG msg{};
        while (static_cast<int>(platformPresentCount(viewer) - start) < frames &&
               dispatchedWithoutFrame < 100 && GetMessage(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            const std::uint64_t now = platformPresentCount(viewer);
            dispatchedWithoutFrame = now == last ? dispatchedWithoutFrame + 1 : 0;
            last = now;
        }
        return static_cast<int>(platformPresentCount(viewer) - start);
    }

    void destroyInstance()
    {
        if (!instanceLive) return;
        plugin.destroy(&instance, nullptr);
        instanceLive = false;
    }

    void* library = nullptr;
    NP_GetEntryPointsFunction getEntryPoints = nullptr;
    NP_InitializeFunction initialize = nullptr;
    NP_ShutdownFunction shutdown = nullptr;
    const TarneServices* services = nullptr;
    NPPluginFuncs plugin{};
    NPNetscapeFuncs browser{};
    NPP_t instance{};
    bool initialised = false;
    bool instanceLive = false;
    HWND frame = nullptr;
    HWND area = nullptr;
};

// The plug-in started with one instance of Width x Height: the fixture of most cases.
template <int Width, int Height> class StartedPlugin : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (HasFatalFailure()) return;
        startPlugin();
        startInstance(Width, Height);
    }
};

// A one-triangle world in the layout the line reader reads, indented as exporters do.
inline const char* kTriangleWorld =
    "#VRML V2.0 utf8\nViewpoint {\n  position 0 0 5\n}\nShape {\n  appearance Appearance {\n"
    "    material Material {\n      diffuseColor 1 0 0\n    }\n  }\n  geometry IndexedFaceSet {\n"
    "    coord Coordinate {\n      point [\n        -1 -1 0,\n        1 -1 0,\n        0 1 0,\n"
    "      ]\n    }\n    coordIndex [\n      0, 1, 2, -1,\n    ]\n  }\n}\n";
