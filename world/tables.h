// world/tables.h - the whole scene as flat tables; there is no scene graph.
//
// Owns: every world table, its count and its capacity, the camera, the background
// settings and the reflection image. Filled by readWorld and the node readers; read
// by render/, viewer/, the loading sequence and the world dump.
// Units: lengths in world units (5000 per file unit); vectors in the internal order
// (z, x, y): the first internal axis is the file's z, the second its x, the third its
// y (up). Colours (r, g, b) and texture coordinates (u, v) keep their own order. The
// sound rows are the exception: file order and file units.
// Entry points: initWorldTables, freeWorldTables, resetWorldTables, resizeBlock,
//               growRows/growTable, canAddRow16, growVertexRows, reserveGeometryRows,
//               newObject, newLight,
//               prepareMaterialRow, prepareTextureRow, computeObjectBounds, applyToGroup,
//               applyToObjects, rotateVertexAboutPivot, setOrientationBasis.
// Failure: every operation that allocates checks the pointer and leaves the table as
// it was when the memory service fails; appends answer -1 (or false) and the reader
// goes on without the row.
#pragma once

#include "base/types.h"

#include <cstddef>

// Starting sizes of the tables that began life fixed. Real files outgrow them, so
// they grow like the others; only the 16-bit counts are hard limits.
constexpr u32 kMaterialRows = 200;
constexpr u32 kTextureRows = 50;
constexpr u32 kTransformGroupRows = 512;
constexpr u32 kGroupObjectEntries = 6000;

constexpr std::size_t kNameSize = 40;         // node names: 39 characters and a NUL
constexpr std::size_t kMaterialNameSize = 80; // materialNames rows
constexpr std::size_t kTextureFileNameSize = 262;
constexpr std::size_t kBackgroundUrlSize = 256;
constexpr std::size_t kWorldFolderSize = 4096;
constexpr std::size_t kClipDescriptionSize = 256;
constexpr std::size_t kClipUrlSize = 256;
constexpr std::size_t kSourceNameSize = 259;

constexpr i32 kColourRampEntries = 1001; // entries 0..1000 of each colour ramp
constexpr i16 kInitialTextureSide = 10;  // every texture row starts as 10 x 10 grey

// World units per file unit.
constexpr f32 kWorldScale = 5000.0f;

// VRML's fieldOfView when a Viewpoint gives none: 45 degrees across the smaller side.
constexpr f32 kDefaultFieldOfView = 0.785398f;

// One mesh: one row per IndexedFaceSet geometry (or per Shape, which always starts one).
struct ObjectRecord {
    u8 tag;               // no reader sets it; frame preparation keeps the face order of tag 11
    u8 normalPerVertex;   // 1 = smooth shading from shared vertices; 0 when coord USE shares
    u32 vertexCount;      // vertices of this object
    u32 faceCount;        // polygons of this object (its trailing empty row not counted)
    u32 cornerCount;      // sum of the corner counts of its polygons
    u32 firstVertex;      // 1-based: world vertexCount at creation + 1
    u32 firstFace;        // 1-based: world faceCount at creation + 1
    u32 firstCorner;      // world faceIndexCount at creation + 1; read by nobody
    i16 material;         // row of materials; -1 until a Shape's appearance gives one
    char name[kNameSize]; // DEF name of the IndexedFaceSet, or a generated name
    char coordName[kNameSize];    // DEF name of its Coordinate (coord USE looks here)
    char colorName[kNameSize];    // DEF name of its Color
    char normalName[kNameSize];   // DEF name of its Normal
    char texCoordName[kNameSize]; // DEF name of its TextureCoordinate
    u32 colorPerVertex;           // 1 only when the file says colorPerVertex TRUE
    u32 hasColors;                // 1 when a Color node was read
    u32 hasNormals;               // 1 when a Normal node was read
    u32 hasTexCoords;             // 1 when a TextureCoordinate node was read
};

// One polygon.
struct FaceRecord {
    u16 flags;       // 0, or 0xFFFF once frame preparation rejects the face
    i16 vertexCount; // corners of this face
    u32 firstIndex;  // first corner in faceIndices; corners are packed across objects
    f32 normal[3];   // unit plane normal, view coordinates; set per frame, not by the reader
};

