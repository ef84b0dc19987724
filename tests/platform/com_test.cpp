// COM-style initialisation, class registration and creation.
#include "tests/platform/platform_fixture.h"

namespace {

GUID guidOf(const char* text)
{
    GUID guid{};
    EXPECT_TRUE(GuidFromString(text, &guid)) << text;
    return guid;
}

const char* const kRsxClass = "{E78F7620-96CB-11CF-A00B-444553540000}";
int madeObject = 0;
IID askedFor{};

HRESULT makeObject(REFIID interfaceId, void** object)
{
    askedFor = interfaceId;
    *object = &madeObject;
    return S_OK;
}

HRESULT failToMake(REFIID, void** object)
{
    *object = &madeObject; // a careless factory: the caller must still see null
    return E_OUTOFMEMORY;
}

} // namespace

class ComRegistry : public PlatformTest {};

TEST_F(ComRegistry, InitialiseAnswersOkThenFalseAndBalances)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK); // fully undone, so the next is the first again
    CoUninitialize();
}

TEST_F(ComRegistry, CreationNeedsInitialisationAndARegisteredClassThatSucceeds)
{
    const GUID rsx = guidOf(kRsxClass);
    ASSERT_TRUE(RegisterInprocClass(rsx, makeObject));
    void* object = &madeObject;
    EXPECT_EQ(CoCreateInstance(rsx, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    CoInitialize(nullptr);
    const GUID other = guidOf("{4B2CE922-1C45-11D0-985D-00AA003B43AF}");
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(rsx, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, &madeObject);
    EXPECT_TRUE(askedFor == IID_IUnknown);
    EXPECT_EQ(CoCreateInstance(rsx, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
              E_POINTER);
    EXPECT_TRUE(UnregisterInprocClass(rsx));
    EXPECT_EQ(CoCreateInstance(rsx, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    // A factory that fails leaves no object, whatever it wrote.
    ASSERT_TRUE(RegisterInprocClass(rsx, failToMake));
    object = &madeObject;
    EXPECT_EQ(CoCreateInstance(rsx, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              E_OUTOFMEMORY);
    EXPECT_EQ(object, nullptr);
    CoUninitialize();
}

TEST_F(ComRegistry, GuidTextIsParsedInRegistryFormOnly)
{
    const GUID parsed = guidOf("{e78f7620-96cb-11cf-a00b-444553540000}");
    EXPECT_EQ(parsed.Data1, 0xE78F7620u);
    EXPECT_EQ(parsed.Data2, 0x96CB);
    EXPECT_EQ(parsed.Data3, 0x11CF);
    EXPECT_EQ(parsed.Data4[0], 0xA0);
    EXPECT_EQ(parsed.Data4[7], 0x00);
    EXPECT_TRUE(parsed == guidOf(kRsxClass));
    GUID guid{};
    EXPECT_FALSE(GuidFromString("E78F7620-96CB-11CF-A00B-444553540000", &guid));
    EXPECT_FALSE(GuidFromString("{E78F7620-96CB-11CF-A00B-44455354000G}", &guid));
    EXPECT_FALSE(GuidFromString("{E78F7620-96CB-11CF-A00B-4445535400000}", &guid));
    EXPECT_FALSE(GuidFromString(nullptr, &guid));
}
