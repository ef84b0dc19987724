// The platform calls that run every frame or every paint: DrawDib presentation of the
// Viewer's frame at both display scales, the Dashboard's halftone stretch, and an idle
// message poll as the Viewer's frame step makes three times a frame.
#include "platform/windows.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

struct Frame {
    BITMAPINFOHEADER header{};
    std::vector<std::uint8_t> bits;
    Frame(int width, int height) : bits(static_cast<std::size_t>(width) * height * 4, 0x5A)
    {
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
    }
};

// A 640 x 480 top-level window with the Viewer's 640 x 390 child.
struct ViewerWindow {
    HWND top = CreateWindow(nullptr, nullptr, WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                            nullptr);
    HWND viewer = CreateWindow(nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 640, 390, top,
                               nullptr, nullptr, nullptr);
    ~ViewerWindow() { platformReset(); }
};

void presentFrame(benchmark::State& state, int scale)
{
    ViewerWindow window;
    Frame frame(640 / scale, 390 / scale);
    const HDRAWDIB drawDib = DrawDibOpen();
    const HDC dc = GetDC(window.viewer);
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawDibDraw(drawDib, dc, 0, 0, frame.header.biWidth * scale,
                                             frame.header.biHeight * scale, &frame.header,
                                             frame.bits.data(), 0, 0, frame.header.biWidth,
                                             frame.header.biHeight, 0));
    state.SetItemsProcessed(state.iterations() * 640 * 390); // pixels written
    ReleaseDC(window.viewer, dc);
    DrawDibClose(drawDib);
}

void BM_DrawDibFullSize(benchmark::State& state)
{
    presentFrame(state, 1);
}
void BM_DrawDibDoubled(benchmark::State& state)
{
    presentFrame(state, 2);
}

void BM_HalftoneDashboard(benchmark::State& state)
{
    ViewerWindow window;
    const HDC memory = CreateCompatibleDC(nullptr);
    const HBITMAP panel = CreateCompatibleBitmap(memory, 800, 94);
    const HGDIOBJ previous = SelectObject(memory, panel);
    const HDC dc = GetDC(window.top);
    SetStretchBltMode(dc, HALFTONE);
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchBlt(dc, 0, 390, 640, 90, memory, 0, 0, 800, 94, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * 640 * 90);
    ReleaseDC(window.top, dc);
    SelectObject(memory, previous);
    DeleteObject(panel);
    DeleteDC(memory);
}

void BM_IdlePeekPerWindow(benchmark::State& state)
{
    ViewerWindow window;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) ValidateRect(msg.hwnd, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(PeekMessage(&msg, window.top, 0, 0, PM_REMOVE));
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_DrawDibFullSize);
BENCHMARK(BM_DrawDibDoubled);
BENCHMARK(BM_HalftoneDashboard);
BENCHMARK(BM_IdlePeekPerWindow);
