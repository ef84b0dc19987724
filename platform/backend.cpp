// Backend choice. Only "headless" exists for now; a backend is chosen before any
// top-level window exists, since every surface belongs to the backend that made it.
#include "platform/backend.h"
#include "platform/window_state.h"

#include <cstring>

namespace {

const Backend* chosen = &kHeadlessBackend;

} // namespace

const Backend& currentBackend()
{
    return *chosen;
}

bool platformUseBackend(const char* name)
{
    if (!name || std::strcmp(name, kHeadlessBackend.name) != 0) return false;
    if (chosen != &kHeadlessBackend && firstTopLevel()) return false;
    chosen = &kHeadlessBackend;
    return true;
}

const char* platformBackendName()
{
    return chosen->name;
}
