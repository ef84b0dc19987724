// What the host reads back: message boxes, surfaces as PNG, the backend.
#include "tests/platform/platform_fixture.h"
#include "tests/support/picture_writers.h"

#include <string>

class HostServices : public PlatformTest {};

TEST_F(HostServices, MessageBoxIsRecordedWrittenToStderrAndAnsweredOk)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(nullptr, "Failed to load COM libraries", "Tarne", MB_OK | MB_ICONERROR),
              IDOK);
    EXPECT_EQ(MessageBox(nullptr, "second\n", nullptr, MB_OK), IDOK);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_NE(written.find("Failed to load COM libraries"), std::string::npos);
    ASSERT_EQ(platformMessageBoxCount(), 2u);
    EXPECT_STREQ(platformMessageBoxText(0), "Failed to load COM libraries");
    EXPECT_STREQ(platformMessageBoxText(1), "second\n");
    EXPECT_EQ(platformMessageBoxText(2), nullptr);
    platformClearMessageBoxes();
    EXPECT_EQ(platformMessageBoxCount(), 0u);
}

TEST_F(HostServices, SurfaceIsSavedAsPngWholeOrInPart)
{
    const HWND top = makeTopLevel(6, 4);
    drainAll();
    // Two pixels written as the host does, straight into the surface: blue, green, red.
    const SurfaceView view = platformSurface(top);
    for (const int offset : {1 * view.stride + 2 * 4, 3 * view.stride + 5 * 4}) {
        view.pixels[offset] = 30;
        view.pixels[offset + 1] = 20;
        view.pixels[offset + 2] = 10;
    }

    const std::string whole = testing_support::tempDir() + "whole.png";
    ASSERT_TRUE(platformSaveSurfacePng(top, nullptr, whole.c_str()));
    const PngFile all = readPng(whole);
    ASSERT_EQ(all.width, 6u);
    ASSERT_EQ(all.height, 4u);
    EXPECT_FALSE(all.alpha);
    EXPECT_EQ(all.at(2, 1), (Rgb{10, 20, 30})); // red, green, blue in that order
    EXPECT_EQ(all.at(5, 3), (Rgb{10, 20, 30}));
    EXPECT_EQ(all.at(3, 2), (Rgb{0, 0, 0}));

    const RECT area{2, 1, 100, 3}; // clipped to the surface
    const std::string part = testing_support::tempDir() + "part.png";
    ASSERT_TRUE(platformSaveSurfacePng(top, &area, part.c_str()));
    const PngFile cut = readPng(part);
    ASSERT_EQ(cut.width, 4u);
    ASSERT_EQ(cut.height, 2u);
    EXPECT_EQ(cut.at(0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(cut.at(1, 1), (Rgb{0, 0, 0}));
}

TEST_F(HostServices, PngIsRefusedWithoutASurfaceOrArea)
{
    const HWND top = makeTopLevel(6, 4);
    const HWND child = makeChild(top, 0, 0, 2, 2);
    const std::string path = testing_support::tempDir() + "refused.png";
    const RECT outside{10, 10, 20, 20};
    EXPECT_FALSE(platformSaveSurfacePng(top, &outside, path.c_str()));
    EXPECT_FALSE(platformSaveSurfacePng(child, nullptr, path.c_str()));
    EXPECT_FALSE(platformSaveSurfacePng(top, nullptr, "/nonexistent-folder/x.png"));
    EXPECT_EQ(platformSurface(child).pixels, nullptr);
}
