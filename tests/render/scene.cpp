#include "tests/render/scene.h"

#include "memory/memory.h"
#include "render/camera.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

namespace render_test {

std::ostream& operator<<(std::ostream& out, const Colour& colour)
{
    return out << "(r " << int(colour.red) << ", g " << int(colour.green) << ", b "
               << int(colour.blue) << ")";
}

bool lit(const Colour& colour)
{
    return colour.red > 0 || colour.green > 0 || colour.blue > 0;
}

Point atScreen(i16 width, i16 height, f32 x, f32 y, f32 depth)
{
    const f32 centreX = static_cast<f32>(width / 2);
    const f32 centreY = static_cast<f32>(height / 2);
    const f32 aspect = static_cast<f32>(height) / static_cast<f32>(width);
    const f32 reach = depth * std::tan(0.3f);
    return {depth, (1.0f - x / centreX) * reach, (1.0f - y / centreY) * reach * aspect};
}

i16 addMaterial(World& world, f32 red, f32 green, f32 blue, f32 transparency)
{
    if (!prepareMaterialRow(world)) return -1;
    const i16 row = world.materialCount;
    MaterialRecord& material = world.materials[row];
    material.diffuseColor[0] = red;
    material.diffuseColor[1] = green;
    material.diffuseColor[2] = blue;
    if (transparency > 0.0f) {
        material.opaque = 0;
        material.transparency = transparency;
    }
    world.materialCount = static_cast<i16>(row + 1);
    return row;
}

i16 beginObject(World& world, i16 material)
{
    const i16 object = newObject(world);
    if (object >= 0) world.objects[object].material = material;
    return object;
}

u32 addVertex(World& world, const Point& point)
{
    const u32 v = world.vertexCount;
    if (world.objectCount == 0 || !growVertexRows(world, v + 2)) return v;
    world.vertexZ[v] = point.first;
    world.vertexX[v] = point.second;
    world.vertexY[v] = point.third;
    world.vertexCount = v + 1;
    world.objects[world.objectCount - 1].vertexCount += 1;
    return v;
}

void addFace(World& world, const u32* corners, u32 count)
{
    if (world.objectCount == 0 ||
        !growTable(world.faces, world.faceCapacity, world.faceCount + 1) ||
        !growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + count))
        return;
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
    if (world.objectCount == 0 ||
        !growTable(world.faces, world.faceCapacity, world.faceCount + 1) ||
        !growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + 1))
        return;
    world.faces[world.faceCount] = FaceRecord{};
    world.faces[world.faceCount].firstIndex = world.faceIndexCount;
    world.faceIndices[world.faceIndexCount] = 0;
    world.faceCount += 1;
    world.faceIndexCount += 1;
    computeObjectBounds(world, static_cast<i16>(world.objectCount - 1));
}

i16 addPolygon(World& world, i16 material, const std::vector<Point>& corners)
{
    const i16 object = beginObject(world, material);
    std::vector<u32> indices;
    for (const Point& corner : corners) indices.push_back(addVertex(world, corner));
    addFace(world, indices.data(), static_cast<u32>(indices.size()));
    endObject(world);
    return object;
}

u8* addTexture(World& world, i16 width, i16 height, std::initializer_list<u8> bytes)
{
    if (!prepareTextureRow(world)) return nullptr;
    world.textureCount = 1;
    TextureRecord& texture = world.textures[0];
    if (texture.width != width || texture.height != height) {
        u8* block = static_cast<u8*>(PluginAlloc(static_cast<u32>(width * height * 3)));
        if (!block) return nullptr;
        PluginFree(world.texturePixels[0]);
        world.texturePixels[0] = block;
        texture.width = width;
        texture.height = height;
    }
    std::copy(bytes.begin(), bytes.end(), world.texturePixels[0]);
    return world.texturePixels[0];
}

void useTexture(MaterialRecord& material, i16 repeatS, i16 repeatT)
{
    material.hasTexture = 1;
    material.texture = 0;
    material.textureMode = 3;
    material.textureRepeatS = repeatS;
    material.textureRepeatT = repeatT;
}

// A smooth-shaded latitude-longitude sphere of rings x 2 rings quads, as triangles.
static i16 addSphere(World& world, i16 material, u32 rings, const Point& centre, f32 radius)
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

void placeCamera(World& world, const Point& eye, const Point& target)
{
    const f32 eyeRow[3] = {eye.first, eye.second, eye.third};
    const f32 targetRow[3] = {target.first, target.second, target.third};
    for (int c = 0; c < 3; ++c) {
        world.camera.eyePoint[c] = eyeRow[c];
        world.camera.targetPoint[c] = targetRow[c];
    }
}

