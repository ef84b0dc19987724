// render/faces.h - per-frame face data: unit normals, hidden marks, and the drawing
// order of objects and faces (nearest first).
//
// Reads: the World's objects, faces, faceIndices and vertices (in whatever frame the
// vertices stand: view coordinates for the picture, a light's frame for its shadow map).
// Writes: each face's flags and normal; RenderState's objectOrder and faceOrder.
// Entry points: ObjectVertices, ObjectFaces, FaceCornersValid, ComputeFaceNormals,
//               SortObjectsAndFaces.
// Failure: a face with no corners, or with a corner outside faceIndices or naming a
// vertex the world does not have, gets the hidden mark and is never drawn.
#pragma once

#include "render/render.h"

constexpr u16 kFaceHidden = 0xFFFF;

// A run of rows of one table: the first row (0-based) and how many.
struct RowRange {
    u32 first;
    u32 count;
};

// An object's vertices and faces, cut to the rows the world actually has.
RowRange ObjectVertices(const World& world, const ObjectRecord& object);
RowRange ObjectFaces(const World& world, const ObjectRecord& object);

// True when the face has at least one corner and every corner names a vertex.
bool FaceCornersValid(const World& world, const FaceRecord& face);

// Clears each face's hidden mark (or sets it for a face with bad corners) and stores
// its unit normal: the first corner triple whose cross product is longer than 100.0,
// else the triple with the longest cross product, else (a face without extent, or whose
// products are not finite) (1, 1, 1) / sqrt(3).
void ComputeFaceNormals(World& world, i16 object);

// Hidden marks for faces wholly behind the eye, objects by their nearest vertex
// (selection sort), and each object's faces by their nearest corner (Shell sort;
// table order for tag 11 and single faces). False when the sort keys could not be
// had: the orders are then table order, the hidden marks still set.
bool SortObjectsAndFaces(World& world, RenderState& render);
