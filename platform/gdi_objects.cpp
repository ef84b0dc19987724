// GDI objects: bitmaps, pens and brushes, the stock set, selection and deletion.
#include "platform/gdi_state.h"
#include "platform/handles.h"
#include "platform/surface.h"

#include <new>

namespace {

constexpr int kStockCount = kStockDefaultBitmap + 1;
HGDIOBJ stock[kStockCount] = {}; // made on first use, kept until platformReset

} // namespace

GdiObjectRecord* lookupObject(HGDIOBJ object)
{
    return lookupAs<GdiObjectRecord>(object, HandleKind::GdiObject);
}

static HGDIOBJ makeObject(const GdiObjectRecord& fields)
{
    GdiObjectRecord* record = new (std::nothrow) GdiObjectRecord(fields);
    if (!record) return nullptr;
    const HGDIOBJ handle = static_cast<HGDIOBJ>(handleCreate(HandleKind::GdiObject, record));
    if (!handle) delete record;
    return handle;
}

static void freeObject(HGDIOBJ object, GdiObjectRecord* record)
{
    freeSurface(&record->bitmap);
    handleRelease(object);
    delete record;
}

HBITMAP makeBitmapObject(Surface pixels)
{
    GdiObjectRecord fields;
    fields.kind = GdiKind::Bitmap;
    fields.bitmap = pixels;
    const HBITMAP bitmap = makeObject(fields);
    if (!bitmap) freeSurface(&pixels);
    return bitmap;
}

// The fields of a stock object, or false for a number that names none.
static bool stockFields(int which, GdiObjectRecord* fields)
{
    fields->stock = true;
    switch (which) {
    case WHITE_BRUSH: fields->color = RGB(255, 255, 255); return true;
    case LTGRAY_BRUSH: fields->color = RGB(192, 192, 192); return true;
    case GRAY_BRUSH: fields->color = RGB(128, 128, 128); return true;
    case 3: fields->color = RGB(64, 64, 64); return true; // DKGRAY_BRUSH
    case BLACK_BRUSH: fields->color = RGB(0, 0, 0); return true;
    case NULL_BRUSH: fields->hollow = true; return true;
    case WHITE_PEN:
        fields->kind = GdiKind::Pen;
        fields->color = RGB(255, 255, 255);
        return true;
    case BLACK_PEN:
        fields->kind = GdiKind::Pen;
        fields->color = RGB(0, 0, 0);
        return true;
    case kStockDefaultBitmap:
        fields->kind = GdiKind::Bitmap;
        return allocateSurface(1, 1, &fields->bitmap);
    default: return false;
    }
}

HGDIOBJ stockObject(int which)
{
    if (which < 0 || which >= kStockCount) return nullptr;
    if (lookupObject(stock[which])) return stock[which];
    GdiObjectRecord fields;
    if (!stockFields(which, &fields)) return nullptr;
    const HGDIOBJ made = makeObject(fields);
    if (!made) freeSurface(&fields.bitmap);
    stock[which] = made;
    return made;
}

HGDIOBJ GetStockObject(int which)
{
    return which == kStockDefaultBitmap ? nullptr : stockObject(which);
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style != PS_SOLID) return nullptr; // only solid pens are drawn
    GdiObjectRecord fields;
    fields.kind = GdiKind::Pen;
    fields.color = color & 0xFFFFFF;
    fields.penWidth = width > 1 ? width : 1; // 0 means the one-pixel cosmetic pen
    return makeObject(fields);
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    GdiObjectRecord fields;
    fields.kind = GdiKind::Brush;
    fields.color = color & 0xFFFFFF;
    return makeObject(fields);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (dc && !lookupContext(dc)) return nullptr;
    Surface pixels;
    if (width <= 0 || height <= 0 || !allocateSurface(width, height, &pixels)) return nullptr;
    return makeBitmapObject(pixels);
}

BOOL DeleteObject(HGDIOBJ object)
{
    GdiObjectRecord* record = lookupObject(object);
    if (!record) return FALSE;
    if (record->stock) return TRUE; // harmless, and stock objects stay
    // Still selected somewhere: deleting it would leave that context drawing into
    // freed pixels. Win32 calls this an error; here it is refused.
    if (record->selections > 0) return FALSE;
    freeObject(object, record);
    return TRUE;
}

int GetObject(HGDIOBJ object, int size, void* out)
{
    const GdiObjectRecord* record = lookupObject(object);
    if (!record || record->kind != GdiKind::Bitmap) return 0;
    constexpr int kSize = static_cast<int>(sizeof(BITMAP));
    if (!out) return kSize;
    if (size < kSize) return 0;
    const Surface& pixels = record->bitmap;
    *static_cast<BITMAP*>(out) =
        BITMAP{0, pixels.width, pixels.height, pixels.stride, 1, 32, pixels.pixels};
    return kSize;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    DeviceContextRecord* context = lookupContext(dc);
    GdiObjectRecord* record = lookupObject(object);
    if (!context || !record) return nullptr;
    HGDIOBJ* slot = &context->brush;
    if (record->kind == GdiKind::Pen) slot = &context->pen;
    if (record->kind == GdiKind::Bitmap) {
        slot = &context->bitmap;
        // Only a memory context draws into a bitmap, and a bitmap lives in one context.
        if (context->window) return nullptr;
        if (*slot != object && record->selections > 0 && !record->stock) return nullptr;
    }
    const HGDIOBJ previous = *slot;
    if (previous == object) return previous;
    if (GdiObjectRecord* old = lookupObject(previous)) --old->selections;
    *slot = object;
    ++record->selections;
    return previous;
}

void freeAllDrawing()
{
    for (u32 slot = 0; slot < handleSlotCount(); ++slot)
        if (void* dc = handleInSlot(slot, HandleKind::DeviceContext))
            freeContext(lookupContext(static_cast<HDC>(dc)));
    for (u32 slot = 0; slot < handleSlotCount(); ++slot)
        if (void* object = handleInSlot(slot, HandleKind::GdiObject))
            freeObject(static_cast<HGDIOBJ>(object), lookupObject(static_cast<HGDIOBJ>(object)));
    for (HGDIOBJ& entry : stock) entry = nullptr;
}
