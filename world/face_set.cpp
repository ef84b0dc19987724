// The IndexedFaceSet reader: one node becomes one object of vertices, polygons and
// corners, with its per-vertex normals, colours and texture coordinates.
#include "world/node_readers.h"

#include "world/name_index.h"

#include <cmath>
#include <cstring>

// One IndexedFaceSet being read.
struct FaceSetRead {
    World& world;
    i16 object;                  // the row being filled; -1 reads the node past
    u32 base = 0;                // 0-based first vertex; coord USE moves it
    bool sharing = false;        // coord USE: the vertices are another object's
    bool storingVertices = true; // false once the vertex arrays could not grow
    bool storingFaces = true;    // false once the polygon tables could not grow
    i32 nesting = 0;             // sub-nodes opened and not yet closed

    FaceSetRead(World& w, i16 o) : world(w), object(o) {}
    ObjectRecord& record() { return world.objects[object]; }
};

// The start of every face set: one empty polygon (the one its first corners go into),
// one more corner entry, and the spare vertex row that receives the next vertex's
// components as they are read. Nothing changes when memory runs out.
static bool startFaceSet(World& world)
{
    const u32 row = world.faceCount;
    if (!growTable(world.faces, world.faceCapacity, row + 1)) return false;
    if (!growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + 1))
        return false;
    if (!growVertexRows(world, world.vertexCount + 1)) return false;
    u32 firstIndex = 0;
    if (row > 0)
        firstIndex =
            world.faces[row - 1].firstIndex + static_cast<u32>(world.faces[row - 1].vertexCount);
    world.faces[row] = FaceRecord{0, 0, firstIndex, {0.0f, 0.0f, 0.0f}};
    world.faceCount = row + 1;
    world.faceIndexCount += 1;
    return true;
}

// Coordinate points: x, y, z times 5000 into the spare row; the third component
// completes the vertex, and the arrays grow so a spare row exists again.
static void readPoints(FaceSetRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    u32 component = 0;
    auto store = [&](f32 value) {
        const bool storing = read.object >= 0 && read.storingVertices;
        const u32 row = world.vertexCount; // the spare row
        const f32 scaled = value * kWorldScale;
        if (component == 0) {
            if (storing) world.vertexX[row] = scaled;
            component = 1;
        } else if (component == 1) {
            if (storing) world.vertexY[row] = scaled;
            component = 2;
        } else {
            component = 0;
            if (!storing) return;
            world.vertexZ[row] = scaled;
            if (row + 2 > world.vertexCapacity && !growVertexRows(world, row + 2)) {
                read.storingVertices = false; // this vertex and the rest are lost
                return;
            }
            world.vertexCount = row + 1;
            read.record().vertexCount += 1;
        }
    };
    readNumberList(in, line, store);
}

// The per-vertex lists: entry k belongs to the object's k-th vertex, whatever the index
// fields say; entries beyond the object's vertices are ignored.
template <class Store>
static void readPerVertex(FaceSetRead& read, LineReader& in, Line& line, u32 width, Store store)
{
    World& world = read.world;
    u32 entry = 0;
    u32 component = 0;
    auto take = [&](f32 value) {
        if (read.object >= 0 && entry < read.record().vertexCount) {
            const u64 row = static_cast<u64>(read.base) + entry;
            // Bounded by vertexCapacity, a u32.
            if (row < world.vertexCapacity) store(static_cast<u32>(row), component, value);
        }
        if (++component == width) {
            component = 0;
            ++entry;
        }
    };
    readNumberList(in, line, take);
}

static void readNormals(FaceSetRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    // File order x, y, z into the internal order z, x, y.
    static constexpr u32 kInternal[3] = {1, 2, 0};
    readPerVertex(read, in, line, 3, [&](u32 row, u32 component, f32 value) {
        world.vertexNormals[row][kInternal[component]] = value;
    });
}

static void readColors(FaceSetRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    readPerVertex(read, in, line, 3, [&](u32 row, u32 component, f32 value) {
        world.vertexColors[row][component] = value;
    });
}

static void readTexCoords(FaceSetRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    readPerVertex(read, in, line, 2, [&](u32 row, u32 component, f32 value) {
        world.vertexTexCoords[row][component] = std::fabs(value);
    });
}

// -1 closes the current polygon (the last row of faces) and opens the next empty one.
static void closePolygon(FaceSetRead& read)
{
    World& world = read.world;
    if (world.faceCount + 1 > world.faceCapacity &&
        !growTable(world.faces, world.faceCapacity, world.faceCount + 1)) {
        read.storingFaces = false; // the open polygon stays the trailing row
        return;
    }
    const FaceRecord& face = world.faces[world.faceCount - 1];
    ObjectRecord& object = read.record();
    object.cornerCount += static_cast<u32>(face.vertexCount);
    object.faceCount += 1;
    const u32 nextIndex = face.firstIndex + static_cast<u32>(face.vertexCount);
    world.faces[world.faceCount] = FaceRecord{0, 0, nextIndex, {0.0f, 0.0f, 0.0f}};
    world.faceCount += 1;
}

