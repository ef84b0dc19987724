// DrawDib: 32-bit BI_RGB frames drawn into a context at whole-number stretches, each
// successful draw counted as one presented frame of the drawing window.
#include "platform/gdi_state.h"
#include "platform/handles.h"
#include "platform/surface.h"
#include "platform/teardown.h"
#include "platform/window_state.h"

#include <cstring>
#include <new>

namespace {

struct DrawDibRecord {
    bool begun; // DrawDibBegin has been called since the last DrawDibEnd
};

// Where the frame's pixels are and how they map onto the destination.
struct FrameLayout {
    const u8* bits;
    i64 stride; // bytes a stored row (4 x width: 32-bit rows need no padding)
    i64 rows;   // rows of the whole picture
    bool bottomUp;
    i64 sourceX;
    i64 sourceY; // top-down picture coordinates
    i64 factorX; // whole-number stretch in each direction
    i64 factorY;
};

} // namespace

static DrawDibRecord* lookupDrawDib(HDRAWDIB drawDib)
{
    return lookupAs<DrawDibRecord>(drawDib, HandleKind::DrawDib);
}

HDRAWDIB DrawDibOpen()
{
    DrawDibRecord* record = new (std::nothrow) DrawDibRecord{false};
    if (!record) return nullptr;
    const HDRAWDIB drawDib = static_cast<HDRAWDIB>(handleCreate(HandleKind::DrawDib, record));
    if (!drawDib) delete record;
    return drawDib;
}

BOOL DrawDibClose(HDRAWDIB drawDib)
{
    DrawDibRecord* record = lookupDrawDib(drawDib);
    if (!record) return FALSE;
    handleRelease(drawDib);
    delete record;
    return TRUE;
}

BOOL DrawDibBegin(HDRAWDIB drawDib, HDC dc, int destinationWidth, int destinationHeight,
                  BITMAPINFOHEADER* header, int sourceWidth, int sourceHeight, UINT)
{
    DrawDibRecord* record = lookupDrawDib(drawDib);
    // The context may be null: drawing is prepared for whatever context comes later.
    if (!record || !header || (dc && !lookupContext(dc))) return FALSE;
    if (destinationWidth < 0 || destinationHeight < 0 || sourceWidth < 0 || sourceHeight < 0)
        return FALSE;
    record->begun = true;
    return TRUE;
}

BOOL DrawDibEnd(HDRAWDIB drawDib)
{
    DrawDibRecord* record = lookupDrawDib(drawDib);
    if (!record) return FALSE;
    record->begun = false;
    return TRUE;
}

// Checks the header, the source rectangle and the stretch; false for anything that
// cannot be drawn exactly.
static bool planFrame(const BITMAPINFOHEADER* header, const void* bits, int sourceX, int sourceY,
                      int sourceWidth, int sourceHeight, int destinationWidth,
                      int destinationHeight, FrameLayout* layout)
{
    if (!header || !bits || header->biSize < sizeof(BITMAPINFOHEADER)) return false;
    if (header->biBitCount != 32 || header->biCompression != BI_RGB) return false;
    const i64 width = header->biWidth;
    const i64 rows = header->biHeight < 0 ? -i64{header->biHeight} : i64{header->biHeight};
    if (width <= 0 || rows == 0 || width > kMaxSurfaceSide || rows > kMaxSurfaceSide) return false;
    if (sourceX < 0 || sourceY < 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
    if (i64{sourceX} + sourceWidth > width || i64{sourceY} + sourceHeight > rows) return false;
    if (destinationWidth <= 0 || destinationHeight <= 0) return false;
    if (destinationWidth % sourceWidth != 0 || destinationHeight % sourceHeight != 0) return false;
    *layout = FrameLayout{static_cast<const u8*>(bits),
                          width * 4,
                          rows,
                          header->biHeight > 0,
                          sourceX,
                          sourceY,
                          destinationWidth / sourceWidth,
                          destinationHeight / sourceHeight};
    return true;
}

// Writes destination columns [first, last) of one row, each source pixel repeated
// `factor` times; counters instead of a division per pixel.
static void stretchRow(const u8* in, u8* out, i64 first, i64 last, i64 factor)
{
    i64 source = first / factor;
    i64 repeat = factor - first % factor;
    for (i64 column = first; column < last; ++column, out += 4) {
        std::memcpy(out, in + source * 4, 4);
        if (--repeat == 0) {
            ++source;
            repeat = factor;
        }
    }
}

// Copies the frame's pixels into the clipped destination, each source pixel filling a
// factorX x factorY block. A destination row that repeats the row above is copied
// from it.
static void copyFrame(const FrameLayout& layout, const DrawTarget& target, i64 x, i64 y, i64 width,
                      i64 height)
{
    const i64 left = target.originX + x, top = target.originY + y;
    const RECT& clip = target.clip;
    const i64 firstColumn = clip.left > left ? clip.left - left : 0;
    const i64 lastColumn = clip.right - left < width ? clip.right - left : width;
    const i64 firstRow = clip.top > top ? clip.top - top : 0;
    const i64 lastRow = clip.bottom - top < height ? clip.bottom - top : height;
    if (firstColumn >= lastColumn) return;
    const std::size_t rowBytes = static_cast<std::size_t>(lastColumn - firstColumn) * 4;
    const u8* previousIn = nullptr;
    const u8* previousOut = nullptr;
    for (i64 row = firstRow; row < lastRow; ++row) {
        const i64 pictureRow = layout.sourceY + row / layout.factorY;
        const i64 storedRow = layout.bottomUp ? layout.rows - 1 - pictureRow : pictureRow;
        const u8* in = layout.bits + storedRow * layout.stride + layout.sourceX * 4;
        // Inside the clip, so the coordinates fit i32.
        u8* out = surfacePixel(*target.surface, static_cast<i32>(left + firstColumn),
                               static_cast<i32>(top + row));
        if (in == previousIn)
            std::memcpy(out, previousOut, rowBytes);
        else if (layout.factorX == 1)
            std::memcpy(out, in + firstColumn * 4, rowBytes);
        else
            stretchRow(in, out, firstColumn, lastColumn, layout.factorX);
        previousIn = in;
        previousOut = out;
    }
}

BOOL DrawDibDraw(HDRAWDIB drawDib, HDC dc, int x, int y, int destinationWidth,
                 int destinationHeight, BITMAPINFOHEADER* header, void* bits, int sourceX,
                 int sourceY, int sourceWidth, int sourceHeight, UINT)
{
    const DeviceContextRecord* context = lookupContext(dc);
    FrameLayout layout;
    if (!lookupDrawDib(drawDib) || !context) return FALSE;
    if (!planFrame(header, bits, sourceX, sourceY, sourceWidth, sourceHeight, destinationWidth,
                   destinationHeight, &layout))
        return FALSE;
    DrawTarget target;
    if (!resolveTarget(context, &target)) return FALSE;
    copyFrame(layout, target, x, y, destinationWidth, destinationHeight);
    if (WindowRecord* window = lookupWindow(context->window)) {
        ++window->presentCount;
        presentContext(context);
    }
    return TRUE;
}

std::uint64_t platformPresentCount(HWND window)
{
    const WindowRecord* record = lookupWindow(window);
    return record ? record->presentCount : 0;
}

void freeAllDrawDibs()
{
    for (u32 slot = 0; slot < handleSlotCount(); ++slot) {
        const HDRAWDIB drawDib = static_cast<HDRAWDIB>(handleInSlot(slot, HandleKind::DrawDib));
        if (drawDib) DrawDibClose(drawDib);
    }
}
