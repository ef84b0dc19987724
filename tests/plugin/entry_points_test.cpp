// The exported entry points: table filling, version checks, null arguments, and the
// description calls generated from the version table.
#include "tests/plugin/plugin_fixture.h"

#include <cstring>

namespace {

void sentinelUrlNotify(NPP, const char*, NPReason, void*) {}
int sentinelJavaClass;

} // namespace

using EntryPoints = PluginTest;

TEST_F(EntryPoints, FillTheCallbackTableWithVersion11AndNoEventHandler)
{
    plugin.event = reinterpret_cast<NPP_HandleEventProcPtr>(&sentinelJavaClass);
    ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
    EXPECT_EQ(plugin.version, 11);
    for (const void* entry :
         {reinterpret_cast<const void*>(plugin.newp), reinterpret_cast<const void*>(plugin.destroy),
          reinterpret_cast<const void*>(plugin.setwindow),
          reinterpret_cast<const void*>(plugin.newstream),
          reinterpret_cast<const void*>(plugin.destroystream),
          reinterpret_cast<const void*>(plugin.asfile),
          reinterpret_cast<const void*>(plugin.writeready),
          reinterpret_cast<const void*>(plugin.write), reinterpret_cast<const void*>(plugin.print)})
        EXPECT_NE(entry, nullptr);
    EXPECT_EQ(plugin.event, nullptr);
}

TEST_F(EntryPoints, RefuseABrowserWhoseMajorVersionIsNotZero)
{
    ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
    browser.version = 0x0100;
    EXPECT_EQ(initialize(&browser), NPERR_INCOMPATIBLE_VERSION_ERROR);
    // Nothing was initialised, so no world table came from the browser.
    EXPECT_EQ(BrowserMemory::allocations, 0);
}

// Before minor version 11 the browser's urlnotify and javaClass slots are left alone and
// no Java environment is asked for; from 11 on the plug-in fills them itself.
TEST_F(EntryPoints, TouchUrlNotifyAndJavaClassOnlyFromMinorVersion11)
{
    for (std::uint16_t version : {0x0008, 0x000B}) {
        const bool eleven = version == 0x000B;
        ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
        plugin.urlnotify = sentinelUrlNotify;
        plugin.javaClass = &sentinelJavaClass;
        browser.version = version;
        JavaEnvironment::calls = 0;
        ASSERT_EQ(initialize(&browser), NPERR_NO_ERROR) << version;
        // It initialised: the starting tables came from the browser's allocator.
        EXPECT_GT(BrowserMemory::allocations, 0);
        EXPECT_EQ(plugin.urlnotify == sentinelUrlNotify, !eleven) << version;
        ASSERT_NE(plugin.urlnotify, nullptr);
        plugin.urlnotify(nullptr, "http://example.org/", NPRES_DONE, nullptr); // does nothing
        EXPECT_EQ(plugin.javaClass, eleven ? nullptr : &sentinelJavaClass) << version;
        EXPECT_EQ(JavaEnvironment::calls, eleven ? 1 : 0) << version;
        shutdown();
    }
}

TEST_F(EntryPoints, AnswerNullTablesInstancesAndWindowsWithTheirErrorCodes)
{
    EXPECT_EQ(getEntryPoints(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    EXPECT_EQ(initialize(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    startPlugin();
    EXPECT_EQ(plugin.newp(nullptr, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr),
              NPERR_INVALID_INSTANCE_ERROR);
    NPWindow window{};
    EXPECT_EQ(plugin.setwindow(&instance, nullptr), NPERR_GENERIC_ERROR);
    EXPECT_EQ(plugin.setwindow(nullptr, &window), NPERR_INVALID_INSTANCE_ERROR);
    NPP_t empty{}; // no pdata: NPP_New never ran for it
    EXPECT_EQ(plugin.setwindow(&empty, &window), NPERR_GENERIC_ERROR);
    std::uint16_t type = 0;
    EXPECT_EQ(plugin.newstream(nullptr, nullptr, nullptr, 0, &type), NPERR_INVALID_INSTANCE_ERROR);
    plugin.asfile(nullptr, nullptr, "x.wrl"); // nothing happens
    plugin.print(nullptr, nullptr);
}

TEST_F(EntryPoints, DescribeTheContentTypesFromTheVersionTable)
{
    auto mime = symbol<NP_GetMIMEDescriptionFunction>("NP_GetMIMEDescription");
    auto getValue = symbol<NP_GetValueFunction>("NP_GetValue");
    ASSERT_TRUE(mime && getValue);
    EXPECT_STREQ(mime(), "x-world/x-vrml:wrl,wrz:VRML Worlds;model/vrml:wrl,wrz:VRML Worlds");
    const char* name = nullptr;
    ASSERT_EQ(getValue(nullptr, NPPVpluginNameString, &name), NPERR_NO_ERROR);
    EXPECT_STREQ(name, "Tarne 1.0");
    const char* description = nullptr;
    ASSERT_EQ(getValue(nullptr, NPPVpluginDescriptionString, &description), NPERR_NO_ERROR);
    EXPECT_STREQ(description, "VRML World");
    EXPECT_EQ(getValue(nullptr, NPPVpluginWindowBool, &description), NPERR_INVALID_PARAM);
    EXPECT_STREQ(services->versionEntry("OriginalFilename"), "NPTARNE.DLL");
    EXPECT_STREQ(services->versionEntry("ProductVersion"), "1,0,0,1");
    EXPECT_EQ(services->versionEntry("NoSuchEntry"), nullptr);
}
