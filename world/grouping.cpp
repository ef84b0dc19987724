// The grouping nodes: Transform (with its own dispatch and its closing step) and Shape.
// The file's hierarchy is flattened while reading: when a Transform closes, its fields
// are applied to the vertices of every object read inside it, so nested Transforms
// accumulate into world coordinates, innermost first.
#include "world/node_readers.h"

#include "world/name_index.h"

#include "memory/memory.h"

#include <cmath>
#include <cstring>

// The fields of one Transform as the file gives them: file axis order (x, y, z), file
// units. Missing components keep VRML's defaults.
struct TransformFields {
    bool hasTranslation = false;
    bool hasCenter = false;
    bool hasRotation = false;
    bool hasScale = false;
    bool hasScaleOrientation = false;
    f32 translation[3] = {0.0f, 0.0f, 0.0f};
    f32 center[3] = {0.0f, 0.0f, 0.0f};
    f32 rotation[4] = {0.0f, 0.0f, 1.0f, 0.0f}; // axis, then radians
    f32 scale[3] = {1.0f, 1.0f, 1.0f};
    f32 scaleOrientation[4] = {0.0f, 0.0f, 1.0f, 0.0f};
};

// The objects created while one Transform was read, nested Transforms' included, in
// creation order. Grows as needed; freed when the Transform closes.
struct ObjectList {
    i16* objects = nullptr;
    u32 count = 0;
    u32 capacity = 0;
};

// Lists the objects created since the last look. An object that cannot be listed
// (memory) is left out of this Transform's group and does not move with it.
static void listNewObjects(const World& world, ObjectList& list, i16& seenCount)
{
    if (world.objectCount <= seenCount) return;
    for (i16 object = seenCount; object < world.objectCount; ++object) {
        if (!growTable(list.objects, list.capacity, list.count + 1)) break;
        list.objects[list.count++] = object;
    }
    seenCount = world.objectCount;
}

// The fields a Transform line gives. A "scaleOrientation" line also holds "scale";
// reading its axis as scale factors would distort the vertices, since the closing
// step applies the scale, so only a line without the longer name sets the scale.
static void readTransformFields(const Line& line, TransformFields& fields)
{
    if (has(line, "center")) {
        fields.hasCenter = true;
        readValues(line, "center", fields.center, 3);
    }
    if (has(line, "rotation")) {
        fields.hasRotation = true;
        readValues(line, "rotation", fields.rotation, 4);
    }
    if (has(line, "scale") && !has(line, "scaleOrientation")) {
        fields.hasScale = true;
        readValues(line, "scale", fields.scale, 3);
    }
    if (has(line, "scaleOrientation")) {
        fields.hasScaleOrientation = true;
        readValues(line, "scaleOrientation", fields.scaleOrientation, 4);
    }
    if (has(line, "translation")) {
        fields.hasTranslation = true;
        readValues(line, "translation", fields.translation, 3);
    }
}

// One Transform being read.
struct TransformRead {
    i32 depth = 0;      // Transforms open around this one
    ObjectList list;    // objects created while it is read
    i16 seenCount = 0;  // objectCount when the list was last brought up to date
    i16 groupDepth = 0; // Group nodes opened inside it and not yet closed
    TransformFields fields;
};

void dispatchShapeAndLightRows(World& world, LineReader& in, const Line& line, bool comment)
{
    if (has(line, "Shape") && !comment) readShape(world, in);
    if (has(line, "IndexedFaceSet") && !comment) {
        const i16 object = newObject(world);
        readIndexedFaceSet(world, in, line, object);
    }
    // Box, Cone, Cylinder, ElevationGrid, Extrusion and Sphere are recognised and give
    // no geometry: their lines start nothing.
    if (has(line, "Appearance")) readAppearance(world, in, line);
    if (has(line, "DirectionalLight")) readDirectionalLight(world, in, line);
    if (has(line, "PointLight")) readPointLight(world, in, line);
    if (has(line, "SpotLight")) readSpotLight(world, in, line);
}

void dispatchSoundRows(World& world, LineReader& in, const Line& line)
{
    if (has(line, "Sound")) readSound(world, in, line);
    if (has(line, "AudioClip")) readAudioClip(world, in, line);
    if (has(line, "TimeSensor")) readTimeSensor(world, in, line);
}

