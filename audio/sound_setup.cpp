// The sound set-up, the listener's motion and the release.
#include "audio/sound_setup.h"

#include "audio/records.h"
#include "image/image.h"
#include "platform/sound/sound.h"

#include <cmath>
#include <cstring>

namespace {

// The library's class and interface identifiers.
constexpr CLSID kMainClass = {
    0xE78F7620, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kSecondInterface = {
    0xB5B40681, 0x1AC8, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
constexpr CLSID kListenerClass = {
    0x4B2CE922, 0x1C45, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
constexpr IID kListenerInterface = {
    0xE78F7634, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr CLSID kEmitterClass = {
    0x4B2CE920, 0x1C45, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
constexpr IID kEmitterInterface = {
    0xE78F762D, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr f32 kFileUnit = 0.0002f; // world units to file units (1 / 5000)
constexpr u32 kPlayMode = 16;
constexpr std::size_t kPathSize = 4096;

const char* const kCaption = "Tarne";
const char* const kNoMainObject =
    "Failed to Create RSX Object.\nCoCreateInstanceFailed - Please run RSX Setup\n";
const char* const kNoSecondInterface = "Error getting IRSX2 Interface from RSX3D object\n";
const char* const kNoListener = "Failed to Create Direct Listener - Out of mem?\n";
const char* const kListenerRefused =
    "Failed to Initialize Direct Listener - Another application is using the audio device or "
    "you do not have a properly installed audio device or you already have tried to "
    "initialize too many listeners.\n";
const char* const kNoEmitter = "Failed to Create CachedEmitter. Out of memory??\n";

// Slots of the library's interfaces (0, 1, 2 are every COM interface's own).
enum : int {
    kQueryInterface = 0,
    kRelease = 2,
    kSetEnvironment = 6,
    kListenerOrientation = 3,
    kListenerPosition = 4,
    kListenerMixValue = 5,
    kSetListenerOrientation = 6,
    kSetListenerPosition = 7,
    kInitializeListener = 10,
    kEmitterModel = 4,
    kEmitterOrientation = 6,
    kEmitterState = 8,
    kEmitterPosition = 9,
    kSetModel = 12,
    kSetEmitterOrientation = 14,
    kSetEmitterPosition = 16,
    kPlay = 17,
    kInitializeEmitter = 22,
};

// The function in slot `slot` of an interface's table: the interface pointer's first
// word points at the table.
template <class Function> Function slotOf(void* object, int slot)
{
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Function>(table[slot]);
}

template <class... Arguments> HRESULT call(void* object, int slot, Arguments... arguments)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, Arguments...);
    return slotOf<Method>(object, slot)(object, arguments...);
}

void release(void*& object)
{
    if (!object) return;
    using Release = ULONG(STDMETHODCALLTYPE*)(void*);
    slotOf<Release>(object, kRelease)(object);
    object = nullptr;
}

// A point of the world (internal order z, x, y; world units) in file order and units.
void toFile(const f32 internal[3], f32 file[3])
{
    file[0] = internal[1] * kFileUnit;
    file[1] = internal[2] * kFileUnit;
    file[2] = internal[0] * kFileUnit;
}

// A direction in file order, unscaled.
void directionToFile(const f32 internal[3], f32 file[3])
{
    file[0] = internal[1];
    file[1] = internal[2];
    file[2] = internal[0];
}

void placeListener(SoundObjects& sounds, const World& world, const RenderState& render)
{
    const Camera& camera = world.camera;
    f32 position[3];
    toFile(camera.eyePoint, position);
    call(sounds.listener, kSetListenerPosition, position);
    f32 along[3];
    for (int c = 0; c < 3; ++c) along[c] = camera.targetPoint[c] - camera.eyePoint[c];
    f32 front[3];
    directionToFile(along, front);
    const f32 length = std::sqrt(front[0] * front[0] + front[1] * front[1] + front[2] * front[2]);
    if (length > 0.0f && std::isfinite(length)) {
        for (f32& c : front) c /= length;
    } else {
        // An eye on its target faces where the last frame looked.
        directionToFile(render.forward, front);
    }
    // The view's own up row: upright, perpendicular to the front and unit length
    // whatever the pitch and roll.
    f32 up[3];
    directionToFile(render.up, up);
    call(sounds.listener, kSetListenerOrientation, front, up);
}

// The clip of a Sound row, or null when the Sound names none the world has.
const AudioClipRecord* clipOf(const World& world, const SoundRecord& sound)
{
    if (sound.clipNumber < 1 || sound.clipNumber > world.audioClipCount) return nullptr;
    return &world.audioClips[sound.clipNumber - 1];
}

// Where the clip's file is: the world's folder first, then as given, each url of a
// list in turn, as for textures; "" when none is found.
std::string findClip(const World& world, const AudioClipRecord& clip)
{
    char url[kClipUrlSize];
    std::memcpy(url, clip.url, sizeof url);
    url[sizeof url - 1] = '\0';
    const std::string name = clipFileName(url);
    if (name != url) return name; // a drive-letter path means one place only
    const PictureReach reach =
        world.worldFolderOnly ? PictureReach::WorldFolderOnly : PictureReach::Anywhere;
    char path[kPathSize];
    if (!findPicture(world.worldFolder, url, reach, path, sizeof path)) return {};
    return path;
}

// The library's object when its class is installed; else the built-in engine's, through
// the engine's own class factory. So a machine without the library still hears the world
// (where the engine is off, its factory refuses and the set-up says so as before).
HRESULT createObject(REFCLSID classId, REFIID interfaceId, void** object)
{
    const HRESULT made =
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
    if (made != REGDB_E_CLASSNOTREG) return made;
    return platformCreateSoundObject(classId, interfaceId, object);
}

void say(HWND owner, const std::string& text)
{
    MessageBox(owner, text.c_str(), kCaption, MB_OK);
}

// Steps 10.1 to 10.8 for Sound row `row`.
void setUpEmitter(SoundObjects& sounds, const World& world, i16 row, HWND owner)
{
    void*& emitter = sounds.emitters[static_cast<std::size_t>(row)];
    const HRESULT made = createObject(kEmitterClass, kEmitterInterface, &emitter);
    if (FAILED(made) || !emitter) {
        emitter = nullptr;
        say(owner, kNoEmitter);
        return;
    }
    const SoundRecord& sound = world.sounds[row];
    const AudioClipRecord* clip = clipOf(world, sound);
    if (!clip) return; // no clip: the Sound stays silent
    const std::string file = findClip(world, *clip);
    EmitterDescriptionRecord description;
    description.flags = sound.spatialize == 0 ? kNotSpatialized : 0;
    if (file.empty() || file.size() >= sizeof description.fileName) {
        say(owner, std::string(clip->url) + ": sound clip not played: not found");
        return;
    }
    std::memcpy(description.fileName, file.c_str(), file.size() + 1);
    if (FAILED(call(emitter, kInitializeEmitter, &description, sounds.mainObject))) {
        say(owner, file + ": sound clip not played: cannot be opened or decoded");
        return;
    }
    EmitterModelRecord model;
    model.minBack = sound.minBack;
    model.minFront = sound.minFront;
    model.maxBack = sound.maxBack;
    model.maxFront = sound.maxFront;
    model.intensity = sound.intensity;
    call(emitter, kSetModel, &model);
    call(emitter, kSetEmitterPosition, sound.location);
    call(emitter, kSetEmitterOrientation, sound.direction);
    call(emitter, kPlay, kPlayMode, clip->loop == 1 ? 0u : 1u, clip->startTime);
    f32 position[3], orientation[3];
    call(emitter, kEmitterPosition, position);
    call(emitter, kEmitterOrientation, orientation);
    call(emitter, kEmitterState, &sounds.listenerValue);
    call(emitter, kEmitterModel, &model);
}

// Steps 1 to 5: the main object, its second interface, the listener. False (and said)
// when the set-up cannot go on.
bool createLibraryObjects(SoundObjects& sounds, HWND owner)
{
    const HRESULT made = createObject(kMainClass, IID_IUnknown, &sounds.mainObject);
    if (FAILED(made) || !sounds.mainObject) {
        sounds.mainObject = nullptr;
        say(owner, kNoMainObject);
        return false;
    }
    const IID& second = kSecondInterface;
    if (FAILED(call(sounds.mainObject, kQueryInterface, &second, &sounds.secondInterface)) ||
        !sounds.secondInterface) {
        sounds.secondInterface = nullptr;
        say(owner, kNoSecondInterface);
        release(sounds.mainObject);
        return false;
    }
    EnvironmentRecord environment;
    call(sounds.secondInterface, kSetEnvironment, &environment);
    if (FAILED(createObject(kListenerClass, kListenerInterface, &sounds.listener)) ||
        !sounds.listener) {
        sounds.listener = nullptr;
        say(owner, kNoListener);
        return false;
    }
    ListenerDescriptionRecord description;
    if (FAILED(call(sounds.listener, kInitializeListener, &description, sounds.mainObject))) {
        say(owner, kListenerRefused);
        return false;
    }
    return true;
}

} // namespace

std::string clipFileName(const char* url)
{
    std::string name = url ? url : "";
    const bool driveLetter =
        name.find("C|") != std::string::npos || name.find("D|") != std::string::npos ||
        name.find("E|") != std::string::npos || name.find("F|") != std::string::npos;
    if (!driveLetter) return name;
    if (!name.empty() && name[0] == '/') name.erase(0, 1);
    for (char& c : name)
        if (c == '/') c = '\\';
    const std::size_t bar = name.find('|');
    if (bar != std::string::npos) name[bar] = ':';
    return name;
}

void setUpSounds(SoundObjects& sounds, const World& world, const RenderState& render, HWND owner)
{
    releaseSounds(sounds);
    if (world.soundCount <= 0 || !world.sounds) return;
    if (!createLibraryObjects(sounds, owner)) return;
    call(sounds.listener, kListenerMixValue, &sounds.listenerValue);
    placeListener(sounds, world, render);
    // Step 9 as the library's users made it: its answers are not used.
    f32 position[3] = {0.0f, 0.0f, 0.0f}, second[3] = {0.0f, 0.0f, 0.0f};
    call(sounds.listener, kListenerPosition, position);
    call(sounds.listener, kListenerOrientation, position, second);
    // Room for every Sound the world has, however many.
    sounds.emitters.assign(static_cast<std::size_t>(world.soundCount), nullptr);
    for (i16 row = 0; row < world.soundCount; ++row) setUpEmitter(sounds, world, row, owner);
}

void moveListener(SoundObjects& sounds, const World& world, const RenderState& render)
{
    if (world.soundCount <= 0 || !sounds.listener) return;
    placeListener(sounds, world, render);
}

void releaseSounds(SoundObjects& sounds)
{
    release(sounds.listener);
    for (void*& emitter : sounds.emitters) release(emitter);
    sounds.emitters.clear();
    release(sounds.secondInterface);
    release(sounds.mainObject);
}
