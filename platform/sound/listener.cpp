// The listener: the viewer's ears. Its initialisation opens the output; from then on its
// position and orientation are the back end's listener, and each move of it sets every
// emitter's gain (the engine's own attenuation) and starts the emitters whose time has
// come. One listener at a time is initialised: OpenAL has one listener per context, and
// DirectSound one per device.
#include "platform/growable.h"
#include "platform/sound/backend.h"
#include "platform/sound/engine.h"
#include "platform/sound/records.h"
#include "platform/sound/vector.h"

#include <cstddef>
#include <cstdlib>

namespace soundengine {

namespace {

struct Listener;

struct ListenerSlots {
    QueryInterfaceSlot queryInterface;
    CountSlot addRef;
    CountSlot release;
    HRESULT(STDMETHODCALLTYPE* getOrientation)(Listener* self, f32* front, f32* up);
    HRESULT(STDMETHODCALLTYPE* getPosition)(Listener* self, f32* position);
    HRESULT(STDMETHODCALLTYPE* getMixRate)(Listener* self, u32* hertz);
    HRESULT(STDMETHODCALLTYPE* setOrientation)(Listener* self, const f32* front, const f32* up);
    HRESULT(STDMETHODCALLTYPE* setPosition)(Listener* self, const f32* position);
    UnusedSlot slot8;
    UnusedSlot slot9;
    HRESULT(STDMETHODCALLTYPE* initialize)
    (Listener* self, const ListenerDescriptionRecord* description, void* mainObject);
};
static_assert(offsetof(ListenerSlots, getOrientation) == 3 * sizeof(void*));
static_assert(offsetof(ListenerSlots, setPosition) == 7 * sizeof(void*));
static_assert(offsetof(ListenerSlots, initialize) == 10 * sizeof(void*));

struct Listener {
    ObjectHeader header;
    bool initialised; // holds the output, and is the back end's listener
    f32 position[3];  // file units
    f32 front[3];     // where it looks, any length
    f32 up[3];        // not parallel to front
};

Growable<Listener*> listeners;      // every live one, for teardown
Listener* activeListener = nullptr; // the initialised one

} // namespace

static HRESULT STDMETHODCALLTYPE queryListener(void* self, REFIID asked, void** object)
{
    return answerInterface(self, asked, kListenerInterface, object);
}

static void applyToBackend(const Listener* listener)
{
    backendPlaceListener(listener->position, listener->front, listener->up);
}

static void freeListener(Listener* listener)
{
    if (listener == activeListener) {
        activeListener = nullptr;
        dropSoundOutput();
    }
    for (u32 row = 0; row < listeners.count; ++row) {
        if (listeners.items[row] != listener) continue;
        listeners.removeAt(row);
        break;
    }
    std::free(listener);
}

static ULONG STDMETHODCALLTYPE releaseListener(void* self)
{
    const ULONG left = dropReference(self);
    if (left == 0) freeListener(static_cast<Listener*>(self));
    return left;
}

static HRESULT STDMETHODCALLTYPE getOrientation(Listener* self, f32* front, f32* up)
{
    if (!front || !up) return E_POINTER;
    copyVector(front, self->front);
    copyVector(up, self->up);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE getPosition(Listener* self, f32* position)
{
    if (!position) return E_POINTER;
    copyVector(position, self->position);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE getMixRate(Listener* self, u32* hertz)
{
    if (!hertz) return E_POINTER;
    *hertz = self->initialised ? soundOutputRate() : 0;
    return S_OK;
}

// A front and up that the back end can turn into a frame: both finite, neither zero, not
// parallel (their cross product is the listener's right).
static bool usableOrientation(const f32* front, const f32* up)
{
    return finiteVector(front) && finiteVector(up) && crossLength(front, up) > 0.0f;
}

static HRESULT STDMETHODCALLTYPE setOrientation(Listener* self, const f32* front, const f32* up)
{
    if (!front || !up) return E_POINTER;
    if (!usableOrientation(front, up)) return E_INVALIDARG;
    copyVector(self->front, front);
    copyVector(self->up, up);
    if (self->initialised) applyToBackend(self);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE setPosition(Listener* self, const f32* position)
{
    if (!position) return E_POINTER;
    if (!finiteVector(position)) return E_INVALIDARG;
    copyVector(self->position, position);
    if (!self->initialised) return S_OK;
    applyToBackend(self);
    updateEmitterGains();
    startDueEmitters();
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE initializeListener(Listener* self,
                                                    const ListenerDescriptionRecord* description,
                                                    void* mainObject)
{
    if (!description) return E_POINTER;
    if (description->size < sizeof(ListenerDescriptionRecord) || !isMainObject(mainObject))
        return E_INVALIDARG;
    if (self->initialised) return S_FALSE;
    if (activeListener) {
        setSoundError("another listener is already initialised");
        return E_FAIL;
    }
    if (!holdSoundOutput()) return E_FAIL;
    self->initialised = true;
    activeListener = self;
    applyToBackend(self);
    updateEmitterGains();
    return S_OK;
}

static const ListenerSlots kListenerSlots = {
    queryListener,  addReference, releaseListener, getOrientation, getPosition,       getMixRate,
    setOrientation, setPosition,  unusedSlot,      unusedSlot,     initializeListener};

HRESULT createListener(REFIID interfaceId, void** object)
{
    if (!(interfaceId == IID_IUnknown) && !(interfaceId == kListenerInterface))
        return E_NOINTERFACE;
    Listener* created = static_cast<Listener*>(std::calloc(1, sizeof(Listener)));
    if (!created || !listeners.push(created)) {
        std::free(created);
        return E_OUTOFMEMORY;
    }
    // OpenAL's own start: at the origin, looking down -z, y up.
    *created = Listener{ObjectHeader{&kListenerSlots, 1}, false, {0, 0, 0}, {0, 0, -1}, {0, 1, 0}};
    *object = created;
    return S_OK;
}

void listenerPosition(f32 position[3])
{
    const f32 origin[3] = {0, 0, 0};
    copyVector(position, activeListener ? activeListener->position : origin);
}

void freeListeners()
{
    while (listeners.count > 0) freeListener(listeners.items[listeners.count - 1]);
    listeners.release();
}

} // namespace soundengine
