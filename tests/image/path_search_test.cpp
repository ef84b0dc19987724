#include "tests/image/search_fixture.h"

TEST_F(PathSearch, NameAsGivenComesBeforeThePathFolders)
{
    const std::string here = file("here/a.jpg");
    file("one/a.jpg");
    setenv("PATH", (root + "one").c_str(), 1);
    EXPECT_EQ(find("a.jpg"), here); // the full path of the current folder's file
}

TEST_F(PathSearch, PathFoldersAreTriedInOrder)
{
    const std::string onlyInOne = file("one/b.jpg");
    const std::string inTwo = file("two/c.jpg");
    file("one/c.jpg");
    setenv("PATH", ("::" + root + "missing:" + root + "two/:" + root + "one").c_str(), 1);
    EXPECT_EQ(find("c.jpg"), inTwo); // no doubled slash after "two/"
    EXPECT_EQ(find("b.jpg"), onlyInOne);
    EXPECT_EQ(find("d.jpg"), "");
}

TEST_F(PathSearch, OnlyRegularFilesAreFound)
{
    std::filesystem::create_directories(root + "one/folder.jpg");
    setenv("PATH", (root + "one").c_str(), 1);
    EXPECT_EQ(find("folder.jpg"), "");
    EXPECT_EQ(find(""), "");
}

TEST_F(PathSearch, NameAsGivenStandsInWhenTheFullPathDoesNotFit)
{
    file("here/e.jpg");
    char result[8] = "junk";
    EXPECT_TRUE(findOnPath("e.jpg", "PATH", result, sizeof result));
    EXPECT_STREQ(result, "e.jpg");
    EXPECT_FALSE(findOnPath("e.jpg", "PATH", result, 5)); // not even the name fits
    EXPECT_STREQ(result, "");
}

TEST_F(PathSearch, WorldFolderComesFirstAndFileSchemeIsDropped)
{
    World world;
    std::snprintf(world.worldFolder, sizeof world.worldFolder, "%sworld/", root.c_str());
    const std::string beside = file("world/t.png");
    file("here/t.png");
    EXPECT_EQ(findIn(world, "t.png"), beside);
    EXPECT_EQ(findIn(world, "file://t.png"), beside);
    EXPECT_EQ(findIn(world, ("file://" + beside).c_str()), beside);
}

TEST_F(PathSearch, FirstUrlOfAListThatIsFoundWins)
{
    World world;
    const std::string second = file("here/second.png");
    file("here/third.png");
    EXPECT_EQ(findIn(world, "first.png\" \"second.png\", \"third.png"), second);
    EXPECT_EQ(findIn(world, "\"first.png\" \"missing.png\""), "");
    EXPECT_EQ(findIn(world, " second.png "), second); // from url [ second.png ]
}
