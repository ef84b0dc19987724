// The world dump: valid JSON with exactly the keys of the dump's contract, `count` rows
// per table, floats that read back exactly; and the summary for a person.
#include "tests/world/world_reading.h"
#include "world/dump.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

// A small JSON reader for the tests: checks the syntax and records, for every object,
// its keys in order (a blank between them), under a path like "objects[].bounds"; for every array
// its length (the first seen at that path); and the numbers at each path. A path that is not there
// makes .at() throw, which fails the test.
struct JsonShape {
    explicit JsonShape(const std::string& json) : text(json) { valid = value("") && take('\0'); }

    const std::string& text;
    std::size_t at = 0;
    bool valid = false;
    std::map<std::string, std::string> keys; // blank between them
    std::map<std::string, long> lengths;
    std::map<std::string, std::vector<double>> numbers;

private:
    // Skips white space; then takes c if it comes next ('\0': the end of the text).
    bool take(char c)
    {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (c == '\0') return at == text.size();
        if (at >= text.size() || text[at] != c) return false;
        ++at;
        return true;
    }
    bool string(std::string* out)
    {
        if (!take('"')) return false;
        for (; at < text.size() && text[at] != '"'; ++at) {
            if (static_cast<unsigned char>(text[at]) < 0x20) return false;
            if (text[at] == '\\') {
                if (++at >= text.size()) return false;
                if (text[at] == 'u')
                    at += 4;
                else if (!std::strchr("\"\\/bfnrt", text[at]))
                    return false;
            }
            if (out) out->push_back(text[at]);
        }
        return take('"');
    }
    bool value(const std::string& path)
    {
        if (take('{')) {
            std::string& names = keys[path];
            const bool first = names.empty();
            if (take('}')) return true;
            do {
                std::string name;
                if (!string(&name) || !take(':')) return false;
                if (first) names += (names.empty() ? "" : " ") + name;
                if (!value(path.empty() ? name : path + "." + name)) return false;
            } while (take(','));
            return take('}');
        }
        if (take('[')) {
            long count = 0;
            if (!take(']')) {
                do {
                    ++count;
                    if (!value(path + "[]")) return false;
                } while (take(','));
                if (!take(']')) return false;
            }
            lengths.emplace(path, count);
            return true;
        }
        if (at < text.size() && text[at] == '"') return string(nullptr);
        if (text.compare(at, 4, "null") == 0) {
            at += 4;
            return true;
        }
        char* stop = nullptr;
        const double number = std::strtod(text.c_str() + at, &stop);
        if (stop == text.c_str() + at) return false;
        numbers[path].push_back(number);
        at = static_cast<std::size_t>(stop - text.c_str());
        return true;
    }
};

// The dump's tables, in the contract's order.
const std::string kTopLevelKeys =
    "counts objects vertexZ vertexX vertexY vertexNormals vertexColors vertexTexCoords faces "
    "faceIndices materials materialNames textures lights directionalLights pointLights "
    "spotLights camera background transformGroups audioClips sounds timeSensors";

class WorldDump : public WorldReading {
protected:
    // A world with a row in every table.
    void readEverything()
    {
        read("Viewpoint {\nposition 0 0 3\norientation 0 0 1 0.5\n}\nBackground {\nbackUrl "
             "\"sky.jpg\"\n}\n"
             "DirectionalLight {\n}\nPointLight {\n}\nSpotLight {\n}\n"
             "Transform {\ntranslation 0.1 0 0\nchildren [\nShape {\nappearance Appearance {\n"
             "material DEF M\tMaterial {\n}\ntexture ImageTexture {\nurl \"t.jpg\"\n}\n}\n" +
             triangle() + "}\n]\n}\nSound {\nsource AudioClip {\n}\n}\nTimeSensor {\n}\n");
    }
};

