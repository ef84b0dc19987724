// What the host reads back: message boxes, surfaces as PNG, the backend.
#include "tests/platform/platform_fixture.h"
#include "tests/support/test_support.h"

#include <png.h>

#include <string>
#include <vector>

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

namespace {

// The PNG's size and its RGB pixels, read with libpng; empty when unreadable.
struct ReadPng {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> rgb;
    COLORREF at(png_uint_32 x, png_uint_32 y) const
    {
        const png_byte* pixel = &rgb[(y * width + x) * 3];
        return RGB(pixel[0], pixel[1], pixel[2]);
    }
};

ReadPng readPng(const std::string& path)
{
    ReadPng result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u); // written without alpha
    image.format = PNG_FORMAT_RGB;
    result.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgb.data(), 0, nullptr)) return ReadPng{};
    result.width = image.width;
    result.height = image.height;
    return result;
}

} // namespace

TEST_F(HostServices, SurfaceIsSavedAsPngWholeOrInPart)
{
    const HWND top = makeTopLevel(6, 4);
    drainAll();
    const HDC dc = GetDC(top);
    const HPEN pen = CreatePen(PS_SOLID, 1, RGB(10, 20, 30));
    const HGDIOBJ old = SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 2, 1, 6, 4);
    SelectObject(dc, old);
    ReleaseDC(top, dc);
    DeleteObject(pen);

    const std::string whole = testing_support::tempDir() + "whole.png";
    ASSERT_TRUE(platformSaveSurfacePng(top, nullptr, whole.c_str()));
    const ReadPng all = readPng(whole);
    ASSERT_EQ(all.width, 6u);
    ASSERT_EQ(all.height, 4u);
    EXPECT_EQ(all.at(2, 1), RGB(10, 20, 30)); // red, green, blue in that order
    EXPECT_EQ(all.at(5, 3), RGB(10, 20, 30));
    EXPECT_EQ(all.at(3, 2), RGB(0, 0, 0));

    const RECT area{2, 1, 100, 3}; // clipped to the surface
    const std::string part = testing_support::tempDir() + "part.png";
    ASSERT_TRUE(platformSaveSurfacePng(top, &area, part.c_str()));
    const ReadPng cut = readPng(part);
    ASSERT_EQ(cut.width, 4u);
    ASSERT_EQ(cut.height, 2u);
    EXPECT_EQ(cut.at(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(cut.at(1, 1), RGB(0, 0, 0));
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
    EXPECT_NE(platformSurface(top).pixels, nullptr);
}
