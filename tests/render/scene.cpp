#include "tests/render/scene.h"

#include "render/camera.h"

#include <cmath>
#include <ostream>

namespace render_test {

std::ostream& operator<<(std::ostream& out, const Colour& colour)
{
    return out << "(r " << int(colour.red) << ", g " << int(colour.green) << ", b "
               << int(colour.blue) << ")";
}

Point atScreen(i16 width, i16 height, f32 x, f32 y, f32 depth)
{
    const f32 centreX = static_cast<f32>(width / 2);
    const f32 centreY = static_cast<f32>(height / 2);
    const f32 aspect = static_cast<f32>(height) / static_cast<f32>(width);
    const f32 reach = depth * std::tan(0.3f);
    return {depth, (1.0f - x / centreX) * reach, (1.0f - y / centreY) * reach * aspect};
}

i16 addMaterial(World& world, f32 red, f32 green, f32 blue)
{
    EXPECT_TRUE(prepareMaterialRow(world));
    const i16 row = world.materialCount;
    MaterialRecord& material = world.materials[row];
    material.diffuseColor[0] = red;
    material.diffuseColor[1] = green;
    material.diffuseColor[2] = blue;
    world.materialCount = static_cast<i16>(row + 1);
    return row;
}

i16 beginObject(World& world, i16 material)
{
    const i16 object = newObject(world);
    EXPECT_GE(object, 0);
    world.objects[object].material = material;
    return object;
}

u32 addVertex(World& world, const Point& point)
{
    const u32 v = world.vertexCount;
    EXPECT_TRUE(growVertexRows(world, v + 2));
    world.vertexZ[v] = point.first;
    world.vertexX[v] = point.second;
    world.vertexY[v] = point.third;
    world.vertexCount = v + 1;
    world.objects[world.objectCount - 1].vertexCount += 1;
    return v;
}

void addFace(World& world, const u32* corners, u32 count)
{
    EXPECT_TRUE(growTable(world.faces, world.faceCapacity, world.faceCount + 1));
    EXPECT_TRUE(
        growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + count));
    FaceRecord& face = world.faces[world.faceCount];
    face = FaceRecord{};
    face.vertexCount = static_cast<i16>(count);
    face.firstIndex = world.faceIndexCount;
    for (u32 k = 0; k < count; ++k) world.faceIndices[world.faceIndexCount + k] = corners[k];
    world.faceIndexCount += count;
    world.faceCount += 1;
    ObjectRecord& object = world.objects[world.objectCount - 1];
    object.faceCount += 1;
    object.cornerCount += count;
}

void addFace(World& world, std::initializer_list<u32> corners)
{
    addFace(world, corners.begin(), static_cast<u32>(corners.size()));
}

void endObject(World& world)
{
    EXPECT_TRUE(growTable(world.faces, world.faceCapacity, world.faceCount + 1));
    EXPECT_TRUE(growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + 1));
    world.faces[world.faceCount] = FaceRecord{};
    world.faces[world.faceCount].firstIndex = world.faceIndexCount;
    world.faceIndices[world.faceIndexCount] = 0;
    world.faceCount += 1;
    world.faceIndexCount += 1;
    computeObjectBounds(world, static_cast<i16>(world.objectCount - 1));
}

i16 addQuad(World& world, i16 material, const Point& a, const Point& b, const Point& c,
            const Point& d)
{
    const i16 object = beginObject(world, material);
    const u32 first = addVertex(world, a);
    addVertex(world, b);
    addVertex(world, c);
    addVertex(world, d);
    addFace(world, {first, first + 1, first + 2, first + 3});
    endObject(world);
    return object;
}

i16 addScreenRect(World& world, i16 material, i16 width, i16 height, f32 left, f32 top, f32 right,
                  f32 bottom, f32 depth)
{
    return addQuad(world, material, atScreen(width, height, left, top, depth),
                   atScreen(width, height, right, top, depth),
                   atScreen(width, height, right, bottom, depth),
                   atScreen(width, height, left, bottom, depth));
}

i16 addSphere(World& world, i16 material, u32 rings, const Point& centre, f32 radius)
{
    const i16 object = beginObject(world, material);
    const u32 segments = 2 * rings;
    const u32 first = world.vertexCount;
    for (u32 r = 0; r <= rings; ++r) {
        const f32 polar = 3.14159265f * static_cast<f32>(r) / static_cast<f32>(rings);
        for (u32 s = 0; s < segments; ++s) {
            const f32 around = 6.2831853f * static_cast<f32>(s) / static_cast<f32>(segments);
            addVertex(world, {centre.first + radius * std::sin(polar) * std::cos(around),
                              centre.second + radius * std::sin(polar) * std::sin(around),
                              centre.third + radius * std::cos(polar)});
        }
    }
    for (u32 r = 0; r < rings; ++r) {
        for (u32 s = 0; s < segments; ++s) {
            const u32 a = first + r * segments + s;
            const u32 b = first + r * segments + (s + 1) % segments;
            addFace(world, {a, a + segments, b + segments});
            addFace(world, {a, b + segments, b});
        }
    }
    endObject(world);
    return object;
}

i16 addDirectionalLight(World& world, f32 x, f32 y, f32 z)
{
    const i16 light = newLight(world, 1);
    EXPECT_GE(light, 0);
    f32* row = world.directionalLights[world.lights[light].kindIndex];
    row[0] = z * -kWorldScale;
    row[1] = x * -kWorldScale;
    row[2] = y * -kWorldScale;
    return light;
}

i16 addPointLight(World& world, f32 x, f32 y, f32 z, f32 falloff)
{
    const i16 light = newLight(world, 2);
    EXPECT_GE(light, 0);
    f32* row = world.pointLights[world.lights[light].kindIndex];
    row[0] = z * kWorldScale;
    row[1] = x * kWorldScale;
    row[2] = y * kWorldScale;
    world.lights[light].falloff = falloff;
    return light;
}

void RenderScene::SetUp()
{
    ASSERT_TRUE(initWorldTables(world));
}

void RenderScene::TearDown()
{
    freeMaterialRamps(world);
    freeWorldBuffers(render);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
}

void RenderScene::open(i16 width, i16 height)
{
    ASSERT_TRUE(CreateFrameBuffers(frame, width, height));
    PrepareBackground(world, frame);
}

void RenderScene::load()
{
    ASSERT_TRUE(allocateWorldBuffers(world, render));
    BuildVertexFaceLists(world, render);
    GenerateTexCoords(world);
    ASSERT_TRUE(buildMaterialRamps(world));
}

void RenderScene::draw()
{
    RenderFrame(world, render, frame, nullptr, 1.0f);
}

Colour RenderScene::pixel(i32 x, i32 y) const
{
    const u8* p = frame.frameBuffer + 4 * ((frame.renderHeight - 1 - y) * frame.renderWidth + x);
    return {p[2], p[1], p[0]};
}

const DepthRecord& RenderScene::depthAt(i32 x, i32 y) const
{
    return frame.depthBuffer[y * frame.renderWidth + x];
}

} // namespace render_test
