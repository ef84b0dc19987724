// Scan conversion: spans, clipping to the image, contours, the depth test and blending.
#include "render/raster.h"
#include "tests/render/scene.h"

#include <cmath>
#include <vector>

using namespace render_test;

namespace {

constexpr i16 kWidth = 64;
constexpr i16 kHeight = 48;
const Colour kBlack{0, 0, 0};

class Rasterizer : public RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        open(kWidth, kHeight);
    }
    i16 rect(i16 material, f32 left, f32 top, f32 right, f32 bottom, f32 depth)
    {
        return addScreenRect(world, material, kWidth, kHeight, left, top, right, bottom, depth);
    }
};

bool lit(const Colour& c)
{
    return c.red > 0 || c.green > 0 || c.blue > 0;
}

} // namespace

TEST_F(Rasterizer, FillsARectangleAndRecordsItsDepth)
{
    const i16 white = addMaterial(world, 1, 1, 1);
    const i16 object = rect(white, 10.5f, 8.5f, 30.5f, 20.5f, 10000.0f);
    draw();
    EXPECT_TRUE(lit(pixel(20, 14)));
    EXPECT_EQ(depthAt(20, 14).state, kDepthOpaque);
    EXPECT_EQ(depthAt(20, 14).object, object);
    EXPECT_NEAR(depthAt(20, 14).depth, 10000.0f, 0.5f);
    EXPECT_EQ(pixel(9, 14), kBlack); // left of the left edge
    EXPECT_EQ(pixel(31, 14), kBlack);
    EXPECT_EQ(pixel(20, 7), kBlack);
    EXPECT_EQ(pixel(20, 21), kBlack);
    EXPECT_EQ(depthAt(20, 21).state, kDepthEmpty);
}
