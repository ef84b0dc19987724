// The main object: what the plug-in creates first and hands to every initialisation. It
// answers IUnknown and its second interface with one pointer and one table; the output
// and the clips belong to the engine, not to it, so it holds nothing but the environment.
#include "platform/growable.h"
#include "platform/sound/engine.h"
#include "platform/sound/records.h"

#include <cstddef>
#include <cstdlib>

namespace soundengine {

namespace {

struct MainObject;

struct MainSlots {
    QueryInterfaceSlot queryInterface;
    CountSlot addRef;
    CountSlot release;
    UnusedSlot slot3;
    UnusedSlot slot4;
    UnusedSlot slot5;
    HRESULT(STDMETHODCALLTYPE* setEnvironment)(MainObject* self, const EnvironmentRecord* record);
};
static_assert(offsetof(MainSlots, setEnvironment) == 6 * sizeof(void*));

struct MainObject {
    ObjectHeader header;
    EnvironmentRecord environment; // as last given; no room model uses it
};

Growable<MainObject*> mainObjects; // every live one, for isMainObject and teardown

} // namespace

static HRESULT STDMETHODCALLTYPE queryMain(void* self, REFIID asked, void** object)
{
    return answerInterface(self, asked, kEngineInterface, object);
}

static void freeMain(MainObject* object)
{
    for (u32 row = 0; row < mainObjects.count; ++row) {
        if (mainObjects.items[row] != object) continue;
        mainObjects.removeAt(row);
        break;
    }
    std::free(object);
}

static ULONG STDMETHODCALLTYPE releaseMain(void* self)
{
    const ULONG left = dropReference(self);
    if (left == 0) freeMain(static_cast<MainObject*>(self));
    return left;
}

static HRESULT STDMETHODCALLTYPE setEnvironment(MainObject* self, const EnvironmentRecord* record)
{
    if (!record) return E_POINTER;
    if (record->size < sizeof(EnvironmentRecord)) return E_INVALIDARG;
    self->environment = *record;
    return S_OK;
}

static const MainSlots kMainSlots = {queryMain,  addReference, releaseMain,   unusedSlot,
                                     unusedSlot, unusedSlot,   setEnvironment};

HRESULT createMainObject(REFIID interfaceId, void** object)
{
    if (!(interfaceId == IID_IUnknown) && !(interfaceId == kEngineInterface)) return E_NOINTERFACE;
    MainObject* created = static_cast<MainObject*>(std::calloc(1, sizeof(MainObject)));
    if (!created || !mainObjects.push(created)) {
        std::free(created);
        return E_OUTOFMEMORY;
    }
    created->header = ObjectHeader{&kMainSlots, 1};
    *object = created;
    return S_OK;
}

bool isMainObject(const void* object)
{
    for (u32 row = 0; row < mainObjects.count; ++row)
        if (mainObjects.items[row] == object) return true;
    return false;
}

void freeMainObjects()
{
    while (mainObjects.count > 0) freeMain(mainObjects.items[mainObjects.count - 1]);
    mainObjects.release();
}

} // namespace soundengine
