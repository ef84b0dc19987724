// Face normals and the checks that keep every corner inside the world's tables.
#include "render/faces.h"

#include <algorithm>
#include <cmath>

RowRange ObjectVertices(const World& world, const ObjectRecord& object)
{
    const u64 first = object.firstVertex == 0 ? 0 : object.firstVertex - 1u;
    if (first >= world.vertexCount) return {0, 0};
    const u64 end = std::min<u64>(first + object.vertexCount, world.vertexCount);
    return {static_cast<u32>(first), static_cast<u32>(end - first)};
}

RowRange ObjectFaces(const World& world, const ObjectRecord& object)
{
    const u64 first = object.firstFace == 0 ? 0 : object.firstFace - 1u;
    if (first >= world.faceCount) return {0, 0};
    const u64 end = std::min<u64>(first + object.faceCount, world.faceCount);
    return {static_cast<u32>(first), static_cast<u32>(end - first)};
}

u32 DrawFaceRoom(const World& world)
{
    u64 rows = 0;
    for (i16 o = 0; o < world.objectCount; ++o) rows += ObjectFaces(world, world.objects[o]).count;
    return static_cast<u32>(std::min<u64>(rows, UINT32_MAX));
}

void ComputeFaceNormals(World& world, i16 object)
{
    if (object < 0 || object >= world.objectCount) return;
    const RowRange faces = ObjectFaces(world, world.objects[object]);
    for (u32 f = faces.first; f < faces.first + faces.count; ++f) {
        FaceRecord& face = world.faces[f];
        if (!FaceCornersValid(world, face)) {
            face.flags = kFaceHidden;
            StoreFallbackNormal(face);
            continue;
        }
        ComputeFaceNormal(world, face);
    }
}
