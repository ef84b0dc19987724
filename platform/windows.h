// platform/windows.h - the small part of the Win32 vocabulary the plug-in is written
// against, with the same names, constants and meanings, implemented for Linux.
//
// Owns: the window tree, the message queue, invalid regions, mouse capture, window
// properties, device contexts and their surfaces, bitmaps, pens and brushes, the DIB
// presentation calls, the COM-style class registry, and the message-box log.
// Knows nothing of VRML or of the plug-in. One shared library, used by the host and
// the plug-in alike, as an operating system's window system is shared by a browser
// and its plug-ins. Single-threaded: every call comes from the one UI thread.
// Failure: calls answer as Win32 does (null handle, FALSE, negative HRESULT); nothing
// throws and nothing aborts on bad handles (a stale HWND is detected and refused).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// ---- Basic types ----------------------------------------------------------------------

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
using HRESULT = std::int32_t;
using COLORREF = DWORD;
using ATOM = WORD;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct WindowObject;
struct DeviceContextObject;
struct GdiObject;
struct ModuleObject;
struct DrawDibObject;

using HWND = WindowObject*;
using HDC = DeviceContextObject*;
using HGDIOBJ = GdiObject*;
using HBITMAP = GdiObject*;
using HPEN = GdiObject*;
using HBRUSH = GdiObject*;
using HINSTANCE = ModuleObject*;
using HMODULE = ModuleObject*;
using HMENU = void*;
using HANDLE = void*;
using HDRAWDIB = DrawDibObject*;
using LPCSTR = const char*;

// Calling conventions: on 32-bit Windows window procedures (CALLBACK) and system calls
// (WINAPI) are __stdcall; Linux has one convention, so the names mark nothing here.
#define CALLBACK
#define WINAPI

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint; // the invalid area that this paint validates, client coordinates
};

struct CREATESTRUCT {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct WNDCLASS {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon;
    HANDLE hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

// ---- Messages and flags ---------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_USER = 0x0400;

// Virtual-key codes in wParam of WM_KEYDOWN and WM_KEYUP. Letters and digits are their
// upper-case ASCII codes ('A' .. 'Z', '0' .. '9'), as under Win32.
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;

// Mouse key state in wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;

// PeekMessage.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;

// GetWindowLongPtr / SetWindowLongPtr.
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_USERDATA = -21;
constexpr int GWLP_ID = -12;

// GetAncestor.
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;

// ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// WM_SIZE wParam.
constexpr WPARAM SIZE_RESTORED = 0;

// MessageBox.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr int IDOK = 1;

// Raster operations, stretch modes, pens, stock objects.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int PS_SOLID = 0;
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;

// clang-format off: the one-line helpers read best as a table
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c)
{
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c)
{
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c)
{
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

constexpr WORD LOWORD(std::uintptr_t v)
{
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v)
{
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
// Signed coordinates packed in the lParam of mouse messages.
constexpr int GET_X_LPARAM(LPARAM l)
{
    return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(l)));
}
constexpr int GET_Y_LPARAM(LPARAM l)
{
    return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(l)));
}
constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<WORD>(lo))) |
                               (static_cast<std::uint32_t>(static_cast<WORD>(hi)) << 16));
}

// Resource names: a small integer stands for a numeric identifier.
inline LPCSTR MAKEINTRESOURCE(std::uintptr_t id)
{
    return reinterpret_cast<LPCSTR>(id);
}
inline bool IS_INTRESOURCE(LPCSTR name)
{
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}
// clang-format on

// ---- Windows ----------------------------------------------------------------------------

// Registers a window class by name (lpszClassName, lpfnWndProc). Returns 0 on failure
// (no name, no procedure, or a name already registered with another procedure).
ATOM RegisterClass(const WNDCLASS* windowClass);
BOOL UnregisterClass(LPCSTR className, HINSTANCE instance);

// Creates a window. A null class name gives the framework's default class, whose
// procedure is DefWindowProc. A window without WS_CHILD (or without a parent) is
// top-level and gets a surface of its client size from the backend; a child draws
// into its top-level window's surface. WM_NCCREATE and WM_CREATE are sent with a
// CREATESTRUCT in lParam; an answer of -1 to WM_CREATE (or FALSE to WM_NCCREATE)
// destroys the window and returns null. Rectangles are in the parent's client
// coordinates; `menuOrId` is the control id of a child. A new window starts wholly
// invalid, as under Win32, so it gets its first WM_PAINT once shown.
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                    void* param);
inline HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* param)
{
    return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menuOrId,
                          instance, param);
}

