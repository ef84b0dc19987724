// The tarne command as a user runs it: exit codes, messages, the picture and the dump.
#include "tests/host/tarne_run.h"

#include <vector>

namespace {

// A red square in front of a blue sky, indented as exporters write worlds.
const char* kRedSquare =
    "#VRML V2.0 utf8\nBackground {\n  skyColor [ 0 0 1 ]\n}\nViewpoint {\n  position 0 0 10\n}\n"
    "Shape {\n  appearance Appearance {\n    material Material {\n      diffuseColor 1 0 0\n"
    "    }\n  }\n  geometry IndexedFaceSet {\n    coord Coordinate {\n      point [\n"
    "        -1 -1 0,\n        1 -1 0,\n        1 1 0,\n        -1 1 0,\n      ]\n    }\n"
    "    coordIndex [\n      0, 1, 2, 3, -1,\n    ]\n  }\n}\n";

} // namespace

TEST(TarneCommand, VersionNamesTheProductAndTheContentTypes)
{
    const CommandRun run = tarne("--version");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Tarne 1.0"), std::string::npos);
    EXPECT_NE(run.out.find("1.0.0.1"), std::string::npos);
    EXPECT_NE(run.out.find("x-world/x-vrml: wrl,wrz"), std::string::npos);
    EXPECT_NE(run.out.find("model/vrml: wrl,wrz"), std::string::npos);
}

TEST(TarneCommand, UsageErrorsExitWith2AndSayWhy)
{
    const std::string render = "render " + quote(writeTempFile("usage/w.wrl", kRedSquare)) +
                               " -o " + quote(tempDir() + "usage/w.png");
    std::vector<std::string> usages = {"",
                                       "frobnicate x.wrl",
                                       "render x.wrl",
                                       "info",
                                       "render x.wrl -o y.png --size 0x10",
                                       "render x.wrl -o y.png --scale 3",
                                       "info x.wrl --shadows",
                                       "render x.wrl -o y.png --threads 0",
                                       "render x.wrl -o y.png --threads 65"};
    // Sizes that leave no view above the Dashboard's 90 rows, or are not sizes at all.
    for (const char* size : {"1x1", "10x10", "640x90", "' 10x+10'", "10x+10", "-5x100"})
        usages.push_back(render + " --size " + size);
    for (const std::string& arguments : usages) {
        const CommandRun run = tarne(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << arguments;
    }
    EXPECT_EQ(tarne(render + " --size 1x91").status, 0) << "one row of view is enough";
}

// A file that cannot be read fails with 1 and names it with the reason; a world without
// objects is only a warning.
TEST(TarneCommand, ExitStatusAndMessagesNameTheFileAndTheReason)
{
    const std::string dir = tempDir(), empty = writeTempFile("nothing.wrl", "#VRML V2.0 utf8\n");
    const struct {
        std::string arguments;
        int status;
        std::string said;
    } cases[] = {
        {"info " + quote(dir + "no-such-world.wrl"), 1, "no-such-world.wrl: No such file"},
        {"normalize " + quote(dir + "absent.wrl"), 1, "absent.wrl: No such file"},
        {"render " + quote(dir) + " -o " + quote(dir + "x.png"), 1, "not a regular file"},
        {"info " + quote(empty), 0, "warning"},
    };
    for (const auto& c : cases) {
        const CommandRun run = tarne(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << ": " << run.err;
    }
}

TEST(TarneCommand, RenderWritesTheWorldViewAboveTheDashboardOrWithIt)
{
    const std::string world = writeTempFile("square.wrl", kRedSquare);
    const std::string picture = tempDir() + "square.png";
    const CommandRun run = tarne("render '" + world + "' -o '" + picture + "' --size 200x190");
    ASSERT_EQ(run.status, 0) << run.err;
    const PngFile png = readPng(picture);
    ASSERT_EQ(png.width, 200u);
    ASSERT_EQ(png.height, 100u); // 190 rows less the Dashboard's 90
    // The square sits in the middle of the view; the sky colour around it.
    EXPECT_GT(png.at(100, 50)[0], 100); // red
    EXPECT_EQ(png.at(100, 50)[2], 0);
    EXPECT_EQ(png.at(2, 2), (Rgb{0, 0, 255}));
    const std::string whole = tempDir() + "whole.png";
    const CommandRun both =
        tarne("render '" + world + "' -o '" + whole + "' --size 200x190 --whole --frames 2");
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(readPng(whole).width, 200u);
    EXPECT_EQ(readPng(whole).height, 190u);
}

TEST(TarneCommand, NormalizeWritesTheCanonicalText)
{
    const std::string world =
        writeTempFile("oneline.wrl", "#VRML V2.0 utf8\nShape { geometry Box { size 2 2 2 } }\n");
    const std::string out = tempDir() + "oneline-normalized.wrl";
    const CommandRun run = tarne("normalize '" + world + "' -o '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = readFile(out);
    EXPECT_NE(text.find("IndexedFaceSet {"), std::string::npos) << text.substr(0, 300);
}
