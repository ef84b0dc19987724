// A stand-in for NPTARNE.DLL with the real plug-in's outside: the three entry points a
// browser looks up, exported by name through toy_plugin.def, and the version resource
// of toy_plugin.rc. Inside it uses the C++ runtime (a std::mutex, a std::string), so
// the DLL's import table shows whether libstdc++ and winpthread were linked in whole.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace {

// NPError values of the Netscape plug-in API.
constexpr std::int16_t kNoError = 0;
constexpr std::int16_t kInvalidFunctionTable = 3;

std::mutex stateLock;
int browsers = 0;
std::string lastCall;

std::int16_t record(const char* call, const void* table)
{
    const std::lock_guard<std::mutex> hold(stateLock);
    lastCall = call;
    return table ? kNoError : kInvalidFunctionTable;
}

} // namespace

extern "C" {

std::int16_t WINAPI NP_GetEntryPoints(void* pluginFunctions)
{
    return record("NP_GetEntryPoints", pluginFunctions);
}

std::int16_t WINAPI NP_Initialize(void* browserFunctions)
{
    const std::int16_t result = record("NP_Initialize", browserFunctions);
    if (result == kNoError) {
        const std::lock_guard<std::mutex> hold(stateLock);
        ++browsers;
    }
    return result;
}

std::int16_t WINAPI NP_Shutdown()
{
    const std::lock_guard<std::mutex> hold(stateLock);
    lastCall = "NP_Shutdown";
    if (browsers > 0) --browsers;
    return kNoError;
}

} // extern "C"
