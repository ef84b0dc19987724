// Where pictures are looked for: the name as given, the world's folder, "PATH".
#include "image/image.h"
#include "tests/support/search_folders.h"

namespace {

class PictureSearch : public PathSearch {
protected:
    std::string find(const char* name)
    {
        char result[4096];
        findOnPath(name, "PATH", result, sizeof result);
        return result;
    }
    std::string findIn(const std::string& worldFolder, const char* name,
                       PictureReach reach = PictureReach::Anywhere)
    {
        char result[4096];
        findPicture(worldFolder.c_str(), name, reach, result, sizeof result);
        return result;
    }
};

} // namespace

TEST_F(PictureSearch, NameAsGivenComesBeforeThePathFolders)
{
    const std::string here = file("here/a.jpg");
    file("one/a.jpg");
    setenv("PATH", (root + "one").c_str(), 1);
    EXPECT_EQ(find("a.jpg"), here); // the full path of the current folder's file
}

TEST_F(PictureSearch, PathFoldersAreTriedInOrder)
{
    const std::string onlyInOne = file("one/b.jpg");
    const std::string inTwo = file("two/c.jpg");
    file("one/c.jpg");
    setenv("PATH", ("::" + root + "missing:" + root + "two/:" + root + "one").c_str(), 1);
    EXPECT_EQ(find("c.jpg"), inTwo); // no doubled slash after "two/"
    EXPECT_EQ(find("b.jpg"), onlyInOne);
    EXPECT_EQ(find("d.jpg"), "");
}

TEST_F(PictureSearch, OnlyRegularFilesAreFound)
{
    std::filesystem::create_directories(root + "one/folder.jpg");
    setenv("PATH", (root + "one").c_str(), 1);
    EXPECT_EQ(find("folder.jpg"), "");
    EXPECT_EQ(find(""), "");
}

TEST_F(PictureSearch, NameAsGivenStandsInWhenTheFullPathDoesNotFit)
{
    file("here/e.jpg");
    char result[8] = "junk";
    EXPECT_TRUE(findOnPath("e.jpg", "PATH", result, sizeof result));
    EXPECT_STREQ(result, "e.jpg");
    EXPECT_FALSE(findOnPath("e.jpg", "PATH", result, 5)); // not even the name fits
    EXPECT_STREQ(result, "");
}

TEST_F(PictureSearch, WorldFolderComesFirstAndFileSchemeIsDropped)
{
    const std::string world = root + "world/";
    const std::string beside = file("world/t.png");
    file("here/t.png");
    EXPECT_EQ(findIn(world, "t.png"), beside);
    EXPECT_EQ(findIn(world, "file://t.png"), beside);
    EXPECT_EQ(findIn(world, ("file://" + beside).c_str()), beside);
}

TEST_F(PictureSearch, FirstUrlOfAListThatIsFoundWins)
{
    const std::string world;
    const std::string second = file("here/second.png");
    file("here/third.png");
    EXPECT_EQ(findIn(world, "first.png\" \"second.png\", \"third.png"), second);
    EXPECT_EQ(findIn(world, "\"first.png\" \"missing.png\""), "");
    EXPECT_EQ(findIn(world, " second.png "), second); // from url [ second.png ]
}
