// The world tables: allocation, growth, and the row operations every reader shares.
#include "world/tables.h"

#include "base/portable_math.h"
#include "memory/memory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

constexpr u32 kInitialTextureBytes = 10 * 10 * 3;
constexpr u8 kNeutralGrey = 127;
constexpr f32 kConeScale = 1.4279966f; // cutOffAngle to cone value (fraction of pi)
constexpr f32 kDefaultCutOffAngle = 0.785398f;

static void setMaterialDefaults(MaterialRecord& material)
{
    std::memset(&material, 0, sizeof material);
    material.opaque = 1;
    material.hasTexture = 0;
    material.texture = 0;
    material.lightingScale = 0.4f;
    material.shininess = 0.2f * 100.0f;
    for (int c = 0; c < 3; ++c) material.diffuseColor[c] = 0.8f;
}

// A fresh texture row: 10 x 10, with a grey block so a texture that never loads
// still draws as a plain surface rather than uninitialised memory.
static bool setInitialTexture(World& world, u32 row)
{
    u8* block = static_cast<u8*>(PluginAlloc(kInitialTextureBytes));
    if (!block) return false;
    std::memset(block, kNeutralGrey, kInitialTextureBytes);
    PluginFree(world.texturePixels[row]);
    world.texturePixels[row] = block;
    std::memset(&world.textures[row], 0, sizeof(TextureRecord));
    world.textures[row].width = kInitialTextureSide;
    world.textures[row].height = kInitialTextureSide;
    return true;
}

// The capacity growRows picks for `rows` rows: at least double the old one.
static u32 grownCapacity(u32 capacity, u32 rows, u32 largestRowSize)
{
    const u64 limit = UINT32_MAX / largestRowSize;
    u64 wanted = std::max<u64>({static_cast<u64>(rows), static_cast<u64>(capacity) * 2, 4});
    if (wanted > limit) wanted = rows;
    return static_cast<u32>(wanted);
}

// Grows several tables that share one capacity to the same new size. The shared
// capacity changes only when every table has grown, so no table is ever shorter
// than the capacity recorded for it.
template <class... Rows> static bool growTogether(u32& capacity, u32 rows, Rows*&... tables)
{
    bool allPresent = ((tables != nullptr) && ...);
    if (rows <= capacity && allPresent) return true;
    const u32 largestRow = std::max({static_cast<u32>(sizeof(Rows))...});
    if (rows > UINT32_MAX / largestRow) return false;
    const u32 target = grownCapacity(capacity, rows, largestRow);
    bool grown = true;
    auto growOne = [&](auto*& table) {
        u32 tableCapacity = capacity;
        if (!table) tableCapacity = 0;
        grown = grown && growTable(table, tableCapacity, target);
    };
    (growOne(tables), ...);
    if (grown) capacity = target;
    return grown;
}

// Materials, their names and their ramp pointers grow together, row for row.
static bool growMaterialRows(World& world, u32 rows)
{
    const u32 before = world.materialCapacity;
    if (!growTogether(world.materialCapacity, rows, world.materials, world.colourRamps,
                      world.materialNames))
        return false;
    for (u32 row = before; row < world.materialCapacity; ++row)
        setMaterialDefaults(world.materials[row]);
    world.materialNameCapacity = world.materialCapacity;
    return true;
}

// The rows asked for get their grey 10 x 10 block; the spare capacity beyond them keeps
// null blocks until prepareTextureRow hands a row out, so doubling the table does not
// allocate hundreds of blocks no texture uses. A row whose block could not be made
// stays null the same way.
static bool growTextureRows(World& world, u32 rows)
{
    const u32 before = world.textureCapacity;
    if (!growTogether(world.textureCapacity, rows, world.textures, world.texturePixels))
        return false;
    bool allMade = true;
    for (u32 row = before; row < std::min(rows, world.textureCapacity); ++row)
        allMade = allMade && setInitialTexture(world, row);
    return allMade;
}

static void freeColourRamps(World& world)
{
    if (!world.colourRamps) return;
    for (u32 row = 0; row < world.materialCapacity; ++row) {
        for (f32*& ramp : world.colourRamps[row]) {
            PluginFree(ramp);
            ramp = nullptr;
        }
    }
}

void* resizeBlock(void* oldBlock, u32 newSize, u32 oldSize)
{
    if (newSize == 0) {
        PluginFree(oldBlock);
        return nullptr;
    }
    void* block = PluginAlloc(newSize);
    if (!block) return nullptr;
    if (oldBlock) {
        std::memcpy(block, oldBlock, std::min(newSize, oldSize));
        PluginFree(oldBlock);
    }
    return block;
}