// The tests a Transform makes on each of its lines, in order, each on the same line.
static void examineTransformLine(World& world, LineReader& in, const Line& line, bool firstLine,
                                 TransformRead& read)
{
    const bool comment = std::strchr(line.text, '#') != nullptr;
    if (!firstLine && has(line, "Transform") && read.depth + 1 < kMaxTransformDepth)
        readTransform(world, in, line, read.depth + 1);
    // A Transform's DEF name is stored nowhere.
    if (has(line, "Group") && !comment && read.groupDepth < kMaxCount16) ++read.groupDepth;
    dispatchShapeAndLightRows(world, in, line, comment);
    dispatchSoundRows(world, in, line);
    listNewObjects(world, read.list, read.seenCount);
    readTransformFields(line, read.fields);
}

// Appends the transform group of a closing Transform. Groups are stored in the order
// Transforms close; a group's entries follow the previous group's. firstEntry is a
// 16-bit field, so a group whose entries would run past 32767 is refused.
static bool appendGroup(World& world, const ObjectList& list, u32& firstEntry)
{
    if (!canAddWorldRow(world, world.transformGroupCount, kFullTransformGroups)) return false;
    const u32 groupRow = static_cast<u32>(world.transformGroupCount);
    u32 first = 0;
    if (groupRow > 0) {
        const TransformGroupRecord& previous = world.transformGroups[groupRow - 1];
        first = static_cast<u32>(previous.firstEntry) + static_cast<u32>(previous.objectCount);
    }
    if (first + list.count > static_cast<u32>(kMaxCount16)) {
        world.fullTables = static_cast<u16>(world.fullTables | kFullTransformGroups);
        return false;
    }
    if (!growTable(world.transformGroups, world.transformGroupCapacity, groupRow + 1)) return false;
    if (!growTable(world.groupObjects, world.groupObjectCapacity, first + list.count)) return false;
    std::memcpy(world.groupObjects + first, list.objects, list.count * sizeof(i16));
    // Both fit: first + count <= 32767 was checked above.
    world.transformGroups[groupRow].objectCount = static_cast<i16>(list.count);
    world.transformGroups[groupRow].firstEntry = static_cast<i16>(first);
    world.transformGroupCount = static_cast<i16>(groupRow + 1);
    firstEntry = first;
    return true;
}

// Where one closing step applies its transforms: the stored group, or, when the group
// row was refused, the Transform's own list, so the geometry still moves.
struct GroupTarget {
    bool stored;
    u32 firstEntry;
    const ObjectList* list;
};

static void applyStep(World& world, const GroupTarget& target, i16 mode)
{
    if (target.stored)
        applyToGroup(world, mode, target.firstEntry, target.list->count);
    else
        applyToObjects(world, mode, target.list->objects, target.list->count);
}

static void translateGroup(World& world, const GroupTarget& target, const f32 offset[3], f32 sign)
{
    world.pendingTranslation[0] = sign * offset[2] * kWorldScale;
    world.pendingTranslation[1] = sign * offset[0] * kWorldScale;
    world.pendingTranslation[2] = sign * offset[1] * kWorldScale;
    applyStep(world, target, kApplyTranslate);
}

// Turns the group about the origin. A zero angle changes nothing, and a zero (or
// unreadable) axis or angle names no rotation: both are passed over.
static void rotateGroup(World& world, const GroupTarget& target, const f32 rotation[4], f32 sign)
{
    const f32 angle = sign * rotation[3];
    const f32 lengthSquared =
        rotation[0] * rotation[0] + rotation[1] * rotation[1] + rotation[2] * rotation[2];
    if (angle == 0.0f || !std::isfinite(angle) || !(lengthSquared > 0.0f)) return;
    world.pendingRotation[0] = rotation[2];
    world.pendingRotation[1] = rotation[0];
    world.pendingRotation[2] = rotation[1];
    world.pendingRotation[3] = angle;
    for (f32& pivot : world.rotationPivot) pivot = 0.0f;
    applyStep(world, target, kApplyRotate);
}

