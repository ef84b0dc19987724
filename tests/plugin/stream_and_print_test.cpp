// The stream callbacks and printing.
#include "tests/plugin/plugin_fixture.h"

using StreamAndPrint = StartedPlugin<400, 300>;

TEST_F(StreamAndPrint, AskForTheWorldAsAFileAndSwallowEveryByte)
{
    NPStream stream{};
    std::uint16_t type = NP_NORMAL;
    EXPECT_EQ(plugin.newstream(&instance, nullptr, &stream, 0, &type), NPERR_NO_ERROR);
    EXPECT_EQ(type, NP_ASFILEONLY);
    EXPECT_EQ(plugin.writeready(&instance, &stream), 0x0FFFFFFF);
    char bytes[100] = {};
    EXPECT_EQ(plugin.write(&instance, &stream, 0, 100, bytes), 100);
    EXPECT_EQ(plugin.write(&instance, &stream, 100, 0, bytes), 0);
    EXPECT_EQ(plugin.destroystream(&instance, &stream, NPRES_DONE), NPERR_NO_ERROR);
}

TEST_F(StreamAndPrint, FullPagePrintingIsLeftToTheBrowser)
{
    NPPrint print{};
    print.mode = NP_FULL;
    print.print.fullPrint.pluginPrinted = true;
    plugin.print(&instance, &print);
    EXPECT_FALSE(print.print.fullPrint.pluginPrinted);
}

TEST_F(StreamAndPrint, EmbeddedPrintingDrawsAGreyFrameOnly)
{
    HDC screen = GetDC(frame);
    HDC page = CreateCompatibleDC(screen);
    HBITMAP paper = CreateCompatibleBitmap(screen, 60, 40);
    HGDIOBJ previous = SelectObject(page, paper);
    // A red brush marks "the device context's current brush" inside the frame.
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(page, red);

    NPPrint print{};
    print.mode = NP_EMBED;
    print.print.embedPrint.window.x = 10;
    print.print.embedPrint.window.y = 5;
    print.print.embedPrint.window.width = 30;
    print.print.embedPrint.window.height = 20;
    print.print.embedPrint.platformPrint = page;
    plugin.print(&instance, &print);

    EXPECT_EQ(GetPixel(page, 10, 5), RGB(0x80, 0x80, 0x80)); // top-left corner of the outline
    EXPECT_EQ(GetPixel(page, 39, 24),
              RGB(0x80, 0x80, 0x80));                  // bottom-right: right/bottom exclusive
    EXPECT_EQ(GetPixel(page, 20, 15), RGB(255, 0, 0)); // inside: the current brush
    EXPECT_EQ(GetPixel(page, 40, 15), RGB(0, 0, 0));   // outside: untouched
    EXPECT_EQ(GetPixel(page, 9, 5), RGB(0, 0, 0));

    SelectObject(page, previous);
    DeleteObject(paper);
    DeleteObject(red);
    DeleteDC(page);
    ReleaseDC(frame, screen);
}
