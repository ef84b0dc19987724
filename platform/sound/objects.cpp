// What the engine's three objects share: reference counts and the answer to
// QueryInterface, on the ObjectHeader each object opens with.
#include "platform/sound/engine.h"

namespace soundengine {

HRESULT STDMETHODCALLTYPE unusedSlot(void*)
{
    return E_NOTIMPL;
}

ULONG STDMETHODCALLTYPE addReference(void* self)
{
    return ++static_cast<ObjectHeader*>(self)->references;
}

ULONG dropReference(void* self)
{
    return --static_cast<ObjectHeader*>(self)->references;
}

HRESULT answerInterface(void* self, REFIID asked, REFIID own, void** object)
{
    if (!object) return E_POINTER;
    if (!(asked == IID_IUnknown) && !(asked == own)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    addReference(self);
    *object = self;
    return S_OK;
}

} // namespace soundengine