// Any other entry n is the next corner: global vertex base + n, unchecked (the renderer
// refuses indices outside the vertices). A polygon's corner count is 16-bit; corners
// beyond 32767 are dropped.
static void addCorner(FaceSetRead& read, i32 index)
{
    World& world = read.world;
    FaceRecord& face = world.faces[world.faceCount - 1];
    if (face.vertexCount == kMaxCount16) return;
    const u64 slot = static_cast<u64>(face.firstIndex) + static_cast<u64>(face.vertexCount);
    // The capacity test first: growing is a call, and most corners need none.
    const bool room =
        world.faceIndexCount + 1 <= world.faceIndexCapacity ||
        growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + 1);
    if (!room || slot >= world.faceIndexCapacity) {
        read.storingFaces = false;
        return;
    }
    // Unsigned arithmetic: an index below -1 wraps to a huge vertex number, as stored.
    world.faceIndices[slot] = read.base + static_cast<u32>(index);
    face.vertexCount = static_cast<i16>(face.vertexCount + 1);
    world.faceIndexCount += 1;
}

static void readCoordIndex(FaceSetRead& read, LineReader& in, Line& line)
{
    auto take = [&](i32 index) {
        if (read.object < 0 || !read.storingFaces) return;
        if (index == -1)
            closePolygon(read);
        else
            addCorner(read, index);
    };
    readIndexList(in, line, take);
}

// coord USE name: the object takes the vertices of the last object whose Coordinate
// carried that name.
static void useCoordinates(FaceSetRead& read, LineReader& in, const Line& line)
{
    read.sharing = true;
    char name[kNameSize];
    cutUseName(line, "USE", name, sizeof name);
    if (read.object < 0) return;
    World& world = read.world;
    const i16 other = findLastNamed(in.names, world, NamedTable::coordNames, name);
    if (other < 0) return;
    ObjectRecord& object = read.record();
    object.vertexCount = world.objects[other].vertexCount;
    object.firstVertex = world.objects[other].firstVertex;
    read.base = object.firstVertex > 0 ? object.firstVertex - 1 : 0;
}

// A sub-node that opens on this line: counts toward the braces to skip, and its DEF
// name (white-space rule) goes to `name` when the object is stored.
static void openSubNode(FaceSetRead& read, const Line& line, const char* prefix, char* name)
{
    if (read.nesting < INT32_MAX) ++read.nesting;
    if (read.object >= 0 && has(line, "DEF"))
        cutSpaceName(line, prefix, read.world.objectCount, name, kNameSize);
}

static void setFlag(u32& flag, const Line& line)
{
    if (has(line, "TRUE")) flag = 1;
    if (has(line, "FALSE")) flag = 0;
}

// The tests made on each line, in order; list fields move `line` on to the last line
// they read, and the later tests look at that line. True when the node has ended.
static bool examineFaceSetLine(FaceSetRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    const bool storing = read.object >= 0;
    if (storing && has(line, "DEF") && !has(line, "coord") && !has(line, "normal") &&
        !has(line, "texCoord"))
        cutDefName(line, "IndexedFace_", world.objectCount, read.record().name, kNameSize);
    if (has(line, "coord") && !has(line, "coordIndex")) {
        if (has(line, "USE")) {
            useCoordinates(read, in, line);
        } else if (has(line, "Coordinate")) {
            openSubNode(read, line, "Coord_", storing ? read.record().coordName : nullptr);
            readPoints(read, in, line);
        }
    }
    if (has(line, "normal") && !has(line, "normalIndex") && !has(line, "normalPerVertex") &&
        !has(line, "NULL") && !has(line, "USE")) {
        if (storing) read.record().hasNormals = 1;
        openSubNode(read, line, "Norm_", storing ? read.record().normalName : nullptr);
        readNormals(read, in, line);
    }
    if (has(line, "texCoord") && !has(line, "texCoordIndex") && !has(line, "NULL") &&
        !has(line, "USE")) {
        if (storing) read.record().hasTexCoords = 1;
        openSubNode(read, line, "TextCoord_", storing ? read.record().texCoordName : nullptr);
        readTexCoords(read, in, line);
    }
    if (has(line, "color") && !has(line, "colorIndex") && !has(line, "colorPerVertex") &&
        !has(line, "NULL") && !has(line, "USE")) {
        if (storing) read.record().hasColors = 1;
        openSubNode(read, line, "Color_", storing ? read.record().colorName : nullptr);
        readColors(read, in, line);
    }
    if (storing && has(line, "colorPerVertex")) setFlag(read.record().colorPerVertex, line);
    if (has(line, "coordIndex")) readCoordIndex(read, in, line);
    // creaseAngle is read past: the reader makes no normals.
    if (storing && has(line, "normalPerVertex")) {
        u32 flag = read.record().normalPerVertex;
        setFlag(flag, line);
        if (read.sharing) flag = 0;
        read.record().normalPerVertex = static_cast<u8>(flag);
    }
    if (has(line, "}")) {
        if (read.nesting < 1) return true;
        --read.nesting;
    }
    return false;
}

// An object that ends without polygons is dropped (its vertices stay in the arrays and
// belong to no object); otherwise its bounds are computed.
static void endFaceSet(FaceSetRead& read)
{
    World& world = read.world;
    if (read.object < 0) return;
    if (read.record().faceCount == 0 && read.object == world.objectCount - 1) {
        world.objectCount = read.object;
        return;
    }
    computeObjectBounds(world, read.object);
}

void readIndexedFaceSet(World& world, LineReader& in, Line line, i16 object)
{
    const bool exists = object >= 0 && object < world.objectCount;
    FaceSetRead read(world, exists ? object : -1);
    if (read.object >= 0) {
        read.base = read.record().firstVertex > 0 ? read.record().firstVertex - 1 : 0;
        if (!startFaceSet(world)) {
            // Without its first rows the node is read past; the empty object goes.
            read.storingFaces = false;
            read.storingVertices = false;
        }
    }
    for (;;) {
        if (examineFaceSetLine(read, in, line)) break;
        if (!nextLine(in, line)) break;
    }
    endFaceSet(read);
}
