// Where a mesh is smooth and where it creases. The renderer shades a vertex with the
// normals of every face that uses it, so a crease is written as a vertex of its own for
// each side of it.
#include "base/portable_math.h"
#include "memory/large_pages.h"
#include "memory/memory.h"
#include "world/normalize/mesh.h"

#include <cmath>

namespace {

// Up to this many faces at a vertex are compared pair by pair; at a vertex shared by
// more (the tip of a finely cut cone, or a hostile fan) each face is compared with the
// first kGroupsCompared groups only, so the work stays linear in the corners.
constexpr u32 kPairwiseFaces = 32;
constexpr u32 kGroupsCompared = 32;

// The corners of the mesh's faces in order: the vertex of each, the face it belongs to,
// and where each face's corners start.
struct Corners {
    std::vector<u32> vertex;
    std::vector<u32> face;
    std::vector<u32> faceStart; // one more entry than faces: the end
};

// False when a corner names a vertex the mesh does not have (the builders never make
// one; the mesh is then left as it is).
bool collectCorners(const Mesh& mesh, u32 vertexCount, Corners& corners)
{
    // Room for them all first: grown as they come, a mesh of a million faces would copy
    // and fault in these lists several times over.
    std::size_t cornerCount = 0;
    for (const i32 entry : mesh.faces) cornerCount += entry >= 0;
    reserveLarge(corners.vertex, cornerCount);
    reserveLarge(corners.face, cornerCount);
    reserveLarge(corners.faceStart, mesh.faces.size() - cornerCount + 2);
    corners.faceStart.push_back(0);
    for (const i32 entry : mesh.faces) {
        if (entry < 0) {
            if (corners.vertex.size() > corners.faceStart.back())
                corners.faceStart.push_back(static_cast<u32>(corners.vertex.size()));
            continue;
        }
        if (static_cast<u32>(entry) >= vertexCount) return false;
        corners.vertex.push_back(static_cast<u32>(entry));
        corners.face.push_back(static_cast<u32>(corners.faceStart.size() - 1));
    }
    if (corners.vertex.size() > corners.faceStart.back())
        corners.faceStart.push_back(static_cast<u32>(corners.vertex.size()));
    return true;
}

std::vector<f64> pointValues(const NumberArray& points)
{
    std::vector<f64> values;
    reserveLarge(values, points.count);
    forEachNumber(*points.source, *points.runs, [&](std::string_view text) {
        if (values.size() < points.count) values.push_back(numberValue(text));
    });
    values.resize(points.count, 0.0);
    return values;
}

// Each face's unit normal by Newell's sum over its edges, which holds for any polygon,
// flat or not; (0, 0, 0) for a face without extent.
std::vector<f64> faceNormals(const Corners& corners, const std::vector<f64>& points)
{
    const std::size_t faceCount = corners.faceStart.size() - 1;
    std::vector<f64> normals;
    reserveLarge(normals, 3 * faceCount);
    normals.assign(3 * faceCount, 0.0);
    for (std::size_t f = 0; f < faceCount; ++f) {
        const u32 first = corners.faceStart[f], end = corners.faceStart[f + 1];
        f64 n[3] = {0.0, 0.0, 0.0};
        for (u32 c = first; c < end; ++c) {
            const f64* a = points.data() + 3 * static_cast<std::size_t>(corners.vertex[c]);
            const u32 next = c + 1 < end ? c + 1 : first;
            const f64* b = points.data() + 3 * static_cast<std::size_t>(corners.vertex[next]);
            n[0] += (a[1] - b[1]) * (a[2] + b[2]);
            n[1] += (a[2] - b[2]) * (a[0] + b[0]);
            n[2] += (a[0] - b[0]) * (a[1] + b[1]);
        }
        const f64 length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0.0) || !std::isfinite(length)) continue;
        for (int k = 0; k < 3; ++k) normals[3 * f + k] = n[k] / length;
    }
    return normals;
}

// How the corners of one vertex fall into groups, and what that made of the mesh.
struct Grouping {
    std::vector<u32> newVertex;    // per corner: its vertex in the written mesh
    std::vector<u32> sourceVertex; // per written vertex: the vertex it copies
    bool split = false;            // some vertex has more than one group
    bool shared = false;           // some group holds more than one face
};

class VertexGroups {
public:
    VertexGroups(const Corners& corners, const std::vector<f64>& normals, f64 creaseAngle)
        : corners_(corners), normals_(normals),
          // Faces join when the angle between their normals is below the crease angle;
          // at pi or more every pair that is not exactly opposed joins.
          joinCosine_(
              portable::cos(creaseAngle < 3.141592653589793 ? creaseAngle : 3.141592653589793))
    {
    }

