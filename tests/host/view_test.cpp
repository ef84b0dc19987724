// tarne view in a real window, under a virtual X server: what it shows after a scripted
// drag is what tarne render draws with the same script, pixel for pixel.
#include "tests/host/tarne_run.h"

TEST(TarneView, AScriptedWalkShowsWhatRenderDraws)
{
    if (runCommand("command -v xvfb-run").status != 0) GTEST_SKIP() << "no xvfb-run";
    const std::string demo = demoWorld();
    const std::string walk = "down 320 200\nmove 320 180\nframes 8\nup 320 180\nframes 2\n";
    const std::string viewShot = tempDir() + "view/walk.png";
    const std::string renderShot = tempDir() + "view/walk-render.png";
    const std::string inWindow =
        writeTempFile("view/in-window.txt", walk + "shot " + viewShot + "\nquit\n");
    const std::string headless =
        writeTempFile("view/headless.txt", walk + "shot " + renderShot + "\n");
    // The X libraries SDL loads keep a block of D-Bus's to the end: not ours to free.
    const std::string leaks =
        "LSAN_OPTIONS=suppressions=" + sourceDir() + "/tests/platform/sdl/lsan.supp ";
    const auto view = runCommand(
        leaks + "TARNE_NO_DIALOGS=1 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' " + binDir() +
        "/tarne view '" + demo + "' --mode 4 --no-sound --script '" + inWindow + "'");
    if (view.err.find("no display available") != std::string::npos) GTEST_SKIP() << view.err;
    ASSERT_EQ(view.status, 0) << view.err;
    const auto render = tarne("render " + quote(demo) + " --mode 4 --no-sound -o " +
                              quote(tempDir() + "view/final.png") + " --script " + quote(headless));
    ASSERT_EQ(render.status, 0) << render.err;
    const std::string shown = readFile(viewShot);
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown == readFile(renderShot));
}

TEST(TarneView, WithoutADisplayItSaysSo)
{
    const auto run = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + binDir() + "/tarne view " +
                                quote(demoWorld()));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarne: no display available; use 'tarne render' for pictures\n");
}

TEST(TarneScript, ABadStepIsAUsageErrorBeforeAnythingIsDrawn)
{
    const std::string world = writeTempFile("script/w.wrl", "#VRML V2.0 utf8\n");
    for (const char* step :
         {"down 1", "move a b", "frames 0", "record fly.png", "shot", "jump 1 2", "up 1 2 shift"}) {
        const std::string script =
            writeTempFile("script/bad.txt", std::string("frames 1\n") + step + "\n");
        const std::string picture = tempDir() + "script/never.png";
        const auto run = tarne("render " + quote(world) + " -o " + quote(picture) + " --script " +
                               quote(script));
        EXPECT_EQ(run.status, 2) << step;
        EXPECT_NE(run.err.find("bad.txt:2: bad step '" + std::string(step) + "'"),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(readFile(picture).empty()) << step;
    }
}

TEST(TarneScript, RecordingWritesEveryFrameByNumber)
{
    const std::string world =
        writeTempFile("record/w.wrl", "#VRML V2.0 utf8\nShape { geometry Box {} }\n");
    const std::string script = writeTempFile(
        "record/steps.txt",
        "record " + tempDir() + "record/f-%03d.png\nframes 3\nrecord off\nframes 2\n");
    const auto run = tarne("render " + quote(world) + " -o " +
                           quote(tempDir() + "record/last.png") + " --script " + quote(script));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"f-001.png", "f-002.png", "f-003.png"})
        EXPECT_FALSE(readFile(tempDir() + "record/" + name).empty()) << name;
    EXPECT_TRUE(readFile(tempDir() + "record/f-004.png").empty());
}
