// Whole worlds combining the nodes, read the way exporters write them (one statement
// per line, indented, tabs, CR LF), checked through the tables they leave.
#include "tests/world/world_reading.h"

#include <algorithm>
#include <sstream>

class WholeWorlds : public WorldReading {
protected:
    // The lines of text indented by `unit` once per open brace or bracket, each ended
    // with `end`, as exporters write them.
    static std::string exported(const std::string& text, const std::string& unit,
                                const std::string& end)
    {
        std::istringstream lines(text);
        std::string out, line;
        long depth = 0;
        while (std::getline(lines, line)) {
            const long opens = std::count(line.begin(), line.end(), '{') +
                               std::count(line.begin(), line.end(), '[');
            const long closes = std::count(line.begin(), line.end(), '}') +
                                std::count(line.begin(), line.end(), ']');
            const bool closing = !line.empty() && (line[0] == '}' || line[0] == ']');
            for (long level = 0; level < depth - (closing ? 1 : 0); ++level) out += unit;
            out += line + end;
            depth += opens - closes;
        }
        return out;
    }
};

// A room, then a robot as an exporter writes its hierarchy, with a shared material and
// a sound; indented with tabs and CR LF, and with blanks and LF.
TEST_F(WholeWorlds, ARoomAndARobotReadAlikeWhateverTheIndentationAndLineEnds)
{
    const std::string text =
        "#VRML V2.0 utf8\nWorldInfo { title \"room\" }\nNavigationInfo { type \"EXAMINE\" }\n"
        "Background {\nskyColor [ 0 0 1 ]\n}\n"
        "Viewpoint {\nposition 0 1 5\ndescription \"door\"\n}\n"
        "DirectionalLight {\ndirection 0 0 -1\n}\n"
        "DEF Room Transform {\ntranslation 0 0 -2\nchildren [\n"
        "Shape {\nappearance Appearance {\nmaterial Material {\ndiffuseColor 0.5 0.5 0.5\n}\n}\n"
        "geometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n-1 0 -1, 1 0 -1, 1 0 1, -1 0 1,\n"
        "]\n}\ncoordIndex [\n0, 3, 2, 1, -1,\n]\n}\n}\n"
        "PointLight {\nlocation 0 2 0\n}\n]\n}\n"
        "DEF Robot Transform {\nrotation 0 1 0 3.14159265\nchildren [\n"
        "DEF Body Transform {\ntranslation 0 1 0\nchildren [\n"
        "Shape {\nappearance DEF Steel\tAppearance {\n"
        "material Material {\ndiffuseColor 0.7 0.7 0.8\nspecularColor 1 1 1\n}\n}\n" +
        triangle("1 0 0, 2 0 0, 1 1 0,") + "}\n]\n}\n" + "Shape {\nappearance USE Steel\n" +
        triangle("0 0 1, 0 0 2, 0 1 1,") + "}\n" +
        "Sound {\nsource DEF Motor\tAudioClip {\nurl \"motor.wav\"\nloop TRUE\n}\n"
        "location 0 1 0\n}\n]\n}\n";
    for (const auto& [unit, end] : {std::pair{"\t", "\r\n"}, {"  ", "\n"}}) {
        SCOPED_TRACE(unit);
        ASSERT_TRUE(read(exported(text, unit, end)));
        EXPECT_EQ(world.backgroundBlue, 255);
        EXPECT_FLOAT_EQ(world.camera.eyePoint[0], 25000.0f);
        EXPECT_FLOAT_EQ(world.camera.eyePoint[2], 5000.0f);
        EXPECT_EQ(world.lightCount, 2);
        EXPECT_EQ(world.pointLightCount, 1);
        EXPECT_FLOAT_EQ(world.pointLights[0][2], 10000.0f); // lights do not move
        ASSERT_EQ(world.objectCount, 3);
        EXPECT_EQ(world.materialCount, 2);
        EXPECT_EQ((std::array{world.objects[0].material, world.objects[2].material}),
                  (std::array<i16, 2>{0, 1}));
        EXPECT_EQ(world.objects[0].cornerCount, 4u);
        EXPECT_FLOAT_EQ(fileZ(0), -3.0f); // -1 moved by the room's -2
        // Half a turn about y: x and z change sign, after the inner translation.
        EXPECT_TRUE(nearTriple(filePoint(4), {-1, 1, 0}, 1e-5f));
        EXPECT_NEAR(fileZ(7), -1.0f, 1e-5f);
        ASSERT_EQ(world.transformGroupCount, 3);
        EXPECT_EQ(world.transformGroups[2].objectCount, 2);
        ASSERT_EQ(world.soundCount, 1);
        EXPECT_EQ(world.sounds[0].clipNumber, 1);
        EXPECT_STREQ(world.sounds[0].name, "Motor");
        EXPECT_EQ(world.audioClips[0].loop, 1u);
    }
}
