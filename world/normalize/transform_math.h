// world/normalize/transform_math.h - the transforms around a node, for the values the
// line reader does not transform itself (Viewpoint, lights, sounds, the framing box).
//
// Owns: nothing. Entry points: identityAffine, transformOf, compose, applyPoint,
// applyVector, isIdentity, rotationToMatrix, matrixToRotation, placeViewpoint.
// All in double precision, file units and file axis order (x, y, z).
#pragma once

#include "base/types.h"

struct Node;

// p' = linear * p + offset, rows of the 3 x 3 linear part.
struct Affine {
    f64 linear[3][3];
    f64 offset[3];
};

Affine identityAffine();

// The transform a Transform node applies to its children, in VRML's order:
// T * C * R * SR * S * SR^-1 * C^-1.
Affine transformOf(const Node& transform);

// outer * inner: inner applied first.
Affine compose(const Affine& outer, const Affine& inner);

void applyPoint(const Affine& transform, const f64 in[3], f64 out[3]);
void applyVector(const Affine& transform, const f64 in[3], f64 out[3]);
bool isIdentity(const Affine& transform);

// Axis (any length; a zero axis gives no rotation) and angle in radians.
void rotationToMatrix(const f64 rotation[4], f64 matrix[3][3]);
// A rotation matrix as unit axis and angle in [0, pi].
void matrixToRotation(const f64 matrix[3][3], f64 rotation[4]);

// A camera given by position and orientation, carried through a transform: the view
// direction and up vector are transformed and squared up again, so scaling and shear
// change where it looks, never what kind of view it is.
void placeViewpoint(const Affine& transform, const f64 position[3], const f64 orientation[4],
                    f64 placedPosition[3], f64 placedOrientation[4]);