    // Groups the corners listed in `at` (all of one vertex), writing their new vertices.
    void group(const std::vector<u32>& at, u32 vertex, Grouping& result)
    {
        const u32 k = static_cast<u32>(at.size());
        parent_.resize(k);
        for (u32 i = 0; i < k; ++i) parent_[i] = i;
        if (k <= kPairwiseFaces) {
            for (u32 i = 0; i < k; ++i)
                for (u32 j = i + 1; j < k; ++j)
                    if (joins(at[i], at[j])) unite(i, j);
        } else {
            representatives_.clear();
            for (u32 i = 0; i < k; ++i) {
                bool placed = false;
                for (std::size_t r = 0; r < representatives_.size() && r < kGroupsCompared; ++r) {
                    if (joins(at[representatives_[r]], at[i])) {
                        parent_[i] = representatives_[r];
                        placed = true;
                        break;
                    }
                }
                if (!placed) representatives_.push_back(i);
            }
        }
        // Written vertices in the order their groups first appear; firstFace_ holds
        // each new group's first face, to tell a group of several faces.
        const u32 base = static_cast<u32>(result.sourceVertex.size());
        label_.assign(k, kNone);
        firstFace_.clear();
        for (u32 i = 0; i < k; ++i) {
            const u32 root = find(i);
            const u32 face = corners_.face[at[i]];
            if (label_[root] == kNone) {
                label_[root] = base + static_cast<u32>(firstFace_.size());
                result.sourceVertex.push_back(vertex);
                firstFace_.push_back(face);
            } else if (firstFace_[label_[root] - base] != face) {
                result.shared = true;
            }
            result.newVertex[at[i]] = label_[root];
        }
        if (firstFace_.size() > 1) result.split = true;
    }

private:
    static constexpr u32 kNone = 0xFFFFFFFFu;