i16 addDirectionalLight(World& world, f32 x, f32 y, f32 z)
{
    const i16 light = newLight(world, 1);
    if (light < 0) return light;
    f32* row = world.directionalLights[world.lights[light].kindIndex];
    row[0] = z * -kWorldScale;
    row[1] = x * -kWorldScale;
    row[2] = y * -kWorldScale;
    return light;
}

i16 addPointLight(World& world, f32 x, f32 y, f32 z, f32 falloff)
{
    const i16 light = newLight(world, 2);
    if (light < 0) return light;
    f32* row = world.pointLights[world.lights[light].kindIndex];
    row[0] = z * kWorldScale;
    row[1] = x * kWorldScale;
    row[2] = y * kWorldScale;
    world.lights[light].falloff = falloff;
    return light;
}

void buildShowcase(World& world, bool textured, u32 solidRings, u32 glassRings)
{
    if (!initWorldTables(world)) return;
    const i16 solid = addMaterial(world, 0.9f, 0.5f, 0.2f);
    const i16 glass = addMaterial(world, 0.2f, 0.6f, 0.9f, 0.4f);
    const i16 wall = addMaterial(world, 0.7f, 0.7f, 0.7f);
    if (wall < 0) return; // a material table that cannot grow has none of them
    for (i16 m : {solid, glass, wall})
        for (f32& c : world.materials[m].specularColor) c = 0.9f;
    if (u8* texels = textured ? addTexture(world, 10, 10) : nullptr) {
        for (u32 t = 0; t < 10 * 10 * 3; ++t) texels[t] = static_cast<u8>(t * 7);
        for (i16 m : {solid, wall}) useTexture(world.materials[m], 3, 2);
    }
    world.reflectionPixels = static_cast<u8*>(PluginAlloc(8 * 8 * 3));
    if (world.reflectionPixels) {
        world.reflectionWidth = world.reflectionHeight = 8;
        for (u32 t = 0; t < 8 * 8 * 3; ++t) world.reflectionPixels[t] = static_cast<u8>(t * 5);
    }
    addSphere(world, solid, solidRings, {20000.0f, 2000.0f, 0.0f}, 4000.0f);
    addSphere(world, glass, glassRings, {14000.0f, -1500.0f, 500.0f}, 2500.0f);
    addPolygon(world, wall,
               {{30000.0f, 12000.0f, -9000.0f},
                {30000.0f, -12000.0f, -9000.0f},
                {26000.0f, -12000.0f, 9000.0f},
                {26000.0f, 12000.0f, 9000.0f}});
    addDirectionalLight(world, 0.3f, -1.0f, 0.5f);
    addDirectionalLight(world, -1.0f, -0.2f, 0.3f);
    addPointLight(world, 1.0f, 2.0f, 1.0f, 0.3f);
    world.backgroundBlue = 80;
    world.camera.rollAngle = 0.1f;
}

Scene::~Scene()
{
    FreeMaterialRamps(world);
    FreeWorldBuffers(render);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
}

bool Scene::openFrame(i16 width, i16 height)
{
    if (!CreateFrameBuffers(frame, width, height)) return false;
    PrepareBackground(world, frame);
    return true;
}

bool Scene::loadWorld()
{
    if (!AllocateWorldBuffers(world, render)) return false;
    BuildVertexFaceLists(world, render);
    GenerateTexCoords(world);
    return BuildMaterialRamps(world);
}

Colour RenderScene::pixel(i32 x, i32 y) const
{
    const u8* p = frame.frameBuffer + 4 * ((frame.renderHeight - 1 - y) * frame.renderWidth + x);
    return {p[2], p[1], p[0]};
}

std::vector<u32> RenderScene::ring(u32 count, f32 x, f32 y, f32 radius, f32 depth)
{
    std::vector<u32> indices;
    for (u32 k = 0; k < count; ++k) {
        const f32 angle = 6.2831853f * static_cast<f32>(k) / static_cast<f32>(count);
        indices.push_back(
            screenVertex(x + radius * std::cos(angle), y + radius * std::sin(angle), depth));
    }
    return indices;
}

i16 RenderScene::polygon(i16 material, const std::vector<ScreenPoint>& corners, f32 depth)
{
    std::vector<Point> points;
    for (const ScreenPoint& corner : corners)
        points.push_back(atScreen(kWidth, kHeight, corner.x, corner.y, depth));
    return addPolygon(world, material, points);
}

} // namespace render_test
