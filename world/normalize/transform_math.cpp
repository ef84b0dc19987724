// Affine transforms of the Transform nodes around a Viewpoint, a light or a point.
#include "world/normalize/transform_math.h"

#include "base/portable_math.h"
#include "world/normalize/node_tree.h"

#include <cmath>

static void setIdentity(f64 matrix[3][3])
{
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) matrix[row][col] = row == col ? 1.0 : 0.0;
}

static void multiply(const f64 a[3][3], const f64 b[3][3], f64 out[3][3])
{
    f64 result[3][3];
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            result[row][col] =
                a[row][0] * b[0][col] + a[row][1] * b[1][col] + a[row][2] * b[2][col];
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) out[row][col] = result[row][col];
}

static f64 length(const f64 v[3])
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

static bool normalize(f64 v[3])
{
    const f64 size = length(v);
    if (!(size > 1e-300) || !std::isfinite(size)) return false;
    for (int i = 0; i < 3; ++i) v[i] /= size;
    return true;
}

static void cross(const f64 a[3], const f64 b[3], f64 out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

static f64 dot(const f64 a[3], const f64 b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Any unit vector at right angles to a unit vector.
static void perpendicular(const f64 v[3], f64 out[3])
{
    const f64 axis[3] = {std::fabs(v[0]) < 0.9 ? 1.0 : 0.0, std::fabs(v[0]) < 0.9 ? 0.0 : 1.0, 0.0};
    cross(v, axis, out);
    normalize(out);
}

Affine identityAffine()
{
    Affine transform;
    setIdentity(transform.linear);
    transform.offset[0] = transform.offset[1] = transform.offset[2] = 0.0;
    return transform;
}

void rotationToMatrix(const f64 rotation[4], f64 matrix[3][3])
{
    f64 axis[3] = {rotation[0], rotation[1], rotation[2]};
    if (!normalize(axis) || !std::isfinite(rotation[3])) {
        setIdentity(matrix);
        return;
    }
    const f64 c = portable::cos(rotation[3]);
    const f64 s = portable::sin(rotation[3]);
    const f64 t = 1.0 - c;
    const f64 x = axis[0], y = axis[1], z = axis[2];
    matrix[0][0] = t * x * x + c;
    matrix[0][1] = t * x * y - s * z;
    matrix[0][2] = t * x * z + s * y;
    matrix[1][0] = t * x * y + s * z;
    matrix[1][1] = t * y * y + c;
    matrix[1][2] = t * y * z - s * x;
    matrix[2][0] = t * x * z - s * y;
    matrix[2][1] = t * y * z + s * x;
    matrix[2][2] = t * z * z + c;
}

void matrixToRotation(const f64 m[3][3], f64 rotation[4])
{
    const f64 cosine = (m[0][0] + m[1][1] + m[2][2] - 1.0) * 0.5;
    const f64 angle = portable::acos(cosine < -1.0 ? -1.0 : (cosine > 1.0 ? 1.0 : cosine));
    f64 axis[3] = {m[2][1] - m[1][2], m[0][2] - m[2][0], m[1][0] - m[0][1]};
    if (angle > 1.5) {
        // Far from no turn the antisymmetric part shrinks towards a half turn; the
        // symmetric part (M + M^T) / 2 - cos I = (1 - cos) a a^T gives the axis exactly,
        // as its column with the largest diagonal entry, and the antisymmetric part
        // only its sign.
        int big = 0;
        if (m[1][1] > m[big][big]) big = 1;
        if (m[2][2] > m[big][big]) big = 2;
        f64 column[3];
        for (int row = 0; row < 3; ++row)
            column[row] = (m[row][big] + m[big][row]) * 0.5 - (row == big ? cosine : 0.0);
        if (dot(column, axis) < 0.0)
            for (f64& part : column) part = -part;
        for (int row = 0; row < 3; ++row) axis[row] = column[row];
    }
    if (!normalize(axis)) {
        rotation[0] = 0.0;
        rotation[1] = 0.0;
        rotation[2] = 1.0;
        rotation[3] = 0.0;
        return;
    }
    rotation[0] = axis[0];
    rotation[1] = axis[1];
    rotation[2] = axis[2];
    rotation[3] = angle;
}

Affine compose(const Affine& outer, const Affine& inner)
{
    Affine result;
    multiply(outer.linear, inner.linear, result.linear);
    applyPoint(outer, inner.offset, result.offset);
    return result;
}

void applyPoint(const Affine& transform, const f64 in[3], f64 out[3])
{
    f64 result[3];
    for (int row = 0; row < 3; ++row)
        result[row] = transform.linear[row][0] * in[0] + transform.linear[row][1] * in[1] +
                      transform.linear[row][2] * in[2] + transform.offset[row];
    for (int row = 0; row < 3; ++row) out[row] = result[row];
}

void applyVector(const Affine& transform, const f64 in[3], f64 out[3])
{
    f64 result[3];
    for (int row = 0; row < 3; ++row)
        result[row] = transform.linear[row][0] * in[0] + transform.linear[row][1] * in[1] +
                      transform.linear[row][2] * in[2];
    for (int row = 0; row < 3; ++row) out[row] = result[row];
}

bool isIdentity(const Affine& transform)
{
    for (int row = 0; row < 3; ++row) {
        if (transform.offset[row] != 0.0) return false;
        for (int col = 0; col < 3; ++col)
            if (transform.linear[row][col] != (row == col ? 1.0 : 0.0)) return false;
    }
    return true;
}

Affine transformOf(const Node& transform)
{
    f64 translation[3] = {0.0, 0.0, 0.0};
    f64 center[3] = {0.0, 0.0, 0.0};
    f64 rotation[4] = {0.0, 0.0, 1.0, 0.0};
    f64 scale[3] = {1.0, 1.0, 1.0};
    f64 scaleOrientation[4] = {0.0, 0.0, 1.0, 0.0};
    readDoubles(transform, "translation", translation, 3);
    readDoubles(transform, "center", center, 3);
    readDoubles(transform, "rotation", rotation, 4);
    readDoubles(transform, "scale", scale, 3);
    readDoubles(transform, "scaleOrientation", scaleOrientation, 4);

    f64 rotate[3][3], orient[3][3], orientBack[3][3], scaling[3][3];
    rotationToMatrix(rotation, rotate);
    rotationToMatrix(scaleOrientation, orient);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) orientBack[row][col] = orient[col][row];
    setIdentity(scaling);
    for (int axis = 0; axis < 3; ++axis)
        // The line reader reads a zero factor as 1 when it scales the geometry; lights
        // and cameras in the same Transform must land where that geometry does.
        scaling[axis][axis] =
            (std::isfinite(scale[axis]) && scale[axis] != 0.0) ? scale[axis] : 1.0;

    Affine result;
    multiply(rotate, orient, result.linear);
    multiply(result.linear, scaling, result.linear);
    multiply(result.linear, orientBack, result.linear);
    // offset = T + C - L * C
    f64 movedCenter[3];
    Affine linearOnly = result;
    linearOnly.offset[0] = linearOnly.offset[1] = linearOnly.offset[2] = 0.0;
    applyVector(linearOnly, center, movedCenter);
    for (int axis = 0; axis < 3; ++axis)
        result.offset[axis] = translation[axis] + center[axis] - movedCenter[axis];
    return result;
}

void placeViewpoint(const Affine& transform, const f64 position[3], const f64 orientation[4],
                    f64 placedPosition[3], f64 placedOrientation[4])
{
    applyPoint(transform, position, placedPosition);
    f64 turn[3][3];
    rotationToMatrix(orientation, turn);
    // Columns of the camera's rotation: its x, its up (y) and its back (z) axes.
    f64 up[3] = {turn[0][1], turn[1][1], turn[2][1]};
    f64 back[3] = {turn[0][2], turn[1][2], turn[2][2]};
    applyVector(transform, up, up);
    applyVector(transform, back, back);
    if (!normalize(back)) {
        back[0] = turn[0][2];
        back[1] = turn[1][2];
        back[2] = turn[2][2];
    }
    const f64 along = dot(up, back);
    for (int i = 0; i < 3; ++i) up[i] -= along * back[i];
    if (!normalize(up)) perpendicular(back, up);
    f64 side[3];
    cross(up, back, side);
    const f64 camera[3][3] = {
        {side[0], up[0], back[0]}, {side[1], up[1], back[1]}, {side[2], up[2], back[2]}};
    matrixToRotation(camera, placedOrientation);
}
