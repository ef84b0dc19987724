// plugin_probe: looks at a plug-in DLL the way a Netscape-API browser on Windows does
// before it offers the plug-in a world: it loads the DLL, looks up the three entry
// points by their undecorated names, and reads the version resource, whose strings
// say which content types and file extensions the plug-in takes; and it opens the
// module's other resources, the bitmaps and the dialog templates.
//
// Usage: plugin_probe [DLL]   (default NPTARNE.DLL, found beside the probe first)
// Prints each failed check, then a count; exits 0 only when every check passed.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int checks = 0;
int failures = 0;

bool check(bool passed, const std::string& what)
{
    ++checks;
    if (!passed) {
        ++failures;
        std::printf("FAILED: %s\n", what.c_str());
    }
    return passed;
}

std::string narrow(const wchar_t* text)
{
    std::string result;
    for (; *text; ++text) result += *text < 128 ? static_cast<char>(*text) : '?';
    return result;
}

struct VersionString {
    const char* name;
    const char* value;
};

// What the browser reads: language 0x0409 (US English), code page 0x04E4 (1252).
constexpr VersionString kStrings[] = {
    {"MIMEType", "x-world/x-vrml|model/vrml"},
    {"FileExtents", "wrl,wrz|wrl,wrz"},
    {"FileOpenName", "VRML Worlds (*.wrl, *.wrz)|VRML Worlds (*.wrl, *.wrz)"},
    {"FileDescription", "VRML World"},
    {"InternalName", "tarne"},
    {"OriginalFilename", "NPTARNE.DLL"},
    {"ProductName", "Tarne 1.0"},
    {"FileVersion", "1, 0, 0, 1"},
    {"ProductVersion", "1,0,0,1"},
};
constexpr WORD kLanguage = 0x0409;
constexpr WORD kCodePage = 0x04E4;
constexpr DWORD kVersionHigh = 0x00010000; // 1.0
constexpr DWORD kVersionLow = 0x00000001;  // .0.1

void checkExports(HMODULE plugin)
{
    for (const char* name : {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"}) {
        check(GetProcAddress(plugin, name) != nullptr,
              std::string("the export ") + name + " is found by its plain name");
    }
}

void checkFixedVersion(std::vector<BYTE>& block)
{
    void* data = nullptr;
    UINT size = 0;
    if (!check(VerQueryValueW(block.data(), L"\\", &data, &size) &&
                   size >= sizeof(VS_FIXEDFILEINFO),
               "the fixed version information is there"))
        return;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    check(fixed->dwSignature == 0xFEEF04BD, "the fixed version information is signed");
    check(fixed->dwFileVersionMS == kVersionHigh && fixed->dwFileVersionLS == kVersionLow,
          "the file version is 1.0.0.1");
    check(fixed->dwProductVersionMS == kVersionHigh && fixed->dwProductVersionLS == kVersionLow,
          "the product version is 1.0.0.1");
    check(fixed->dwFileType == VFT_DLL, "the file type is a DLL");
}

void checkTranslation(std::vector<BYTE>& block)
{
    void* data = nullptr;
    UINT size = 0;
    if (!check(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &size) &&
                   size >= 2 * sizeof(WORD),
               "the translation table is there"))
        return;
    const auto* pair = static_cast<const WORD*>(data);
    check(size == 2 * sizeof(WORD), "the translation table names one language");
    check(pair[0] == kLanguage && pair[1] == kCodePage,
          "the translation is language 0x0409, code page 0x04E4");
}

// Each string through the wide call, with its stored length (characters and the one
// terminating zero), and through the ANSI call old browsers make.
void checkStrings(std::vector<BYTE>& wide, std::vector<BYTE>& ansi)
{
    for (const VersionString& expected : kStrings) {
        const std::string name = expected.name;
        const std::string path = "\\StringFileInfo\\040904E4\\" + name;
        const std::wstring widePath(path.begin(), path.end());
        void* data = nullptr;
        UINT length = 0;
        if (check(VerQueryValueW(wide.data(), widePath.c_str(), &data, &length),
                  name + " is in the string block 040904E4")) {
            const std::string found = narrow(static_cast<const wchar_t*>(data));
            check(found == expected.value,
                  name + " is \"" + expected.value + "\", not \"" + found + "\"");
            check(length == found.size() + 1, name + " is stored with one terminating zero, not " +
                                                  std::to_string(length) + " characters");
        }
        char* text = nullptr;
        if (check(
                VerQueryValueA(ansi.data(), path.c_str(), reinterpret_cast<void**>(&text), &length),
                name + " is found by VerQueryValueA")) {
            check(std::string(text) == expected.value,
                  name + " reads \"" + expected.value + "\" through VerQueryValueA");
        }
    }
}

