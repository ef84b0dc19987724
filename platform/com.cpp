// COM-style creation: a registry of in-process class factories and the thread's
// initialisation count.
#include "platform/growable.h"
#include "platform/teardown.h"
#include "platform/windows.h"

namespace {

struct ClassRegistration {
    CLSID classId;
    ClassFactoryFunction factory;
};

Growable<ClassRegistration> registrations;
u32 initialisations = 0; // CoInitialize calls not yet balanced by CoUninitialize

} // namespace

static i64 findRegistration(REFCLSID classId)
{
    for (u32 row = 0; row < registrations.count; ++row)
        if (registrations.items[row].classId == classId) return row;
    return -1;
}

HRESULT CoInitialize(void*)
{
    ++initialisations;
    return initialisations == 1 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (initialisations > 0) --initialisations;
}

HRESULT CoCreateInstance(REFCLSID classId, void* outer, DWORD context, REFIID interfaceId,
                         void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (initialisations == 0) return CO_E_NOTINITIALIZED;
    const i64 row = findRegistration(classId);
    if (row < 0 || !(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    // The factories take no outer object, so none of them can aggregate.
    if (outer) return CLASS_E_NOAGGREGATION;
    const HRESULT result = registrations.items[row].factory(interfaceId, object);
    if (FAILED(result)) *object = nullptr;
    return result;
}

bool RegisterInprocClass(REFCLSID classId, ClassFactoryFunction factory)
{
    if (!factory) return false;
    const i64 row = findRegistration(classId);
    if (row >= 0) {
        registrations.items[row].factory = factory; // the latest registration serves
        return true;
    }
    return registrations.push(ClassRegistration{classId, factory});
}

bool UnregisterInprocClass(REFCLSID classId)
{
    const i64 row = findRegistration(classId);
    if (row < 0) return false;
    registrations.removeAt(static_cast<u32>(row));
    return true;
}

void clearComRegistry()
{
    registrations.release();
    initialisations = 0;
}