// Destroys the window and its children: WM_DESTROY goes to the window, then to its
// children (parents first); WM_NCDESTROY to the children, then the window (children
// first). Posted messages for destroyed windows are dropped; a capture is released.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL ShowWindow(HWND window, int command);

// Moves and sizes; sends WM_MOVE (lParam: client origin in parent coordinates) when the
// position changed, then WM_SIZE (lParam: client width and height) when the size
// changed, as Win32 does, so a WM_SIZE handler may move its own window to where it is
// without recursing; invalidates the window when `repaint` and something changed.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND window, RECT* rect); // (0, 0, width, height)
BOOL GetWindowRect(HWND window, RECT* rect); // in the top-level window's client coordinates
HWND GetParent(HWND window);
HWND GetAncestor(HWND window, UINT flags);
HWND GetTopWindow(HWND window);             // first child, or null
HWND GetNextChild(HWND parent, HWND child); // next sibling in creation order, or null
// The deepest visible child of `parent` (or `parent` itself) containing the point,
// given in `parent`'s client coordinates.
HWND ChildWindowFromPointDeep(HWND parent, POINT point);
BOOL ClientToScreen(HWND window, POINT* point); // "screen" = top-level client coordinates
BOOL ScreenToClient(HWND window, POINT* point);

LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value); // returns the old value
LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Default handling: WM_CLOSE destroys the window, WM_PAINT validates it, WM_NCCREATE
// answers TRUE, everything else 0.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window's text. A top-level window's text (first the name given to CreateWindowEx)
// is its title where the backend shows windows (SDL2); the layer keeps no copy, so
// there is no GetWindowText. FALSE for a dead window.
BOOL SetWindowText(HWND window, LPCSTR text);

BOOL SetProp(HWND window, LPCSTR name, HANDLE data);
HANDLE GetProp(HWND window, LPCSTR name);
HANDLE RemoveProp(HWND window, LPCSTR name); // returns the removed value

// ---- Messages ---------------------------------------------------------------------------

// Queues a message for the window (null: a thread message). FALSE for a dead window.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Calls the window's procedure at once and returns its answer (0 for a dead window).
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Takes the next message for `window` only (not its children; null: any window and
// thread messages), filtered by the message range (0, 0: all). Posted messages come first, in
// order; WM_PAINT is generated only when no posted message waits and a matching
// window is invalid and shown (it and its ancestors WS_VISIBLE); it stays due until
// the window validates itself. Also asks the backend for input events first.
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// As PeekMessage with PM_REMOVE, but waits for the backend when nothing is queued (the
// SDL2 backend sleeps in SDL's event wait, never spins). Returns 0 on WM_QUIT, -1 when
// nothing can ever arrive (an empty queue, no invalid window and no native window that
// could give input: always so for headless, never while an SDL window exists),
// otherwise nonzero.
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);

// ---- Painting ---------------------------------------------------------------------------

// Adds the rectangle (client coordinates; null = whole client area) to the window's
// invalid area; children are not invalidated.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
// Sends WM_PAINT at once when the window is invalid, then to each shown child that is,
// down the tree (as Windows does).
BOOL UpdateWindow(HWND window);
// Validates the window and returns a device context clipped to it.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// ---- Mouse ------------------------------------------------------------------------------

// While a window holds the capture, every mouse message goes to it, with coordinates
// relative to its client area; otherwise to the deepest visible child under the point.
HWND SetCapture(HWND window); // returns the previous holder
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Message boxes ----------------------------------------------------------------------

// Records the text and writes it to stderr; the SDL2 backend also shows it in a modal
// SDL message box, except when the environment variable TARNE_NO_DIALOGS is set to
// anything but "" or "0" (tests, unattended runs) or SDL's video driver is "offscreen"
// or "dummy", where nobody could click it away. Always answers IDOK.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// ---- Drawing ----------------------------------------------------------------------------

// A device context is a surface (32 bits a pixel: blue, green, red, unused; rows
// top-down), an origin and a clip rectangle. A window's context draws into its
// top-level window's surface at the window's place, clipped to its client area.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(
    HDC dc); // a memory context holding a 1 x 1 surface until a bitmap is selected
