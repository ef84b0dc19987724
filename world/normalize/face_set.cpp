// An IndexedFaceSet made readable by the line reader: faces it cannot draw left out,
// the last face closed, and corners whose texture coordinates or normals have indices of
// their own spread onto vertices of their own (the reader matches both to vertices by
// position, and the renderer smooths across a shared vertex).
#include "world/normalize/mesh.h"

#include <cmath>
#include <unordered_map>

constexpr u32 kMaxCorners = 32767; // a face's corner count is 16-bit signed in the tables

// Two normals of the file closer than this (the cosine of about one degree) are the same
// normal written twice: exporters round them to a few digits, and the renderer makes its
// own from the faces anyway. Farther apart, they mark a crease the author wants kept.
constexpr f64 kSameNormal = 0.99985;
constexpr std::size_t kMaxClassesCompared = 32;

namespace {

struct FaceSpan {
    u32 start; // position of its first corner in coordIndex
    u32 count; // corners
};

// What makes a corner's vertex beyond its point: its texture coordinate entry and its
// normal's class, for the lists that have indices of their own (empty when they do not).
struct CornerKeys {
    std::vector<i32> texIndex;    // per coordIndex entry
    std::vector<u32> normalClass; // per coordIndex entry: the first normal index at the
                                  // point with the same direction
};

struct VertexKey {
    u32 point;
    u32 tex;
    u32 normal;
    bool operator==(const VertexKey&) const = default;
};

struct VertexKeyHash {
    std::size_t operator()(const VertexKey& key) const
    {
        u64 h = key.point;
        h = h * 0x9E3779B97F4A7C15ull + key.tex;
        h = h * 0x9E3779B97F4A7C15ull + key.normal;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

} // namespace

// Splits coordIndex at its negative entries (and at its end, where VRML lets the last
// -1 be left out) and finds the faces the reader can draw. Returns how many entries the
// kept faces take with a -1 each; `spans` (when asked for) receives them.
static std::size_t scanFaces(const std::vector<i32>& coordIndex, u32 pointCount,
                             FaceSetIssues& issues, std::vector<FaceSpan>* spans)
{
    std::size_t start = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i <= coordIndex.size(); ++i) {
        if (i < coordIndex.size() && coordIndex[i] >= 0) continue;
        const std::size_t count = i - start;
        if (count > 0) {
            bool valid = count >= 3 && count <= kMaxCorners;
            for (std::size_t k = start; valid && k < i; ++k)
                valid = static_cast<u32>(coordIndex[k]) < pointCount;
            if (valid) {
                kept += count + 1;
                if (spans) spans->push_back({static_cast<u32>(start), static_cast<u32>(count)});
            } else {
                ++issues.droppedFaces;
            }
        }
        start = i + 1;
    }
    return kept;
}

static NumberArray numbersOf(const Node* node, const char* field, u32 perEntry)
{
    NumberArray array;
    if (!node) return array;
    const FieldValue* value = findField(*node, field);
    if (!value || value->kind != ValueKind::kNumbers) return array;
    array.source = value->source;
    array.runs = &value->numbers;
    array.count = value->numberCount / perEntry * perEntry;
    return array;
}

// A per-vertex attribute whose own index list, if any, repeats coordIndex.
static bool followsCoordIndex(const Node& faceSet, const char* indexField,
                              const std::vector<i32>& coordIndex)
{
    const std::vector<i32> own = readIntList(faceSet, indexField);
    return own.empty() || own == coordIndex;
}

// The face set's creaseAngle: 0 (every edge a crease) when absent or unusable.
static f64 creaseAngleOf(const Node& faceSet)
{
    f64 creaseAngle = 0.0;
    readDoubles(faceSet, "creaseAngle", &creaseAngle, 1);
    return std::isfinite(creaseAngle) && creaseAngle > 0.0 ? creaseAngle : 0.0;
}

// An index list that names an entry below `entries` for every corner of the kept faces.
static bool indexFits(const std::vector<i32>& index, const std::vector<i32>& coordIndex,
                      const std::vector<FaceSpan>& faces, u32 entries)
{
    if (index.size() < coordIndex.size()) return false;
    for (const FaceSpan& face : faces)
        for (u32 k = face.start; k < face.start + face.count; ++k)
            if (index[k] < 0 || static_cast<u32>(index[k]) >= entries) return false;
    return true;
}

// The classes of the file's per-corner normals: at each point, corners whose normals
// point the same way share the first such normal's index. False (no classes) when
// normalIndex does not fit the normals.
static bool classifyNormals(const Node& faceSet, const std::vector<i32>& coordIndex,
                            const std::vector<FaceSpan>& faces, u32 pointCount,
                            const NumberArray& normals, std::vector<u32>& classes)
{
    const std::vector<i32> normalIndex = readIntList(faceSet, "normalIndex");
    const u32 normalCount = normals.count / 3;
    if (!indexFits(normalIndex, coordIndex, faces, normalCount)) return false;
    std::vector<f64> unit;
    unit.reserve(normals.count);
    forEachNumber(*normals.source, *normals.runs, [&](std::string_view text) {
        if (unit.size() < normals.count) unit.push_back(numberValue(text));
    });
    unit.resize(normals.count, 0.0);
    for (u32 n = 0; n < normalCount; ++n) {
        f64* v = unit.data() + 3 * n;
        const f64 length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int c = 0; c < 3; ++c)
            v[c] = length > 0.0 && std::isfinite(length) ? v[c] / length : 0.0;
    }
    auto same = [&](u32 a, u32 b) {
        const f64* p = unit.data() + 3 * a;
        const f64* q = unit.data() + 3 * b;
        return a == b || p[0] * q[0] + p[1] * q[1] + p[2] * q[2] >= kSameNormal;
    };
    classes.assign(coordIndex.size(), 0);
    // Each point's classes so far; a hostile point with endless different normals is
    // compared with its first kMaxClassesCompared only.
    std::vector<std::vector<u32>> classesAt(pointCount);
    for (const FaceSpan& face : faces) {
        for (u32 k = face.start; k < face.start + face.count; ++k) {
            const u32 normal = static_cast<u32>(normalIndex[k]);
            std::vector<u32>& known = classesAt[static_cast<u32>(coordIndex[k])];
            u32 chosen = normal;
            bool found = false;
            for (std::size_t c = 0; c < known.size() && c < kMaxClassesCompared && !found; ++c) {
                found = same(known[c], normal);
                if (found) chosen = known[c];
            }
            if (!found) known.push_back(normal);
            classes[k] = chosen;
        }
    }
    return true;
}

