// The rendering options, switched by the Dashboard's buttons and by tarne render's flags.
#include "render/buffers.h"

#include "memory/memory.h"

bool SetStereo(const World& world, RenderState& render, FrameState& frame, bool on)
{
    if (!on) {
        PluginFree(render.projectedRight);
        render.projectedRight = nullptr;
        render.projectedRightCapacity = 0;
        frame.stereoFlag = 0;
        return true;
    }
    if (!EnsureRightEyeTable(world, render)) return false;
    frame.stereoFlag = 1;
    return true;
}

bool SetShadows(const World& world, RenderState& render, FrameState& frame, bool on)
{
    if (!on) {
        FreeShadowTables(render);
        frame.shadowFlag = 0;
        return true;
    }
    if (!EnsureShadowTables(world, render)) return false;
    frame.shadowFlag = 1;
    return true;
}

void SetReflection(RenderState& render, bool on)
{
    render.reflectionFlag = on ? 1 : 0;
}

void SetFrameThreads(RenderState& render, u32 threads)
{
    render.frameThreads = threads;
}
