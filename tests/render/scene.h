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
#include <vector>

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
const Colour kBlack{0, 0, 0};
// Whether anything was drawn there (on a black background).
bool lit(const Colour& colour);

// The frame most tests draw into: small enough to name its pixels one by one.
constexpr i16 kWidth = 64;
constexpr i16 kHeight = 48;

// A position on the screen, in pixels from the top-left corner.
struct ScreenPoint {
    f32 x;
    f32 y;
};

// The world point that projects to screen (x, y) at `depth` for a W x H frame and the
// default camera with view angle 0.3.
Point atScreen(i16 width, i16 height, f32 x, f32 y, f32 depth);

// The builders below leave out whatever they cannot get memory for (and answer -1 for
// a row they could not add), so that the memory tests can build worlds while
// allocations fail.

// Appends a material with the given diffuse colour that lets `transparency` of what lies
// behind through; returns its row.
i16 addMaterial(World& world, f32 red, f32 green, f32 blue, f32 transparency = 0.0f);

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

// An object of one face through these points, in order.
i16 addPolygon(World& world, i16 material, const std::vector<Point>& corners);

// Makes texture row 0 width x height texels (blue, green, red each), starting with
// `bytes`, and answers them for the caller to fill further; nullptr when it cannot.
u8* addTexture(World& world, i16 width, i16 height, std::initializer_list<u8> bytes = {});
// Draws `material` with texture row 0, repeated S x T times, its coordinates generated
// for objects that bring none.
void useTexture(MaterialRecord& material, i16 repeatS, i16 repeatT);

// Puts the camera's eye and target at these points.
void placeCamera(World& world, const Point& eye, const Point& target);

// Lights: directions and positions in the file's (x, y, z) order, stored as the reader
// stores them.
i16 addDirectionalLight(World& world, f32 x, f32 y, f32 z);
i16 addPointLight(World& world, f32 x, f32 y, f32 z, f32 falloff);

// Two spheres of the given rings, the second transparent, in front of a wall, lit by
// two directional lights and a point light, with a reflection image; the first sphere
// and the wall textured if asked.
void buildShowcase(World& world, bool textured, u32 solidRings = 14, u32 glassRings = 10);

// A world, the renderer's shared state and one Viewer's frame, freed together in the
// order of the Viewer's and the library's teardown.
struct Scene {
    ~Scene();
    // Frame buffers of W x H with the world's background.
    bool openFrame(i16 width, i16 height);
    // The loading sequence's renderer steps: working buffers, face lists, generated
    // texture coordinates, colour ramps.
    bool loadWorld();

    World world;
    RenderState render;
    FrameState frame;
};

// A scene whose world starts empty, with the steps above as test steps.
class RenderScene : public ::testing::Test, protected Scene {
protected:
    void SetUp() override { ASSERT_TRUE(initWorldTables(world)); }

    void open(i16 width, i16 height) { ASSERT_TRUE(openFrame(width, height)); }
    void load() { ASSERT_TRUE(loadWorld()); }
    // One frame without presentation.
    void draw() { RenderFrame(world, render, frame); }

    Colour pixel(i32 x, i32 y) const;
    const DepthRecord& depthAt(i32 x, i32 y) const
    {
        return frame.depthBuffer[y * frame.renderWidth + x];
    }

    // Worlds placed by their pixels on the kWidth x kHeight frame:
    // a vertex of the current object at screen (x, y) and `depth`,
    u32 screenVertex(f32 x, f32 y, f32 depth)
    {
        return addVertex(world, atScreen(kWidth, kHeight, x, y, depth));
    }
    // `count` vertices evenly round a circle about screen (x, y), in order,
    std::vector<u32> ring(u32 count, f32 x, f32 y, f32 radius, f32 depth);
    // an object of one face through these screen points,
    i16 polygon(i16 material, const std::vector<ScreenPoint>& corners, f32 depth);
    // and an object of one screen-aligned rectangle.
    i16 rect(i16 material, f32 left, f32 top, f32 right, f32 bottom, f32 depth)
    {
        return polygon(material, {{left, top}, {right, top}, {right, bottom}, {left, bottom}},
                       depth);
    }
};

} // namespace render_test
