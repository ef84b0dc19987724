// Tarne installed into a temporary prefix, checked with the desktop's own tools: the
// program runs from there, the desktop entry validates and opens VRML worlds, the file
// type package knows them by name and by content, and the manual page renders.
#include "tests/host/tarne_run.h"

namespace {

bool haveTool(const char* tool)
{
    return runCommand(std::string("command -v ") + tool).status == 0;
}

// Runs a command with the prefix's data first, and nobody's own settings.
CommandRun inPrefix(const std::string& prefix, const std::string& command)
{
    return runCommand("env XDG_DATA_DIRS='" + prefix + "/share:/usr/share' XDG_DATA_HOME='" +
                      prefix + "/home' XDG_CONFIG_HOME='" + prefix + "/home' GIO_USE_VFS=local " +
                      "PATH='" + prefix + "/bin:/usr/bin:/bin' " + command);
}

class Installed : public ::testing::Test {
protected:
    // One installation for every case: cmake --install of the build the tests belong to.
    static void SetUpTestSuite()
    {
        prefix = tempDir() + "prefix";
        install = runCommand("cmake --install '" + binDir() + "/..' --prefix '" + prefix + "'");
    }
    void SetUp() override { ASSERT_EQ(install.status, 0) << install.out << install.err; }

    static inline std::string prefix;
    static inline CommandRun install;
};

} // namespace

TEST_F(Installed, TheProgramFindsItsLibrariesInThePrefix)
{
    const auto run =
        runCommand("env -u LD_LIBRARY_PATH -u TARNE_PLUGIN '" + prefix + "/bin/tarne' --version");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Tarne 1.0", 0), 0u) << run.out;
    const auto libraries = runCommand("ldd '" + prefix + "/lib/tarne/libnptarne.so'");
    EXPECT_NE(libraries.out.find(prefix + "/lib/tarne/libtarneplatform.so"), std::string::npos)
        << libraries.out;
}

TEST_F(Installed, TheDesktopEntryValidatesAndOpensVrmlWorlds)
{
    if (!haveTool("desktop-file-validate") || !haveTool("gio")) GTEST_SKIP() << "no desktop tools";
    const std::string entry = prefix + "/share/applications/tarne.desktop";
    const auto valid = runCommand("desktop-file-validate '" + entry + "'");
    EXPECT_EQ(valid.status, 0);
    EXPECT_EQ(valid.out + valid.err, ""); // not even a warning
    ASSERT_EQ(runCommand("update-desktop-database '" + prefix + "/share/applications'").status, 0);
    ASSERT_EQ(runCommand("update-mime-database '" + prefix + "/share/mime'").status, 0);
    for (const char* type : {"model/vrml", "x-world/x-vrml"}) {
        const auto handler = inPrefix(prefix, std::string("gio mime ") + type);
        EXPECT_NE(handler.out.find(": tarne.desktop"), std::string::npos) << handler.out;
    }
}

TEST_F(Installed, TheFileTypePackageKnowsWorldsByNameAndByContent)
{
    if (!haveTool("xmllint") || !haveTool("gio")) GTEST_SKIP() << "no file type tools";
    const std::string package = prefix + "/share/mime/packages/tarne.xml";
    EXPECT_EQ(runCommand("xmllint --noout '" + package + "'").status, 0);
    ASSERT_EQ(runCommand("update-mime-database '" + prefix + "/share/mime'").status, 0);
    const std::string world = "#VRML V2.0 utf8\nShape { geometry Box {} }\n";
    writeTempFile("types/world.wrl", world);
    writeTempFile("types/plain", world);
    // gzip keeps the name world.wrl in its header, which is what a nameless copy shows.
    ASSERT_EQ(runCommand("cd '" + tempDir() +
                         "types' && gzip -k world.wrl && cp world.wrl.gz "
                         "world.wrz && cp world.wrl.gz packed")
                  .status,
              0);
    for (const char* file : {"world.wrl", "world.wrz", "world.wrl.gz", "plain", "packed"}) {
        const auto type = inPrefix(prefix, "gio info -a standard::content-type '" + tempDir() +
                                               "types/" + file + "'");
        EXPECT_NE(type.out.find("content-type: model/vrml"), std::string::npos)
            << file << ": " << type.out;
    }
}

TEST_F(Installed, TheManualPageRendersEveryCommand)
{
    if (!haveTool("man")) GTEST_SKIP() << "no man";
    const auto page = runCommand("LC_ALL=C MANWIDTH=100 man --warnings -l '" + prefix +
                                 "/share/man/man1/tarne.1'");
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.err, ""); // groff's warnings
    for (const char* text : {"tarne view FILE", "tarne render FILE -o OUT.png", "tarne info FILE",
                             "tarne normalize FILE", "--version", "--whole", "--script STEPS",
                             "--fps N", "--json", "record PATTERN.png", "EXIT STATUS"})
        EXPECT_NE(page.out.find(text), std::string::npos) << text;
}