    bool joins(u32 a, u32 b) const
    {
        const u32 faceA = corners_.face[a], faceB = corners_.face[b];
        if (faceA == faceB) return true; // a face that comes back to the vertex
        const f64* p = normals_.data() + 3 * static_cast<std::size_t>(faceA);
        const f64* q = normals_.data() + 3 * static_cast<std::size_t>(faceB);
        // A face without extent has no normal and joins nothing.
        const bool bothFacing = (p[0] != 0.0 || p[1] != 0.0 || p[2] != 0.0) &&
                                (q[0] != 0.0 || q[1] != 0.0 || q[2] != 0.0);
        return bothFacing && p[0] * q[0] + p[1] * q[1] + p[2] * q[2] > joinCosine_;
    }
    u32 find(u32 i)
    {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void unite(u32 a, u32 b)
    {
        const u32 ra = find(a), rb = find(b);
        if (ra != rb) parent_[rb > ra ? rb : ra] = rb > ra ? ra : rb;
    }

    const Corners& corners_;
    const std::vector<f64>& normals_;
    const f64 joinCosine_;
    std::vector<u32> parent_, representatives_, label_, firstFace_;
};

// The corners of each vertex, by a counting sort: byVertex lists them vertex by vertex,
// and the corners of vertex v end at end[v] (they start where those of v - 1 end). The
// corners' vertices and face starts are let go once sorted: grouping needs only each
// corner's face, and at a million faces this is the largest moment of the whole load.
void sortCornersByVertex(Corners& corners, u32 vertexCount, std::vector<u32>& end,
                         std::vector<u32>& byVertex)
{
    reserveLarge(end, static_cast<std::size_t>(vertexCount) + 1);
    end.assign(static_cast<std::size_t>(vertexCount) + 1, 0);
    for (const u32 v : corners.vertex) ++end[v + 1];
    for (u32 v = 0; v < vertexCount; ++v) end[v + 1] += end[v];
    reserveLarge(byVertex, corners.vertex.size());
    byVertex.resize(corners.vertex.size());
    // Placing a corner moves its vertex's entry on by one, so each entry ends up where
    // the next vertex's corners start: the end of its own.
    for (u32 c = 0; c < corners.vertex.size(); ++c) byVertex[end[corners.vertex[c]]++] = c;
    std::vector<u32>().swap(corners.vertex);
    std::vector<u32>().swap(corners.faceStart);
}

Grouping groupCorners(Corners& corners, const std::vector<f64>& normals, u32 vertexCount,
                      f64 creaseAngle)
{
    std::vector<u32> end, byVertex;
    sortCornersByVertex(corners, vertexCount, end, byVertex);
    Grouping result;
    reserveLarge(result.newVertex, byVertex.size());
    result.newVertex.assign(byVertex.size(), 0);
    VertexGroups groups(corners, normals, creaseAngle);
    std::vector<u32> at;
    u32 first = 0;
    for (u32 v = 0; v < vertexCount; ++v) {
        const u32 last = end[v];
        if (first == last) continue; // a vertex no face uses is not written
        at.assign(byVertex.begin() + first, byVertex.begin() + last);
        groups.group(at, v, result);
        first = last;
    }
    return result;
}

// The mesh's vertices made again from the grouping: each written vertex copies its
// source vertex's numbers, and the faces name the written vertices.
void rebuild(Mesh& mesh, const Grouping& grouping, u32 vertexCount)
{
    const bool keepTexCoords = mesh.texCoords.count / 2 >= vertexCount;
    const bool keepNormals = mesh.normals.count / 3 >= vertexCount;
    const bool keepColors = mesh.colors.count / 3 >= vertexCount;
    const std::vector<NumberRun> points = singleRuns(mesh.points);
    const std::vector<NumberRun> texCoords =
        keepTexCoords ? singleRuns(mesh.texCoords) : std::vector<NumberRun>();
    const std::vector<NumberRun> normals =
        keepNormals ? singleRuns(mesh.normals) : std::vector<NumberRun>();
    const std::vector<NumberRun> colors =
        keepColors ? singleRuns(mesh.colors) : std::vector<NumberRun>();
    std::vector<NumberRun> pointStore, texCoordStore, normalStore, colorStore;
    const std::size_t written = grouping.sourceVertex.size();
    reserveLarge(pointStore, 3 * written);
    if (keepTexCoords) reserveLarge(texCoordStore, 2 * written);
    if (keepNormals) reserveLarge(normalStore, 3 * written);
    if (keepColors) reserveLarge(colorStore, 3 * written);
    for (const u32 source : grouping.sourceVertex) {
        pickRuns(points, source, 3, pointStore);
        if (keepTexCoords) pickRuns(texCoords, source, 2, texCoordStore);
        if (keepNormals) pickRuns(normals, source, 3, normalStore);
        if (keepColors) pickRuns(colors, source, 3, colorStore);
    }
    u32 corner = 0;
    for (i32& entry : mesh.faces)
        if (entry >= 0) entry = static_cast<i32>(grouping.newVertex[corner++]);
    mesh.pointStore.swap(pointStore);
    mesh.texCoordStore.swap(texCoordStore);
    mesh.normalStore.swap(normalStore);
    mesh.colorStore.swap(colorStore);
    useRuns(mesh.points, mesh.pointStore, true);
    useRuns(mesh.texCoords, mesh.texCoordStore, keepTexCoords);
    useRuns(mesh.normals, mesh.normalStore, keepNormals);
    useRuns(mesh.colors, mesh.colorStore, keepColors);
    mesh.colorPerVertex = mesh.colorPerVertex && keepColors;
}

void splitMesh(Mesh& mesh)
{
    if (mesh.creaseAngle < 0.0 || mesh.normalPerVertex == 0 || !mesh.points.runs) return;
    const u32 vertexCount = mesh.points.count / 3;
    Grouping grouping;
    {
        // The corners and face normals go before the mesh is rebuilt, which needs as
        // much again: at a million faces that is the peak of the whole load.
        Corners corners;
        if (!collectCorners(mesh, vertexCount, corners)) return;
        const std::vector<f64> normals = faceNormals(corners, pointValues(mesh.points));
        grouping = groupCorners(corners, normals, vertexCount, mesh.creaseAngle);
    }
    if (!grouping.split) return; // every vertex shades as one: as written
    if (!grouping.shared) {
        // No two faces shade together anywhere: flat shading says the same with the
        // vertices as they are.
        mesh.normalPerVertex = 0;
        return;
    }
    rebuild(mesh, grouping, vertexCount);
}

// Corner entries from which a mesh's working lists (about 28 bytes a corner) are worth
// handing back at once.
constexpr std::size_t kLargeMeshEntries = std::size_t{1} << 18;

} // namespace

void splitAtCreases(Mesh& mesh)
{
    splitMesh(mesh);
    // A large mesh's working lists are gone now; their pages go back before its text,
    // as large again, is written.
    if (mesh.faces.size() >= kLargeMeshEntries) releaseFreeMemory();
}

std::vector<NumberRun> singleRuns(const NumberArray& array)
{
    std::vector<NumberRun> each;
    if (!array.runs) return each;
    reserveLarge(each, array.count);
    NumberCursor numbers(*array.source, *array.runs);
    std::string_view text;
    NumberRun single;
    while (each.size() < array.count && numbers.next(text, single)) each.push_back(single);
    return each;
}

void pickRuns(const std::vector<NumberRun>& from, u32 entry, u32 perEntry,
              std::vector<NumberRun>& store)
{
    for (u32 k = 0; k < perEntry; ++k) {
        const std::size_t at = static_cast<std::size_t>(entry) * perEntry + k;
        if (at < from.size()) store.push_back(from[at]);
    }
}

void useRuns(NumberArray& array, const std::vector<NumberRun>& store, bool kept)
{
    if (!kept) {
        array = {};
        return;
    }
    array.runs = &store;
    array.count = static_cast<u32>(store.size());
}