struct MaterialRecord {
    char name[kNameSize]; // name used by appearance USE; generated "mat_N" when none
    i16 opaque;           // 1, or 0 once a non-zero transparency was read
    i16 hasTexture;       // 1 when an ImageTexture was attached
    i16 texture;          // row of textures when hasTexture is 1
    i16 textureMode;      // 3 (spherical generation) when a texture is attached
    i16 textureRepeatS;   // 1 when a texture is attached
    i16 textureRepeatT;   // 1 when a texture is attached
    f32 lightingScale;    // the shadow factor; the loading sequence sets 0.4
    f32 specularColor[3]; // r, g, b
    f32 shininess;        // the file's shininess x 100
    f32 transparency;     // as read, 0..1
    f32 diffuseColor[3];  // r, g, b
};

struct TextureRecord {
    char fileName[kTextureFileNameSize]; // the url text as the Appearance reader found it
    i16 width;                           // pixels; 10 until loaded
    i16 height;                          // pixels; 10 until loaded
    i16 tgaIdLength;                     // TGA image-ID length; 0 for other pictures
    i16 loaded; // 1 once a picture was decoded into the row; 0 while it holds the grey stand-in
};

struct LightRecord {
    i16 kind;      // 1 directional, 2 point, 3 spot
    i16 kindIndex; // row in directionalLights, pointLights or spotLights
    i16 on;        // 0; no reader writes it
    f32 enabled;   // the switch: exactly 1.0 lights, anything else does not
    f32 falloff;   // distance fall-off coefficient; 0 = none
    f32 color[3];  // the file's colour x its intensity
};

struct SpotLightRow {
    f32 location[3];  // internal order, world units
    f32 direction[3]; // internal order, as read (not unit length)
    f32 cone;         // the file's cutOffAngle x 1.4279966 (a fraction of pi)
};

// One Transform that contained geometry, stored in the order the Transforms closed.
struct TransformGroupRecord {
    i16 objectCount; // objects listed for this group
    i16 firstEntry;  // index in groupObjects of the group's first object index
};

struct AudioClipRecord {
    char name[kNameSize]; // DEF name or "AudioClip_N"
    char description[kClipDescriptionSize];
    char url[kClipUrlSize]; // the sound file as written in the file
    u32 loop;               // 1 TRUE, 0 FALSE
    f32 pitch;
    f32 startTime; // seconds
    f32 stopTime;
};

struct SoundRecord {
    char name[kNameSize]; // DEF name or "Sound_N"
    i32 clipNumber;       // 1-based row of audioClips; 0 = no clip, the Sound stays silent
    f32 direction[3];     // file order (x, y, z), unscaled
    f32 location[3];      // file order, file units
    f32 intensity;
    f32 maxBack;
    f32 maxFront;
    f32 minBack;
    f32 minFront;
    f32 priority;
    u32 spatialize;                   // 1 TRUE, 0 FALSE
    char sourceName[kSourceNameSize]; // the name after USE in the source field
};

struct TimeSensorRecord {
    char name[kNameSize]; // DEF name or "TimeSensor_N"
    f32 cycleInterval;
    u32 enabled;
    u32 loop;
    f32 startTime;
    f32 stopTime;
};

// The camera: global state shared by the Viewpoint reader, the renderer, navigation
// and the Dashboard. World units, internal order.
struct Camera {
    f32 eyePoint[3];    // camera position
    f32 targetPoint[3]; // point looked at; only the direction from the eye matters
    f32 rollAngle;      // radians, set by the first Viewpoint; navigation keeps it in [-pi, pi]
    f32 viewAngle;      // radians: half the horizontal opening
    f32 eyeGap;         // stereo separation factor; the eyes are 500 x eyeGap apart
};

struct World {
    // Objects and their bounds (min z, max z, min x, max x, min y, max y).
    ObjectRecord* objects = nullptr;
    f32 (*objectBounds)[6] = nullptr;
    i16 objectCount = 0;
    u32 objectCapacity = 0;

