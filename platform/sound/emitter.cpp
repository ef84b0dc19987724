// Cached emitters: one back-end voice each, playing a clip from the cache at the Sound's
// location. The gain is the engine's: the model's intensity times the ellipsoid gain at the
// listener's position, set again whenever the listener, the location, the direction or
// the model changes; the back end only pans. A start time still to come is kept and the voice
// started by the first listener move or loopback render after it.
#include "platform/growable.h"
#include "platform/sound/backend.h"
#include "platform/sound/engine.h"
#include "platform/sound/records.h"
#include "platform/sound/sound.h"
#include "platform/sound/vector.h"

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace soundengine {

namespace {

struct Emitter;

// Answers of GetPlayState (slot 8).
enum PlayState : u32 { kNotStarted = 0, kWaiting = 1, kPlaying = 2, kFinished = 3 };

struct EmitterSlots {
    QueryInterfaceSlot queryInterface;
    CountSlot addRef;
    CountSlot release;
    UnusedSlot slot3;
    HRESULT(STDMETHODCALLTYPE* getModel)(Emitter* self, EmitterModelRecord* model);
    UnusedSlot slot5;
    HRESULT(STDMETHODCALLTYPE* getOrientation)(Emitter* self, f32* direction);
    UnusedSlot slot7;
    HRESULT(STDMETHODCALLTYPE* getPlayState)(Emitter* self, u32* state);
    HRESULT(STDMETHODCALLTYPE* getPosition)(Emitter* self, f32* location);
    UnusedSlot slot10;
    UnusedSlot slot11;
    HRESULT(STDMETHODCALLTYPE* setModel)(Emitter* self, const EmitterModelRecord* model);
    UnusedSlot slot13;
    HRESULT(STDMETHODCALLTYPE* setOrientation)(Emitter* self, const f32* direction);
    UnusedSlot slot15;
    HRESULT(STDMETHODCALLTYPE* setPosition)(Emitter* self, const f32* location);
    HRESULT(STDMETHODCALLTYPE* play)(Emitter* self, u32 mode, u32 repeatCount, f32 startTime);
    UnusedSlot slot18;
    UnusedSlot slot19;
    UnusedSlot slot20;
    UnusedSlot slot21;
    HRESULT(STDMETHODCALLTYPE* initialize)
    (Emitter* self, const EmitterDescriptionRecord* description, void* mainObject);
};
static_assert(offsetof(EmitterSlots, getModel) == 4 * sizeof(void*));
static_assert(offsetof(EmitterSlots, getPlayState) == 8 * sizeof(void*));
static_assert(offsetof(EmitterSlots, setModel) == 12 * sizeof(void*));
static_assert(offsetof(EmitterSlots, play) == 17 * sizeof(void*));
static_assert(offsetof(EmitterSlots, initialize) == 22 * sizeof(void*));

struct Emitter {
    ObjectHeader header;
    bool initialised;         // holds the output and owns `voice`
    bool spatialized;         // false: centred, at its intensity wherever the listener is
    bool started;             // Play has started the voice at least once
    bool waiting;             // Play was given a start time still to come
    BackendVoice* voice;      // valid while initialised
    BackendClip* clip;        // the clip, owned by the cache
    u32 repeatCount;          // of the last Play: 0 without end, else times to play
    f64 startAt;              // while waiting: the output clock's second to start at
    EmitterModelRecord model; // the ellipsoids and intensity
    f32 location[3];          // file units
    f32 direction[3];         // the ellipsoids' axis; any length, zero for none
};

Growable<Emitter*> emitters; // every live one, for listener updates and teardown

// VRML's defaults for a Sound, until the plug-in gives its own.
constexpr EmitterModelRecord kDefaultModel = {
    sizeof(EmitterModelRecord), 1.0f, 1.0f, 10.0f, 10.0f, 1.0f};

} // namespace

static HRESULT STDMETHODCALLTYPE queryEmitter(void* self, REFIID asked, void** object)
{
    return answerInterface(self, asked, kEmitterInterface, object);
}

static void applyGain(const Emitter* emitter)
{
    if (!emitter->initialised) return;
    const EmitterModelRecord& model = emitter->model;
    f32 gain = model.intensity;
    if (emitter->spatialized) {
        f32 offset[3];
        listenerPosition(offset);
        for (int axis = 0; axis < 3; ++axis) offset[axis] -= emitter->location[axis];
        gain *= ellipsoidGain(offset, emitter->direction, model.minBack, model.minFront,
                              model.maxBack, model.maxFront);
    }
    backendSetGain(emitter->voice, gain);
}

static void startVoice(Emitter* emitter)
{
    backendStart(emitter->voice);
    emitter->started = true;
    emitter->waiting = false;
}

static void freeEmitter(Emitter* emitter)
{
    if (emitter->initialised) {
        backendFreeVoice(emitter->voice);
        dropSoundOutput(); // the last holder closes the output and empties the cache
    }
    for (u32 row = 0; row < emitters.count; ++row) {
        if (emitters.items[row] != emitter) continue;
        emitters.removeAt(row);
        break;
    }
    std::free(emitter);
}

static ULONG STDMETHODCALLTYPE releaseEmitter(void* self)
{
    const ULONG left = dropReference(self);
    if (left == 0) freeEmitter(static_cast<Emitter*>(self));
    return left;
}

static HRESULT STDMETHODCALLTYPE getModel(Emitter* self, EmitterModelRecord* model)
{
    if (!model) return E_POINTER;
    if (model->size < sizeof(EmitterModelRecord)) return E_INVALIDARG;
    *model = self->model;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE getOrientation(Emitter* self, f32* direction)
{
    if (!direction) return E_POINTER;
    copyVector(direction, self->direction);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE getPlayState(Emitter* self, u32* state)
{
    if (!state) return E_POINTER;
    if (self->waiting) {
        *state = kWaiting;
    } else if (!self->started) {
        *state = kNotStarted;
    } else {
        *state = backendPlaying(self->voice) ? kPlaying : kFinished;
    }
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE getPosition(Emitter* self, f32* location)
{
    if (!location) return E_POINTER;
    copyVector(location, self->location);
    return S_OK;
}

static bool usableDistance(f32 distance)
{
    return std::isfinite(distance) && distance >= 0.0f;
}

static HRESULT STDMETHODCALLTYPE setModel(Emitter* self, const EmitterModelRecord* model)
{
    if (!model) return E_POINTER;
    if (model->size < sizeof(EmitterModelRecord)) return E_INVALIDARG;
    if (!usableDistance(model->minBack) || !usableDistance(model->minFront) ||
        !usableDistance(model->maxBack) || !usableDistance(model->maxFront) ||
        std::isnan(model->intensity))
        return E_INVALIDARG;
    self->model = *model;
    self->model.size = sizeof(EmitterModelRecord);
    self->model.intensity = std::fmin(std::fmax(model->intensity, 0.0f), 1.0f);
    applyGain(self);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE setOrientation(Emitter* self, const f32* direction)
{
    if (!direction) return E_POINTER;
    if (!finiteVector(direction)) return E_INVALIDARG;
    copyVector(self->direction, direction);
    applyGain(self);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE setPosition(Emitter* self, const f32* location)
{
    if (!location) return E_POINTER;
    if (!finiteVector(location)) return E_INVALIDARG;
    copyVector(self->location, location);
    if (self->initialised && self->spatialized) backendSetPosition(self->voice, location);
    applyGain(self);
    return S_OK;
}

// Seconds until an absolute start time (seconds since 1970-01-01 UTC); 0 when it has come.
static f64 secondsUntil(f32 startTime)
{
    if (!std::isfinite(startTime)) return 0.0;
    const std::chrono::duration<f64> now = std::chrono::system_clock::now().time_since_epoch();
    const f64 ahead = static_cast<f64>(startTime) - now.count();
    return ahead > 0.0 ? ahead : 0.0;
}

static HRESULT STDMETHODCALLTYPE play(Emitter* self, u32, u32 repeatCount, f32 startTime)
{
    if (!self->initialised) return E_FAIL;
    const u32 times = repeatCount < kMaxRepeats ? repeatCount : kMaxRepeats;
    if (!backendArm(self->voice, times)) return E_OUTOFMEMORY;
    self->started = false;
    self->waiting = false;
    self->repeatCount = repeatCount;
    const f64 ahead = secondsUntil(startTime);
    if (ahead > 0.0) {
        self->waiting = true;
        self->startAt = soundClockSeconds() + ahead;
        return S_OK;
    }
    startVoice(self);
    return S_OK;
}

static bool terminatedName(const char* name)
{
    return std::memchr(name, '\0', kEmitterFileNameSize) != nullptr;
}

static HRESULT STDMETHODCALLTYPE initializeEmitter(Emitter* self,
                                                   const EmitterDescriptionRecord* description,
                                                   void* mainObject)
{
    if (!description) return E_POINTER;
    if (description->size < sizeof(EmitterDescriptionRecord) || !isMainObject(mainObject) ||
        !terminatedName(description->fileName) || description->fileName[0] == '\0') {
        setSoundError("the emitter's description is not one the engine reads");
        return E_INVALIDARG;
    }
    const char* fileName = description->fileName;
    if (self->initialised) {
        setSoundError("%s: the emitter is already initialised", fileName);
        return E_FAIL;
    }
    if (!soundOutputOpen()) {
        setSoundError("%s: no listener has opened the audio output", fileName);
        return E_FAIL;
    }
    holdSoundOutput(); // cannot fail: the output is open
    self->clip = clipFor(fileName);
    self->spatialized = (description->flags & kEmitterNotSpatialized) == 0;
    if (self->clip)
        self->voice = backendMakeVoice(self->clip, self->spatialized, self->location, fileName);
    if (!self->voice) {
        self->clip = nullptr;
        dropSoundOutput();
        return E_FAIL;
    }
    self->initialised = true;
    applyGain(self);
    return S_OK;
}

static const EmitterSlots kEmitterSlots = {
    queryEmitter,   addReference, releaseEmitter, unusedSlot,  getModel,         unusedSlot,
    getOrientation, unusedSlot,   getPlayState,   getPosition, unusedSlot,       unusedSlot,
    setModel,       unusedSlot,   setOrientation, unusedSlot,  setPosition,      play,
    unusedSlot,     unusedSlot,   unusedSlot,     unusedSlot,  initializeEmitter};

HRESULT createEmitter(REFIID interfaceId, void** object)
{
    if (!(interfaceId == IID_IUnknown) && !(interfaceId == kEmitterInterface)) return E_NOINTERFACE;
    Emitter* created = static_cast<Emitter*>(std::calloc(1, sizeof(Emitter)));
    if (!created || !emitters.push(created)) {
        std::free(created);
        return E_OUTOFMEMORY;
    }
    created->header = ObjectHeader{&kEmitterSlots, 1};
    created->spatialized = true;
    created->model = kDefaultModel;
    created->direction[2] = 1.0f; // VRML's default: facing +z
    *object = created;
    return S_OK;
}

void updateEmitterGains()
{
    for (u32 row = 0; row < emitters.count; ++row) applyGain(emitters.items[row]);
}

void startDueEmitters()
{
    const f64 now = soundClockSeconds();
    for (u32 row = 0; row < emitters.count; ++row) {
        Emitter* emitter = emitters.items[row];
        if (emitter->waiting && emitter->startAt <= now) startVoice(emitter);
    }
}

void freeEmitters()
{
    while (emitters.count > 0) freeEmitter(emitters.items[emitters.count - 1]);
    emitters.release();
}

} // namespace soundengine
