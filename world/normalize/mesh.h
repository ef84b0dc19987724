// world/normalize/mesh.h - one face set as the canonical writer writes it, whether an
// IndexedFaceSet of the file or a primitive tessellated by the pass.
//
// Owns: Mesh (the faces and, where they were picked or generated, the number refs).
// Entry points: buildFaceSetMesh (face_set.cpp), buildPrimitiveMesh (primitives.cpp),
//               MeshBuilder (generated geometry), splitAtCreases (smoothing.cpp).
// Points, normals, colours and texture coordinates are number texts: an IndexedFaceSet
// keeps the file's own, generated geometry writes its values into a scratch source.
#pragma once

#include "base/types.h"
#include "world/normalize/node_tree.h"
#include "world/normalize/source_file.h"

#include <initializer_list>
#include <string>
#include <vector>

struct NumberArray {
    const SourceFile* source = nullptr;
    const std::vector<NumberRun>* runs = nullptr;
    u32 count = 0; // numbers used, not entries: whole entries only
};

struct Mesh {
    NumberArray points;     // x y z per vertex
    NumberArray normals;    // x y z per vertex; count 0: none written
    NumberArray colors;     // r g b per vertex
    NumberArray texCoords;  // s t per vertex
    std::vector<i32> faces; // corner indices, each face closed by -1
    std::string name;       // the DEF names worth keeping ("" when none)
    std::string coordName;
    std::string normalName;
    std::string texCoordName;
    i8 normalPerVertex = -1;     // -1 not written, else the value written
    bool colorPerVertex = false; // write "colorPerVertex TRUE"
    // The angle (radians) within which faces meeting at a vertex shade as one smooth
    // surface; below 0 the vertices already share as the shape is to shade (file
    // normals, the round primitives). splitAtCreases acts on it.
    f64 creaseAngle = -1.0;

    // Storage behind the arrays when they were picked (de-indexed) or generated.
    std::vector<NumberRun> pointStore, normalStore, colorStore, texCoordStore;
};

// What went wrong in a face set, for one message per node.
struct FaceSetIssues {
    u32 droppedFaces = 0;          // faces with fewer than 3 corners or an index beyond the points
    bool droppedTexCoords = false; // texture coordinate indices that do not fit
};

// An IndexedFaceSet as the line reader must see it. False when nothing of it can be
// drawn (no points or no valid face).
bool buildFaceSetMesh(const Node& faceSet, Mesh& mesh, FaceSetIssues& issues);

// Box, Cone, Cylinder, Sphere, ElevationGrid or Extrusion, tessellated. Texture
// coordinates are made when the shape is textured. False for any other node or for a
// primitive with nothing to draw.
bool buildPrimitiveMesh(const Node& geometry, bool textured, SourceFile& scratch, Mesh& mesh);

// Makes the renderer, which smooths across every face that shares a vertex, shade the
// mesh as its crease angle says: a vertex is written once for each group of its faces
// whose normals lie within the crease angle of each other, its texture coordinate,
// normal and colour copied along. When no vertex needs two copies nothing changes; when
// no two faces share one (creaseAngle 0) the mesh is left whole and drawn flat
// (normalPerVertex 0) instead, which shades the same. Does nothing for a creaseAngle
// below 0 or a flat mesh.
void splitAtCreases(Mesh& mesh);

// Every number of an array as a run of its own, for picking them by index.
std::vector<NumberRun> singleRuns(const NumberArray& array);
// Appends the runs of entry `entry` (perEntry numbers) of `from` to `store`.
void pickRuns(const std::vector<NumberRun>& from, u32 entry, u32 perEntry,
              std::vector<NumberRun>& store);
// Points the array at its store (kept), or empties it.
void useRuns(NumberArray& array, const std::vector<NumberRun>& store, bool kept);

// Generated geometry: vertices written as number texts into a scratch source.
class MeshBuilder {
public:
    MeshBuilder(SourceFile& scratch, Mesh& mesh, bool withTexCoords);
    u32 vertex(f64 x, f64 y, f64 z, f64 s = 0.0, f64 t = 0.0);
    void face(std::initializer_list<u32> corners);
    void face(const std::vector<u32>& corners);
    // Points the mesh's arrays at the stores; call once, when every vertex is in.
    void finish();

private:
    void number(std::vector<NumberRun>& store, f64 value);

    SourceFile& scratch_;
    Mesh& mesh_;
    bool withTexCoords_;
    u32 vertexCount_ = 0;
};

// The two primitives with data of their own (elevation_grid.cpp, extrusion.cpp).
bool buildElevationGrid(const Node& grid, MeshBuilder& builder, Mesh& mesh);
bool buildExtrusion(const Node& extrusion, MeshBuilder& builder, Mesh& mesh);

// Around every round primitive: enough to look round at 640 x 480.
constexpr u32 kSegments = 24;
constexpr u32 kSphereRings = 12;
// Generated geometry larger than this is refused: a few numbers of a hostile Extrusion
// or ElevationGrid could otherwise ask for billions of vertices.
constexpr u64 kMaxGeneratedVertices = 1u << 22;
