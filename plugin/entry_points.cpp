// The exported entry points and the plug-in callback table handed to the browser.
#include "memory/memory.h"
#include "plugin/api/npapi.h"
#include "plugin/load_world.h"
#include "plugin/plugin_state.h"
#include "plugin/plugin_window.h"
#include "resources/version.h"
#ifndef _WIN32
#include "resources/bitmaps.h"
#endif

#include <new>
#include <string>
#include <strings.h>

// What the library exports: on Windows its module-definition file names the exports,
// on Linux the symbols marked here (and the version script keeps only those).
#ifdef _WIN32
#define NP_EXPORT extern "C"
#else
#define NP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Browsers from minor version 9 on call urlnotify; the plug-in asks for no URLs.
void doNothingUrlNotify(NPP, const char*, NPReason, void*) {}

// The Java-class step: the browser's Java environment is asked for once, and the
// plug-in has no Java class to offer.
void* javaClassStep(NPNetscapeFuncs& browser)
{
    if (browser.getJavaEnv) browser.getJavaEnv();
    return nullptr;
}

void* browserAlloc(u32 size)
{
    NPNetscapeFuncs* browser = pluginState().browserFuncs;
    return browser && browser->memalloc ? browser->memalloc(size) : nullptr;
}

void browserFree(void* block)
{
    NPNetscapeFuncs* browser = pluginState().browserFuncs;
    if (browser && browser->memfree) browser->memfree(block);
}

// The Dashboard's bitmaps are the library's own resources, found through its module
// handle: on Windows the DLL's own (the module holding this function), on Linux the
// table the stand-in keeps for the library.
HINSTANCE resourceModule()
{
#ifdef _WIN32
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&resourceModule), &module);
    return module;
#else
    std::size_t bitmapCount = 0;
    const ResourceEntry* bitmaps = dashboardBitmaps(&bitmapCount);
    return RegisterModuleResources("nptarne", bitmaps, bitmapCount);
#endif
}

PluginWindow* instanceObject(NPP instance)
{
    return instance ? static_cast<PluginWindow*>(instance->pdata) : nullptr;
}

NPError NPP_Initialize()
{
    PluginState& state = pluginState();
    NPNetscapeFuncs* browser = state.browserFuncs;
    // A browser table without memory functions would be called through null; the C
    // heap stands in instead.
    if (browser && browser->memalloc && browser->memfree) {
        setMemoryFunctions(browserAlloc, browserFree);
    } else {
        setMemoryFunctions(nullptr, nullptr);
    }
    state.module = resourceModule();
    state.world = World{};
    if (!initWorldTables(state.world)) {
        freeWorldTables(state.world);
        return NPERR_OUT_OF_MEMORY_ERROR;
    }
    state.worldLoaded = false;
    state.initialised = true;
    return NPERR_NO_ERROR;
}

void NPP_Shutdown()
{
    PluginState& state = pluginState();
    if (!state.initialised) return;
    FreeMaterialRamps(state.world);
    FreeWorldBuffers(state.render);
    freeWorldTables(state.world);
    state.render = RenderState{};
    state.initialised = false;
    state.worldLoaded = false;
}

NPError NPP_New(NPMIMEType, NPP instance, std::uint16_t, std::int16_t, char*[], char*[],
                NPSavedData*)
{
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    PluginState& state = pluginState();
    auto* object = new (std::nothrow) PluginWindow(state.world, state.render, state.module);
    if (!object) return NPERR_OUT_OF_MEMORY_ERROR;
    state.currentInstance = object;
    instance->pdata = object;
    return NPERR_NO_ERROR;
}

NPError NPP_Destroy(NPP instance, NPSavedData**)
{
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    PluginState& state = pluginState();
    PluginWindow* object = instanceObject(instance);
    state.currentInstance = object;
    if (object) {
        delete object;
        if (state.currentInstance == object) state.currentInstance = nullptr;
    }
    instance->pdata = nullptr;
    return NPERR_NO_ERROR;
}

NPError NPP_SetWindow(NPP instance, NPWindow* window)
{
    if (!window) return NPERR_GENERIC_ERROR;
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    PluginWindow* object = instanceObject(instance);
    if (!object) return NPERR_GENERIC_ERROR;
    pluginState().currentInstance = object;
    return object->takeOver(*window);
}

NPError NPP_NewStream(NPP instance, NPMIMEType, NPStream*, NPBool, std::uint16_t* streamType)
{
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    pluginState().currentInstance = instanceObject(instance);
    // The world is read from a complete local copy, never from the stream itself.
    if (streamType) *streamType = NP_ASFILEONLY;
    return NPERR_NO_ERROR;
}