BOOL DeleteDC(HDC dc);
// Selects a bitmap (a memory context then draws into the bitmap), a pen or a brush;
// returns the previously selected object of that kind.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int which);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
// A 32-bit bitmap of the size; contents zero.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// Draws the outline with the current pen and fills the inside with the current brush.
// The right and bottom edges are exclusive, as in GDI.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop);
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop);
int SetStretchBltMode(HDC dc, int mode); // returns the previous mode
int GetStretchBltMode(HDC dc);
COLORREF GetPixel(HDC dc, int x, int y); // CLR_INVALID outside the surface
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};
int GetObject(HGDIOBJ object, int size, void* out); // fills a BITMAP for a bitmap

// ---- Modules and resources ----------------------------------------------------------------

// A module's embedded resource table: bitmaps by number or by name. A bitmap resource
// is a Windows DIB: a BITMAPINFOHEADER, a palette for 8 bits a pixel, then the rows.
struct ResourceEntry {
    std::uintptr_t id; // numeric identifier, or 0 when the entry has a name
    const char* name;  // name, or null
    const unsigned char* data;
    std::size_t size;
};
// Registers a module's resource table; returns its handle (the same handle for the
// same table). The table must outlive the module's use.
HINSTANCE RegisterModuleResources(const char* moduleName, const ResourceEntry* entries,
                                  std::size_t count);
// Loads a bitmap resource by number (MAKEINTRESOURCE) or by name; null when absent or
// malformed. The result is a 32-bit bitmap.
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);

// ---- DIB presentation ---------------------------------------------------------------------

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // positive: rows bottom-up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the DIB header is 40 bytes");
constexpr DWORD BI_RGB = 0;

HDRAWDIB DrawDibOpen();
BOOL DrawDibClose(HDRAWDIB drawDib);
BOOL DrawDibBegin(HDRAWDIB drawDib, HDC dc, int destinationWidth, int destinationHeight,
                  BITMAPINFOHEADER* header, int sourceWidth, int sourceHeight, UINT flags);
BOOL DrawDibEnd(HDRAWDIB drawDib);
// Draws a 32-bit BI_RGB DIB (bottom-up for a positive height) into the context. The
// destination size must be the source size times a whole factor (1, 2, 3, ...) in
// each direction; each source pixel then fills a factor x factor square. Anything
// else (another depth, a fractional stretch, a null header or bits) draws nothing and
// returns FALSE. Every successful call counts as one presented frame of the window.
BOOL DrawDibDraw(HDRAWDIB drawDib, HDC dc, int x, int y, int destinationWidth,
                 int destinationHeight, BITMAPINFOHEADER* header, void* bits, int sourceX,
                 int sourceY, int sourceWidth, int sourceHeight, UINT flags);

// ---- COM ----------------------------------------------------------------------------------

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using CLSID = GUID;
using IID = GUID;
using REFCLSID = const GUID&;
using REFIID = const GUID&;
bool operator==(const GUID& a, const GUID& b);

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
// clang-format off
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }
// clang-format on
// Interface methods: called through a table of function pointers, the interface pointer
// first. The calling convention is __stdcall on 32-bit Windows; Linux has one convention.
#define STDMETHODCALLTYPE
using ULONG = std::uint32_t; // reference counts answered by AddRef and Release

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (registry form); false when malformed.
bool GuidFromString(const char* text, GUID* guid);
extern const IID IID_IUnknown; // {00000000-0000-0000-C000-000000000046}

// Initialises COM for the thread: S_OK the first time, S_FALSE when already
// initialised (both succeed and each must be balanced by CoUninitialize).
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
// Creates an object of a registered in-process class: REGDB_E_CLASSNOTREG when the
// class is unknown, CO_E_NOTINITIALIZED before CoInitialize, otherwise the factory's
// answer. `*object` is null on failure.
HRESULT CoCreateInstance(REFCLSID classId, void* outer, DWORD context, REFIID interfaceId,
                         void** object);
// The registry of in-process classes: a factory creates an object answering the
// interface, or fails with an HRESULT.
using ClassFactoryFunction = HRESULT (*)(REFIID interfaceId, void** object);
bool RegisterInprocClass(REFCLSID classId, ClassFactoryFunction factory);
bool UnregisterInprocClass(REFCLSID classId);

// ---- Backends and host services (not Win32) ------------------------------------------------

