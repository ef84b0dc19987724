// Presentation of the finished frame through DrawDib.
#include "viewer/presentation.h"

#include "base/convert.h"

constexpr i32 kLargestStretch = 64; // far beyond any display scale in use

static void describeFrame(BITMAPINFOHEADER& header, i16 width, i16 height)
{
    header = BITMAPINFOHEADER{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height; // positive: rows bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
}

// The stretch DrawDib applies: none at exactly 1.0, else the scale's whole part.
static i32 stretchFactor(f32 displayScale)
{
    if (displayScale == 1.0f) return 1;
    return clampTrunc(displayScale, 1, kLargestStretch);
}

void openPresentation(Presentation& presentation, i16 width, i16 height)
{
    describeFrame(presentation.bitmapHeader, width, height);
    presentation.drawDib = DrawDibOpen();
    DrawDibBegin(presentation.drawDib, nullptr, width, height, &presentation.bitmapHeader, width,
                 height, 0);
}

void presentFrame(Presentation& presentation, const FrameState& frame, HDC dc, f32 displayScale)
{
    const i32 width = frame.renderWidth;
    const i32 height = frame.renderHeight;
    if (!dc || width <= 0 || height <= 0 || !frame.frameBuffer) return;
    describeFrame(presentation.bitmapHeader, frame.renderWidth, frame.renderHeight);
    const i32 stretch = stretchFactor(displayScale);
    DrawDibDraw(presentation.drawDib, dc, 0, 0, width * stretch, height * stretch,
                &presentation.bitmapHeader, frame.frameBuffer, 0, 0, width, height, 0);
}

void closePresentation(Presentation& presentation)
{
    if (!presentation.drawDib) return;
    DrawDibEnd(presentation.drawDib);
    DrawDibClose(presentation.drawDib);
    presentation.drawDib = nullptr;
}
