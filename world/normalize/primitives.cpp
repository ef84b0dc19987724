// Box, Cone, Cylinder and Sphere as face sets, with the sizes, flags and texture
// mapping VRML 2.0 gives them. Round surfaces share their vertices so the renderer
// shades them smooth; caps and box faces are flat.
#include "base/portable_math.h"
#include "world/normalize/mesh.h"

#include <cmath>
#include <numbers>

// The point at angle `around` (from the back, -z, counter-clockwise seen from above,
// as the standard's texture mapping runs) at radius `radius` and height y.
static void aroundPoint(f64 radius, f64 around, f64 out[2])
{
    out[0] = -radius * portable::sin(around);
    out[1] = -radius * portable::cos(around);
}

static f64 angleOf(u32 segment)
{
    return 2.0 * std::numbers::pi * segment / kSegments;
}

static bool buildBox(const Node& box, bool textured, MeshBuilder& builder, Mesh& mesh)
{
    f64 size[3] = {2.0, 2.0, 2.0};
    readDoubles(box, "size", size, 3);
    const f64 half[3] = {size[0] * 0.5, size[1] * 0.5, size[2] * 0.5};
    // Each face's corners as signs of x, y, z, counter-clockwise seen from outside,
    // starting where its texture's (0, 0) corner goes.
    constexpr i32 kCorners[6][4][3] = {
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},     // front (+z)
        {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}}, // back
        {{1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}},     // right (+x)
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}, // left
        {{-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}},     // top (+y)
        {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}  // bottom
    };
    constexpr f64 kTexCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    if (textured) {
        // Every face shows the whole picture, so corners cannot be shared.
        for (const auto& face : kCorners) {
            u32 ids[4];
            for (int k = 0; k < 4; ++k)
                ids[k] = builder.vertex(face[k][0] * half[0], face[k][1] * half[1],
                                        face[k][2] * half[2], kTexCorners[k][0], kTexCorners[k][1]);
            builder.face({ids[0], ids[1], ids[2], ids[3]});
        }
    } else {
        // The eight corners, numbered by sign: bit 0 x, bit 1 y, bit 2 z.
        for (u32 id = 0; id < 8; ++id)
            builder.vertex(id & 1 ? half[0] : -half[0], id & 2 ? half[1] : -half[1],
                           id & 4 ? half[2] : -half[2]);
        auto idOf = [](const i32 corner[3]) {
            return (corner[0] > 0 ? 1u : 0u) | (corner[1] > 0 ? 2u : 0u) |
                   (corner[2] > 0 ? 4u : 0u);
        };
        for (const auto& face : kCorners)
            builder.face({idOf(face[0]), idOf(face[1]), idOf(face[2]), idOf(face[3])});
    }
    mesh.normalPerVertex = 0;
    return true;
}

// A flat round cap at height y, its corners counter-clockwise seen from outside
// (from above for the top cap).
static void buildCap(f64 radius, f64 y, bool top, bool textured, MeshBuilder& builder)
{
    std::vector<u32> corners;
    for (u32 step = 0; step < kSegments; ++step) {
        const u32 segment = top ? step : (kSegments - step) % kSegments;
        f64 xz[2];
        aroundPoint(radius, angleOf(segment), xz);
        const f64 halfSide = radius != 0.0 ? 0.5 / radius : 0.0;
        const f64 s = 0.5 + xz[0] * halfSide;
        const f64 t = top ? 0.5 - xz[1] * halfSide : 0.5 + xz[1] * halfSide;
        corners.push_back(builder.vertex(xz[0], y, xz[1], textured ? s : 0.0, textured ? t : 0.0));
    }
    builder.face(corners);
}

static u32 ringVertex(u32 ringStart, u32 segment, bool textured)
{
    return ringStart + (textured ? segment : segment % kSegments);
}

// A ring of vertices at height y, its first vertex's id returned; with texture
// coordinates the ring is closed by a seam vertex that repeats the first with s = 1.
static u32 addRing(f64 radius, f64 y, f64 t, bool textured, MeshBuilder& builder)
{
    const u32 count = textured ? kSegments + 1 : kSegments;
    u32 start = 0;
    for (u32 segment = 0; segment < count; ++segment) {
        f64 xz[2];
        aroundPoint(radius, angleOf(segment), xz);
        const u32 id = builder.vertex(xz[0], y, xz[1], static_cast<f64>(segment) / kSegments, t);
        if (segment == 0) start = id;
    }
    return start;
}