TEST_F(WorldDump, HasExactlyTheContractsKeysInOrderEvenWhenEmpty)
{
    read("");
    const std::string empty = worldDumpJson(world);
    JsonShape nothing(empty);
    ASSERT_TRUE(nothing.valid) << empty;
    EXPECT_EQ(nothing.lengths.at("objects"), 0);
    EXPECT_EQ(nothing.keys[""], kTopLevelKeys);
    readEverything();
    const std::string text = worldDumpJson(world);
    JsonShape json(text);
    ASSERT_TRUE(json.valid) << text;
    EXPECT_EQ(json.keys[""], kTopLevelKeys);
    EXPECT_EQ(json.keys["counts"],
              "objectCount vertexCount faceCount faceIndexCount materialCount textureCount "
              "lightCount directionalLightCount pointLightCount spotLightCount transformGroupCount "
              "audioClipCount soundCount timeSensorCount viewpointCount");
    EXPECT_EQ(json.keys["objects[]"],
              "name coordName colorName normalName texCoordName firstVertex vertexCount firstFace "
              "faceCount cornerCount firstCorner material normalPerVertex colorPerVertex hasColors "
              "hasNormals hasTexCoords bounds");
    EXPECT_EQ(json.keys["faces[]"], "firstIndex vertexCount");
    EXPECT_EQ(json.keys["materials[]"],
              "name opaque hasTexture texture textureMode textureRepeatS textureRepeatT "
              "specularColor shininess transparency diffuseColor");
    EXPECT_EQ(json.keys["textures[]"], "fileName width height");
    EXPECT_EQ(json.keys["lights[]"], "kind kindIndex enabled falloff color");
    EXPECT_EQ(json.keys["spotLights[]"], "location direction cone");
    EXPECT_EQ(json.keys["camera"], "eye target rollAngle viewAngle");
    EXPECT_EQ(json.keys["background"],
              "backgroundMode backgroundRed backgroundGreen backgroundBlue backgroundUrl");
    EXPECT_EQ(json.keys["transformGroups[]"], "firstEntry objectCount objects");
    EXPECT_EQ(json.keys["audioClips[]"], "name description url loop pitch startTime stopTime");
    EXPECT_EQ(json.keys["sounds[]"], "name clipNumber direction location intensity maxBack "
                                     "maxFront minBack minFront priority spatialize sourceName");
    EXPECT_EQ(json.keys["timeSensors[]"], "name cycleInterval enabled loop startTime stopTime");
}

TEST_F(WorldDump, ArraysHoldCountRowsAndFloatsReadBackExactly)
{
    readEverything();
    const std::string text = worldDumpJson(world);
    JsonShape json(text);
    ASSERT_TRUE(json.valid);
    EXPECT_EQ(json.lengths.at("vertexZ"), 3);
    EXPECT_EQ(json.lengths.at("vertexNormals"), 3);
    EXPECT_EQ(json.lengths.at("faces"), 2);
    EXPECT_EQ(json.lengths.at("faceIndices"), 4);
    EXPECT_EQ(json.lengths.at("materialNames"), 1);
    EXPECT_EQ(json.lengths.at("lights"), 3);
    EXPECT_EQ(json.lengths.at("directionalLights"), 1);
    EXPECT_EQ(json.lengths.at("transformGroups[].objects"), 1);
    const std::vector<double> x = json.numbers.at("vertexX[]");
    ASSERT_EQ(x.size(), 3u);
    for (u32 v = 0; v < 3; ++v) EXPECT_EQ(static_cast<f32>(x[v]), world.vertexX[v]);
    EXPECT_EQ(static_cast<f32>(json.numbers.at("camera.viewAngle").at(0)), 0.3f);
    EXPECT_EQ(static_cast<f32>(json.numbers.at("camera.rollAngle").at(0)), world.camera.rollAngle);
    EXPECT_NEAR(world.camera.rollAngle, -0.5f, 1e-6f); // 0.5 about +z: -0.5 about the view
}

TEST_F(WorldDump, StringsAreEscapedAndNonFiniteFloatsAreNull)
{
    read("DEF \"Odd\\\x01\xff\xc3\xa9\tAudioClip {\n}\nPointLight {\nintensity 1e39\n}\n");
    const std::string text = worldDumpJson(world);
    ASSERT_TRUE(JsonShape(text).valid) << text;
    EXPECT_NE(text.find("\"name\":\"\\\"Odd\\\\\\u0001\\u00ff\xc3\xa9\""), std::string::npos);
    EXPECT_NE(text.find("\"color\":[null,null,null]"), std::string::npos);
}

TEST_F(WorldDump, TheSummaryNamesCountsObjectsLightsCameraAndSounds)
{
    readEverything();
    const std::string summary = worldSummary(world);
    for (const char* piece :
         {"objects: 1", "lights: 3", "camera: eye 15000 0 0", ", roll -0.5, view angle 0.3",
          "background: picture \"sky.jpg\"", "sounds: 1", "texture 0 \"t.jpg\""})
        EXPECT_NE(summary.find(piece), std::string::npos) << piece << " in\n" << summary;
}