// Gives every distinct (point, texture coordinate, normal class) of the kept faces a
// vertex of its own; colours and normals follow the point they were given for.
static void spreadCorners(const std::vector<i32>& coordIndex, const std::vector<FaceSpan>& faces,
                          const CornerKeys& keys, const NumberArray& fileNormals, Mesh& mesh)
{
    const bool byTex = !keys.texIndex.empty();
    const bool byNormal = !keys.normalClass.empty();
    const u32 pointCount = mesh.points.count / 3;
    const bool keepTexCoords = byTex || mesh.texCoords.count / 2 >= pointCount;
    const bool keepNormals = byNormal || mesh.normals.count / 3 >= pointCount;
    const bool keepColors = mesh.colors.count / 3 >= pointCount;
    const std::vector<NumberRun> points = singleRuns(mesh.points);
    const std::vector<NumberRun> texCoords =
        keepTexCoords ? singleRuns(mesh.texCoords) : std::vector<NumberRun>();
    const std::vector<NumberRun> normals =
        keepNormals ? singleRuns(byNormal ? fileNormals : mesh.normals) : std::vector<NumberRun>();
    const std::vector<NumberRun> colors =
        keepColors ? singleRuns(mesh.colors) : std::vector<NumberRun>();
    std::unordered_map<VertexKey, i32, VertexKeyHash> vertexOf;
    for (const FaceSpan& face : faces) {
        for (u32 k = face.start; k < face.start + face.count; ++k) {
            const u32 point = static_cast<u32>(coordIndex[k]);
            const VertexKey key{point, byTex ? static_cast<u32>(keys.texIndex[k]) : 0u,
                                byNormal ? keys.normalClass[k] : 0u};
            auto [slot, isNew] = vertexOf.try_emplace(key, static_cast<i32>(vertexOf.size()));
            if (isNew) {
                pickRuns(points, point, 3, mesh.pointStore);
                if (keepTexCoords)
                    pickRuns(texCoords, byTex ? key.tex : point, 2, mesh.texCoordStore);
                if (keepNormals)
                    pickRuns(normals, byNormal ? key.normal : point, 3, mesh.normalStore);
                if (keepColors) pickRuns(colors, point, 3, mesh.colorStore);
            }
            mesh.faces.push_back(slot->second);
        }
        mesh.faces.push_back(-1);
    }
    if (byNormal) mesh.normals.source = fileNormals.source;
    useRuns(mesh.points, mesh.pointStore, true);
    useRuns(mesh.texCoords, mesh.texCoordStore, keepTexCoords);
    useRuns(mesh.normals, mesh.normalStore, keepNormals);
    useRuns(mesh.colors, mesh.colorStore, keepColors);
    mesh.colorPerVertex = mesh.colorPerVertex && keepColors;
}

