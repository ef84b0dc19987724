// Worlds drawn as their authors made them, through the tarne command in both readings: a
// z-up Viewpoint's roll, crease angles, a missing texture, the headlight.
// Each world is written one statement per line, so the line reader alone (--strict)
// reads the same geometry as the default reading.
#include "tests/host/tarne_run.h"

namespace {

// The world view of a 160 x 190 plug-in area: 160 x 100 above the Dashboard.
constexpr unsigned kWidth = 160;
constexpr unsigned kHeight = 100;

// Renders the world text (written as `name`) in the default reading, or with --strict;
// the picture, with the command's messages in `messages` when asked for.
PngFile render(const std::string& name, const std::string& world, bool strict,
               std::string* messages = nullptr)
{
    const std::string file = writeTempFile(name, world);
    const std::string picture = tempDir() + name + (strict ? "-strict.png" : ".png");
    const CommandRun run = tarne("render " + quote(file) + " -o " + quote(picture) +
                                 " --size 160x190" + (strict ? " --strict" : ""));
    EXPECT_EQ(run.status, 0) << run.err;
    if (messages) *messages = run.err;
    return readPng(picture);
}

// A Shape of quads, one statement per line. `points` and `faces` are list rows.
std::string shape(const std::string& material, const std::string& points, const std::string& faces,
                  const std::string& more = "")
{
    return "Shape {\nappearance Appearance {\nmaterial Material {\ndiffuseColor " + material +
           "\n}\n" + more + "}\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n" + points +
           "]\n}\ncoordIndex [\n" + faces + "]\n}\n}\n";
}

const char* kHeader = "#VRML V2.0 utf8\n";

bool red(const Rgb& pixel)
{
    return pixel[0] > 40 && pixel[0] > 2 * pixel[1] && pixel[0] > 2 * pixel[2];
}

} // namespace

// A robot drawn with z up and a Viewpoint turned to match (a third of a turn about
// (1, 1, 1): looking along -x with +z up). Its red marker, above the grey column, must
// show above the middle of the picture, not beside it as when the roll was dropped.
TEST(AsAuthored, AZUpViewpointShowsTheMarkerAboveTheModelInBothReadings)
{
    const std::string world =
        std::string(kHeader) +
        "Viewpoint {\nposition 10 0 1.5\norientation 0.57735 0.57735 0.57735 2.0943951\n}\n" +
        shape("0.5 0.5 0.5", "0 -0.3 0,\n0 0.3 0,\n0 0.3 2,\n0 -0.3 2,\n", "0, 1, 2, 3, -1,\n") +
        shape("1 0 0", "0 -0.3 2.5,\n0 0.3 2.5,\n0 0.3 3,\n0 -0.3 3,\n", "0, 1, 2, 3, -1,\n");
    for (const bool strict : {false, true}) {
        const PngFile png = render("zup.wrl", world, strict);
        ASSERT_EQ(png.width, kWidth);
        unsigned count = 0;
        double sumX = 0.0, sumY = 0.0;
        for (unsigned y = 0; y < png.height; ++y)
            for (unsigned x = 0; x < png.width; ++x)
                if (red(png.at(x, y))) ++count, sumX += x, sumY += y;
        ASSERT_GT(count, 10u) << "strict " << strict;
        EXPECT_LT(sumY / count, kHeight / 2.0 - 10.0) << "strict " << strict; // above the middle
        EXPECT_NEAR(sumX / count, kWidth / 2.0, 4.0) << "strict " << strict;  // not beside it
    }
}

