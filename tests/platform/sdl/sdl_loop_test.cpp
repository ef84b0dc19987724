// The message loop on the SDL2 backend: GetMessage sleeps in SDL, presents are paced,
// message boxes reach stderr, and a machine without a display is told so.
#include "tests/platform/sdl/sdl_fixture.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

class SdlLoop : public SdlTest {};

namespace {

double secondsOf(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Sets an environment variable, or removes it for null.
void setOrUnset(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

} // namespace

TEST_F(SdlLoop, GetMessageSleepsInSdlUntilInputComesAndGivesUpOnlyWithoutWindows)
{
    const HWND top = makeTopLevel(200, 100);
    drainAll();
    const Uint32 id = idOf(top);
    // SDL's queue takes events from any thread; this one stands in for the display.
    std::thread mouse([id] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        SDL_Event motion = mouseMotionEvent(id, 0, 5, 6);
        SDL_PushEvent(&motion);
    });
    const double wallBefore = secondsOf(CLOCK_MONOTONIC);
    const double cpuBefore = secondsOf(CLOCK_PROCESS_CPUTIME_ID);
    MSG msg{};
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    const double wall = secondsOf(CLOCK_MONOTONIC) - wallBefore;
    const double cpu = secondsOf(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    mouse.join();
    EXPECT_EQ(got, TRUE);
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_GE(wall, 0.25); // it did wait for the event
    EXPECT_LT(cpu, wall / 2) << "a wait that spins";
    DestroyWindow(top);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), -1); // no window: nothing can come
}

TEST_F(SdlLoop, PresentsAreHeldToTheRateWithoutKeepingTheProcessorBusy)
{
    const HWND top = makeTopLevel(320, 240);
    drainAll();
    ASSERT_TRUE(platformSetPresentRate(20));
    EXPECT_EQ(platformPresentRate(), 20);
    const SurfaceView view = platformSurface(top);
    const u64 before = sdlShowCount(top);
    const double wallBefore = secondsOf(CLOCK_MONOTONIC);
    const double cpuBefore = secondsOf(CLOCK_PROCESS_CPUTIME_ID);
    for (int frame = 0; secondsOf(CLOCK_MONOTONIC) - wallBefore < 0.6; ++frame) {
        view.pixels[0] = static_cast<std::uint8_t>(frame); // a new frame every time
        ReleaseDC(top, GetDC(top));
    }
    const double wall = secondsOf(CLOCK_MONOTONIC) - wallBefore;
    const double cpu = secondsOf(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const u64 shows = sdlShowCount(top) - before;
    // Slots are 50 ms apart, so a span of `wall` seconds holds at most wall / 0.05 + 1
    // shows however the machine is loaded; a slow machine only shows fewer.
    EXPECT_LE(static_cast<double>(shows), wall / 0.05 + 1.0);
    EXPECT_GE(shows, 2u);
    EXPECT_LT(cpu, wall / 2) << "presents that spin instead of sleeping";
    EXPECT_FALSE(platformSetPresentRate(-1));
    EXPECT_FALSE(platformSetPresentRate(1001));
    EXPECT_EQ(platformPresentRate(), 20); // refused values change nothing
}

TEST_F(SdlLoop, MessageBoxTextReachesStderrWithoutAWaitingDialog)
{
    const HWND top = makeTopLevel(100, 100);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(top, "Failed to load COM libraries", "Tarne", MB_OK | MB_ICONERROR), IDOK);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "Tarne: Failed to load COM libraries\n");
    ASSERT_EQ(platformMessageBoxCount(), 1u);
}

TEST_F(SdlLoop, BackendIsRefusedWithoutADisplayAndHeadlessStays)
{
    const HWND top = makeTopLevel(100, 100);
    ASSERT_TRUE(platformUseBackend("sdl2")); // already in use: nothing to change
    EXPECT_FALSE(platformUseBackend("headless")) << "surfaces belong to the backend";
    DestroyWindow(top);
    ASSERT_TRUE(platformUseBackend("headless"));
    const struct {
        const char* what;
        const char* display;
        const char* wayland;
    } cases[] = {
        {"neither display named", nullptr, nullptr},
        {"empty names", "", ""},
        {"a display nobody serves", ":4321", nullptr},
    };
    const char* const names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    std::optional<std::string> saved[3];
    for (int i = 0; i < 3; ++i)
        if (const char* value = std::getenv(names[i])) saved[i] = value;
    for (const auto& c : cases) {
        setOrUnset("DISPLAY", c.display);
        setOrUnset("WAYLAND_DISPLAY", c.wayland);
        unsetenv("SDL_VIDEODRIVER");
        EXPECT_FALSE(platformUseBackend("sdl2")) << c.what;
        EXPECT_STREQ(platformBackendName(), "headless") << c.what;
        EXPECT_EQ(std::string(platformBackendFailure()).rfind("no display", 0), 0u)
            << c.what << ": " << platformBackendFailure();
    }
    for (int i = 0; i < 3; ++i) setOrUnset(names[i], saved[i] ? saved[i]->c_str() : nullptr);
    EXPECT_FALSE(platformUseBackend("sdl3"));
    ASSERT_TRUE(platformUseBackend("sdl2")); // the real display again
    EXPECT_STREQ(platformBackendFailure(), "");
}
