// The world dump: valid JSON with exactly the keys of the dump's contract, `count` rows
// per table, floats that read back exactly; and the summary for a person.
#include "tests/world/world_reading.h"
#include "world/dump.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

// A small JSON reader for the tests: checks the syntax and records, for every object,
// its keys in order, under a path like "objects[].bounds"; arrays record their lengths.
class JsonShape {
public:
    explicit JsonShape(const std::string& text) : text_(text) { valid_ = value("") && end(); }
    bool valid() const { return valid_; }
    std::vector<std::string> keys(const std::string& path) const
    {
        auto found = keys_.find(path);
        return found == keys_.end() ? std::vector<std::string>{} : found->second;
    }
    // The length of the first array seen at path.
    long length(const std::string& path) const
    {
        auto found = lengths_.find(path);
        return found == lengths_.end() ? -1 : found->second;
    }
    std::vector<double> numbersAt(const std::string& path) const
    {
        auto found = numbers_.find(path);
        return found == numbers_.end() ? std::vector<double>{} : found->second;
    }

private:
    void blanks()
    {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool end()
    {
        blanks();
        return at_ == text_.size();
    }
    bool take(char c)
    {
        blanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool string(std::string* out)
    {
        if (!take('"')) return false;
        while (at_ < text_.size() && text_[at_] != '"') {
            const unsigned char c = static_cast<unsigned char>(text_[at_]);
            if (c < 0x20) return false;
            if (c == '\\') {
                ++at_;
                if (at_ >= text_.size()) return false;
                if (text_[at_] == 'u')
                    at_ += 4;
                else if (!std::strchr("\"\\/bfnrt", text_[at_]))
                    return false;
            }
            if (out) out->push_back(text_[at_]);
            ++at_;
        }
        return take('"');
    }
    bool value(const std::string& path)
    {
        blanks();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == '{') {
            ++at_;
            std::vector<std::string>& names = keys_[path];
            const bool first = names.empty();
            if (take('}')) return true;
            do {
                std::string name;
                if (!string(&name) || !take(':')) return false;
                if (first) names.push_back(name);
                if (!value(path.empty() ? name : path + "." + name)) return false;
            } while (take(','));
            return take('}');
        }
        if (c == '[') {
            ++at_;
            long count = 0;
            if (!take(']')) {
                do {
                    ++count;
                    if (!value(path + "[]")) return false;
                } while (take(','));
                if (!take(']')) return false;
            }
            lengths_.emplace(path, count);
            return true;
        }
        if (c == '"') return string(nullptr);
        if (text_.compare(at_, 4, "null") == 0) {
            at_ += 4;
            return true;
        }
        char* stop = nullptr;
        const double number = std::strtod(text_.c_str() + at_, &stop);
        if (stop == text_.c_str() + at_) return false;
        numbers_[path].push_back(number);
        at_ = static_cast<std::size_t>(stop - text_.c_str());
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
    bool valid_ = false;
    std::map<std::string, std::vector<std::string>> keys_;
    std::map<std::string, long> lengths_;
    std::map<std::string, std::vector<double>> numbers_;
};

using Keys = std::vector<std::string>;

class WorldDump : public WorldReading {
protected:
    // A world with a row in every table.
    void readEverything()
    {
        read("Viewpoint {\nposition 0 0 3\n}\nBackground {\nbackUrl \"sky.jpg\"\n}\n"
             "DirectionalLight {\n}\nPointLight {\n}\nSpotLight {\n}\n"
             "Transform {\ntranslation 0.1 0 0\nchildren [\nShape {\nappearance Appearance {\n"
             "material DEF M\tMaterial {\n}\ntexture ImageTexture {\nurl \"t.jpg\"\n}\n}\n" +
             triangle() + "}\n]\n}\nSound {\nsource AudioClip {\n}\n}\nTimeSensor {\n}\n");
    }
};

TEST_F(WorldDump, HasExactlyTheContractsKeysInOrder)
{
    readEverything();
    const std::string text = worldDumpJson(world);
    const JsonShape json(text);
    ASSERT_TRUE(json.valid()) << text;
    EXPECT_EQ(json.keys(""),
              (Keys{"counts",     "objects",       "vertexZ",           "vertexX",
                    "vertexY",    "vertexNormals", "vertexColors",      "vertexTexCoords",
                    "faces",      "faceIndices",   "materials",         "materialNames",
                    "textures",   "lights",        "directionalLights", "pointLights",
                    "spotLights", "camera",        "background",        "transformGroups",
                    "audioClips", "sounds",        "timeSensors"}));
    EXPECT_EQ(json.keys("counts"),
              (Keys{"objectCount", "vertexCount", "faceCount", "faceIndexCount", "materialCount",
                    "textureCount", "lightCount", "directionalLightCount", "pointLightCount",
                    "spotLightCount", "transformGroupCount", "audioClipCount", "soundCount",
                    "timeSensorCount", "viewpointCount"}));
    EXPECT_EQ(json.keys("objects[]"),
              (Keys{"name", "coordName", "colorName", "normalName", "texCoordName", "firstVertex",
                    "vertexCount", "firstFace", "faceCount", "cornerCount", "firstCorner",
                    "material", "normalPerVertex", "colorPerVertex", "hasColors", "hasNormals",
                    "hasTexCoords", "bounds"}));
    EXPECT_EQ(json.keys("faces[]"), (Keys{"firstIndex", "vertexCount"}));
    EXPECT_EQ(
        json.keys("materials[]"),
        (Keys{"name", "opaque", "hasTexture", "texture", "textureMode", "textureRepeatS",
              "textureRepeatT", "specularColor", "shininess", "transparency", "diffuseColor"}));
    EXPECT_EQ(json.keys("textures[]"), (Keys{"fileName", "width", "height"}));
    EXPECT_EQ(json.keys("lights[]"), (Keys{"kind", "kindIndex", "enabled", "falloff", "color"}));
    EXPECT_EQ(json.keys("spotLights[]"), (Keys{"location", "direction", "cone"}));
    EXPECT_EQ(json.keys("camera"), (Keys{"eye", "target", "viewAngle"}));
    EXPECT_EQ(json.keys("background"), (Keys{"backgroundMode", "backgroundRed", "backgroundGreen",
                                             "backgroundBlue", "backgroundUrl"}));
    EXPECT_EQ(json.keys("transformGroups[]"), (Keys{"firstEntry", "objectCount", "objects"}));
    EXPECT_EQ(json.keys("audioClips[]"),
              (Keys{"name", "description", "url", "loop", "pitch", "startTime", "stopTime"}));
    EXPECT_EQ(json.keys("sounds[]"),
              (Keys{"name", "clipNumber", "direction", "location", "intensity", "maxBack",
                    "maxFront", "minBack", "minFront", "priority", "spatialize", "sourceName"}));
    EXPECT_EQ(json.keys("timeSensors[]"),
              (Keys{"name", "cycleInterval", "enabled", "loop", "startTime", "stopTime"}));
}

TEST_F(WorldDump, ArraysHoldCountRowsAndFloatsReadBackExactly)
{
    readEverything();
    const std::string text = worldDumpJson(world);
    const JsonShape json(text);
    ASSERT_TRUE(json.valid());
    EXPECT_EQ(json.length("vertexZ"), 3);
    EXPECT_EQ(json.length("vertexNormals"), 3);
    EXPECT_EQ(json.length("faces"), 2);
    EXPECT_EQ(json.length("faceIndices"), 4);
    EXPECT_EQ(json.length("materialNames"), 1);
    EXPECT_EQ(json.length("lights"), 3);
    EXPECT_EQ(json.length("directionalLights"), 1);
    EXPECT_EQ(json.length("transformGroups[].objects"), 1);
    const std::vector<double> x = json.numbersAt("vertexX[]");
    ASSERT_EQ(x.size(), 3u);
    for (u32 v = 0; v < 3; ++v) EXPECT_EQ(static_cast<f32>(x[v]), world.vertexX[v]);
    EXPECT_EQ(static_cast<f32>(json.numbersAt("camera.viewAngle")[0]), 0.3f);
}

TEST_F(WorldDump, StringsAreEscapedAndNonFiniteFloatsAreNull)
{
    read("DEF \"Odd\\\x01\xff\xc3\xa9\tAudioClip {\n}\nPointLight {\nintensity 1e39\n}\n");
    const std::string text = worldDumpJson(world);
    ASSERT_TRUE(JsonShape(text).valid()) << text;
    EXPECT_NE(text.find("\"name\":\"\\\"Odd\\\\\\u0001\\u00ff\xc3\xa9\""), std::string::npos);
    EXPECT_NE(text.find("\"color\":[null,null,null]"), std::string::npos);
}

TEST_F(WorldDump, AnEmptyWorldIsStillTheWholeShape)
{
    read("");
    const JsonShape json(worldDumpJson(world));
    ASSERT_TRUE(json.valid());
    EXPECT_EQ(json.length("objects"), 0);
    EXPECT_EQ(json.keys("").size(), 23u);
}

TEST_F(WorldDump, TheSummaryNamesCountsObjectsLightsCameraAndSounds)
{
    readEverything();
    const std::string summary = worldSummary(world);
    EXPECT_NE(summary.find("objects: 1"), std::string::npos) << summary;
    EXPECT_NE(summary.find("lights: 3"), std::string::npos);
    EXPECT_NE(summary.find("camera: eye 15000 0 0"), std::string::npos);
    EXPECT_NE(summary.find("background: picture \"sky.jpg\""), std::string::npos);
    EXPECT_NE(summary.find("sounds: 1"), std::string::npos);
    EXPECT_NE(summary.find("texture 0 \"t.jpg\""), std::string::npos);
}