bool growRows(void** table, u32* capacity, u32 rows, u32 rowSize)
{
    if (rows <= *capacity && *table) return true;
    const u64 limit = rowSize == 0 ? 0 : UINT32_MAX / rowSize;
    if (rows > limit) return false;
    // Doubling keeps appends linear; the first block gets a few rows of room.
    u64 wanted = std::max<u64>({static_cast<u64>(rows), static_cast<u64>(*capacity) * 2, 4});
    if (wanted > limit) wanted = rows;
    const u32 oldBytes = *table ? *capacity * rowSize : 0;
    const u32 newBytes = static_cast<u32>(wanted * rowSize);
    void* block = resizeBlock(*table, newBytes, oldBytes);
    if (!block) return false;
    std::memset(static_cast<u8*>(block) + oldBytes, 0, newBytes - oldBytes);
    *table = block;
    *capacity = static_cast<u32>(wanted);
    return true;
}

bool initWorldTables(World& world)
{
    if (!growMaterialRows(world, kMaterialRows)) return false;
    if (!growTable(world.transformGroups, world.transformGroupCapacity, kTransformGroupRows))
        return false;
    if (!growTable(world.groupObjects, world.groupObjectCapacity, kGroupObjectEntries))
        return false;
    return growTextureRows(world, kTextureRows);
}

void freeWorldTables(World& world)
{
    freeColourRamps(world);
    if (world.texturePixels) {
        for (u32 row = 0; row < world.textureCapacity; ++row) PluginFree(world.texturePixels[row]);
    }
    PluginFree(world.objects);
    PluginFree(world.objectBounds);
    PluginFree(world.vertexZ);
    PluginFree(world.vertexX);
    PluginFree(world.vertexY);
    PluginFree(world.vertexNormals);
    PluginFree(world.vertexColors);
    PluginFree(world.vertexTexCoords);
    PluginFree(world.faces);
    PluginFree(world.faceIndices);
    PluginFree(world.materials);
    PluginFree(world.materialNames);
    PluginFree(world.colourRamps);
    PluginFree(world.textures);
    PluginFree(world.texturePixels);
    PluginFree(world.lights);
    PluginFree(world.directionalLights);
    PluginFree(world.pointLights);
    PluginFree(world.spotLights);
    PluginFree(world.transformGroups);
    PluginFree(world.groupObjects);
    PluginFree(world.audioClips);
    PluginFree(world.sounds);
    PluginFree(world.timeSensors);
    PluginFree(world.reflectionPixels);
    world = World{};
}

bool resetWorldTables(World& world)
{
    freeWorldTables(world);
    return initWorldTables(world);
}

bool growVertexRows(World& world, u32 rows)
{
    return growTogether(world.vertexCapacity, rows, world.vertexZ, world.vertexX, world.vertexY,
                        world.vertexNormals, world.vertexColors, world.vertexTexCoords);
}

bool reserveGeometryRows(World& world, const GeometryRows& rows)
{
    // Each face set's extra rows, and one more: the reader asks for the row after the
    // one it fills. Beyond 32 bits nothing is reserved; the reader refuses those rows.
    const u64 extra = rows.faceSets + 1;
    const u64 vertices = rows.vertices + extra;
    const u64 faces = rows.faces + extra;
    const u64 corners = rows.corners + extra;
    if (vertices > UINT32_MAX || faces > UINT32_MAX || corners > UINT32_MAX) return false;
    return growVertexRows(world, static_cast<u32>(vertices)) &&
           growTable(world.faces, world.faceCapacity, static_cast<u32>(faces)) &&
           growTable(world.faceIndices, world.faceIndexCapacity, static_cast<u32>(corners));
}

i16 newObject(World& world)
{
    if (!canAddWorldRow(world, world.objectCount, kFullObjects)) return -1;
    const u32 rows = static_cast<u32>(world.objectCount) + 1;
    if (!growTogether(world.objectCapacity, rows, world.objects, world.objectBounds)) return -1;

    const i16 index = world.objectCount;
    ObjectRecord& object = world.objects[index];
    std::memset(&object, 0, sizeof object);
    object.normalPerVertex = 1;
    object.firstVertex = world.vertexCount + 1;
    object.firstFace = world.faceCount + 1;
    object.firstCorner = world.faceIndexCount + 1;
    object.material = -1;
    for (f32& bound : world.objectBounds[index]) bound = 0.0f;
    world.objectCount = static_cast<i16>(index + 1);
    return index;
}

