// The world loading sequence.
#include "plugin/load_world.h"

#include "dashboard/actions.h"
#include "memory/memory.h"
#include "plugin/plugin_window.h"
#include "plugin/reflection_image.h"
#include "render/field_of_view.h"
#include "world/normalize/normalize.h"
#include "world/reader.h"

#include <cstdio>
#include <cstring>
#include <string>

void appendMessages(const NormalizeResult& result, std::string& messages)
{
    for (const NormalizeDiagnostic& d : result.diagnostics) {
        // A message about a whole file that names the file itself stands alone:
        // "FILE is not a VRML file".
        if (d.line == 0 && d.message.rfind(d.file, 0) == 0) {
            messages += d.message;
            messages += '\n';
            continue;
        }
        messages += d.file;
        if (d.line > 0) messages += ":" + std::to_string(d.line) + ":" + std::to_string(d.column);
        messages += std::string(": ") + (d.warning ? "warning: " : "") + d.message + "\n";
    }
}

// "FILE: only the first 32767 objects are shown", once for each table that was full.
static void reportFullTables(const World& world, const char* fileName, std::string& messages)
{
    struct FullTable {
        u16 bit;
        const char* text;
    };
    static const FullTable kTables[] = {
        {kFullObjects, "objects are shown"},
        {kFullMaterials, "materials are used"},
        {kFullLights, "lights shine"},
        {kFullTextures, "textures are used"},
        {kFullTransformGroups, "transform groups are applied"},
    };
    for (const FullTable& table : kTables) {
        if (world.fullTables & table.bit)
            messages += std::string(fileName) + ": only the first " + std::to_string(kMaxCount16) +
                        " " + table.text + "\n";
    }
}

bool readWorldFile(World& world, const char* fileName, bool strict, bool fromNetwork,
                   std::string& messages)
{
    ReadReport report;
    report.fileName = fileName;
    world.worldFolderOnly = fromNetwork;
    // The default reading draws the world as VRML 2.0 does where the line reader's own
    // rules differ; --strict keeps those rules.
    world.vrmlFieldOfView = !strict;
    world.vrmlHeadlight = !strict;
    world.untexturedWhenNotLoaded = !strict;
    if (strict) {
        const bool read = readWorld(world, fileName, &report);
        messages += report.messages;
        return read;
    }
    NormalizeLimits limits = defaultNormalizeLimits();
    limits.worldFolderOnly = fromNetwork;
    NormalizeResult result;
    const bool normalized = normalizeWorldFileWith(fileName, limits, result);
    appendMessages(result, messages);
    bool read = false;
    if (normalized && !result.vrml1) {
        setWorldFolder(world, fileName);
        read =
            readWorldText(world, result.text.data(), result.text.size(), &report, &result.geometry);
    } else if (!result.refused) {
        // Nothing the pass could rewrite (VRML 1.0, a plain file too large for it):
        // the line reader gets the raw file, streaming it, as it would without the pass.
        // A file the pass refused for good (it expands too far) is not read at all.
        read = readWorld(world, fileName, &report);
    }
    messages += report.messages;
    return read;
}

void loadWorld(PluginState& state, PluginWindow& instance, const char* fileName)
{
    if (!fileName || !*fileName) return;
    World& world = state.world;
    RenderState& render = state.render;
    ViewerWindow& viewer = instance.viewer;
    viewer.busyFlag = 1;

    // A second world starts from empty tables: the first world's rows and derived
    // tables go with it.
    if (state.worldLoaded) {
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        resetWorldTables(world);
    }
    // The reader starts from empty tables, so the lamps switched on before (of every
    // instance: they share the world) have lost their rows.
    forgetLamps();
    instance.loadMessages.clear();
    instance.loadFailed = !readWorldFile(world, fileName, instance.strictLoading,
                                         instance.worldFromNetwork, instance.loadMessages);
    // The rewritten text and the blocks the tables outgrew are free now: their pages go
    // back before the renderer's buffers are allocated.
    releaseFreeMemory();
    reportFullTables(world, fileName, instance.loadMessages);
    state.worldLoaded = true;

    loadReflectionImage(world);
    std::string problem;
    PrepareBackground(world, viewer.frame, &problem);
    if (!problem.empty())
        instance.loadMessages +=
            std::string(fileName) + ": background " +
            shownText(world.backgroundUrl, strnlen(world.backgroundUrl, kBackgroundUrlSize)) +
            " not loaded: " + problem + "\n";
    // Without its working buffers the renderer allocates them on the first frame.
    AllocateWorldBuffers(world, render);
    FitViewAngle(world, viewer.frame.renderWidth, viewer.frame.renderHeight);
    for (int c = 0; c < 3; ++c) {
        world.startEyePoint[c] = world.camera.eyePoint[c];
        world.startTargetPoint[c] = world.camera.targetPoint[c];
    }
    world.startRollAngle = world.camera.rollAngle;
    BuildVertexFaceLists(world, render);
    GenerateTexCoords(world);
    BuildMaterialRamps(world);

    if (viewer.handle()) PostMessage(viewer.handle(), kSoundSetupMessage, 0, 0);
    viewer.busyFlag = 0;

    // The Viewer is invalidated too: a browser window that clips its children would
    // otherwise never ask it for the first frame.
    if (instance.browserWindow) InvalidateRect(instance.browserWindow, nullptr, TRUE);
    if (viewer.handle()) InvalidateRect(viewer.handle(), nullptr, TRUE);
    if (instance.browserWindow) UpdateWindow(instance.browserWindow);
}
