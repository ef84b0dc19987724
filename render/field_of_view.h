// render/field_of_view.h - the view angle the projection uses, made from VRML's field of
// view for the size of the view it is drawn into.
//
// VRML's fieldOfView is the opening across the view's smaller side; the projection's
// view angle is half the horizontal opening. The default reading (World::vrmlFieldOfView)
// keeps the first Viewpoint's fieldOfView in the tables and turns it into the view angle
// for the Viewer's render size, at load and again whenever that size changes.
//
// Reads: World::vrmlFieldOfView, viewpointFieldOfView and camera.viewAngle.
// Writes: camera.viewAngle, and nothing when vrmlFieldOfView is false (--strict keeps the
// number as read).
// Entry points: HalfHorizontalAngle, FitViewAngle, RefitViewAngle.
#pragma once

#include "render/render.h"

// Half the horizontal opening of a W x H view whose smaller side opens `fieldOfView`
// radians: atan(tan(fieldOfView / 2) x W / H) when W >= H, fieldOfView / 2 when W < H.
// A field of view outside (0, pi) counts as VRML's 0.785398; an empty size gives the
// half-angle of a square view.
f32 HalfHorizontalAngle(f32 fieldOfView, i16 width, i16 height);

// The view angle for a W x H view from the first Viewpoint's fieldOfView (the loading
// sequence, once the world is read).
void FitViewAngle(World& world, i16 width, i16 height);

// The view angle for a view that changes from one size to another (a resize, or the
// display scale switched): the opening across the smaller side stays what it was, so a
// zoom the user made survives. From an empty size it is FitViewAngle.
void RefitViewAngle(World& world, i16 fromWidth, i16 fromHeight, i16 toWidth, i16 toHeight);