i16 newLight(World& world, i16 kind)
{
    if (!canAddWorldRow(world, world.lightCount, kFullLights)) return -1;
    i16 kindIndex = 0;
    switch (kind) {
    case 1: {
        if (!canAddRow16(world.directionalLightCount)) return -1;
        const u32 row = static_cast<u32>(world.directionalLightCount);
        if (!growTable(world.directionalLights, world.directionalLightCapacity, row + 1)) return -1;
        // VRML's default direction (0, 0, -1), reversed and scaled like a read value.
        f32* direction = world.directionalLights[row];
        direction[0] = -1.0f * -kWorldScale;
        direction[1] = 0.0f * -kWorldScale;
        direction[2] = 0.0f * -kWorldScale;
        kindIndex = world.directionalLightCount;
        break;
    }
    case 2: {
        if (!canAddRow16(world.pointLightCount)) return -1;
        const u32 row = static_cast<u32>(world.pointLightCount);
        if (!growTable(world.pointLights, world.pointLightCapacity, row + 1)) return -1;
        for (f32& c : world.pointLights[row]) c = 0.0f;
        kindIndex = world.pointLightCount;
        break;
    }
    case 3: {
        if (!canAddRow16(world.spotLightCount)) return -1;
        const u32 row = static_cast<u32>(world.spotLightCount);
        if (!growTable(world.spotLights, world.spotLightCapacity, row + 1)) return -1;
        SpotLightRow& spot = world.spotLights[row];
        spot =
            SpotLightRow{{0.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, kDefaultCutOffAngle * kConeScale};
        kindIndex = world.spotLightCount;
        break;
    }
    default: break;
    }
    const u32 lightRow = static_cast<u32>(world.lightCount);
    if (!growTable(world.lights, world.lightCapacity, lightRow + 1)) return -1;
    // Count the per-kind row only once the light itself has its row.
    if (kind == 1) ++world.directionalLightCount;
    if (kind == 2) ++world.pointLightCount;
    if (kind == 3) ++world.spotLightCount;

    LightRecord& light = world.lights[lightRow];
    light = LightRecord{kind, kindIndex, 0, 1.0f, 0.0f, {1.0f, 1.0f, 1.0f}};
    world.lightCount = static_cast<i16>(lightRow + 1);
    return static_cast<i16>(lightRow);
}

bool prepareMaterialRow(World& world)
{
    if (!canAddWorldRow(world, world.materialCount, kFullMaterials)) return false;
    const u32 row = static_cast<u32>(world.materialCount);
    if (!growMaterialRows(world, row + 1)) return false;
    setMaterialDefaults(world.materials[row]);
    world.materialNames[row][0] = '\0';
    return true;
}

bool prepareTextureRow(World& world)
{
    if (!canAddWorldRow(world, world.textureCount, kFullTextures)) return false;
    const u32 row = static_cast<u32>(world.textureCount);
    growTextureRows(world, row + 1);
    if (row >= world.textureCapacity) return false;
    if (!world.texturePixels[row]) return setInitialTexture(world, row);
    return true;
}

void computeObjectBounds(World& world, i16 object)
{
    if (object < 0 || object >= world.objectCount) return;
    const ObjectRecord& record = world.objects[object];
    f32* bounds = world.objectBounds[object];
    const u64 first = record.firstVertex == 0 ? 0 : record.firstVertex - 1;
    const u64 end = std::min<u64>(first + record.vertexCount, world.vertexCount);
    if (first >= end) return;
    const u32 start = static_cast<u32>(first);
    bounds[0] = bounds[1] = world.vertexZ[start];
    bounds[2] = bounds[3] = world.vertexX[start];
    bounds[4] = bounds[5] = world.vertexY[start];
    for (u64 v = first + 1; v < end; ++v) {
        bounds[0] = std::min(bounds[0], world.vertexZ[v]);
        bounds[1] = std::max(bounds[1], world.vertexZ[v]);
        bounds[2] = std::min(bounds[2], world.vertexX[v]);
        bounds[3] = std::max(bounds[3], world.vertexX[v]);
        bounds[4] = std::min(bounds[4], world.vertexY[v]);
        bounds[5] = std::max(bounds[5], world.vertexY[v]);
    }
}

void setOrientationBasis(World& world, f32 axisX, f32 axisY, f32 axisZ)
{
    constexpr f64 kHalfPi = 1.5707963267948966;
    f64 azimuth;
    if (axisX == 0.0f) {
        azimuth = axisY >= 0.0f ? kHalfPi : -kHalfPi;
    } else {
        azimuth = portable::atan(static_cast<f64>(axisY) / axisX);
        if (axisX < 0.0f) azimuth += 2.0 * kHalfPi;
    }
    const f64 horizontal =
        std::sqrt(static_cast<f64>(axisX) * axisX + static_cast<f64>(axisY) * axisY);
    f64 elevation;
    if (horizontal == 0.0) {
        elevation = axisZ >= 0.0f ? kHalfPi : -kHalfPi;
    } else {
        elevation = portable::atan(axisZ / horizontal);
    }
    const f64 ca = portable::cos(azimuth), sa = portable::sin(azimuth);
    const f64 ce = portable::cos(elevation), se = portable::sin(elevation);
    const f64 basis[3][3] = {{ca * ce, sa * ce, se}, {-sa, ca, 0.0}, {-ca * se, -sa * se, ce}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) world.orientationBasis[r][c] = static_cast<f32>(basis[r][c]);
}

void rotateVertexAboutPivot(const World& world, u32 vertex, const f32 pivot[3], f32 cosAngle,
                            f32 sinAngle, f32* first, f32* second, f32* third)
{
    const f32(&m)[3][3] = world.orientationBasis;
    const f32 d0 = first[vertex] - pivot[0];
    const f32 d1 = second[vertex] - pivot[1];
    const f32 d2 = third[vertex] - pivot[2];
    // Components along a, b and c.
    const f32 a = m[0][0] * d0 + m[0][1] * d1 + m[0][2] * d2;
    const f32 b = m[1][0] * d0 + m[1][1] * d1 + m[1][2] * d2;
    const f32 c = m[2][0] * d0 + m[2][1] * d1 + m[2][2] * d2;
    const f32 turnedB = b * cosAngle - c * sinAngle;
    const f32 turnedC = b * sinAngle + c * cosAngle;
    // Back with the transpose (the basis is orthonormal).
    first[vertex] = m[0][0] * a + m[1][0] * turnedB + m[2][0] * turnedC + pivot[0];
    second[vertex] = m[0][1] * a + m[1][1] * turnedB + m[2][1] * turnedC + pivot[1];
    third[vertex] = m[0][2] * a + m[1][2] * turnedB + m[2][2] * turnedC + pivot[2];
}

// One pass of a group transform, worked out once for all its vertices.
struct GroupMotion {
    i16 mode;
    f32 matrix[3][3]; // rotation: the turn about the basis axis a, in array axis order
    f32 pivot[3];
    f32 offset[3]; // translation
    f32 factor[3]; // scale
};

// The rotation as one matrix: a vertex's offset from the pivot, taken into the basis
// (a, b, c), its b and c components turned, and taken back, is the offset times
// a a^T + cos (b b^T + c c^T) + sin (c b^T - b c^T). The same turn as
// rotateVertexAboutPivot, in 9 products a vertex instead of 27.
static void setRotationMatrix(const World& world, f32 cosAngle, f32 sinAngle, f32 matrix[3][3])
{
    const f32(&m)[3][3] = world.orientationBasis;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            matrix[i][j] = m[0][i] * m[0][j] + cosAngle * (m[1][i] * m[1][j] + m[2][i] * m[2][j]) +
                           sinAngle * (m[2][i] * m[1][j] - m[1][i] * m[2][j]);
        }
    }
}