bool buildFaceSetMesh(const Node& faceSet, Mesh& mesh, FaceSetIssues& issues)
{
    const Node* coord = fieldNode(faceSet, "coord");
    mesh.points = numbersOf(coord, "point", 3);
    const u32 pointCount = mesh.points.count / 3;
    if (pointCount == 0) return false;
    std::vector<i32> coordIndex = readIntList(faceSet, "coordIndex");
    const std::size_t corners = scanFaces(coordIndex, pointCount, issues, nullptr);
    if (corners == 0) return false;

    mesh.name = faceSet.defName;
    mesh.coordName = coord->defName;
    const FieldValue* normalPerVertex = findField(faceSet, "normalPerVertex");
    const bool smooth = fieldBool(faceSet, "normalPerVertex", true);
    if (normalPerVertex) mesh.normalPerVertex = smooth ? 1 : 0;

    // Normals count only for smooth shading: per vertex they are kept as they are, per
    // corner (an index list of their own) they split the vertices where they differ.
    // Without them the crease angle decides where the surface is smooth.
    const Node* normal = fieldNode(faceSet, "normal");
    const NumberArray fileNormals = numbersOf(normal, "vector", 3);
    const bool normalsGiven = smooth && fileNormals.count > 0;
    const bool normalsPerVertex =
        normalsGiven && followsCoordIndex(faceSet, "normalIndex", coordIndex);
    if (normalsPerVertex) {
        mesh.normals = fileNormals;
        mesh.normalName = normal->defName;
    }
    const Node* color = fieldNode(faceSet, "color");
    if (fieldBool(faceSet, "colorPerVertex", true) &&
        followsCoordIndex(faceSet, "colorIndex", coordIndex)) {
        mesh.colors = numbersOf(color, "color", 3);
        mesh.colorPerVertex = mesh.colors.count > 0 && findField(faceSet, "colorPerVertex");
    }
    const Node* texCoord = fieldNode(faceSet, "texCoord");
    mesh.texCoords = numbersOf(texCoord, "point", 2);
    if (mesh.texCoords.count > 0) mesh.texCoordName = texCoord->defName;
    if (smooth && !normalsGiven) mesh.creaseAngle = creaseAngleOf(faceSet);

    const bool spreadTex =
        mesh.texCoords.count > 0 && !followsCoordIndex(faceSet, "texCoordIndex", coordIndex);
    const bool spreadNormals = normalsGiven && !normalsPerVertex;
    if (!spreadTex && !spreadNormals &&
        (corners == coordIndex.size() || corners == coordIndex.size() + 1)) {
        // Every face kept, none empty: the list itself is the faces once its separators
        // are all -1 and the last face is closed. Large worlds take this way.
        for (i32& corner : coordIndex)
            if (corner < 0) corner = -1;
        if (coordIndex.back() != -1) coordIndex.push_back(-1);
        mesh.faces = std::move(coordIndex);
        return true;
    }
    FaceSetIssues counted; // the faces were counted above already
    std::vector<FaceSpan> faces;
    scanFaces(coordIndex, pointCount, counted, &faces);
    CornerKeys keys;
    if (spreadTex) {
        keys.texIndex = readIntList(faceSet, "texCoordIndex");
        if (!indexFits(keys.texIndex, coordIndex, faces, mesh.texCoords.count / 2)) {
            issues.droppedTexCoords = true;
            keys.texIndex.clear();
            mesh.texCoords = {};
            mesh.texCoordName.clear();
        }
    }
    if (spreadNormals) {
        if (classifyNormals(faceSet, coordIndex, faces, pointCount, fileNormals, keys.normalClass))
            mesh.normalName = normal->defName;
        else
            mesh.creaseAngle = creaseAngleOf(faceSet); // normals that do not fit are left out
    }
    if (!keys.texIndex.empty() || !keys.normalClass.empty()) {
        spreadCorners(coordIndex, faces, keys, fileNormals, mesh);
        return true;
    }
    mesh.faces.reserve(corners);
    for (const FaceSpan& face : faces) {
        mesh.faces.insert(mesh.faces.end(), coordIndex.begin() + face.start,
                          coordIndex.begin() + face.start + face.count);
        mesh.faces.push_back(-1);
    }
    return true;
}
