// An Extrusion as a face set: the cross-section placed, scaled and turned at every
// spine point in the spine-aligned frame the VRML 2.0 standard defines, its sides as
// quads and its caps as one polygon each.
#include "base/portable_math.h"
#include "world/normalize/mesh.h"
#include "world/normalize/transform_math.h"

#include <cmath>

namespace {

struct Vec3 {
    f64 x, y, z;
};

} // namespace

static Vec3 minus(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

static Vec3 crossOf(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

static f64 dotOf(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

static bool unit(Vec3& v)
{
    const f64 size = std::sqrt(dotOf(v, v));
    if (!(size > 1e-12) || !std::isfinite(size)) return false;
    v = {v.x / size, v.y / size, v.z / size};
    return true;
}

static std::vector<f64> listOr(const Node& node, const char* name,
                               std::initializer_list<f64> fallback)
{
    if (!findField(node, name)) return std::vector<f64>(fallback);
    return readDoubleList(node, name);
}

// The spine-aligned frames (X, Y, Z axes) of every spine point.
namespace {

struct Frame {
    Vec3 x, y, z;
};

} // namespace

static std::vector<Frame> spineFrames(const std::vector<Vec3>& spine)
{
    const std::size_t count = spine.size();
    const Vec3& first = spine.front();
    const Vec3& last = spine.back();
    const bool closed = first.x == last.x && first.y == last.y && first.z == last.z;
    std::vector<Frame> frames(count);
    std::vector<bool> hasZ(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t before = i == 0 ? 0 : i - 1;
        std::size_t after = i + 1 < count ? i + 1 : i;
        if (closed && (i == 0 || i + 1 == count)) {
            before = count - 2;
            after = 1;
        }
        Vec3 y = minus(spine[after], spine[before]);
        if (!unit(y)) y = {0.0, 1.0, 0.0};
        frames[i].y = y;
        const bool end = !closed && (i == 0 || i + 1 == count);
        if (!end) {
            Vec3 z = crossOf(minus(spine[after], spine[i]), minus(spine[before], spine[i]));
            hasZ[i] = unit(z);
            frames[i].z = z;
        }
    }
    // Points where the spine runs straight take the nearest Z before them (or after);
    // a spine that is straight throughout turns the plain frame onto its direction.
    std::size_t firstZ = count;
    for (std::size_t i = 0; i < count && firstZ == count; ++i)
        if (hasZ[i]) firstZ = i;
    if (firstZ == count) {
        const Vec3 up{0.0, 1.0, 0.0};
        const Vec3& direction = frames[0].y;
        Vec3 axis = crossOf(up, direction);
        const f64 turn = portable::acos(std::fmax(-1.0, std::fmin(1.0, dotOf(up, direction))));
        f64 rotation[4] = {axis.x, axis.y, axis.z, turn};
        if (!unit(axis)) rotation[0] = 1.0, rotation[1] = 0.0, rotation[2] = 0.0;
        f64 matrix[3][3];
        rotationToMatrix(rotation, matrix);
        const Vec3 z{matrix[0][2], matrix[1][2], matrix[2][2]};
        for (Frame& frame : frames) frame.z = z;
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            if (hasZ[i]) continue;
            frames[i].z = i < firstZ ? frames[firstZ].z : frames[i - 1].z;
        }
        for (std::size_t i = 1; i < count; ++i)
            if (dotOf(frames[i].z, frames[i - 1].z) < 0.0)
                frames[i].z = {-frames[i].z.x, -frames[i].z.y, -frames[i].z.z};
    }
    for (Frame& frame : frames) frame.x = crossOf(frame.y, frame.z);
    return frames;
}

bool buildExtrusion(const Node& extrusion, MeshBuilder& builder, Mesh& mesh)
{
    const std::vector<f64> cross =
        listOr(extrusion, "crossSection", {1, 1, 1, -1, -1, -1, -1, 1, 1, 1});
    const std::vector<f64> spineValues = listOr(extrusion, "spine", {0, 0, 0, 0, 1, 0});
    const std::vector<f64> scale = listOr(extrusion, "scale", {1, 1});
    const std::vector<f64> orientation = listOr(extrusion, "orientation", {0, 0, 1, 0});
    f64 creaseAngle = 0.0;
    readDoubles(extrusion, "creaseAngle", &creaseAngle, 1);
    const std::size_t crossCount = cross.size() / 2;
    const std::size_t spineCount = spineValues.size() / 3;
    if (crossCount < 2 || spineCount < 2) return false;
    if (static_cast<u64>(crossCount) * (spineCount + 2) > kMaxGeneratedVertices) return false;

    std::vector<Vec3> spine(spineCount);
    for (std::size_t i = 0; i < spineCount; ++i)
        spine[i] = {spineValues[3 * i], spineValues[3 * i + 1], spineValues[3 * i + 2]};
    const std::vector<Frame> frames = spineFrames(spine);

    // Placed cross-section points; scale and orientation give one value for all spine
    // points or one each (the last one stands in for missing ones).
    auto placed = [&](std::size_t i, std::size_t j) {
        const std::size_t scaleRow = std::min(i, scale.size() / 2 - 1);
        const f64 local[3] = {cross[2 * j] * scale[2 * scaleRow], 0.0,
                              cross[2 * j + 1] * scale[2 * scaleRow + 1]};
        f64 turned[3] = {local[0], local[1], local[2]};
        if (orientation.size() >= 4) {
            const std::size_t row = std::min(i, orientation.size() / 4 - 1);
            f64 matrix[3][3];
            rotationToMatrix(&orientation[4 * row], matrix);
            for (int k = 0; k < 3; ++k)
                turned[k] =
                    matrix[k][0] * local[0] + matrix[k][1] * local[1] + matrix[k][2] * local[2];
        }
        const Frame& f = frames[i];
        return Vec3{spine[i].x + f.x.x * turned[0] + f.y.x * turned[1] + f.z.x * turned[2],
                    spine[i].y + f.x.y * turned[0] + f.y.y * turned[1] + f.z.y * turned[2],
                    spine[i].z + f.x.z * turned[0] + f.y.z * turned[1] + f.z.z * turned[2]};
    };
    if (scale.size() < 2) return false;

    for (std::size_t i = 0; i < spineCount; ++i) {
        for (std::size_t j = 0; j < crossCount; ++j) {
            const Vec3 point = placed(i, j);
            builder.vertex(point.x, point.y, point.z,
                           static_cast<f64>(j) / static_cast<f64>(crossCount - 1),
                           static_cast<f64>(i) / static_cast<f64>(spineCount - 1));
        }
    }
    for (std::size_t i = 0; i + 1 < spineCount; ++i) {
        for (std::size_t j = 0; j + 1 < crossCount; ++j) {
            const u32 corner = static_cast<u32>(i * crossCount + j);
            const u32 next = corner + static_cast<u32>(crossCount);
            builder.face({corner, corner + 1, next + 1, next});
        }
    }
    // Caps: the cross-section as one polygon, without its closing repeat, on vertices
    // of its own so the renderer keeps the cap flat.
    const bool closedCross =
        cross[0] == cross[2 * crossCount - 2] && cross[1] == cross[2 * crossCount - 1];
    const std::size_t capCorners = closedCross ? crossCount - 1 : crossCount;
    f64 low[2] = {cross[0], cross[1]}, high[2] = {cross[0], cross[1]};
    for (std::size_t j = 0; j < crossCount; ++j)
        for (int k = 0; k < 2; ++k) {
            low[k] = std::fmin(low[k], cross[2 * j + k]);
            high[k] = std::fmax(high[k], cross[2 * j + k]);
        }
    auto addCap = [&](std::size_t i, bool reversed) {
        std::vector<u32> corners;
        for (std::size_t step = 0; step < capCorners; ++step) {
            const std::size_t j = reversed ? capCorners - 1 - step : step;
            const Vec3 point = placed(i, j);
            const f64 s = high[0] > low[0] ? (cross[2 * j] - low[0]) / (high[0] - low[0]) : 0.0;
            const f64 t = high[1] > low[1] ? (cross[2 * j + 1] - low[1]) / (high[1] - low[1]) : 0.0;
            corners.push_back(builder.vertex(point.x, point.y, point.z, s, t));
        }
        builder.face(corners);
    };
    if (capCorners >= 3) {
        if (fieldBool(extrusion, "beginCap", true)) addCap(0, false);
        if (fieldBool(extrusion, "endCap", true)) addCap(spineCount - 1, true);
    }
    mesh.normalPerVertex = creaseAngle > 0.0 ? 1 : 0;
    mesh.creaseAngle = creaseAngle > 0.0 ? creaseAngle : 0.0;
    return true;
}
