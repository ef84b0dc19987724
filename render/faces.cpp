// Face normals and the checks that keep every corner inside the world's tables.
#include "render/faces.h"

#include <algorithm>
#include <cmath>

namespace {

// A face's normal, and the rule for small faces: world coordinates are large (5000 a
// file unit), so a cross product of 100.0 or less is passed over while a longer one may
// follow; a face whose products are all that short takes its longest.
constexpr f32 kSmallestNormal = 100.0f;
constexpr f32 kInverseRootThree = 0.57735026f;

void storeNormal(FaceRecord& face, const f32 n[3], f32 length)
{
    face.normal[0] = n[0] / length;
    face.normal[1] = n[1] / length;
    face.normal[2] = n[2] / length;
}

void storeFallbackNormal(FaceRecord& face)
{
    face.normal[0] = face.normal[1] = face.normal[2] = kInverseRootThree;
}

} // namespace

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

bool FaceCornersValid(const World& world, const FaceRecord& face)
{
    if (face.vertexCount <= 0) return false;
    const u64 end = static_cast<u64>(face.firstIndex) + static_cast<u64>(face.vertexCount);
    if (end > world.faceIndexCount) return false;
    const u32* corner = world.faceIndices + face.firstIndex;
    for (i16 k = 0; k < face.vertexCount; ++k)
        if (corner[k] >= world.vertexCount) return false;
    return true;
}

void ComputeFaceNormals(World& world, i16 object)
{
    if (object < 0 || object >= world.objectCount) return;
    const RowRange faces = ObjectFaces(world, world.objects[object]);
    const f32* first = world.vertexZ;
    const f32* second = world.vertexX;
    const f32* third = world.vertexY;
    for (u32 f = faces.first; f < faces.first + faces.count; ++f) {
        FaceRecord& face = world.faces[f];
        if (!FaceCornersValid(world, face)) {
            face.flags = kFaceHidden;
            storeFallbackNormal(face);
            continue;
        }
        face.flags = 0;
        const u32* corners = world.faceIndices + face.firstIndex;
        const i32 n = face.vertexCount;
        // The first triple longer than kSmallestNormal decides, as it always has; a face
        // too small for any (a 2 mm face of a model drawn in metres) takes its longest
        // triple instead, since those few units still say which way it faces.
        bool found = false;
        f32 longest[3] = {0.0f, 0.0f, 0.0f};
        f32 longestLength = 0.0f;
        for (i32 k = 0; k + 1 < n && !found; ++k) {
            const u32 a = corners[k];
            const u32 b = corners[(k + 1) % n];
            const u32 c = corners[(k + 2) % n];
            const f32 u[3] = {first[c] - first[b], second[c] - second[b], third[c] - third[b]};
            const f32 w[3] = {first[a] - first[b], second[a] - second[b], third[a] - third[b]};
            const f32 normal[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                   u[0] * w[1] - u[1] * w[0]};
            const f32 length =
                std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
            if (!std::isfinite(length)) continue; // beyond a float: says nothing
            if (length > kSmallestNormal) {
                storeNormal(face, normal, length);
                found = true;
            } else if (length > longestLength) {
                for (int axis = 0; axis < 3; ++axis) longest[axis] = normal[axis];
                longestLength = length;
            }
        }
        if (found) continue;
        // Only a face without any extent (every product zero, or not finite) is left
        // without a direction of its own.
        if (longestLength > 0.0f)
            storeNormal(face, longest, longestLength);
        else
            storeFallbackNormal(face);
    }
}
