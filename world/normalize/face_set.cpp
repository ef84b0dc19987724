// An IndexedFaceSet made readable by the line reader: faces it cannot draw left out,
// the last face closed, and texture coordinates with their own indices spread onto
// vertices of their own (the reader matches them to vertices by position).
#include "world/normalize/mesh.h"

#include <unordered_map>

constexpr u32 kMaxCorners = 32767; // a face's corner count is 16-bit signed in the tables

namespace {

struct FaceSpan {
    u32 start; // position of its first corner in coordIndex
    u32 count; // corners
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

// Every number of an array as a run of its own, for picking them by index.
static std::vector<NumberRun> singles(const NumberArray& array)
{
    std::vector<NumberRun> each;
    if (!array.runs) return each;
    each.reserve(array.count);
    NumberCursor numbers(*array.source, *array.runs);
    std::string_view text;
    NumberRun single;
    while (each.size() < array.count && numbers.next(text, single)) each.push_back(single);
    return each;
}

// A per-vertex attribute whose own index list, if any, repeats coordIndex.
static bool followsCoordIndex(const Node& faceSet, const char* indexField,
                              const std::vector<i32>& coordIndex)
{
    const std::vector<i32> own = readIntList(faceSet, indexField);
    return own.empty() || own == coordIndex;
}

static void pick(const std::vector<NumberRun>& from, u32 entry, u32 perEntry,
                 std::vector<NumberRun>& store)
{
    for (u32 k = 0; k < perEntry; ++k) store.push_back(from[entry * perEntry + k]);
}

// Gives every distinct (point, texture coordinate) pair a vertex of its own. False when
// a texture coordinate index does not fit, and the coordinates are then left out.
static bool spreadTexCoords(const Node& faceSet, const std::vector<i32>& coordIndex,
                            const std::vector<FaceSpan>& faces, Mesh& mesh)
{
    const std::vector<i32> texIndex = readIntList(faceSet, "texCoordIndex");
    const u32 texCount = mesh.texCoords.count / 2;
    if (texIndex.size() < coordIndex.size()) return false;
    for (const FaceSpan& face : faces)
        for (u32 k = face.start; k < face.start + face.count; ++k)
            if (texIndex[k] < 0 || static_cast<u32>(texIndex[k]) >= texCount) return false;

    const u32 pointCount = mesh.points.count / 3;
    const bool keepNormals = mesh.normals.count / 3 >= pointCount;
    const bool keepColors = mesh.colors.count / 3 >= pointCount;
    const std::vector<NumberRun> points = singles(mesh.points);
    const std::vector<NumberRun> texCoords = singles(mesh.texCoords);
    const std::vector<NumberRun> normals =
        keepNormals ? singles(mesh.normals) : std::vector<NumberRun>();
    const std::vector<NumberRun> colors =
        keepColors ? singles(mesh.colors) : std::vector<NumberRun>();
    std::unordered_map<u64, i32> vertexOf;
    for (const FaceSpan& face : faces) {
        for (u32 k = face.start; k < face.start + face.count; ++k) {
            const u32 point = static_cast<u32>(coordIndex[k]);
            const u32 tex = static_cast<u32>(texIndex[k]);
            const u64 key = (static_cast<u64>(point) << 32) | tex;
            auto [slot, isNew] = vertexOf.try_emplace(key, static_cast<i32>(vertexOf.size()));
            if (isNew) {
                pick(points, point, 3, mesh.pointStore);
                pick(texCoords, tex, 2, mesh.texCoordStore);
                if (keepNormals) pick(normals, point, 3, mesh.normalStore);
                if (keepColors) pick(colors, point, 3, mesh.colorStore);
            }
            mesh.faces.push_back(slot->second);
        }
        mesh.faces.push_back(-1);
    }
    auto useStore = [](NumberArray& array, const std::vector<NumberRun>& store) {
        array.runs = &store;
        array.count = static_cast<u32>(store.size());
    };
    useStore(mesh.points, mesh.pointStore);
    useStore(mesh.texCoords, mesh.texCoordStore);
    if (keepNormals)
        useStore(mesh.normals, mesh.normalStore);
    else
        mesh.normals = {};
    if (keepColors)
        useStore(mesh.colors, mesh.colorStore);
    else
        mesh.colors = {};
    return true;
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

    // Normals and colours are kept only where they already belong to vertices: the
    // reader matches them by position, and the renderer shades from the geometry.
    const Node* normal = fieldNode(faceSet, "normal");
    if (smooth && followsCoordIndex(faceSet, "normalIndex", coordIndex)) {
        mesh.normals = numbersOf(normal, "vector", 3);
        if (mesh.normals.count > 0) mesh.normalName = normal->defName;
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

    const bool spread =
        mesh.texCoords.count > 0 && !followsCoordIndex(faceSet, "texCoordIndex", coordIndex);
    if (!spread && (corners == coordIndex.size() || corners == coordIndex.size() + 1)) {
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
    if (spread) {
        if (spreadTexCoords(faceSet, coordIndex, faces, mesh)) return true;
        issues.droppedTexCoords = true;
        mesh.texCoords = {};
        mesh.texCoordName.clear();
    }
    mesh.faces.reserve(corners);
    for (const FaceSpan& face : faces) {
        mesh.faces.insert(mesh.faces.end(), coordIndex.begin() + face.start,
                          coordIndex.begin() + face.start + face.count);
        mesh.faces.push_back(-1);
    }
    return true;
}
