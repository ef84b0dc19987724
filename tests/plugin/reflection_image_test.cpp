// The reflection image: "reflex.jpg" on the path, or the default sky over ground.
#include "plugin/reflection_image.h"
#include "tests/support/counting_allocator.h"
#include "tests/support/picture_writers.h"
#include "tests/support/search_folders.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using testing_support::CountingAllocator;

class ReflectionImage : public PathSearch {
protected:
    void SetUp() override
    {
        PathSearch::SetUp();
        setenv("PATH", (root + "path").c_str(), 1);
    }
    void TearDown() override
    {
        freeWorldTables(world);
        PathSearch::TearDown();
    }
    Bgr pixel(int row, int column) const
    {
        const u8* p = world.reflectionPixels + 3 * (row * world.reflectionWidth + column);
        return {p[0], p[1], p[2]};
    }
    World world;
};

TEST_F(ReflectionImage, WithoutReflexJpgSkyIsAboveDarkerGround)
{
    loadReflectionImage(world);
    ASSERT_EQ(world.reflectionWidth, 100);
    ASSERT_EQ(world.reflectionHeight, 100);
    const Bgr sky = pixel(99, 0); // rows bottom-up: the last row is the top
    const Bgr ground = pixel(0, 0);
    EXPECT_GT(sky[0], sky[2]);       // blue above
    EXPECT_GE(ground[2], ground[0]); // brownish below
    EXPECT_LT(ground[0] + ground[1] + ground[2], sky[0] + sky[1] + sky[2]);
    EXPECT_EQ(pixel(40, 0), pixel(40, 99)); // rows are even
    for (int row = 1; row < 100; ++row)     // soft: no hard edge anywhere
        for (int c = 0; c < 3; ++c)
            EXPECT_LE(std::abs(pixel(row, 0)[c] - pixel(row - 1, 0)[c]), 20);
}

TEST_F(ReflectionImage, ReflexJpgOnThePathIsDecodedBottomUp)
{
    std::string samples(8 * 4 * 3, '\0');
    for (int k = 0; k < 8 * 3; ++k) samples[k] = static_cast<char>(k % 3 == 0 ? 255 : 0); // top red
    file("path/reflex.jpg", encodeJpeg(8, 4, samples));
    loadReflectionImage(world);
    EXPECT_EQ(world.reflectionWidth, 8);
    EXPECT_EQ(world.reflectionHeight, 4);
    EXPECT_TRUE(isNear(pixel(3, 5), {0, 0, 255}));
    EXPECT_TRUE(isNear(pixel(0, 5), {0, 0, 0}));
}

TEST_F(ReflectionImage, UndecodableReflexJpgGivesTheDefaultAndReplacesTheOldImage)
{
    CountingAllocator::install();
    loadReflectionImage(world);
    file("here/reflex.jpg", "not a jpeg");
    CaptureStderr();
    loadReflectionImage(world);
    GetCapturedStderr();
    EXPECT_EQ(world.reflectionWidth, 100);
    EXPECT_EQ(CountingAllocator::outstanding(), 1); // the first image was freed
    freeWorldTables(world);
    EXPECT_EQ(CountingAllocator::badFrees, 0);
    CountingAllocator::uninstall();
}