static void scaleGroup(World& world, const GroupTarget& target, const f32 scale[3])
{
    // A zero factor would flatten the objects; VRML files mean "unset" by it.
    const auto factor = [](f32 f) { return std::fabs(f) == 0.0f ? 1.0f : f; };
    world.pendingScale[0] = factor(scale[2]);
    world.pendingScale[1] = factor(scale[0]);
    world.pendingScale[2] = factor(scale[1]);
    for (f32& pivot : world.scalePivot) pivot = 0.0f;
    applyStep(world, target, kApplyScale);
}

// The closing step: the group is recorded, then every vertex v of it becomes
// T + C + R * SR * S * SR^-1 * (v - C), VRML's order, one pass per factor from the
// right. Without rotation and scale this is the translation alone.
static void closeTransform(World& world, const ObjectList& list, const TransformFields& fields)
{
    if (list.count == 0) return;
    GroupTarget target{false, 0, &list};
    target.stored = appendGroup(world, list, target.firstEntry);
    if (fields.hasCenter) translateGroup(world, target, fields.center, -1.0f);
    if (fields.hasScale) {
        if (fields.hasScaleOrientation) rotateGroup(world, target, fields.scaleOrientation, -1.0f);
        scaleGroup(world, target, fields.scale);
        if (fields.hasScaleOrientation) rotateGroup(world, target, fields.scaleOrientation, 1.0f);
    }
    if (fields.hasRotation) rotateGroup(world, target, fields.rotation, 1.0f);
    if (fields.hasCenter) translateGroup(world, target, fields.center, 1.0f);
    if (fields.hasTranslation) translateGroup(world, target, fields.translation, 1.0f);
}

void readTransform(World& world, LineReader& in, Line line, i32 depth)
{
    if (commentedOut(line, "Transform")) return;
    TransformRead read;
    read.depth = depth;
    read.seenCount = world.objectCount;
    bool firstLine = true;
    for (;;) {
        examineTransformLine(world, in, line, firstLine, read);
        firstLine = false;
        if (!nextLine(in, line)) break;
        if (has(line, "}")) {
            // The closing line's other content is not examined.
            if (read.groupDepth < 1) break;
            --read.groupDepth;
        }
    }
    closeTransform(world, read.list, read.fields);
    PluginFree(read.list.objects);
}

// The Shape's own object while it still exists: the face set reader drops an object
// that ends without polygons, and a refused object is -1. The material then goes to
// no object rather than to whichever object happens to be last.
static i16 ownObject(const World& world, i16 object)
{
    return object >= 0 && object < world.objectCount ? object : -1;
}

static void setObjectMaterial(World& world, i16 object, i16 material)
{
    if (object >= 0 && object < world.objectCount) world.objects[object].material = material;
}

// "appearance USE name": the last material whose name matches.
static void useAppearance(World& world, LineReader& in, const Line& line, i16 object)
{
    char name[kNameSize];
    cutUseName(line, "USE", name, sizeof name);
    const i16 material = findLastNamed(in.names, world, NamedTable::appearanceNames, name);
    if (material >= 0) setObjectMaterial(world, object, material);
}

void readShape(World& world, LineReader& in)
{
    // Every Shape starts an object, whatever its geometry.
    const i16 object = newObject(world);
    i32 braceCount = 0; // one-line primitives whose "}" must not end the Shape
    Line line;
    for (;;) {
        // At the end of the text the last line is examined once more.
        const bool more = nextLine(in, line);
        bool ended = false;
        if (has(line, "geometry")) {
            if (has(line, "IndexedFaceSet"))
                readIndexedFaceSet(world, in, line, ownObject(world, object));
            const bool primitive = has(line, "Box") || has(line, "Cone") || has(line, "Cylinder") ||
                                   has(line, "Sphere");
            if (primitive && has(line, "}") && braceCount < INT32_MAX) ++braceCount;
        }
        if (has(line, "appearance")) {
            if (!has(line, "USE")) {
                readAppearance(world, in, line);
                if (world.materialCount > 0)
                    setObjectMaterial(world, ownObject(world, object),
                                      static_cast<i16>(world.materialCount - 1));
            } else {
                useAppearance(world, in, line, ownObject(world, object));
            }
        }
        if (has(line, "}")) {
            if (braceCount < 1)
                ended = true;
            else
                --braceCount;
        }
        if (ended || !more) return;
    }
}
