// The engine's classes: the 3-D audio library's class and interface identifiers, the mode
// chosen by the host, the engine's own class factory and, on Linux, its place in the
// platform's class registry and the teardown platformReset runs. On Windows the system's
// registry is the user's: the DLL registers nothing there, and the plug-in reaches the
// engine through its factory when the library's classes are not installed.
#include "platform/sound/engine.h"
#include "platform/sound/sound.h"
#if !defined(_WIN32)
#include "platform/teardown.h"
#endif

#include <cstring>

namespace soundengine {

const IID kEngineInterface = {
    0xB5B40681, 0x1AC8, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
const IID kListenerInterface = {
    0xE78F7634, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kEmitterInterface = {
    0xE78F762D, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

const CLSID kEngineClass = {
    0xE78F7620, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const CLSID kListenerClass = {
    0x4B2CE922, 0x1C45, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
const CLSID kEmitterClass = {
    0x4B2CE920, 0x1C45, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};

} // namespace

static bool modeFromText(const char* text, SoundMode& mode)
{
    if (!text || std::strcmp(text, "off") == 0 || std::strcmp(text, "none") == 0)
        mode = SoundMode::off;
    else if (std::strcmp(text, "device") == 0)
        mode = SoundMode::device;
    else if (std::strcmp(text, "loopback") == 0)
        mode = SoundMode::loopback;
    else
        return false;
    return true;
}

} // namespace soundengine

using namespace soundengine;

HRESULT platformCreateSoundObject(REFCLSID classId, REFIID interfaceId, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    HRESULT (*factory)(REFIID interfaceId, void** object) = nullptr;
    if (classId == kEngineClass)
        factory = createMainObject;
    else if (classId == kListenerClass)
        factory = createListener;
    else if (classId == kEmitterClass)
        factory = createEmitter;
    if (!factory || soundMode() == SoundMode::off) return CLASS_E_CLASSNOTAVAILABLE;
    const HRESULT result = factory(interfaceId, object);
    if (FAILED(result)) *object = nullptr;
    return result;
}

#if defined(_WIN32)

// Nothing to register: only the mode changes. DirectSound has no loopback device, so a
// render into memory is refused here rather than by a listener later.
bool platformRegisterSoundEngine(const char* mode)
{
    SoundMode chosen = SoundMode::off;
    if (!modeFromText(mode, chosen)) return false;
    if (chosen == SoundMode::loopback) {
        setSoundError("loopback rendering is not available: this build plays sound through "
                      "DirectSound, on the output device only");
        return false;
    }
    setSoundMode(chosen);
    return true;
}

#else

static void unregisterClasses()
{
    UnregisterInprocClass(kEngineClass);
    UnregisterInprocClass(kListenerClass);
    UnregisterInprocClass(kEmitterClass);
}

bool platformRegisterSoundEngine(const char* mode)
{
    SoundMode chosen = SoundMode::off;
    if (!modeFromText(mode, chosen)) return false;
    if (chosen == SoundMode::off) {
        unregisterClasses();
        setSoundMode(chosen);
        return true;
    }
    if (!RegisterInprocClass(kEngineClass, createMainObject) ||
        !RegisterInprocClass(kListenerClass, createListener) ||
        !RegisterInprocClass(kEmitterClass, createEmitter)) {
        unregisterClasses(); // all three or none: a half-registered library helps nobody
        setSoundMode(SoundMode::off);
        return false;
    }
    setSoundMode(chosen);
    return true;
}

void shutdownSoundEngine()
{
    // Emitters and the listener first: they hold the output, and the last one closes it.
    freeEmitters();
    freeListeners();
    freeMainObjects();
    closeSoundOutput();
    unregisterClasses();
    setSoundMode(SoundMode::off);
    setSoundError("%s", "");
}

#endif
