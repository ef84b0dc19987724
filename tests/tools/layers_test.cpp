// The layer check itself: a forbidden include and a circle of files are caught.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using testing_support::runCommand;
using testing_support::tempDir;
using testing_support::writeTempFile;

namespace {

// A small tree with its own map: "low" below "high".
std::string writeTree(const std::string& name, const std::string& lowSource)
{
    const std::string root = tempDir() + name + "/";
    writeTempFile(name + "/layers.txt", "low:\nhigh: low\n");
    writeTempFile(name + "/high/a.h", "#include \"low/b.h\"\n");
    writeTempFile(name + "/low/b.h", "#pragma once\n");
    writeTempFile(name + "/low/c.cpp", lowSource);
    return root;
}

testing_support::CommandRun check(const std::string& root)
{
    return runCommand(testing_support::binDir() + "/check_layers " + root + " " + root +
                      "layers.txt");
}

} // namespace

TEST(LayerCheck, PassesATreeThatRunsDownItsMap)
{
    const auto run = check(writeTree("clean", "#include \"low/b.h\"\n"));
    EXPECT_EQ(run.status, 0) << run.out;
}

TEST(LayerCheck, CatchesAnIncludeAgainstTheMap)
{
    const auto run = check(writeTree("upward", "#include \"low/b.h\"\n#include \"high/a.h\"\n"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("low/c.cpp:2: includes \"high/a.h\", but low may not include high"),
              std::string::npos)
        << run.out;
}

TEST(LayerCheck, CatchesFilesThatIncludeEachOther)
{
    const std::string root = writeTree("circle", "#include \"low/d.h\"\n");
    writeTempFile("circle/low/d.h", "#include \"low/c.h\"\n");
    writeTempFile("circle/low/c.h", "#pragma once\n");
    const auto run = check(root);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("circle: low/c -> low/d -> low/c"), std::string::npos) << run.out;
}

TEST(LayerCheck, CatchesAFolderMissingFromTheMap)
{
    const std::string root = writeTree("unmapped", "");
    writeTempFile("unmapped/elsewhere/e.cpp", "");
    const auto run = check(root);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("elsewhere/e.cpp: its folder is not on the map"), std::string::npos)
        << run.out;
}