static GroupMotion groupMotion(World& world, i16 mode)
{
    GroupMotion motion{};
    motion.mode = mode;
    if (mode == kApplyRotate) {
        const f32* r = world.pendingRotation;
        setOrientationBasis(world, r[0], r[1], r[2]);
        setRotationMatrix(world, portable::cos(r[3]), portable::sin(r[3]), motion.matrix);
        std::memcpy(motion.pivot, world.rotationPivot, sizeof motion.pivot);
    } else if (mode == kApplyScale) {
        std::memcpy(motion.pivot, world.scalePivot, sizeof motion.pivot);
        std::memcpy(motion.factor, world.pendingScale, sizeof motion.factor);
    } else {
        std::memcpy(motion.offset, world.pendingTranslation, sizeof motion.offset);
    }
    return motion;
}

// Moves vertices [first, last) by one pass.
static void moveVertices(World& world, const GroupMotion& motion, u32 first, u32 last)
{
    f32* z = world.vertexZ;
    f32* x = world.vertexX;
    f32* y = world.vertexY;
    const f32* p = motion.pivot;
    switch (motion.mode) {
    case kApplyTranslate:
        for (u32 v = first; v < last; ++v) {
            z[v] += motion.offset[0];
            x[v] += motion.offset[1];
            y[v] += motion.offset[2];
        }
        break;
    case kApplyRotate:
        for (u32 v = first; v < last; ++v) {
            const f32 d0 = z[v] - p[0];
            const f32 d1 = x[v] - p[1];
            const f32 d2 = y[v] - p[2];
            const f32(&m)[3][3] = motion.matrix;
            z[v] = p[0] + m[0][0] * d0 + m[0][1] * d1 + m[0][2] * d2;
            x[v] = p[1] + m[1][0] * d0 + m[1][1] * d1 + m[1][2] * d2;
            y[v] = p[2] + m[2][0] * d0 + m[2][1] * d1 + m[2][2] * d2;
        }
        break;
    case kApplyScale:
        for (u32 v = first; v < last; ++v) {
            z[v] = p[0] + (z[v] - p[0]) * motion.factor[0];
            x[v] = p[1] + (x[v] - p[1]) * motion.factor[1];
            y[v] = p[2] + (y[v] - p[2]) * motion.factor[2];
        }
        break;
    default: break;
    }
}