    // Vertices: three arrays, one per internal axis, so the transform loops stream
    // each on its own. The six per-vertex arrays share vertexCapacity rows; once the
    // first face set has started there is always one row beyond the last vertex.
    f32* vertexZ = nullptr;
    f32* vertexX = nullptr;
    f32* vertexY = nullptr;
    f32 (*vertexNormals)[3] = nullptr;   // as given, internal order, not normalised
    f32 (*vertexColors)[3] = nullptr;    // r, g, b as read
    f32 (*vertexTexCoords)[2] = nullptr; // u, v stored as absolute values
    u32 vertexCount = 0;
    u32 vertexCapacity = 0;

    // Polygons: each face set ends with one empty row.
    FaceRecord* faces = nullptr;
    u32 faceCount = 0;
    u32 faceCapacity = 0;
    // Corners: global 0-based vertex indices; one more entry than the corners stored
    // for each face set read.
    u32* faceIndices = nullptr;
    u32 faceIndexCount = 0;
    u32 faceIndexCapacity = 0;

    // Materials and, row for row, their names and colour ramps (six tables of
    // kColourRampEntries floats: diffuse r, g, b, highlight r, g, b).
    MaterialRecord* materials = nullptr;
    i16 materialCount = 0;
    u32 materialCapacity = 0;
    char (*materialNames)[kMaterialNameSize] = nullptr;
    u32 materialNameCapacity = 0;
    f32* (*colourRamps)[6] = nullptr; // materialCapacity rows, null until built

    // Textures and their pixel blocks (width x height x 3 bytes, blue, green, red).
    TextureRecord* textures = nullptr;
    i16 textureCount = 0;
    u32 textureCapacity = 0;
    u8** texturePixels = nullptr; // textureCapacity pointers

    // Lights, and per kind: directions (reversed, x 5000), locations, spot rows.
    LightRecord* lights = nullptr;
    i16 lightCount = 0;
    u32 lightCapacity = 0;
    f32 (*directionalLights)[3] = nullptr;
    i16 directionalLightCount = 0;
    u32 directionalLightCapacity = 0;
    f32 (*pointLights)[3] = nullptr;
    i16 pointLightCount = 0;
    u32 pointLightCapacity = 0;
    SpotLightRow* spotLights = nullptr;
    i16 spotLightCount = 0;
    u32 spotLightCapacity = 0;

    // Transform groups and the object indices they list.
    TransformGroupRecord* transformGroups = nullptr;
    i16 transformGroupCount = 0;
    u32 transformGroupCapacity = 0;
    i16* groupObjects = nullptr;
    u32 groupObjectCapacity = 0;

    // Sound nodes (file order and units).
    AudioClipRecord* audioClips = nullptr;
    i16 audioClipCount = 0;
    u32 audioClipCapacity = 0;
    SoundRecord* sounds = nullptr;
    i16 soundCount = 0;
    u32 soundCapacity = 0;
    TimeSensorRecord* timeSensors = nullptr;
    i16 timeSensorCount = 0;
    u32 timeSensorCapacity = 0;

    // Viewpoints read so far in this read (only the first is used).
    i16 viewpointCount = 0;

    // The camera, and where it stood after the world was read (the home button).
    Camera camera = {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, 0.0f, 0.3f, 1.0f};
    f32 startEyePoint[3] = {0.0f, 0.0f, 0.0f};
    f32 startTargetPoint[3] = {1.0f, 0.0f, 0.0f};
    f32 startRollAngle = 0.0f; // the roll the loading sequence started the camera with
    // The first Viewpoint's fieldOfView as VRML means it: radians across the view's
    // smaller side, 0.785398 when the world gives none. camera.viewAngle is made from it
    // for the view's size when vrmlFieldOfView is set (render/field_of_view.h).
    f32 viewpointFieldOfView = kDefaultFieldOfView;
    // The first NavigationInfo's headlight (TRUE when it gives none); read only when
    // vrmlHeadlight is set.
    bool headlightOn = true;
    i16 navigationInfoCount = 0; // NavigationInfo nodes read (only the first counts)

