// tests/render/scene.h - small worlds built straight into the world tables, and a
// frame to render them into, for the renderer's tests.
//
// The default camera stands at the origin and looks along the first internal axis
// with roll 0, so view coordinates equal world coordinates: depth = first, left =
// second, up = third. atScreen() turns a wanted screen position at a depth into the
// world point that projects there, so a test can place a face by its pixels.
#pragma once

#include "render/render.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace render_test {

struct Point {
    f32 first;  // depth with the default camera
    f32 second; // left
    f32 third;  // up
};

struct Colour {
    u8 red;
    u8 green;
    u8 blue;
    bool operator==(const Colour&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Colour& colour);

// The world point that projects to screen (x, y) at `depth` for a W x H frame and the
// default camera with view angle 0.3.
Point atScreen(i16 width, i16 height, f32 x, f32 y, f32 depth);

// Appends a material with the given diffuse colour; returns its row.
i16 addMaterial(World& world, f32 red, f32 green, f32 blue);

// Starts an object drawn with `material`; faces added next belong to it.
i16 beginObject(World& world, i16 material);
// Appends a vertex to the current object; returns its global index.
u32 addVertex(World& world, const Point& point);
// Appends a face of the given global vertex indices to the current object.
void addFace(World& world, std::initializer_list<u32> corners);
void addFace(World& world, const u32* corners, u32 count);
// Ends the object as the reader does: an empty face row and one spare corner entry,
// then its bounds.
void endObject(World& world);

// An object of one quad (corners in the order given) at the points given.
i16 addQuad(World& world, i16 material, const Point& a, const Point& b, const Point& c,
            const Point& d);
// A screen-aligned rectangle from (left, top) to (right, bottom) pixels at `depth`.
i16 addScreenRect(World& world, i16 material, i16 width, i16 height, f32 left, f32 top, f32 right,
                  f32 bottom, f32 depth);

// A smooth-shaded latitude-longitude sphere of rings x 2 rings quads, as triangles.
i16 addSphere(World& world, i16 material, u32 rings, const Point& centre, f32 radius);

// Lights: directions and positions in the file's (x, y, z) order, stored as the reader
// stores them.
i16 addDirectionalLight(World& world, f32 x, f32 y, f32 z);
i16 addPointLight(World& world, f32 x, f32 y, f32 z, f32 falloff);

// A world, the renderer's shared state and one Viewer's frame.
class RenderScene : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Frame buffers of W x H with the world's background.
    void open(i16 width, i16 height);
    // The loading sequence's renderer steps: working buffers, face lists, generated
    // texture coordinates, colour ramps.
    void load();
    // One frame without presentation.
    void draw();

    Colour pixel(i32 x, i32 y) const;
    const DepthRecord& depthAt(i32 x, i32 y) const;

    World world;
    RenderState render;
    FrameState frame;
};

} // namespace render_test
