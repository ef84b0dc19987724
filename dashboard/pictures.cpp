// Bitmaps from the module's resources, and drawing them.
#include "dashboard/pictures.h"

Picture loadPicture(HINSTANCE module, LPCSTR name)
{
    Picture picture;
    picture.bitmap = LoadBitmap(module, name);
    BITMAP info{};
    if (picture.bitmap && GetObject(picture.bitmap, sizeof info, &info) != 0) {
        picture.width = info.bmWidth;
        picture.height = info.bmHeight;
    }
    return picture;
}

void freePicture(Picture& picture)
{
    if (picture.bitmap) DeleteObject(picture.bitmap);
    picture = Picture{};
}

void drawPicture(HDC dc, HDC memory, const Picture& picture, const Place& place)
{
    if (!dc || !memory || !picture.bitmap) return;
    const HGDIOBJ previous = SelectObject(memory, picture.bitmap);
    StretchBlt(dc, place.x, place.y, place.width, place.height, memory, 0, 0, picture.width,
               picture.height, SRCCOPY);
    SelectObject(memory, previous);
}

void copyPicture(HDC dc, HDC memory, const Picture& picture, i32 x, i32 y)
{
    if (!dc || !memory || !picture.bitmap) return;
    const HGDIOBJ previous = SelectObject(memory, picture.bitmap);
    BitBlt(dc, x, y, picture.width, picture.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
}

WindowDrawing::WindowDrawing(HWND window) : window_(window), dc_(GetDC(window)), memory_(nullptr)
{
    if (!dc_) return;
    memory_ = CreateCompatibleDC(dc_);
    SetStretchBltMode(dc_, HALFTONE);
}

WindowDrawing::~WindowDrawing()
{
    if (memory_) DeleteDC(memory_);
    if (dc_) ReleaseDC(window_, dc_);
}