    // Where the default reading (through the normalizing pass) draws a world as VRML
    // 2.0 does rather than by the line reader's own rules. The loading sequence sets them
    // before that reading; a --strict read leaves them false. A read keeps what its
    // caller set, like worldFolder.
    // The view angle follows viewpointFieldOfView and the Viewer's size.
    bool vrmlFieldOfView = false;
    // NavigationInfo is read, and with headlightOn the camera light shines beside the
    // world's own lights.
    bool vrmlHeadlight = false;
    // A texture whose picture is not loaded leaves its material untextured, so the shape
    // shows its material's colour, not the grey stand-in multiplied into it.
    bool untexturedWhenNotLoaded = false;

    // Background: mode 1 solid colour, 3 picture; the last Background node wins.
    i16 backgroundMode = 1;
    u8 backgroundRed = 0;
    u8 backgroundGreen = 0;
    u8 backgroundBlue = 0;
    char backgroundUrl[kBackgroundUrlSize] = {};

    // The picture reflective surfaces mirror: width x height x 3 bytes, blue, green,
    // red, rows bottom-up. 100 x 100 default when "reflex.jpg" is not found.
    i32 reflectionWidth = 0;
    i32 reflectionHeight = 0;
    u8* reflectionPixels = nullptr;

    // Folder of the world file being read (with a trailing '/'), where its textures
    // are looked for first; empty when unknown.
    char worldFolder[kWorldFolderSize] = {};
    // The world came from the network: its pictures may come only from its own folder
    // and below (set by the loading sequence before the read, kept by it).
    bool worldFolderOnly = false;

    // Tables whose 16-bit count was full when the world asked for another row (one bit
    // per table, kFullObjects ...): the loading sequence tells the user once per table.
    u16 fullTables = 0;