// A cube seen square on its front face, by the built-in light. With creaseAngle 0 (or
// none) every face is flat: one colour across the front face. With 1.6 (beyond the
// cube's right angles) the corners share the three faces' normals and the face shades
// from its top-left corner (facing the light) to its bottom-right. The line reader's own
// rule (--strict) smooths across every shared vertex whatever the file says.
TEST(AsAuthored, ACubeIsFlatUnlessItsCreaseAngleLetsItBeSmooth)
{
    const std::string points = "-1 -1 -1,\n1 -1 -1,\n1 1 -1,\n-1 1 -1,\n"
                               "-1 -1 1,\n1 -1 1,\n1 1 1,\n-1 1 1,\n";
    const std::string faces = "4, 5, 6, 7, -1,\n1, 0, 3, 2, -1,\n5, 1, 2, 6, -1,\n"
                              "0, 4, 7, 3, -1,\n7, 6, 2, 3, -1,\n0, 1, 5, 4, -1,\n";
    auto cube = [&](const std::string& crease) {
        std::string text = std::string(kHeader) + "Viewpoint {\nposition 0 0 6\n}\n" +
                           shape("0.8 0.8 0.8", points, faces);
        if (!crease.empty()) text.insert(text.rfind("]\n}\n}\n") + 2, crease);
        return text;
    };
    const struct {
        const char* crease;
        bool strict;
        bool flat;
    } cases[] = {{"", false, true},
                 {"creaseAngle 0.5\n", false, true},
                 {"creaseAngle 1.6\n", false, false},
                 {"", true, false}};
    for (const auto& c : cases) {
        const PngFile png = render("cube.wrl", cube(c.crease), c.strict);
        ASSERT_EQ(png.width, kWidth);
        const Rgb topLeft = png.at(70, 40), bottomRight = png.at(90, 60);
        SCOPED_TRACE(std::string(c.crease) + (c.strict ? " strict" : ""));
        EXPECT_GT(topLeft[0], 30); // the face is there
        if (c.flat)
            EXPECT_EQ(topLeft, bottomRight);
        else
            EXPECT_GT(topLeft[0], bottomRight[0] + 10);
    }
}

// A red material whose picture cannot be found: the default reading draws the material's
// colour, as VRML says; the line reader's own rule multiplies the grey stand-in into the
// light, so the shape comes out grey. Both name the picture and the reason.
TEST(AsAuthored, AMissingTextureShowsTheMaterialsColourInTheDefaultReading)
{
    const std::string world =
        std::string(kHeader) + "Viewpoint {\nposition 0 0 3\n}\n" +
        shape("1 0 0", "-1 -1 0,\n1 -1 0,\n1 1 0,\n-1 1 0,\n", "0, 1, 2, 3, -1,\n",
              "texture ImageTexture {\nurl \"nowhere.png\"\n}\n");
    for (const bool strict : {false, true}) {
        std::string messages;
        const Rgb centre = render("untextured.wrl", world, strict, &messages).at(80, 50);
        EXPECT_NE(messages.find("untextured.wrl: texture nowhere.png not loaded: not found"),
                  std::string::npos)
            << messages;
        if (strict) {
            EXPECT_EQ(centre[0], centre[1]);
            EXPECT_EQ(centre[1], centre[2]);
            EXPECT_GT(centre[0], 30);
        } else {
            EXPECT_TRUE(red(centre)) << centre[0] << " " << centre[1] << " " << centre[2];
        }
    }
}

// A square facing the eye with a point light far behind it: the light meets it at a
// cosine of about -1, ramp entry 0, black. The default reading adds the headlight after
// the world's lights unless NavigationInfo turns it off; the line reader's own rule
// lights a world with lights by them alone.
TEST(AsAuthored, TheHeadlightLightsWhatTheWorldsLightsDoNotReach)
{
    auto world = [](const std::string& navigation) {
        return std::string(kHeader) + "Viewpoint {\nposition 0 0 3\n}\n" + navigation +
               "PointLight {\nlocation 0 0 -100\n}\n" +
               shape("1 1 1", "-1 -1 0,\n1 -1 0,\n1 1 0,\n-1 1 0,\n", "0, 1, 2, 3, -1,\n");
    };
    const struct {
        const char* navigation;
        bool strict;
        bool lit;
    } cases[] = {{"", false, true},
                 {"NavigationInfo {\nheadlight TRUE\n}\n", false, true},
                 {"NavigationInfo {\nheadlight FALSE\n}\n", false, false},
                 {"", true, false}};
    for (const auto& c : cases) {
        const Rgb centre = render("headlight.wrl", world(c.navigation), c.strict).at(80, 50);
        SCOPED_TRACE(std::string(c.navigation) + (c.strict ? " strict" : ""));
        if (c.lit)
            EXPECT_GT(centre[0], 100);
        else
            EXPECT_EQ(centre, (Rgb{0, 0, 0}));
    }
}
