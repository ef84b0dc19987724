// libFuzzer target: arbitrary bytes as a bitmap resource. Loading must either give a
// bitmap whose pixels can all be read, or null; never a read outside the data.
#include "platform/windows.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ResourceEntry entry{};
    entry = ResourceEntry{1, nullptr, data, size};
    const HINSTANCE module = RegisterModuleResources("fuzz", &entry, 1);
    const HBITMAP bitmap = LoadBitmap(module, MAKEINTRESOURCE(1));
    if (!bitmap) return 0;
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    // The last pixel must exist: the bitmap really has the size it claims.
    GetPixel(dc, info.bmWidth - 1, info.bmHeight - 1);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return 0;
}