// Whether some object of the list starts inside the vertices moved before it: only
// then can two entries share vertices (coord USE), and only then is it worth sorting.
static bool mayShareVertices(const World& world, const i16* objects, u32 objectCount)
{
    u64 movedEnd = 0;
    for (u32 entry = 0; entry < objectCount; ++entry) {
        const i16 object = objects[entry];
        if (object < 0 || object >= world.objectCount) continue;
        const ObjectRecord& record = world.objects[object];
        if (record.vertexCount == 0 || record.firstVertex == 0) continue;
        const u64 first = record.firstVertex - 1;
        if (first < movedEnd) return true;
        movedEnd = first + record.vertexCount;
    }
    return false;
}

struct VertexStart {
    u32 firstVertex;
    u32 entry;
};

// Marks the entries whose vertices an earlier entry of the list already moves (objects
// that share another's coordinates start at the same vertex): sorting by start keeps
// this n log n whatever the file. Null when memory runs out; everything then moves.
static u8* markSharedEntries(const World& world, const i16* objects, u32 objectCount)
{
    auto* starts = static_cast<VertexStart*>(PluginAllocArray(objectCount, sizeof(VertexStart)));
    auto* shared = static_cast<u8*>(PluginAllocArray(objectCount, 1));
    if (!starts || !shared) {
        PluginFree(starts);
        PluginFree(shared);
        return nullptr;
    }
    std::memset(shared, 0, objectCount);
    u32 count = 0;
    for (u32 entry = 0; entry < objectCount; ++entry) {
        const i16 object = objects[entry];
        if (object < 0 || object >= world.objectCount) continue;
        const ObjectRecord& record = world.objects[object];
        if (record.vertexCount > 0) starts[count++] = VertexStart{record.firstVertex, entry};
    }
    std::sort(starts, starts + count, [](const VertexStart& a, const VertexStart& b) {
        return a.firstVertex != b.firstVertex ? a.firstVertex < b.firstVertex : a.entry < b.entry;
    });
    for (u32 i = 1; i < count; ++i) {
        if (starts[i].firstVertex == starts[i - 1].firstVertex) shared[starts[i].entry] = 1;
    }
    PluginFree(starts);
    return shared;
}

// Moves each listed object's vertices, once per pass even when objects share them
// (coord USE), and recomputes every listed object's bounds.
void applyToObjects(World& world, i16 mode, const i16* objects, u32 objectCount)
{
    if (!objects) return;
    const GroupMotion motion = groupMotion(world, mode);
    u8* shared = mayShareVertices(world, objects, objectCount)
                     ? markSharedEntries(world, objects, objectCount)
                     : nullptr;
    for (u32 entry = 0; entry < objectCount; ++entry) {
        const i16 object = objects[entry];
        if (object < 0 || object >= world.objectCount) continue;
        const ObjectRecord& record = world.objects[object];
        const u64 first = record.firstVertex == 0 ? 0 : record.firstVertex - 1;
        const u64 last = std::min<u64>(first + record.vertexCount, world.vertexCount);
        // Both bounded by vertexCount, a u32.
        if ((!shared || !shared[entry]) && first < last)
            moveVertices(world, motion, static_cast<u32>(first), static_cast<u32>(last));
        computeObjectBounds(world, object);
    }
    PluginFree(shared);
}

void applyToGroup(World& world, i16 mode, u32 firstEntry, u32 entryCount)
{
    if (!world.groupObjects || firstEntry >= world.groupObjectCapacity) return;
    const u32 available = world.groupObjectCapacity - firstEntry;
    applyToObjects(world, mode, world.groupObjects + firstEntry, std::min(entryCount, available));
}
