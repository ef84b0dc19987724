// Generated texture coordinates and the reflection-map coordinates of a corner.
#include "render/texture.h"

#include "base/portable_math.h"
#include "render/faces.h"

#include <cmath>

namespace {

constexpr f64 kPi = 3.141592653589793;
constexpr f64 kHalfPi = kPi / 2.0;
constexpr i16 kSphericalMapping = 3;

// x - floor(x): the fraction in [0, 1) for negative values too. NaN gives 0.
f32 fracFloor(f64 x)
{
    if (!std::isfinite(x)) return 0.0f;
    const f32 fraction = static_cast<f32>(x - std::floor(x));
    return fraction < 1.0f ? fraction : 0.0f; // a fraction just below 1 may round up to 1
}

bool wantsGeneratedCoords(const World& world, const ObjectRecord& object)
{
    if (object.hasTexCoords != 0) return false;
    if (object.material < 0 || object.material >= world.materialCount) return false;
    const MaterialRecord& material = world.materials[object.material];
    return material.hasTexture == 1 && material.textureMode == kSphericalMapping;
}

// Spherical coordinates of one offset from the object's centre. The full-circle
// arctangent gives s on every side; a vertex straight above or below the centre has no
// heading and takes 0.75, as the centre itself does (which also takes t = 1).
void sphericalCoords(f64 first, f64 second, f64 third, f32 coords[2])
{
    const f64 horizontal = std::sqrt(first * first + second * second);
    if (horizontal == 0.0) {
        coords[0] = 0.75f;
        coords[1] = third < 0.0 ? 0.0f : 1.0f;
        return;
    }
    coords[0] = static_cast<f32>((portable::atan2(second, first) + kPi) / (2.0 * kPi));
    coords[1] = static_cast<f32>((portable::atan2(third, horizontal) + kHalfPi) / kPi);
}

} // namespace

void GenerateTexCoords(World& world)
{
    if (!world.vertexTexCoords || !world.objectBounds) return;
    for (i16 o = 0; o < world.objectCount; ++o) {
        const ObjectRecord& object = world.objects[o];
        if (!wantsGeneratedCoords(world, object)) continue;
        const f32* bounds = world.objectBounds[o];
        const f64 centre[3] = {(static_cast<f64>(bounds[0]) + bounds[1]) / 2.0,
                               (static_cast<f64>(bounds[2]) + bounds[3]) / 2.0,
                               (static_cast<f64>(bounds[4]) + bounds[5]) / 2.0};
        const RowRange vertices = ObjectVertices(world, object);
        for (u32 v = vertices.first; v < vertices.first + vertices.count; ++v) {
            sphericalCoords(world.vertexZ[v] - centre[0], world.vertexX[v] - centre[1],
                            world.vertexY[v] - centre[2], world.vertexTexCoords[v]);
        }
    }
}

void ReflectionCoords(const RenderState& render, const f32 position[3], const f32 normal[3],
                      f32 coords[2])
{
    const f32* p = position;
    const f32* n = normal;
    // The eye is the origin of view coordinates, so the position is also the ray.
    const f32 along = n[0] * p[0] + n[1] * p[1] + n[2] * p[2];
    f32 ray[3] = {p[0] - 2.0f * along * n[0], p[1] - 2.0f * along * n[1],
                  p[2] - 2.0f * along * n[2]};
    const f32 rayLength = std::sqrt(ray[0] * ray[0] + ray[1] * ray[1] + ray[2] * ray[2]);
    if (rayLength > 0.0f) {
        for (f32& c : ray) c /= rayLength;
    } else {
        ray[0] = 1.0f;
        ray[1] = ray[2] = 0.0f;
    }

    // Where the ray leaves the sphere of radius `diameter` around the scene centre.
    const f32* m = render.sceneCentre;
    const f32 radius = render.sceneDiameter;
    const f32 d[3] = {p[0] - m[0], p[1] - m[1], p[2] - m[2]};
    const f32 e = ray[0] * d[0] + ray[1] * d[1] + ray[2] * d[2];
    const f32 inside = e * e + radius * radius - (d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const f32 q = std::sqrt(inside > 0.0f ? inside : 0.0f); // a corner outside: tangent
    const f32 k = q - e < 0.0f ? -(q + e) : q - e;
    const f64 hit[3] = {d[0] + k * ray[0], d[1] + k * ray[1], d[2] + k * ray[2]};

    f64 heading;
    if (hit[0] == 0.0) {
        heading = kHalfPi;
    } else {
        heading = portable::atan(hit[1] / hit[0]);
        if (hit[0] < 0.0 && hit[1] < 0.0)
            heading -= kPi;
        else if (hit[0] < 0.0)
            heading += kPi;
    }
    const f64 horizontal = std::sqrt(hit[0] * hit[0] + hit[1] * hit[1]);
    const f64 elevation = horizontal == 0.0 ? kHalfPi : portable::atan(hit[2] / horizontal);

    coords[0] = fracFloor((elevation + kHalfPi) / kPi);
    coords[1] = fracFloor(2.0 * (heading + kPi) / (2.0 * kPi)); // the heading goes round twice
}
