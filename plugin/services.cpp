// The services the plug-in offers its own host program (see plugin/api/host_services.h).
#include "dashboard/actions.h"
#include "plugin/api/host_services.h"
#include "plugin/load_world.h"
#include "plugin/plugin_state.h"
#include "plugin/plugin_window.h"
#include "resources/version.h"
#include "world/dump.h"
#include "world/normalize/normalize.h"

#include <cstdlib>
#include <cstring>
#include <string>

// What the library exports: on Windows its module-definition file names the exports,
// on Linux the symbols marked here (and the version script keeps only those).
#ifdef _WIN32
#define NP_EXPORT extern "C"
#else
#define NP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

char* copyText(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// "1" to "64" in digits alone, else -1.
int threadCount(const char* text)
{
    int count = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9' || count > 64) return -1;
        count = count * 10 + (*c - '0');
    }
    return *text && count >= 1 && count <= 64 ? count : -1;
}

PluginWindow* instanceObject(NPP instance)
{
    return instance ? static_cast<PluginWindow*>(instance->pdata) : nullptr;
}

int setStrict(NPP instance, int strict)
{
    PluginWindow* object = instanceObject(instance);
    if (!object) return -1;
    object->strictLoading = strict != 0;
    return 0;
}

int command(NPP instance, const char* name)
{
    PluginWindow* object = instanceObject(instance);
    if (!object || !name) return -1;
    PluginState& state = pluginState();
    bool done = true;
    if (std::strcmp(name, "stereo") == 0) {
        done = toggleStereo(state.world, state.render, object->viewer);
    } else if (std::strcmp(name, "shadows") == 0) {
        done = toggleShadows(state.world, state.render, object->viewer);
    } else if (std::strcmp(name, "lamp") == 0) {
        if (object->options.lampFlag == 0 && !canAddRow16(state.world.lightCount)) return -3;
        done = toggleLamp(state.world, object->options);
    } else if (std::strcmp(name, "reflection") == 0) {
        toggleReflection(state.render);
    } else if (std::strcmp(name, "scale") == 0) {
        done = toggleDisplayScale(object->options, object->viewer);
    } else if (std::strcmp(name, "silence") == 0) {
        object->options.sound = false;
    } else if (std::strcmp(name, "home") == 0) {
        goHome(state.world);
    } else if (std::strncmp(name, "threads ", 8) == 0) {
        const int threads = threadCount(name + 8);
        if (threads < 1) return -1;
        SetFrameThreads(state.render, static_cast<u32>(threads));
    } else if (std::strncmp(name, "mode ", 5) == 0 && name[5] >= '0' && name[5] <= '7' &&
               name[6] == '\0') {
        // As a click on the Dashboard's mode button: the button and the mode display
        // show it, and flying (3) starts from the slow forward speed.
        object->dashboard.selectMode(static_cast<i16>(name[5] - '0'));
    } else {
        return -1;
    }
    return done ? 0 : -2;
}

char* describeWorld(NPP instance, int json)
{
    if (!instanceObject(instance)) return nullptr;
    const World& world = pluginState().world;
    return copyText(json ? worldDumpJson(world) : worldSummary(world));
}

int worldCounts(NPP instance, TarneWorldCounts* counts)
{
    if (!instanceObject(instance) || !counts) return -1;
    const World& world = pluginState().world;
    counts->objectCount = world.objectCount;
    counts->vertexCount = world.vertexCount;
    counts->faceCount = world.faceCount;
    counts->materialCount = world.materialCount;
    counts->lightCount = world.lightCount;
    return 0;
}

char* takeLoadMessages(NPP instance, std::size_t* length)
{
    PluginWindow* object = instanceObject(instance);
    if (length) *length = 0;
    if (!object || object->loadMessages.empty()) return nullptr;
    char* text = copyText(object->loadMessages);
    if (text && length) *length = object->loadMessages.size();
    object->loadMessages.clear();
    return text;
}

int loadResult(NPP instance)
{
    PluginWindow* object = instanceObject(instance);
    if (!object) return -1;
    return object->loadFailed ? 1 : 0;
}

void* viewerWindow(NPP instance)
{
    PluginWindow* object = instanceObject(instance);
    return object ? object->viewer.handle() : nullptr;
}

int renderSize(NPP instance, int* width, int* height)
{
    PluginWindow* object = instanceObject(instance);
    if (!object || !width || !height) return -1;
    *width = object->viewer.frame.renderWidth;
    *height = object->viewer.frame.renderHeight;
    return 0;
}

int normalizeFile(const char* path, char** text, char** messages)
{
    *text = nullptr;
    *messages = nullptr;
    NormalizeResult result;
    const bool normalized = path && normalizeWorldFile(path, result);
    std::string lines;
    appendMessages(result, lines);
    if (!lines.empty()) *messages = copyText(lines);
    if (!normalized) return 1;
    *text = copyText(result.text);
    for (const NormalizeDiagnostic& d : result.diagnostics)
        if (!d.warning) return 2;
    return 0;
}

const char* versionValue(const char* key)
{
    return versionEntry(key);
}

void freeText(char* text)
{
    std::free(text);
}

const char* contentTypes()
{
    static const std::string description = mimeDescription();
    return description.c_str();
}

const TarneServices kServices = {
    sizeof(TarneServices), setStrict,  command,       describeWorld, worldCounts, takeLoadMessages,
    viewerWindow,          renderSize, normalizeFile, versionValue,  freeText,    loadResult,
    contentTypes,
};

} // namespace

NP_EXPORT const TarneServices* NP_GetTarneServices()
{
    return &kServices;
}
