// DEF names the line reader cannot misread.
#include "world/normalize/names.h"

#include <array>

// Every text some node reader looks for in a line, except "on", which only the light
// readers test and lights are written without a name.
constexpr std::array<std::string_view, 77> kReaderKeywords = {"Transform",
                                                              "Shape",
                                                              "IndexedFaceSet",
                                                              "Box",
                                                              "Cone",
                                                              "Cylinder",
                                                              "ElevationGrid",
                                                              "Extrusion",
                                                              "Sphere",
                                                              "Appearance",
                                                              "DirectionalLight",
                                                              "PointLight",
                                                              "SpotLight",
                                                              "Viewpoint",
                                                              "Sound",
                                                              "AudioClip",
                                                              "TimeSensor",
                                                              "Background",
                                                              "Group",
                                                              "DEF",
                                                              "USE",
                                                              "NULL",
                                                              "TRUE",
                                                              "FALSE",
                                                              "center",
                                                              "rotation",
                                                              "scale",
                                                              "translation",
                                                              "geometry",
                                                              "appearance",
                                                              "coord",
                                                              "Coordinate",
                                                              "normal",
                                                              "texCoord",
                                                              "color",
                                                              "creaseAngle",
                                                              "material",
                                                              "texture",
                                                              "ImageTexture",
                                                              "url",
                                                              "repeatS",
                                                              "repeatT",
                                                              "ambientIntensity",
                                                              "diffuseColor",
                                                              "emissiveColor",
                                                              "shininess",
                                                              "specularColor",
                                                              "transparency",
                                                              "intensity",
                                                              "direction",
                                                              "location",
                                                              "attenuation",
                                                              "cutOffAngle",
                                                              "fieldOfView",
                                                              "position",
                                                              "orientation",
                                                              "skyColor",
                                                              "Url",
                                                              "description",
                                                              "pitch",
                                                              "startTime",
                                                              "stopTime",
                                                              "loop",
                                                              "maxBack",
                                                              "maxFront",
                                                              "minBack",
                                                              "minFront",
                                                              "priority",
                                                              "spatialize",
                                                              "source",
                                                              "cycleInterval",
                                                              "enabled",
                                                              "children",
                                                              "Index",
                                                              "PerVertex",
                                                              "Material",
                                                              "Normal"};

// Longer names are cut by the reader (39 characters) and would not match a USE;
// unshared names may be longer, as long as the line stays short.
constexpr std::size_t kMaxWrittenName = 100;
constexpr std::size_t kMaxSharedName = 39;

static bool isGeneratedMaterialName(std::string_view name)
{
    if (name.substr(0, 4) != "mat_" || name.size() == 4) return false;
    for (char c : name.substr(4))
        if (c < '0' || c > '9') return false;
    return true;
}

bool isSafeName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxWrittenName) return false;
    for (char c : name) {
        const u8 byte = static_cast<u8>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '"' || c == '#' || c == '{' || c == '}' ||
            c == '[' || c == ']' || c == '\\')
            return false;
    }
    for (std::string_view keyword : kReaderKeywords)
        if (name.find(keyword) != std::string_view::npos) return false;
    return true;
}

bool NameBook::takeIfFree(std::string_view preferred)
{
    if (!isSafeName(preferred) || preferred.size() > kMaxSharedName ||
        isGeneratedMaterialName(preferred) || has(preferred))
        return false;
    add(preferred);
    return true;
}

std::string NameBook::claim(std::string_view preferred, std::string_view prefix)
{
    if (takeIfFree(preferred)) return std::string(preferred);
    while (true) {
        std::string name = std::string(prefix) + std::to_string(++generated_);
        if (!has(name)) {
            add(name);
            return name;
        }
    }
}