static bool buildCylinder(const Node& cylinder, bool textured, MeshBuilder& builder, Mesh& mesh)
{
    f64 radius = 1.0, height = 2.0;
    readDoubles(cylinder, "radius", &radius, 1);
    readDoubles(cylinder, "height", &height, 1);
    const bool side = fieldBool(cylinder, "side", true);
    const bool top = fieldBool(cylinder, "top", true);
    const bool bottom = fieldBool(cylinder, "bottom", true);
    if (!side && !top && !bottom) return false;
    const f64 half = height * 0.5;
    if (side) {
        const u32 low = addRing(radius, -half, 0.0, textured, builder);
        const u32 high = addRing(radius, half, 1.0, textured, builder);
        for (u32 segment = 0; segment < kSegments; ++segment)
            builder.face(
                {ringVertex(low, segment, textured), ringVertex(low, segment + 1, textured),
                 ringVertex(high, segment + 1, textured), ringVertex(high, segment, textured)});
    }
    if (top) buildCap(radius, half, true, textured, builder);
    if (bottom) buildCap(radius, -half, false, textured, builder);
    mesh.normalPerVertex = 1;
    return true;
}

static bool buildCone(const Node& cone, bool textured, MeshBuilder& builder, Mesh& mesh)
{
    f64 radius = 1.0, height = 2.0;
    readDoubles(cone, "bottomRadius", &radius, 1);
    readDoubles(cone, "height", &height, 1);
    const bool side = fieldBool(cone, "side", true);
    const bool bottom = fieldBool(cone, "bottom", true);
    if (!side && !bottom) return false;
    const f64 half = height * 0.5;
    if (side) {
        const u32 base = addRing(radius, -half, 0.0, textured, builder);
        // One shared tip shades the cone smooth; a textured cone needs a tip per segment
        // for its s coordinates.
        const u32 sharedTip = textured ? 0 : builder.vertex(0.0, half, 0.0);
        for (u32 segment = 0; segment < kSegments; ++segment) {
            const u32 tip = textured
                                ? builder.vertex(0.0, half, 0.0, (segment + 0.5) / kSegments, 1.0)
                                : sharedTip;
            builder.face({ringVertex(base, segment, textured),
                          ringVertex(base, segment + 1, textured), tip});
        }
    }
    if (bottom) buildCap(radius, -half, false, textured, builder);
    mesh.normalPerVertex = 1;
    return true;
}

static bool buildSphere(const Node& sphere, bool textured, MeshBuilder& builder, Mesh& mesh)
{
    f64 radius = 1.0;
    readDoubles(sphere, "radius", &radius, 1);
    // Rings 1 .. kSphereRings - 1 between the poles, from the top down.
    std::vector<u32> rings;
    for (u32 ring = 1; ring < kSphereRings; ++ring) {
        const f64 down = std::numbers::pi * ring / kSphereRings;
        rings.push_back(addRing(radius * portable::sin(down), radius * portable::cos(down),
                                1.0 - static_cast<f64>(ring) / kSphereRings, textured, builder));
    }
    const u32 poleCount = textured ? kSegments : 1;
    const u32 northPole = builder.vertex(0.0, radius, 0.0, 0.5 / kSegments, 1.0);
    for (u32 segment = 1; segment < poleCount; ++segment)
        builder.vertex(0.0, radius, 0.0, (segment + 0.5) / kSegments, 1.0);
    const u32 southPole = builder.vertex(0.0, -radius, 0.0, 0.5 / kSegments, 0.0);
    for (u32 segment = 1; segment < poleCount; ++segment)
        builder.vertex(0.0, -radius, 0.0, (segment + 0.5) / kSegments, 0.0);
    const u32 lastRing = rings.back();
    for (u32 segment = 0; segment < kSegments; ++segment) {
        const u32 next = segment + 1;
        const u32 pole = textured ? segment : 0;
        builder.face({northPole + pole, ringVertex(rings[0], segment, textured),
                      ringVertex(rings[0], next, textured)});
        for (std::size_t ring = 0; ring + 1 < rings.size(); ++ring)
            builder.face({ringVertex(rings[ring], segment, textured),
                          ringVertex(rings[ring + 1], segment, textured),
                          ringVertex(rings[ring + 1], next, textured),
                          ringVertex(rings[ring], next, textured)});
        builder.face({ringVertex(lastRing, segment, textured), southPole + pole,
                      ringVertex(lastRing, next, textured)});
    }
    mesh.normalPerVertex = 1;
    return true;
}

bool buildPrimitiveMesh(const Node& geometry, bool textured, SourceFile& scratch, Mesh& mesh)
{
    MeshBuilder builder(scratch, mesh, textured);
    bool built = false;
    const std::string& type = geometry.type;
    if (type == "Box")
        built = buildBox(geometry, textured, builder, mesh);
    else if (type == "Cylinder")
        built = buildCylinder(geometry, textured, builder, mesh);
    else if (type == "Cone")
        built = buildCone(geometry, textured, builder, mesh);
    else if (type == "Sphere")
        built = buildSphere(geometry, textured, builder, mesh);
    else if (type == "ElevationGrid")
        built = buildElevationGrid(geometry, builder, mesh);
    else if (type == "Extrusion")
        built = buildExtrusion(geometry, builder, mesh);
    if (!built || mesh.faces.empty()) return false;
    builder.finish();
    mesh.name = geometry.defName;
    return true;
}
