// Backend choice. A backend is chosen before any top-level window exists, since every
// surface belongs to the backend that made it. SDL's video runs only while "sdl2" is
// the choice, so a host that never asks for it never touches a display.
#include "platform/backend.h"
#include "platform/sdl_backend.h"
#include "platform/window_state.h"

#include <cstring>

namespace {

const Backend* chosen = &kHeadlessBackend;
const char* lastFailure = ""; // a literal, or the SDL backend's own copy of its reason

} // namespace

const Backend& currentBackend()
{
    return *chosen;
}

static const Backend* backendNamed(const char* name)
{
    if (!name) return nullptr;
    if (std::strcmp(name, kHeadlessBackend.name) == 0) return &kHeadlessBackend;
    if (std::strcmp(name, kSdlBackend.name) == 0) return &kSdlBackend;
    return nullptr;
}

// Answers false with the reason kept for platformBackendFailure.
static bool refuse(const char* reason)
{
    lastFailure = reason;
    return false;
}

bool platformUseBackend(const char* name)
{
    const Backend* wanted = backendNamed(name);
    if (!wanted) return refuse("no such backend");
    lastFailure = "";
    if (wanted == chosen) return true;
    if (firstTopLevel()) return refuse("top-level windows of the current backend still exist");
    if (wanted == &kSdlBackend && !startSdlVideo()) return refuse(sdlStartFailure());
    if (chosen == &kSdlBackend) stopSdlVideo();
    chosen = wanted;
    return true;
}

const char* platformBackendFailure()
{
    return lastFailure;
}

const char* platformBackendName()
{
    return chosen->name;
}