void checkVersionResource(const wchar_t* file)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (!check(size > 0, "the DLL has a version resource")) return;
    std::vector<BYTE> wide(size);
    if (!check(GetFileVersionInfoW(file, 0, size, wide.data()), "GetFileVersionInfoW reads it"))
        return;
    const std::string fileName = narrow(file);
    const DWORD ansiSize = GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    std::vector<BYTE> ansi(ansiSize);
    if (!check(ansiSize > 0 && GetFileVersionInfoA(fileName.c_str(), 0, ansiSize, ansi.data()),
               "GetFileVersionInfoA reads it"))
        return;
    checkFixedVersion(wide);
    checkTranslation(wide);
    checkStrings(wide, ansi);
}

struct BitmapSize {
    const char* name; // a name, or "#number"
    LONG width;
    LONG height;
};

// The Dashboard's background by name, the side panels' pictures by number.
constexpr BitmapSize kBitmaps[] = {
    {"DASHSCR", 800, 94}, {"#204", 140, 316}, {"#206", 140, 316},
    {"#184", 140, 34},    {"#200", 42, 21},   {"#201", 42, 21},
};

// The module's resources are French (language 1036), as the plug-in has always had them.
void checkBitmaps(HMODULE plugin)
{
    const WORD french = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
    for (const BitmapSize& expected : kBitmaps) {
        const std::string name = expected.name;
        const LPCSTR id =
            name[0] == '#' ? MAKEINTRESOURCEA(std::stoi(name.substr(1))) : expected.name;
        check(FindResourceExA(plugin, MAKEINTRESOURCEA(2), id, french) != nullptr,
              "bitmap " + name + " is a French resource");
        HBITMAP bitmap = LoadBitmapA(plugin, id);
        if (!check(bitmap != nullptr, "bitmap " + name + " loads")) continue;
        BITMAP shape{};
        GetObjectA(bitmap, sizeof shape, &shape);
        check(shape.bmWidth == expected.width && shape.bmHeight == expected.height,
              "bitmap " + name + " is " + std::to_string(expected.width) + " x " +
                  std::to_string(expected.height) + ", not " + std::to_string(shape.bmWidth) +
                  " x " + std::to_string(shape.bmHeight));
        DeleteObject(bitmap);
    }
}

struct DialogCheck {
    int id;
    const char* caption;
    std::vector<int> controls; // ids that must be there
};

INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Each template opens as a (hidden) dialog with its caption and controls.
void checkDialogs(HMODULE plugin)
{
    const DialogCheck dialogs[] = {
        {115, "Stereoscopy", {IDOK, IDCANCEL, 171}},
        {336, "", {857, 796, 644, 186, 851, 1}},
        {337, "Lighting Properties", {IDOK, 371, 389, 390}},
    };
    for (const DialogCheck& expected : dialogs) {
        const std::string name = "dialog " + std::to_string(expected.id);
        HWND dialog =
            CreateDialogParamA(plugin, MAKEINTRESOURCEA(expected.id), nullptr, quietDialog, 0);
        if (!check(dialog != nullptr, name + " opens")) continue;
        char caption[64] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        check(std::string(caption) == expected.caption,
              name + " is titled \"" + expected.caption + "\", not \"" + caption + "\"");
        for (const int control : expected.controls)
            check(GetDlgItem(dialog, control) != nullptr,
                  name + " has control " + std::to_string(control));
        DestroyWindow(dialog);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* name = argc > 1 ? argv[1] : "NPTARNE.DLL";
    HMODULE plugin = LoadLibraryA(name);
    if (!check(plugin != nullptr, std::string("LoadLibrary loads ") + name + " (error " +
                                      std::to_string(GetLastError()) + ")")) {
        std::printf("plugin_probe: %d checks, %d failed\n", checks, failures);
        return 1;
    }
    wchar_t file[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(plugin, file, MAX_PATH);
    check(length > 0 && length < MAX_PATH, "the loaded DLL's file is known");
    const wchar_t* base = std::wcsrchr(file, L'\\');
    base = base ? base + 1 : file;
    check(_wcsicmp(base, L"NPTARNE.DLL") == 0,
          "the loaded file is NPTARNE.DLL, not " + narrow(base));
    checkExports(plugin);
    checkVersionResource(file);
    checkBitmaps(plugin);
    checkDialogs(plugin);
    check(FreeLibrary(plugin) != 0, "FreeLibrary lets the DLL go");
    std::printf("plugin_probe: %s: %d checks, %d failed\n", narrow(file).c_str(), checks, failures);
    return failures == 0 ? 0 : 1;
}