    // Reader scratch shared with applyToGroup and rotateVertexAboutPivot.
    f32 pendingTranslation[3] = {0.0f, 0.0f, 0.0f};    // internal order, world units
    f32 pendingRotation[4] = {0.0f, 0.0f, 1.0f, 0.0f}; // axis (internal order), radians
    f32 pendingScale[3] = {1.0f, 1.0f, 1.0f};          // internal order
    f32 rotationPivot[3] = {0.0f, 0.0f, 0.0f};
    f32 scalePivot[3] = {0.0f, 0.0f, 0.0f};
    f32 orientationBasis[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; // rows a, b, c
};

// --- Allocation ----------------------------------------------------------------------

// Allocates newSize bytes, copies the smaller of the two sizes from oldBlock, frees it
// and returns the new block. A null oldBlock just allocates; newSize 0 frees oldBlock
// and returns null. On allocation failure: null, and oldBlock is left untouched.
void* resizeBlock(void* oldBlock, u32 newSize, u32 oldSize);

// Makes a table of rowSize-byte rows hold at least `rows` rows, growing its capacity
// geometrically (so appending row by row costs linear time). New rows are zeroed.
// Returns false, leaving table and capacity as they were, when memory runs out or
// the byte count would not fit 32 bits.
bool growRows(void** table, u32* capacity, u32 rows, u32 rowSize);

template <class Row> bool growTable(Row*& table, u32& capacity, u32 rows)
{
    void* block = table;
    if (!growRows(&block, &capacity, rows, static_cast<u32>(sizeof(Row)))) return false;
    table = static_cast<Row*>(block);
    return true;
}

// The one place that decides whether a 16-bit count may take another row.
inline bool canAddRow16(i16 count)
{
    return count >= 0 && count < kMaxCount16;
}

// The tables of World::fullTables.
constexpr u16 kFullObjects = 1;
constexpr u16 kFullMaterials = 2;
constexpr u16 kFullLights = 4;
constexpr u16 kFullTextures = 8;
constexpr u16 kFullTransformGroups = 16;

// canAddRow16 for a table of the world: a full one is marked in world.fullTables.
inline bool canAddWorldRow(World& world, i16 count, u16 table)
{
    if (canAddRow16(count)) return true;
    world.fullTables = static_cast<u16>(world.fullTables | table);
    return false;
}

// --- Lifecycle -----------------------------------------------------------------------

// Allocates the starting tables: materials (200 rows, VRML default colours), colour
// ramps table (200 rows of null pointers), transformGroups (512), groupObjects (6000),
// textures (50 rows of 10 x 10) and texturePixels (50 blocks of 300 bytes, grey 127).
// Returns false if memory ran out (what was allocated stays, freeWorldTables frees it).
bool initWorldTables(World& world);

// Frees every table, pixel block, colour ramp and the reflection image, and resets
// the World to its empty state. Safe on a World that was never initialised.
void freeWorldTables(World& world);

// Empties the tables before a second world: freeWorldTables, then initWorldTables.
// The camera goes back to the Viewer's defaults.
bool resetWorldTables(World& world);

// --- Rows ----------------------------------------------------------------------------

// Makes sure the six per-vertex arrays hold at least `rows` rows.
bool growVertexRows(World& world, u32 rows);

// The geometry a text is known to hold (the normalizing pass counts what it writes).
struct GeometryRows {
    u64 vertices = 0; // points of every face set
    u64 faces = 0;    // polygons closed by -1
    u64 corners = 0;  // corner indices of those polygons
    u64 faceSets = 0; // each adds an empty polygon row, a corner entry and a spare vertex
};

// Gives the vertex, polygon and corner tables room for those rows at once. Grown row
// by row instead, a world of a million faces copies each table many times over and
// leaves the outgrown blocks behind, tens of megabytes beside the finished tables.
// Only room changes (no count); false when the memory is not there, and the reader
// then grows the tables as it goes, as without it.
bool reserveGeometryRows(World& world, const GeometryRows& rows);

// Appends an ObjectRecord (and its bounds row): first indices from the current
// counts + 1, counts 0, normalPerVertex 1, flags 0, material -1, names empty.
// Returns the new row, or -1 when the count is full or memory ran out.
i16 newObject(World& world);

// Appends a LightRecord with the defaults (enabled 1.0, falloff 0, colour white) and,
// for kinds 1, 2 and 3, a per-kind row holding VRML's defaults for that kind: direction
// (0, 0, -1) and location (0, 0, 0), stored through the same conversions as read
// values, cutOffAngle 0.785398. Returns the new row of lights, or -1 when refused.
i16 newLight(World& world, i16 kind);

// Makes row materialCount exist (the row being built) with VRML's default material:
// diffuse 0.8 0.8 0.8, specular 0, shininess 20 (0.2 x 100), transparency 0, opaque 1,
// no texture; and materialNames row materialCount exists and is empty. Does not count
// the row. Returns false when the count is full or memory ran out.
bool prepareMaterialRow(World& world);

// Makes row textureCount of textures and texturePixels exist (10 x 10 grey block when
// new). Does not count the row. Returns false when refused.
bool prepareTextureRow(World& world);

// Sets the object's bounds row to the min and max of its vertices on each axis.
void computeObjectBounds(World& world, i16 object);

// Applies the pending transform to every object listed in groupObjects from
// firstEntry for entryCount entries, then recomputes each object's bounds.
// Mode 0 adds pendingTranslation; mode 1 rotates about rotationPivot by
// pendingRotation; mode 2 scales each offset from scalePivot by pendingScale.
enum : i16 { kApplyTranslate = 0, kApplyRotate = 1, kApplyScale = 2 };
void applyToGroup(World& world, i16 mode, u32 firstEntry, u32 entryCount);

// applyToGroup's work over a list of object indices held elsewhere (a Transform whose
// group row was refused still moves its objects).
void applyToObjects(World& world, i16 mode, const i16* objects, u32 objectCount);

// Turns one point about the pivot: the offset from the pivot is expressed in the
// orientationBasis (rows a, b, c), its b and c components are turned by the angle
// (b' = b cos - c sin, c' = b sin + c cos), and it is taken back and the pivot added.
// With a = the unit rotation axis this is a right-handed rotation about that axis.
void rotateVertexAboutPivot(const World& world, u32 vertex, const f32 pivot[3], f32 cosAngle,
                            f32 sinAngle, f32* first, f32* second, f32* third);

// Sets world.orientationBasis from a rotation axis given in the axis order of the
// arrays later passed to rotateVertexAboutPivot: a = the unit axis (azimuth and
// elevation of the axis, pi/2 rules for zero components), b = (-sin az, cos az, 0),
// c = (-cos az sin el, -sin az sin el, cos el), a right-handed frame.
void setOrientationBasis(World& world, f32 axisX, f32 axisY, f32 axisZ);
