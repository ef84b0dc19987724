// The rendering options, switched by the Dashboard's buttons and by tarne render's flags.
#include "render/buffers.h"

#include "plugin/memory.h"

bool setStereo(const World& world, RenderState& render, FrameState& frame, bool on)
{
    if (!on) {
        PluginFree(render.projectedRight);
        render.projectedRight = nullptr;
        render.projectedRightCapacity = 0;
        frame.stereoFlag = 0;
        return true;
    }
    if (!ensureRightEyeTable(world, render)) return false;
    frame.stereoFlag = 1;
    return true;
}

bool setShadows(const World& world, RenderState& render, FrameState& frame, bool on)
{
    if (!on) {
        freeShadowTables(render);
        frame.shadowFlag = 0;
        return true;
    }
    if (!ensureShadowTables(world, render)) return false;
    frame.shadowFlag = 1;
    return true;
}

void setReflection(RenderState& render, bool on)
{
    render.reflectionFlag = on ? 1 : 0;
}
