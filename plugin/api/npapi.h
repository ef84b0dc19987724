// plugin/api/npapi.h - the Netscape Plugin API types the plug-in and its host exchange,
// declared here with the API's standard layouts (Windows flavour: the NPWindow has no
// Unix ws_info field, and the entry points are NP_GetEntryPoints, NP_Initialize and
// NP_Shutdown).
#pragma once

#include <cstdint>

// The exported entry points follow the system's own calling convention: on 32-bit
// Windows a browser calls them as WINAPI (__stdcall) functions, elsewhere there is one.
#ifdef _WIN32
#define OSCALL __stdcall
#else
#define OSCALL
#endif

extern "C" {

using NPError = std::int16_t;
using NPReason = std::int16_t;
using NPBool = unsigned char;
using NPMIMEType = char*;

constexpr std::uint16_t NP_VERSION_MAJOR = 0;
constexpr std::uint16_t NP_VERSION_MINOR = 27; // 0x1B: the version the host offers

constexpr NPError NPERR_NO_ERROR = 0;
constexpr NPError NPERR_GENERIC_ERROR = 1;
constexpr NPError NPERR_INVALID_INSTANCE_ERROR = 2;
constexpr NPError NPERR_INVALID_FUNCTABLE_ERROR = 3;
constexpr NPError NPERR_MODULE_LOAD_FAILED_ERROR = 4;
constexpr NPError NPERR_OUT_OF_MEMORY_ERROR = 5;
constexpr NPError NPERR_INVALID_PLUGIN_ERROR = 6;
constexpr NPError NPERR_INVALID_PLUGIN_DIR_ERROR = 7;
constexpr NPError NPERR_INCOMPATIBLE_VERSION_ERROR = 8;
constexpr NPError NPERR_INVALID_PARAM = 9;
constexpr NPError NPERR_INVALID_URL = 10;
constexpr NPError NPERR_FILE_NOT_FOUND = 11;
constexpr NPError NPERR_NO_DATA = 12;
constexpr NPError NPERR_STREAM_NOT_SEEKABLE = 13;

constexpr NPReason NPRES_DONE = 0;
constexpr NPReason NPRES_NETWORK_ERR = 1;
constexpr NPReason NPRES_USER_BREAK = 2;

// Stream types.
constexpr std::uint16_t NP_NORMAL = 1;
constexpr std::uint16_t NP_SEEK = 2;
constexpr std::uint16_t NP_ASFILE = 3;
constexpr std::uint16_t NP_ASFILEONLY = 4;

// Instance modes and print modes.
constexpr std::uint16_t NP_EMBED = 1;
constexpr std::uint16_t NP_FULL = 2;

struct NPP_t {
    void* pdata; // the plug-in's instance object
    void* ndata; // the browser's
};
using NPP = NPP_t*;

struct NPStream {
    void* pdata;
    void* ndata;
    const char* url;
    std::uint32_t end;
    std::uint32_t lastmodified;
    void* notifyData;
    const char* headers;
};

struct NPSavedData {
    std::int32_t len;
    void* buf;
};

struct NPRect {
    std::uint16_t top;
    std::uint16_t left;
    std::uint16_t bottom;
    std::uint16_t right;
};

enum NPWindowType { NPWindowTypeWindow = 1, NPWindowTypeDrawable = 2 };

struct NPWindow {
    void* window; // the native window handle (HWND)
    std::int32_t x;
    std::int32_t y;
    std::uint32_t width;
    std::uint32_t height;
    NPRect clipRect;
    NPWindowType type;
};

struct NPFullPrint {
    NPBool pluginPrinted; // the plug-in answers whether it printed
    NPBool printOne;
    void* platformPrint;
};

struct NPEmbedPrint {
    NPWindow window;
    void* platformPrint; // the device context to print on (HDC)
};

struct NPPrint {
    std::uint16_t mode; // NP_FULL or NP_EMBED
    union {
        NPFullPrint fullPrint;
        NPEmbedPrint embedPrint;
    } print;
};

enum NPPVariable {
    NPPVpluginNameString = 1,
    NPPVpluginDescriptionString = 2,
    NPPVpluginWindowBool = 3,
    NPPVpluginTransparentBool = 4,
};

enum NPNVariable {
    NPNVxDisplay = 1,
    NPNVxtAppContext = 2,
    NPNVnetscapeWindow = 3,
    NPNVjavascriptEnabledBool = 4,
};

// Plug-in side.
using NPP_NewProcPtr = NPError (*)(NPMIMEType pluginType, NPP instance, std::uint16_t mode,
                                   std::int16_t argc, char* argn[], char* argv[],
                                   NPSavedData* saved);
using NPP_DestroyProcPtr = NPError (*)(NPP instance, NPSavedData** save);
using NPP_SetWindowProcPtr = NPError (*)(NPP instance, NPWindow* window);
using NPP_NewStreamProcPtr = NPError (*)(NPP instance, NPMIMEType type, NPStream* stream,
                                         NPBool seekable, std::uint16_t* stype);
using NPP_DestroyStreamProcPtr = NPError (*)(NPP instance, NPStream* stream, NPReason reason);
using NPP_StreamAsFileProcPtr = void (*)(NPP instance, NPStream* stream, const char* fileName);
using NPP_WriteReadyProcPtr = std::int32_t (*)(NPP instance, NPStream* stream);
using NPP_WriteProcPtr = std::int32_t (*)(NPP instance, NPStream* stream, std::int32_t offset,
                                          std::int32_t length, void* buffer);
using NPP_PrintProcPtr = void (*)(NPP instance, NPPrint* platformPrint);
using NPP_HandleEventProcPtr = std::int16_t (*)(NPP instance, void* event);
using NPP_URLNotifyProcPtr = void (*)(NPP instance, const char* url, NPReason reason,
                                      void* notifyData);
using NPP_GetValueProcPtr = NPError (*)(NPP instance, NPPVariable variable, void* value);
using NPP_SetValueProcPtr = NPError (*)(NPP instance, NPNVariable variable, void* value);

struct NPPluginFuncs {
    std::uint16_t size;
    std::uint16_t version;
    NPP_NewProcPtr newp;
    NPP_DestroyProcPtr destroy;
    NPP_SetWindowProcPtr setwindow;
    NPP_NewStreamProcPtr newstream;
    NPP_DestroyStreamProcPtr destroystream;
    NPP_StreamAsFileProcPtr asfile;
    NPP_WriteReadyProcPtr writeready;
    NPP_WriteProcPtr write;
    NPP_PrintProcPtr print;
    NPP_HandleEventProcPtr event;
    NPP_URLNotifyProcPtr urlnotify;
    void* javaClass;
    NPP_GetValueProcPtr getvalue;
    NPP_SetValueProcPtr setvalue;
};

// Browser side. Only the memory functions and the Java environment call are used;
// the other entries keep their places in the table.
using NPN_GenericProcPtr = void (*)();
using NPN_MemAllocProcPtr = void* (*)(std::uint32_t size);
using NPN_MemFreeProcPtr = void (*)(void* block);
using NPN_MemFlushProcPtr = std::uint32_t (*)(std::uint32_t size);
using NPN_GetJavaEnvProcPtr = void* (*)();

struct NPNetscapeFuncs {
    std::uint16_t size;
    std::uint16_t version; // high byte major, low byte minor
    NPN_GenericProcPtr geturl;
    NPN_GenericProcPtr posturl;
    NPN_GenericProcPtr requestread;
    NPN_GenericProcPtr newstream;
    NPN_GenericProcPtr write;
    NPN_GenericProcPtr destroystream;
    NPN_GenericProcPtr status;
    NPN_GenericProcPtr uagent;
    NPN_MemAllocProcPtr memalloc;
    NPN_MemFreeProcPtr memfree;
    NPN_MemFlushProcPtr memflush;
    NPN_GenericProcPtr reloadplugins;
    NPN_GetJavaEnvProcPtr getJavaEnv;
    NPN_GenericProcPtr getJavaPeer;
    NPN_GenericProcPtr geturlnotify;
    NPN_GenericProcPtr posturlnotify;
    NPN_GenericProcPtr getvalue;
    NPN_GenericProcPtr setvalue;
    NPN_GenericProcPtr invalidaterect;
    NPN_GenericProcPtr invalidateregion;
    NPN_GenericProcPtr forceredraw;
};

// The exported entry points, as the host looks them up.
using NP_GetEntryPointsFunction = NPError(OSCALL*)(NPPluginFuncs* pluginFuncs);
using NP_InitializeFunction = NPError(OSCALL*)(NPNetscapeFuncs* browserFuncs);
using NP_ShutdownFunction = NPError(OSCALL*)();
using NP_GetMIMEDescriptionFunction = const char* (*)();
using NP_GetValueFunction = NPError (*)(void* future, NPPVariable variable, void* value);

} // extern "C"
