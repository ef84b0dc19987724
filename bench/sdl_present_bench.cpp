// What a present costs on the SDL2 backend at the viewer's usual 640 x 480, unpaced:
// the whole frame changed, only the world view's rows (above a 90-pixel Dashboard),
// nothing at all (the comparison alone), and, for comparison, SDL's window-surface
// path, which the backend does not use. Run under a display, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/sdl_present_bench
// (SDL_RENDER_DRIVER=software or opengl picks the renderer). It reports; it never fails.
#include "platform/sdl_backend.h"
#include "platform/windows.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kDashboardHeight = 90;

// A top-level window on the SDL2 backend, unpaced; null (and the benchmark skipped)
// without a display.
HWND openWindow(benchmark::State& state)
{
    setenv("TARNE_NO_DIALOGS", "1", 1);
    if (!platformUseBackend("sdl2")) {
        state.SkipWithError(platformBackendFailure());
        return nullptr;
    }
    platformSetPresentRate(0);
    const HWND top = CreateWindow(nullptr, "present bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    if (!top) state.SkipWithError("no window");
    return top;
}

// Changes one pixel in each of rows 0 .. rowCount - 1, so each of them differs: the
// first pixel (the comparison stops at once) or the last (it reads the whole row).
void touchRows(HWND top, int rowCount, int column, std::uint8_t value)
{
    const SurfaceView view = platformSurface(top);
    for (int y = 0; y < rowCount; ++y) view.pixels[y * view.stride + column * 4] = value;
}

void present(HWND top)
{
    ReleaseDC(top, GetDC(top)); // ReleaseDC presents the window's surface
}

void runPresents(benchmark::State& state, int changedRows, int column = 0)
{
    const HWND top = openWindow(state);
    if (!top) return;
    std::uint8_t value = 0;
    for (auto _ : state) {
        touchRows(top, changedRows, column, ++value);
        present(top);
    }
    state.counters["shows"] = static_cast<double>(sdlShowCount(top));
    state.SetItemsProcessed(state.iterations());
    DestroyWindow(top);
}

void WholeFrameChanged(benchmark::State& state)
{
    runPresents(state, kHeight);
}

void WholeFrameChangedAtRowEnds(benchmark::State& state)
{
    runPresents(state, kHeight, kWidth - 1);
}

void WorldViewRowsChanged(benchmark::State& state)
{
    runPresents(state, kHeight - kDashboardHeight);
}

void NothingChanged(benchmark::State& state)
{
    runPresents(state, 0);
}

// SDL's other way to show pixels: copy them into the window's own surface and update
// it. It has no vertical sync, which the backend wants where the display offers it.
void WindowSurfacePath(benchmark::State& state)
{
    if (!platformUseBackend("sdl2")) {
        state.SkipWithError(platformBackendFailure());
        return;
    }
    SDL_Window* window = SDL_CreateWindow("window surface bench", SDL_WINDOWPOS_UNDEFINED,
                                          SDL_WINDOWPOS_UNDEFINED, kWidth, kHeight, 0);
    SDL_Surface* target = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!target) {
        state.SkipWithError(SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        return;
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::uint8_t value = 0;
    for (auto _ : state) {
        pixels[0] = ++value;
        SDL_LockSurface(target);
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(static_cast<std::uint8_t*>(target->pixels) + y * target->pitch,
                        pixels.data() + static_cast<std::size_t>(y) * kWidth * 4,
                        static_cast<std::size_t>(kWidth) * 4);
        SDL_UnlockSurface(target);
        SDL_UpdateWindowSurface(window);
    }
    state.SetItemsProcessed(state.iterations());
    SDL_DestroyWindow(window);
}

} // namespace

BENCHMARK(WholeFrameChanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeFrameChangedAtRowEnds)->Unit(benchmark::kMicrosecond);
BENCHMARK(WorldViewRowsChanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(NothingChanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(WindowSurfacePath)->Unit(benchmark::kMicrosecond);