NPError NPP_DestroyStream(NPP, NPStream*, NPReason)
{
    return NPERR_NO_ERROR;
}

// A world the user opened arrives by a file: url; any other came from the network.
bool isFileUrl(const char* url)
{
    return url && strncasecmp(url, "file:", 5) == 0;
}

void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fileName)
{
    PluginWindow* object = instanceObject(instance);
    if (!object) return;
    pluginState().currentInstance = object;
    object->worldFromNetwork = !isFileUrl(stream ? stream->url : nullptr);
    loadWorld(pluginState(), *object, fileName);
}

std::int32_t NPP_WriteReady(NPP, NPStream*)
{
    return 0x0FFFFFFF; // any amount: the data are not kept
}

std::int32_t NPP_Write(NPP, NPStream*, std::int32_t, std::int32_t length, void*)
{
    return length;
}

void NPP_Print(NPP instance, NPPrint* printInfo)
{
    if (!instance || !printInfo) return;
    pluginState().currentInstance = instanceObject(instance);
    if (printInfo->mode == NP_FULL) {
        // The browser prints the page itself.
        printInfo->print.fullPrint.pluginPrinted = false;
        return;
    }
    // An embedded print shows a grey frame where the world would be.
    const NPEmbedPrint& embed = printInfo->print.embedPrint;
    HDC dc = static_cast<HDC>(embed.platformPrint);
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, 1, 0x808080);
    HGDIOBJ previous = SelectObject(dc, pen);
    const int left = embed.window.x;
    const int top = embed.window.y;
    Rectangle(dc, left, top, left + static_cast<int>(embed.window.width),
              top + static_cast<int>(embed.window.height));
    SelectObject(dc, previous);
    DeleteObject(pen);
}

} // namespace

PluginState& pluginState()
{
    static PluginState state;
    return state;
}

NP_EXPORT NPError OSCALL NP_GetEntryPoints(NPPluginFuncs* pluginFuncs)
{
    if (!pluginFuncs) return NPERR_INVALID_FUNCTABLE_ERROR;
    pluginFuncs->version = 11;
    pluginFuncs->newp = NPP_New;
    pluginFuncs->destroy = NPP_Destroy;
    pluginFuncs->setwindow = NPP_SetWindow;
    pluginFuncs->newstream = NPP_NewStream;
    pluginFuncs->destroystream = NPP_DestroyStream;
    pluginFuncs->asfile = NPP_StreamAsFile;
    pluginFuncs->writeready = NPP_WriteReady;
    pluginFuncs->write = NPP_Write;
    pluginFuncs->print = NPP_Print;
    pluginFuncs->event = nullptr;
    pluginState().pluginFuncs = pluginFuncs;
    return NPERR_NO_ERROR;
}

NP_EXPORT NPError OSCALL NP_Initialize(NPNetscapeFuncs* browserFuncs)
{
    if (!browserFuncs) return NPERR_INVALID_FUNCTABLE_ERROR;
    PluginState& state = pluginState();
    state.browserFuncs = browserFuncs;
    const std::uint16_t major = static_cast<std::uint16_t>(browserFuncs->version >> 8);
    const std::uint16_t minor = static_cast<std::uint16_t>(browserFuncs->version & 0xFF);
    if (major != NP_VERSION_MAJOR) return NPERR_INCOMPATIBLE_VERSION_ERROR;
    if (minor >= 9 && state.pluginFuncs) {
        state.pluginFuncs->urlnotify = doNothingUrlNotify;
        state.pluginFuncs->javaClass = javaClassStep(*browserFuncs);
    }
    return NPP_Initialize();
}

NP_EXPORT NPError OSCALL NP_Shutdown()
{
    NPP_Shutdown();
    PluginState& state = pluginState();
    state.browserFuncs = nullptr;
    setMemoryFunctions(nullptr, nullptr);
    return NPERR_NO_ERROR;
}

NP_EXPORT const char* NP_GetMIMEDescription()
{
    static const std::string description = mimeDescription();
    return description.c_str();
}

NP_EXPORT NPError NP_GetValue(void*, NPPVariable variable, void* value)
{
    if (!value) return NPERR_INVALID_PARAM;
    switch (variable) {
    case NPPVpluginNameString:
        *static_cast<const char**>(value) = versionEntry("ProductName");
        return NPERR_NO_ERROR;
    case NPPVpluginDescriptionString:
        *static_cast<const char**>(value) = versionEntry("FileDescription");
        return NPERR_NO_ERROR;
    default: return NPERR_INVALID_PARAM;
    }
}