// The backend gives top-level windows their surfaces and input, and shows them. It is
// chosen before the first top-level window (false while any exists, unless it is the
// backend already in use).
// "headless" (the default): no display; input is injected with platformInjectMouse;
//   message boxes are recorded and written to stderr.
// "sdl2": one resizable SDL window per top-level window, of its client size, titled with
//   its text. SDL's video is started here; false (headless stays) when there is no
//   display: neither DISPLAY nor WAYLAND_DISPLAY is set (unless SDL_VIDEODRIVER names
//   a driver explicitly), SDL cannot start, or SDL could only fall back to its
//   offscreen or dummy driver. What the SDL window does becomes messages, taken in by
//   PeekMessage and GetMessage:
//   - left and right buttons and motion: WM_LBUTTONDOWN/UP, WM_RBUTTONDOWN/UP and
//     WM_MOUSEMOVE with MK_LBUTTON, MK_RBUTTON, MK_SHIFT and MK_CONTROL, routed as
//     platformInjectMouse routes them (posted);
//   - key presses and releases: WM_KEYDOWN/WM_KEYUP posted to the top-level window
//     with VK_ codes (letters and digits as upper-case ASCII; keys without a code are
//     dropped); TranslateMessage adds WM_CHAR;
//   - a size change by the user: the surface takes the new size and the top-level
//     window gets WM_SIZE, sent from inside PeekMessage/GetMessage as MoveWindow sends
//     it (MoveWindow on a top-level window resizes the SDL window in turn, without a
//     second WM_SIZE);
//   - the window's close button (or SDL's quit request): WM_CLOSE posted to the
//     top-level window (to every one for a quit). DefWindowProc would destroy the
//     window then; a host that tears down outside any dispatch handles WM_CLOSE
//     itself, noting it for its loop to end after that dispatch, and destroys after
//     the loop (PostQuitMessage alone may never end it: WM_QUIT only comes when no
//     posted message waits, and an animation posts itself its next frame each time);
//   - the window uncovered: the last frame is shown again, no message.
//   Presents show the surface (only the rows that changed are uploaded) and are paced
//   by platformSetPresentRate.
bool platformUseBackend(const char* name);
const char* platformBackendName();
// Why the last platformUseBackend answered false, for the host's error message (for
// "sdl2" without a display: "no display: ..."); "" when it answered true.
const char* platformBackendFailure();

// How many times a second the SDL2 backend may show each window: 60 unless changed;
// 0 = unpaced (and without vertical sync), for measurements. A present that comes
// before its window's next slot sleeps until then, so an animation that repaints as
// fast as it can moves at a steady pace and leaves the processor idle in between;
// where the display's vertical sync holds presents to the rate (checked as they go, as
// some drivers claim it and do not), it does the waiting instead. A present that
// changed no pixel since the last shown one shows nothing and never waits. Applies to
// existing and later windows; headless ignores it. False (nothing changed) outside
// 0 .. 1000.
bool platformSetPresentRate(int framesPerSecond);
int platformPresentRate();

// The top-level surface of a window: 32 bits a pixel, blue, green, red, unused, rows
// top-down, `stride` bytes a row. Null for a window without a surface.
struct SurfaceView {
    std::uint8_t* pixels;
    int width;
    int height;
    int stride;
};
SurfaceView platformSurface(HWND topLevel);
// Writes the area (null: all) of the top-level window's surface as an RGB PNG, to a
// file of that name or to an open file (left open, for the caller to check and close).
bool platformSaveSurfacePng(HWND topLevel, const RECT* area, const char* path);
bool platformWriteSurfacePng(HWND topLevel, const RECT* area, std::FILE* file);
// Turns a mouse event at (x, y) of the top-level window's client area into a message
// for the window holding the capture or the deepest visible child under the point,
// with coordinates in that window's client area, and queues it. `keys` holds the
// MK_* flags. Returns the window that received it (null when none).
HWND platformInjectMouse(HWND topLevel, UINT message, int x, int y, WPARAM keys);
// While held, the backend's own mouse events are dropped (scripted input then has the
// windows to itself); keys and window events still arrive.
void platformHoldNativeMouse(bool hold);
// How many frames DrawDibDraw has presented into the window (any window: its
// descendants' draws land in its surface and count for the drawing window).
std::uint64_t platformPresentCount(HWND window);

// Message boxes shown so far (the headless backend records them), oldest first.
std::size_t platformMessageBoxCount();
const char* platformMessageBoxText(std::size_t index);
void platformClearMessageBoxes();

// Tears down every window, class, module and COM registration (tests use it between
// cases). Windows get WM_DESTROY/WM_NCDESTROY as with DestroyWindow.
void platformReset();
