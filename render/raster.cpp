// The scan-line rasterizer: one object at a time, its faces nearest first. The single
// view and the anaglyph share every step below; an eye is a projected table, a depth
// buffer and the colour channels it may write.
#include "render/raster.h"

#include "render/buffers.h"
#include "render/faces.h"
#include "render/lighting.h"
#include "render/scan.h"
#include "render/shadow.h"
#include "render/texture.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace {

// Where each value sits in a slot or crossing. Screen x and depth come first, then the
// colour: untextured red, green, blue, or a texture's diffuse factors.
constexpr u32 kX = 0;
constexpr u32 kDepth = 1;
constexpr u32 kColour = 2;
constexpr u32 kUntexturedValues = 5;
constexpr u32 kTexturedValues = 10; // + highlight red, green, blue, then s and t

// Channel bits of an eye; bytes in a pixel are blue, green, red.
constexpr u8 kBlueChannel = 1;
constexpr u8 kGreenChannel = 2;
constexpr u8 kRedChannel = 4;
constexpr u8 kEveryChannel = kBlueChannel | kGreenChannel | kRedChannel;

// In the anaglyph a corner's normal takes in only neighbours turned less than about
// 66 degrees from its face, so creases stay sharp for both eyes.
constexpr f32 kStereoSmoothing = 0.4f;

constexpr u8 kGreyTexel[3] = {127, 127, 127}; // a texture that cannot be read

struct ValueLayout {
    u32 stride = kUntexturedValues;
    u32 highlight = 0;  // textured: three highlight values
    u32 texture = 0;    // textured: s and t
    u32 reflection = 0; // reflection on: a and b
    u32 shadow = 0;     // shadows on: u, v and depth per shadow light
    u32 shadowLights = 0;
};

// Everything about the object being drawn that stays the same for all its faces.
struct ObjectPass {
    const World* world;
    RenderState* render;
    FaceScratch scratch;
    i32 width;
    i32 height;
    i16 object;
    i16 material;
    bool textured;
    bool reflect;
    bool shadows;
    bool smooth;
    bool opaque;
    bool stereo;
    bool preparedLights; // the fast path: this frame's prepared lights
    f32 transparency;
    f32 shadowFactor;
    f32 repeatS;
    f32 repeatT;
    TextureView texture;
    TextureView reflection;
    const ShadowDescriptor* maps;
    const ShadowTexel* texels;
    ValueLayout layout;
};

// One eye: where its corners come from, where it draws, which channels it writes.
struct EyePass {
    const ProjectedVertex* projected;
    u8* frame;
    DepthRecord* depth;
    u8 channels;
    DepthTiles* tiles; // the depth buffer's blocks (the fast path)
    u8 side;           // 0 the single view or the left eye, 1 the right eye
};

struct ScreenBox {
    i32 minX;
    i32 minY;
    i32 maxX;
    i32 maxY;
    f32 nearest; // the smallest corner depth
};

// --- The object ----------------------------------------------------------------------

// The material row an object draws with, or -1 when it has none.
i16 objectMaterial(const World& world, const ObjectRecord& object)
{
    if (object.material < 0 || !world.materials) return -1;
    i16 m = object.material;
    if (m >= world.materialCount) m = static_cast<i16>(world.materialCount - 1);
    if (world.materialCount <= 0) m = 0;
    if (static_cast<u32>(m) >= world.materialCapacity) return -1;
    return m;
}

TextureView materialTexture(const World& world, const MaterialRecord& material)
{
    const i16 t = material.texture;
    if (t >= 0 && t < world.textureCount && world.texturePixels && world.texturePixels[t] &&
        world.textures[t].width > 0 && world.textures[t].height > 0)
        return {world.texturePixels[t], world.textures[t].width, world.textures[t].height};
    return {kGreyTexel, 1, 1};
}

ValueLayout layoutFor(bool textured, bool reflect, u32 shadowLights)
{
    ValueLayout layout;
    if (textured) {
        layout.highlight = kUntexturedValues;
        layout.texture = kUntexturedValues + 3;
        layout.stride = kTexturedValues;
    }
    if (reflect) {
        layout.reflection = layout.stride;
        layout.stride += 2;
    }
    if (shadowLights > 0) {
        layout.shadow = layout.stride;
        layout.shadowLights = shadowLights;
        layout.stride += 3 * shadowLights;
    }
    return layout;
}

[[maybe_unused]] bool buffersReady(const World& world, const RenderState& render, bool stereo)
{
    if (!render.faceOrder || render.faceOrderCapacity < world.faceCount) return false;
    if (!render.projected || render.projectedCapacity < world.vertexCount) return false;
    if (render.corners.capacity == 0) return false; // the set is had whole or not at all
    if (stereo && (!render.projectedRight || render.projectedRightCapacity < world.vertexCount ||
                   !render.rightDepthBuffer))
        return false;
    return true;
}

bool setUpPass(const World& world, RenderState& render, FrameState& frame, i16 object, bool stereo,
               ObjectPass& pass)
{
    // A frame rasterizes only after PrepareFrame sized every buffer for this world and
    // sorted its objects.
    assert(object >= 0 && object < world.objectCount);
    assert(frame.renderWidth > 0 && frame.renderHeight > 0);
    assert(frame.frameBuffer && frame.depthBuffer && buffersReady(world, render, stereo));
    const ObjectRecord& record = world.objects[object];
    if (ObjectVertices(world, record).count == 0) return false;
    const i16 m = objectMaterial(world, record);
    if (m < 0) return false;
    const MaterialRecord& material = world.materials[m];

    pass.world = &world;
    pass.render = &render;
    pass.scratch = render.corners;
    pass.width = frame.renderWidth;
    pass.height = frame.renderHeight;
    pass.object = object;
    pass.material = m;
    pass.textured = material.hasTexture == 1;
    pass.texture = pass.textured ? materialTexture(world, material) : TextureView{};
    pass.repeatS = static_cast<f32>(material.textureRepeatS);
    pass.repeatT = static_cast<f32>(material.textureRepeatT);
    pass.reflect = render.reflectionFlag == 1 && world.reflectionPixels &&
                   world.reflectionWidth > 0 && world.reflectionHeight > 0;
    pass.reflection = pass.reflect ? TextureView{world.reflectionPixels, world.reflectionWidth,
                                                 world.reflectionHeight}
                                   : TextureView{};
    const u32 lights = render.shadowLightCount;
    pass.shadows = frame.shadowFlag == 1 && lights > 0 && lights <= kMaxShadowLights &&
                   render.shadowMaps && render.shadowDescriptors && render.lightCoordinates &&
                   render.lightCoordinateCapacity >= u64{world.faceIndexCount} * 3u * lights;
    pass.maps = render.shadowDescriptors;
    pass.texels = static_cast<const ShadowTexel*>(render.shadowMaps);
    pass.shadowFactor = material.lightingScale;
    pass.smooth = record.normalPerVertex == 1;
    pass.opaque = material.opaque != 0;
    pass.transparency = material.transparency;
    pass.stereo = stereo;
    pass.preparedLights = !render.referencePath && render.drawOrderReady;
    pass.layout = layoutFor(pass.textured, pass.reflect, pass.shadows ? lights : 0);
    return true;
}

// --- Corners -------------------------------------------------------------------------

// Copies the face's projected corners into the polygon buffer and takes their screen
// box, pinned to one beyond each side of the image so "wholly outside" stays exact.
// False when a corner's position is undefined.
bool gatherCorners(const ObjectPass& pass, const EyePass& eye, const u32* vertices, u32 slots,
                   ScreenBox& box)
{
    ProjectedVertex* polygon = pass.scratch.polygon;
    box = {pass.width, pass.height, -1, -1, eye.projected[vertices[0]].depth};
    for (u32 s = 0; s < slots; ++s) {
        const ProjectedVertex& corner = eye.projected[vertices[s]];
        if (!CornerDefined(corner)) return false;
        polygon[s] = corner;
        const i32 x = clampTrunc(corner.screenX, -1, pass.width);
        const i32 y = clampTrunc(corner.screenY, -1, pass.height);
        box.minX = std::min(box.minX, x);
        box.maxX = std::max(box.maxX, x);
        box.minY = std::min(box.minY, y);
        box.maxY = std::max(box.maxY, y);
        box.nearest = std::min(box.nearest, corner.depth);
    }
    return true;
}

// Depths along edges and spans stay between the corner depths but for rounding, which
// a span's additions can carry by some 640 float steps: far less than this share.
constexpr f32 kHiddenMargin = 1.0e-3f;

// True when no pixel of the face can pass the depth test: every pixel of its screen box
// already holds an opaque surface clearly nearer than the face's nearest corner. Such a
// face needs neither lighting nor scanning; the pixels stay exactly as they are.
bool hiddenBehindDrawn(const ObjectPass& pass, const EyePass& eye, const ScreenBox& box)
{
    if (pass.render->referencePath) return false;
    const f32 limit = box.nearest - kHiddenMargin * std::fabs(box.nearest);
    const i32 left = std::max(box.minX, 0), right = std::min(box.maxX, pass.width - 1);
    const i32 top = std::max(box.minY, 0), bottom = std::min(box.maxY, pass.height - 1);
    for (i32 y = top; y <= bottom; ++y) {
        const DepthRecord* row = eye.depth + static_cast<i64>(y) * pass.width;
        for (i32 x = left; x <= right; ++x)
            if (row[x].state != kDepthOpaque || !(row[x].depth < limit)) return false;
    }
    return true;
}

// --- Blocks of drawn depth (the fast path) ----------------------------------------------

// Whether every pixel of a block holds an opaque surface of a defined depth; the pixels
// looked at go on from those already known, up to the first that does not.
bool tileCovered(const ObjectPass& pass, const EyePass& eye, i32 column, i32 row)
{
    DepthTiles& tiles = *eye.tiles;
    const i32 tile = row * tiles.columns + column;
    const i32 left = column << kDepthTileShift;
    const i32 top = row << kDepthTileShift;
    const i32 across = std::min(kDepthTileSide, pass.width - left);
    const i32 down = std::min(kDepthTileSide, pass.height - top);
    const i32 known = tiles.known[tile];
    if (known == across * down) return true;
    // No depth below is NaN, so the largest of them starts from below them all.
    f32 farthest = known == 0 ? -std::numeric_limits<f32>::infinity() : tiles.farthest[tile];
    i32 y = known / across, x = known % across;
    for (; y < down; ++y, x = 0) {
        const DepthRecord* stored = eye.depth + static_cast<i64>(top + y) * pass.width + left;
        for (; x < across; ++x) {
            if (stored[x].state != kDepthOpaque || stored[x].depth != stored[x].depth) {
                tiles.known[tile] = static_cast<u8>(y * across + x);
                tiles.farthest[tile] = farthest;
                return false;
            }
            farthest = stored[x].depth > farthest ? stored[x].depth : farthest;
        }
    }
    tiles.known[tile] = static_cast<u8>(across * down);
    tiles.farthest[tile] = farthest;
    return true;
}

// True when every pixel of the box (inside the image) holds an opaque surface nearer
// than `limit`: covered blocks answer from their farthest depth, the rest pixel by pixel.
bool boxHidden(const ObjectPass& pass, const EyePass& eye, i32 left, i32 top, i32 right, i32 bottom,
               f32 limit)
{
    if (left > right) return true; // no pixel at all
    const DepthTiles& tiles = *eye.tiles;
    for (i32 row = top >> kDepthTileShift; row <= bottom >> kDepthTileShift; ++row) {
        for (i32 column = left >> kDepthTileShift; column <= right >> kDepthTileShift; ++column) {
            if (tileCovered(pass, eye, column, row) &&
                tiles.farthest[row * tiles.columns + column] < limit)
                continue;
            const i32 x0 = std::max(left, column << kDepthTileShift);
            const i32 x1 = std::min(right, (column << kDepthTileShift) + kDepthTileSide - 1);
            const i32 y0 = std::max(top, row << kDepthTileShift);
            const i32 y1 = std::min(bottom, (row << kDepthTileShift) + kDepthTileSide - 1);
            for (i32 y = y0; y <= y1; ++y) {
                const DepthRecord* stored = eye.depth + static_cast<i64>(y) * pass.width;
                for (i32 x = x0; x <= x1; ++x)
                    if (stored[x].state != kDepthOpaque || !(stored[x].depth < limit)) return false;
            }
        }
    }
    return true;
}

// After a transparent face is drawn into the box: its blended pixels are no longer
// opaque, so nothing is known of those blocks any more. (Opaque faces change nothing
// that is known.)
void touchTiles(const ObjectPass& pass, const EyePass& eye, i32 left, i32 top, i32 right,
                i32 bottom)
{
    if (pass.opaque) return;
    DepthTiles& tiles = *eye.tiles;
    for (i32 row = top >> kDepthTileShift; row <= bottom >> kDepthTileShift; ++row) {
        u8* known = tiles.known + row * tiles.columns;
        for (i32 column = left >> kDepthTileShift; column <= right >> kDepthTileShift; ++column)
            known[column] = 0;
    }
}

bool outsideImage(const ObjectPass& pass, const ScreenBox& box)
{
    return box.maxX < 0 || box.maxY < 0 || box.minX > pass.width - 1 || box.minY > pass.height - 1;
}

// The face's normal plus those of the other faces at the vertex, made unit length.
void cornerNormal(const ObjectPass& pass, u32 f, const f32 own[3], u32 vertex, f32 out[3])
{
    const World& world = *pass.world;
    const RenderState& render = *pass.render;
    f32 sum[3] = {own[0], own[1], own[2]};
    if (vertex < render.vertexFaceHeadCapacity && render.vertexFaceLists) {
        const u64 start = render.vertexFaceStarts[vertex];
        const u64 end =
            std::min<u64>(start + render.vertexFaceCounts[vertex], render.vertexFaceListCapacity);
        for (u64 e = start; e < end; ++e) {
            const u32 g = render.vertexFaceLists[e];
            if (g == f || g >= world.faceCount) continue;
            const f32* other = world.faces[g].normal;
            if (pass.stereo &&
                other[0] * own[0] + other[1] * own[1] + other[2] * own[2] < kStereoSmoothing)
                continue;
            sum[0] += other[0];
            sum[1] += other[1];
            sum[2] += other[2];
        }
    }
    const f32 length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    if (length != 0.0f)
        for (f32& c : sum) c /= length;
    out[0] = sum[0];
    out[1] = sum[1];
    out[2] = sum[2];
}

// Colour (and reflection coordinates) of every corner, in slot order, for face f of
// normal `own`.
void lightCorners(const ObjectPass& pass, u32 f, const f32 own[3], const u32* vertices, u32 slots,
                  f32 facing)
{
    const World& world = *pass.world;
    const FaceScratch& scratch = pass.scratch;
    CornerSurface surface;
    surface.facing = facing;
    for (u32 s = 0; s < slots; ++s) {
        const u32 v = vertices[s];
        const f32 position[3] = {world.vertexZ[v], world.vertexX[v], world.vertexY[v]};
        if (pass.smooth) {
            cornerNormal(pass, f, own, v, surface.normal);
        } else {
            for (int c = 0; c < 3; ++c) surface.normal[c] = own[c];
        }
        if (pass.preparedLights) {
            ShadePreparedCorner(world, *pass.render, pass.material, surface, position,
                                scratch.colours[s]);
        } else {
            ShadeCorner(world, pass.material, surface, position, scratch.colours[s]);
        }
        if (pass.reflect)
            ReflectionCoords(*pass.render, position, surface.normal, scratch.reflections[s]);
    }
}

// Lays out every value a slot carries, in the order of the object's layout.
void fillSlotValues(const ObjectPass& pass, const FaceRecord& face, const u32* vertices, u32 slots)
{
    const World& world = *pass.world;
    const RenderState& render = *pass.render;
    const FaceScratch& scratch = pass.scratch;
    const ValueLayout& layout = pass.layout;
    for (u32 s = 0; s < slots; ++s) {
        f32* out = scratch.slotValues + s * layout.stride;
        const f32* colour = scratch.colours[s];
        out[kX] = scratch.polygon[s].screenX;
        out[kDepth] = scratch.polygon[s].depth;
        if (pass.textured) {
            for (u32 c = 0; c < 3; ++c) {
                out[kColour + c] = colour[3 + c];
                out[layout.highlight + c] = colour[6 + c];
            }
            out[layout.texture] =
                world.vertexTexCoords ? world.vertexTexCoords[vertices[s]][0] : 0.0f;
            out[layout.texture + 1] =
                world.vertexTexCoords ? world.vertexTexCoords[vertices[s]][1] : 0.0f;
        } else {
            for (u32 c = 0; c < 3; ++c) out[kColour + c] = colour[c];
        }
        if (pass.reflect) {
            out[layout.reflection] = scratch.reflections[s][0];
            out[layout.reflection + 1] = scratch.reflections[s][1];
        }
        if (pass.shadows) {
            const u32 corner = face.firstIndex + s;
            const f32* light = render.lightCoordinates + u64{corner} * layout.shadowLights * 3;
            for (u32 v = 0; v < 3 * layout.shadowLights; ++v) out[layout.shadow + v] = light[v];
        }
    }
}

// --- Pixels --------------------------------------------------------------------------

// Empty, or the stored surface strictly farther: draw. Otherwise only a transparent
// face over a blended pixel is drawn, so it mixes in.
inline bool depthAllows(const DepthRecord& stored, f32 depth, bool opaque)
{
    if (stored.state == kDepthEmpty) return true;
    if (stored.depth > depth) return true;
    return stored.state == kDepthBlended && !opaque;
}

// What a span's pixels read and write: the object's options, the eye's channels and
// where each value sits. RuntimeShape reads them from the pass; FixedShape knows them
// at compile time, so the same steps below fold into a loop of their own per shape.
struct RuntimeShape {
    bool textured;
    bool reflect;
    bool shadows;
    bool opaque;
    u8 channels;
    u32 highlight;
    u32 texture;
    u32 reflection;
    u32 shadow;
    u32 lights = 0; // the pass's own count of shadow lights
};

// With Lights above 0 the shadow lights are counted at compile time too (one sun is the
// usual world), and their light coordinates join the fixed values.
template <u8 Channels, bool Textured, bool Reflect, bool Shadows, bool Opaque, u32 Lights = 0>
struct FixedShape {
    static constexpr bool textured = Textured;
    static constexpr bool reflect = Reflect;
    static constexpr bool shadows = Shadows;
    static constexpr bool opaque = Opaque;
    static constexpr u8 channels = Channels;
    // As layoutFor lays them out.
    static constexpr u32 highlight = kUntexturedValues;
    static constexpr u32 texture = kUntexturedValues + 3;
    static constexpr u32 reflection = Textured ? kTexturedValues : kUntexturedValues;
    static constexpr u32 shadow = reflection + (Reflect ? 2 : 0);
    static constexpr u32 lights = Lights;
    // Values at fixed places: all of them, or those before a run-time count of light
    // coordinates.
    static constexpr u32 stride = shadow + 3 * Lights;
    static constexpr bool lightsOpen = Shadows && Lights == 0;
};

RuntimeShape runtimeShape(const ObjectPass& pass, const EyePass& eye)
{
    const ValueLayout& layout = pass.layout;
    return {pass.textured,    pass.reflect,   pass.shadows,      pass.opaque,  eye.channels,
            layout.highlight, layout.texture, layout.reflection, layout.shadow};
}

// texel x diffuse x (1 - highlight / 255) + highlight. Highlights summed over several
// lights may pass 255, which would turn the texel dark and then negative, so the sum
// is limited first.
inline void texturedColour(const ObjectPass& pass, const f32* value, u32 highlights, u32 coords,
                           f32 colour[3])
{
    const u8* texel = textureTexel(pass.texture, value[coords], value[coords + 1]);
    for (u32 c = 0; c < 3; ++c) {
        const f32 highlight = std::min(value[highlights + c], 255.0f);
        colour[c] =
            static_cast<f32>(texel[2 - c]) * value[kColour + c] * (1.0f - highlight / 255.0f) +
            highlight;
    }
}

// Each light whose map hides the pixel behind another object darkens it once more.
inline void applyShadows(const ObjectPass& pass, const f32* light, u32 lights, f32 colour[3])
{
    const u32 count = lights > 0 ? lights : pass.layout.shadowLights;
    for (u32 j = 0; j < count; ++j, light += 3) {
        const ShadowDescriptor& map = pass.maps[j];
        if (!map.active) continue;
        if (!ShadowedBy(map, pass.texels, pass.object, light[0], light[1], light[2])) continue;
        for (u32 c = 0; c < 3; ++c) colour[c] *= pass.shadowFactor;
    }
}

// Channel c of colour (0 red, 1 green, 2 blue) lives in byte 2 - c of a pixel.
inline bool writes(u8 channels, u32 c)
{
    return (channels & (kRedChannel >> c)) != 0;
}

inline f32 withReflection(f32 channel, const u8* mirror, u32 c)
{
    return mirror ? channel + kReflectionShare * static_cast<f32>(mirror[2 - c]) : channel;
}

inline void writeOpaque(const ObjectPass& pass, u8 channels, u8* pixel, DepthRecord& stored,
                        const f32 colour[3], const u8* mirror, f32 depth)
{
    for (u32 c = 0; c < 3; ++c)
        if (writes(channels, c)) pixel[2 - c] = toByte(withReflection(colour[c], mirror, c));
    // An opaque surface ends any blending here: a transparent face later found behind
    // it must not show through.
    stored = DepthRecord{depth, pass.object, kDepthOpaque};
}

// The new colour was already weighted by (1 - transparency) when the corner was lit;
// the old pixel adds the rest.
inline void writeBlended(const ObjectPass& pass, u8 channels, u8* pixel, DepthRecord& stored,
                         const f32 colour[3], const u8* mirror, f32 depth)
{
    for (u32 c = 0; c < 3; ++c) {
        if (!writes(channels, c)) continue;
        const f32 mixed = colour[c] + static_cast<f32>(pixel[2 - c]) * pass.transparency;
        pixel[2 - c] = toByte(withReflection(mixed, mirror, c));
    }
    if (stored.state == kDepthBlended) {
        // Several transparent layers: the record follows the farthest of them.
        if (stored.depth < depth) {
            stored.depth = depth;
            stored.object = pass.object;
        }
    } else {
        stored = DepthRecord{depth, pass.object, kDepthBlended};
    }
}

template <class Shape>
inline void drawPixel(const ObjectPass& pass, const Shape& shape, u8* pixel, DepthRecord& stored,
                      const f32* value)
{
    const f32 depth = value[kDepth];
    if (!depthAllows(stored, depth, shape.opaque)) return;
    f32 colour[3];
    if (shape.textured) {
        texturedColour(pass, value, shape.highlight, shape.texture, colour);
    } else {
        colour[0] = value[kColour];
        colour[1] = value[kColour + 1];
        colour[2] = value[kColour + 2];
    }
    if (shape.shadows) applyShadows(pass, value + shape.shadow, shape.lights, colour);
    const u8* mirror = shape.reflect ? reflectionTexel(pass.reflection, value[shape.reflection],
                                                       value[shape.reflection + 1])
                                     : nullptr;
    if (shape.opaque) {
        writeOpaque(pass, shape.channels, pixel, stored, colour, mirror, depth);
    } else {
        writeBlended(pass, shape.channels, pixel, stored, colour, mirror, depth);
    }
}

// --- Spans ---------------------------------------------------------------------------

struct Span {
    i32 y;
    i32 firstColumn;  // truncate(left x)
    i32 endColumn;    // truncate(right x): not drawn
    const f32* start; // values at the left end
    const f32* step;  // per-pixel increments
};

// The general loop: every value of the layout advances by its increment per pixel.
// It is the reference the specialised loop below must match pixel for pixel.
void fillSpanReference(const ObjectPass& pass, const EyePass& eye, const Span& span)
{
    const RuntimeShape shape = runtimeShape(pass, eye);
    const u32 stride = pass.layout.stride;
    f32 value[kMaxScanValues];
    for (u32 v = 0; v < stride; ++v) value[v] = span.start[v];
    const i32 width = pass.width;
    u8* pixel =
        eye.frame + 4 * (static_cast<i64>(pass.height - 1 - span.y) * width + span.firstColumn);
    DepthRecord* stored = eye.depth + static_cast<i64>(span.y) * width + span.firstColumn;
    for (i32 x = span.firstColumn; x < span.endColumn; ++x, pixel += 4, ++stored) {
        drawPixel(pass, shape, pixel, *stored, value);
        for (u32 v = 0; v < stride; ++v) value[v] += span.step[v];
    }
}

// The same pixels with the shape known at compile time: the values a pixel reads sit at
// fixed places and advance by one addition each (screen x, which no pixel reads, is not
// advanced), and every test of an option folds away.
template <class Shape>
void fillSpanFast(const ObjectPass& pass, const EyePass& eye, const Span& span)
{
    constexpr Shape shape{};
    constexpr u32 kFixed = Shape::stride;
    const u32 stride = Shape::lightsOpen ? pass.layout.stride : kFixed;
    f32 value[kMaxScanValues];
    for (u32 v = 0; v < kFixed; ++v) value[v] = span.start[v];
    for (u32 v = kFixed; v < stride; ++v) value[v] = span.start[v];
    const i32 width = pass.width;
    u8* pixel =
        eye.frame + 4 * (static_cast<i64>(pass.height - 1 - span.y) * width + span.firstColumn);
    DepthRecord* stored = eye.depth + static_cast<i64>(span.y) * width + span.firstColumn;
    for (i32 x = span.firstColumn; x < span.endColumn; ++x, pixel += 4, ++stored) {
        drawPixel(pass, shape, pixel, *stored, value);
        for (u32 v = 1; v < kFixed; ++v) value[v] += span.step[v];
        if constexpr (Shape::lightsOpen)
            for (u32 v = kFixed; v < stride; ++v) value[v] += span.step[v];
    }
}

// Picks the compile-time shape from the object's options one flag at a time.
template <u8 Channels, bool... Known>
void fillSpanShaped(const ObjectPass& pass, const EyePass& eye, const Span& span)
{
    constexpr std::size_t known = sizeof...(Known);
    if constexpr (known == 4) {
        fillSpanFast<FixedShape<Channels, Known...>>(pass, eye, span);
    } else {
        const bool flags[4] = {pass.textured, pass.reflect, pass.shadows, pass.opaque};
        if (flags[known]) {
            fillSpanShaped<Channels, Known..., true>(pass, eye, span);
        } else {
            fillSpanShaped<Channels, Known..., false>(pass, eye, span);
        }
    }
}

void fillSpan(const ObjectPass& pass, const EyePass& eye, const Span& span)
{
    if (pass.render->referencePath) {
        fillSpanReference(pass, eye, span);
    } else if (eye.channels == kEveryChannel) {
        fillSpanShaped<kEveryChannel>(pass, eye, span);
    } else if (eye.channels == kRedChannel) {
        fillSpanShaped<kRedChannel>(pass, eye, span);
    } else {
        fillSpanShaped<kGreenChannel | kBlueChannel>(pass, eye, span);
    }
}

// Values at the point `fraction` of the way from one crossing to the other.
inline void interpolate(const f32* from, const f32* to, f32 fraction, u32 stride, f32* out)
{
    for (u32 v = 0; v < stride; ++v) out[v] = from[v] + (to[v] - from[v]) * fraction;
}

// The first `stride` values of a span's two ends, moved in along the span to column 0
// and lastColumn where they lie beyond them (the caller has dropped spans wholly
// outside, so a clip only happens when right x > left x).
inline void clipSpanEnds(const f32* leftEnd, const f32* rightEnd, u32 stride, f32 lastColumn,
                         f32* left, f32* right)
{
    std::copy(leftEnd, leftEnd + stride, left);
    std::copy(rightEnd, rightEnd + stride, right);
    const f32 across = rightEnd[kX] - leftEnd[kX];
    if (leftEnd[kX] < 0.0f) {
        interpolate(leftEnd, rightEnd, (0.0f - leftEnd[kX]) / across, stride, left);
        left[kX] = 0.0f;
    }
    if (rightEnd[kX] > lastColumn) {
        interpolate(leftEnd, rightEnd, (lastColumn - leftEnd[kX]) / across, stride, right);
        right[kX] = lastColumn;
    }
}

// Clips the span between two crossings to the image's columns and draws it. The last
// column is never reached: the right end is clipped to width - 1 and a span stops
// before truncate(right x).
void drawSpan(const ObjectPass& pass, const EyePass& eye, i32 y, const f32* leftEnd,
              const f32* rightEnd)
{
    const u32 stride = pass.layout.stride;
    const f32 lastColumn = static_cast<f32>(pass.width - 1);
    if (leftEnd[kX] > lastColumn || rightEnd[kX] < 0.0f) return;
    f32 left[kMaxScanValues], right[kMaxScanValues], step[kMaxScanValues];
    clipSpanEnds(leftEnd, rightEnd, stride, lastColumn, left, right);
    const ValueLayout& layout = pass.layout;
    if (pass.textured) { // the repeat factors apply before the span is interpolated
        left[layout.texture] *= pass.repeatS;
        right[layout.texture] *= pass.repeatS;
        left[layout.texture + 1] *= pass.repeatT;
        right[layout.texture + 1] *= pass.repeatT;
    }
    const f32 length = right[kX] - left[kX];
    for (u32 v = 0; v < stride; ++v) step[v] = length > 0.0f ? (right[v] - left[v]) / length : 0.0f;
    if (pass.textured && length <= 1.0f) step[layout.texture] = step[layout.texture + 1] = 0.0f;
    // Both ends now lie in [0, width - 1].
    const Span span{y, clampTrunc(left[kX], 0, pass.width - 1),
                    clampTrunc(right[kX], 0, pass.width - 1), left, step};
    fillSpan(pass, eye, span);
}

// --- Rows ----------------------------------------------------------------------------

// Untextured colours and textured highlights are interpolated on 0..1 and scaled to
// 0..255 once a crossing is found; texture diffuse factors stay factors.
void scaleCrossing(const ObjectPass& pass, f32* crossing)
{
    const u32 first = pass.textured ? pass.layout.highlight : kColour;
    for (u32 c = 0; c < 3; ++c) crossing[first + c] *= 255.0f;
}

void drawRow(const ObjectPass& pass, const EyePass& eye, i32 y, u32 slots)
{
    const FaceScratch& scratch = pass.scratch;
    f32* crossings = scratch.crossingValues;
    const u32 stride = pass.layout.stride;
    const u32 count =
        findCrossings(static_cast<f32>(y), scratch.polygon, scratch.slotNext, scratch.slotValid,
                      slots, scratch.slotValues, stride, crossings);
    if (count < 2) return;
    f32 leftmost = crossings[kX], rightmost = leftmost;
    for (u32 c = 1; c < count; ++c) {
        leftmost = std::min(leftmost, crossings[c * stride]);
        rightmost = std::max(rightmost, crossings[c * stride]);
    }
    if (leftmost > static_cast<f32>(pass.width - 1) || rightmost < 0.0f) return;
    for (u32 c = 0; c < count; ++c) scaleCrossing(pass, crossings + c * stride);
    sortCrossings(crossings, stride, scratch.crossingOrder, count);
    for (u32 p = 0; p + 1 < count; p += 2) { // even-odd: inside between pairs
        drawSpan(pass, eye, y, crossings + scratch.crossingOrder[p] * stride,
                 crossings + scratch.crossingOrder[p + 1] * stride);
    }
}

// Rows firstRow to lastRow of the face (inside the image).
void scanRows(const ObjectPass& pass, const EyePass& eye, u32 slots, i32 firstRow, i32 lastRow)
{
    std::fill(pass.scratch.slotValid, pass.scratch.slotValid + slots, u8{1});
    for (i32 y = firstRow; y <= lastRow; ++y) drawRow(pass, eye, y, slots);
}

void scanFace(const ObjectPass& pass, const EyePass& eye, u32 slots, const ScreenBox& box)
{
    scanRows(pass, eye, slots, std::max(box.minY, 0), std::min(box.maxY, pass.height - 1));
}

// --- The probe -------------------------------------------------------------------------

// Values of a probe slot or crossing: screen x and depth, worked out exactly as the
// full scan works them out (each value is interpolated on its own).
constexpr u32 kProbeStride = 2;

// True when some pixel of the span between two crossings passes the depth test, with
// the depths the span's pixels get: the same clipping, increment and additions.
bool spanPasses(const ObjectPass& pass, const EyePass& eye, i32 y, const f32* leftEnd,
                const f32* rightEnd)
{
    const f32 lastColumn = static_cast<f32>(pass.width - 1);
    if (leftEnd[kX] > lastColumn || rightEnd[kX] < 0.0f) return false;
    f32 left[kProbeStride], right[kProbeStride];
    clipSpanEnds(leftEnd, rightEnd, kProbeStride, lastColumn, left, right);
    const f32 length = right[kX] - left[kX];
    const f32 step = length > 0.0f ? (right[kDepth] - left[kDepth]) / length : 0.0f;
    const i32 first = clampTrunc(left[kX], 0, pass.width - 1);
    const i32 end = clampTrunc(right[kX], 0, pass.width - 1);
    const DepthRecord* stored = eye.depth + static_cast<i64>(y) * pass.width;
    f32 depth = left[kDepth];
    for (i32 x = first; x < end; ++x, depth += step)
        if (depthAllows(stored[x], depth, pass.opaque)) return true;
    return false;
}

// True when the face would write at least one pixel in rows firstRow to lastRow: its
// rows, crossings and spans worked out for screen x and depth alone. A face that would
// write none is neither lit nor scanned; the pixels stay as they are.
bool probeFace(const ObjectPass& pass, const EyePass& eye, u32 slots, i32 firstRow, i32 lastRow)
{
    const FaceScratch& scratch = pass.scratch;
    for (u32 s = 0; s < slots; ++s) {
        scratch.slotValues[s * kProbeStride + kX] = scratch.polygon[s].screenX;
        scratch.slotValues[s * kProbeStride + kDepth] = scratch.polygon[s].depth;
    }
    std::fill(scratch.slotValid, scratch.slotValid + slots, u8{1});
    f32* crossings = scratch.crossingValues;
    for (i32 y = firstRow; y <= lastRow; ++y) {
        const u32 count =
            findCrossings(static_cast<f32>(y), scratch.polygon, scratch.slotNext, scratch.slotValid,
                          slots, scratch.slotValues, kProbeStride, crossings);
        if (count < 2) continue;
        sortCrossings(crossings, kProbeStride, scratch.crossingOrder, count);
        for (u32 p = 0; p + 1 < count; p += 2) {
            if (spanPasses(pass, eye, y, crossings + scratch.crossingOrder[p] * kProbeStride,
                           crossings + scratch.crossingOrder[p + 1] * kProbeStride))
                return true;
        }
    }
    return false;
}

// --- Triangles and quadrilaterals (the fast path) ---------------------------------------

// The scan of a face of Slots corners with the object's shape known at compile time: the
// same rows, crossings, order of crossings, clipping, increments and pixels as drawRow,
// drawSpan and fillSpan, each value worked out by the same operations in the same order,
// without their loops over a run-time count of corners and values. The fast-path test
// holds it to the general scan, over random faces and clipped ones.
template <class Shape> inline u32 strideOf(const ObjectPass& pass)
{
    if constexpr (Shape::lightsOpen) {
        return pass.layout.stride; // three light coordinates for each shadow light
    } else {
        return Shape::stride;
    }
}

// out[v] = f(v) for every value of the shape: the fixed ones in a loop the compiler
// knows the length of, the light coordinates after them.
template <class Shape, class Value> inline void forEachValue(u32 stride, Value value)
{
    for (u32 v = 0; v < Shape::stride; ++v) value(v);
    if constexpr (Shape::lightsOpen)
        for (u32 v = Shape::stride; v < stride; ++v) value(v);
}

template <class Shape>
void drawSpanShaped(const ObjectPass& pass, const EyePass& eye, i32 y, const f32* leftEnd,
                    const f32* rightEnd)
{
    const u32 stride = strideOf<Shape>(pass);
    const f32 lastColumn = static_cast<f32>(pass.width - 1);
    if (leftEnd[kX] > lastColumn || rightEnd[kX] < 0.0f) return;
    f32 left[kMaxScanValues], right[kMaxScanValues], step[kMaxScanValues];
    forEachValue<Shape>(stride, [&](u32 v) { left[v] = leftEnd[v]; });
    forEachValue<Shape>(stride, [&](u32 v) { right[v] = rightEnd[v]; });
    const f32 across = rightEnd[kX] - leftEnd[kX];
    if (leftEnd[kX] < 0.0f) {
        const f32 fraction = (0.0f - leftEnd[kX]) / across;
        forEachValue<Shape>(
            stride, [&](u32 v) { left[v] = leftEnd[v] + (rightEnd[v] - leftEnd[v]) * fraction; });
        left[kX] = 0.0f;
    }
    if (rightEnd[kX] > lastColumn) {
        const f32 fraction = (lastColumn - leftEnd[kX]) / across;
        forEachValue<Shape>(
            stride, [&](u32 v) { right[v] = leftEnd[v] + (rightEnd[v] - leftEnd[v]) * fraction; });
        right[kX] = lastColumn;
    }
    if constexpr (Shape::textured) {
        left[Shape::texture] *= pass.repeatS;
        right[Shape::texture] *= pass.repeatS;
        left[Shape::texture + 1] *= pass.repeatT;
        right[Shape::texture + 1] *= pass.repeatT;
    }
    const f32 length = right[kX] - left[kX];
    if (length > 0.0f) {
        forEachValue<Shape>(stride, [&](u32 v) { step[v] = (right[v] - left[v]) / length; });
    } else {
        forEachValue<Shape>(stride, [&](u32 v) { step[v] = 0.0f; });
    }
    if constexpr (Shape::textured)
        if (length <= 1.0f) step[Shape::texture] = step[Shape::texture + 1] = 0.0f;
    const Span span{y, clampTrunc(left[kX], 0, pass.width - 1),
                    clampTrunc(right[kX], 0, pass.width - 1), left, step};
    fillSpanFast<Shape>(pass, eye, span);
}

// True when the span between crossings at x = left and right holds a pixel: drawSpan's
// clipping and columns, worked out from screen x alone.
inline bool spanHoldsPixel(f32 left, f32 right, i32 width)
{
    const f32 lastColumn = static_cast<f32>(width - 1);
    if (left > lastColumn || right < 0.0f) return false;
    const f32 first = left < 0.0f ? 0.0f : left;
    const f32 end = right > lastColumn ? lastColumn : right;
    return clampTrunc(end, 0, width - 1) > clampTrunc(first, 0, width - 1);
}

template <class Shape, u32 Slots>
void scanRowsShaped(const ObjectPass& pass, const EyePass& eye, i32 firstRow, i32 lastRow)
{
    const FaceScratch& scratch = pass.scratch;
    const u32* next = scratch.slotNext;
    const f32* values = scratch.slotValues;
    const u32 stride = strideOf<Shape>(pass);
    constexpr u32 kScaled = Shape::textured ? kUntexturedValues : kColour; // as scaleCrossing
    // Each edge's differences of every value, the subtraction findCrossings makes for
    // every row, made once.
    f32 differences[Slots][kMaxScanValues];
    for (u32 i = 0; i < Slots; ++i) {
        const f32* a = values + i * stride;
        const f32* b = values + next[i] * stride;
        forEachValue<Shape>(stride, [&](u32 v) { differences[i][v] = b[v] - a[v]; });
    }
    auto crossing = [&](const Hit& hit, f32* c) {
        const f32* a = values + hit.edge * stride;
        const f32* d = differences[hit.edge];
        forEachValue<Shape>(stride, [&](u32 v) { c[v] = a[v] + d[v] * hit.t; });
        for (u32 v = kScaled; v < kScaled + 3; ++v) c[v] *= 255.0f;
    };
    forEachSpan<Slots>(scratch.polygon, next, firstRow, lastRow,
                       [&](i32 row, const Hit& left, const Hit& right) {
                           if (!spanHoldsPixel(left.x, right.x, pass.width)) return false;
                           f32 leftEnd[kMaxScanValues], rightEnd[kMaxScanValues];
                           crossing(left, leftEnd);
                           crossing(right, rightEnd);
                           drawSpanShaped<Shape>(pass, eye, row, leftEnd, rightEnd);
                           return false;
                       });
}

// The probe of a face of Slots corners: spanPasses over the spans forEachSpan finds, the
// depth at each crossing worked out as findCrossings works it out.
template <u32 Slots>
bool probeRowsShaped(const ObjectPass& pass, const EyePass& eye, i32 firstRow, i32 lastRow)
{
    const ProjectedVertex* polygon = pass.scratch.polygon;
    const u32* next = pass.scratch.slotNext;
    f32 depthDifference[Slots];
    for (u32 i = 0; i < Slots; ++i) depthDifference[i] = polygon[next[i]].depth - polygon[i].depth;
    return forEachSpan<Slots>(
        polygon, next, firstRow, lastRow, [&](i32 row, const Hit& left, const Hit& right) {
            if (!spanHoldsPixel(left.x, right.x, pass.width)) return false;
            const f32 leftEnd[kProbeStride] = {left.x, polygon[left.edge].depth +
                                                           depthDifference[left.edge] * left.t};
            const f32 rightEnd[kProbeStride] = {right.x, polygon[right.edge].depth +
                                                             depthDifference[right.edge] * right.t};
            return spanPasses(pass, eye, row, leftEnd, rightEnd);
        });
}

// Picks the compile-time shape from the eye and the object's options one at a time.
template <u32 Slots, u8 Channels, bool... Known>
void scanShaped(const ObjectPass& pass, const EyePass& eye, i32 firstRow, i32 lastRow)
{
    constexpr std::size_t known = sizeof...(Known);
    if constexpr (known == 4) {
        if constexpr (FixedShape<Channels, Known...>::shadows) {
            if (pass.layout.shadowLights == 1) {
                scanRowsShaped<FixedShape<Channels, Known..., 1>, Slots>(pass, eye, firstRow,
                                                                         lastRow);
                return;
            }
        }
        scanRowsShaped<FixedShape<Channels, Known...>, Slots>(pass, eye, firstRow, lastRow);
    } else {
        const bool flags[4] = {pass.textured, pass.reflect, pass.shadows, pass.opaque};
        if (flags[known]) {
            scanShaped<Slots, Channels, Known..., true>(pass, eye, firstRow, lastRow);
        } else {
            scanShaped<Slots, Channels, Known..., false>(pass, eye, firstRow, lastRow);
        }
    }
}

template <u32 Slots>
void scanSlots(const ObjectPass& pass, const EyePass& eye, i32 firstRow, i32 lastRow)
{
    if (eye.channels == kEveryChannel) {
        scanShaped<Slots, kEveryChannel>(pass, eye, firstRow, lastRow);
    } else if (eye.channels == kRedChannel) {
        scanShaped<Slots, kRedChannel>(pass, eye, firstRow, lastRow);
    } else {
        scanShaped<Slots, kGreenChannel | kBlueChannel>(pass, eye, firstRow, lastRow);
    }
}

// Both eyes of the anaglyph over rows firstRow to lastRow of a face of Slots corners:
// scanRowsShaped for the left eye (the polygon buffer and slot values) and for the right
// eye (the same corners at screen x `rightX`), row by row. The eyes share screen y, so
// each row's edges, their t and every value but x are worked out once; each eye orders
// its own crossings by its own x and draws its own spans, into its own depth buffer and
// channels, so neither eye's pixels depend on when the other's are drawn.
template <class LeftShape, class RightShape, u32 Slots>
void scanBothRowsShaped(const ObjectPass& pass, const EyePass& leftEye, const EyePass& rightEye,
                        const f32* rightX, i32 firstRow, i32 lastRow)
{
    const FaceScratch& scratch = pass.scratch;
    const ProjectedVertex* polygon = scratch.polygon;
    const u32* next = scratch.slotNext;
    const f32* values = scratch.slotValues;
    const u32 stride = strideOf<LeftShape>(pass);
    constexpr u32 kScaled = LeftShape::textured ? kUntexturedValues : kColour;
    f32 differences[Slots][kMaxScanValues];
    f32 rightDx[Slots];
    bool valid[Slots];
    for (u32 i = 0; i < Slots; ++i) {
        const f32* a = values + i * stride;
        const f32* b = values + next[i] * stride;
        forEachValue<LeftShape>(stride, [&](u32 v) { differences[i][v] = b[v] - a[v]; });
        rightDx[i] = rightX[next[i]] - rightX[i];
        valid[i] = true;
    }
    for (i32 row = firstRow; row <= lastRow; ++row) {
        const f32 y = static_cast<f32>(row);
        Hit hits[Slots];
        f32 rightHitX[Slots];
        u32 count = 0;
        for (u32 i = 0; i < Slots; ++i) {
            f32 t;
            if (!valid[i] || !rowCrossesEdge(y, polygon, next, Slots, valid, i, &t)) continue;
            hits[count] = {i, t, polygon[i].screenX + differences[i][kX] * t};
            rightHitX[count] = rightX[i] + rightDx[i] * t;
            ++count;
        }
        if (count < 2) continue;
        f32 ends[Slots][kMaxScanValues];
        bool worked[Slots] = {};
        auto end = [&](u32 h, f32 x) {
            f32* c = ends[h];
            if (!worked[h]) {
                const f32* a = values + hits[h].edge * stride;
                const f32* d = differences[hits[h].edge];
                const f32 t = hits[h].t;
                forEachValue<LeftShape>(stride, [&](u32 v) { c[v] = a[v] + d[v] * t; });
                for (u32 v = kScaled; v < kScaled + 3; ++v) c[v] *= 255.0f;
                worked[h] = true;
            }
            c[kX] = x;
            return c;
        };
        auto drawEye = [&](auto xOf, auto shape, const EyePass& eye) {
            using Shape = decltype(shape);
            u32 order[Slots];
            orderByX(count, order, xOf);
            for (u32 p = 0; p + 1 < count; p += 2) {
                const u32 l = order[p], r = order[p + 1];
                if (!spanHoldsPixel(xOf(l), xOf(r), pass.width)) continue;
                const f32* leftEnd = end(l, xOf(l));
                const f32* rightEnd = end(r, xOf(r));
                drawSpanShaped<Shape>(pass, eye, row, leftEnd, rightEnd);
            }
        };
        drawEye([&](u32 c) { return hits[c].x; }, LeftShape{}, leftEye);
        drawEye([&](u32 c) { return rightHitX[c]; }, RightShape{}, rightEye);
    }
}

template <u32 Slots, bool... Known>
void scanBothShaped(const ObjectPass& pass, const EyePass& leftEye, const EyePass& rightEye,
                    const f32* rightX, i32 firstRow, i32 lastRow)
{
    constexpr std::size_t known = sizeof...(Known);
    if constexpr (known == 4) {
        scanBothRowsShaped<FixedShape<kRedChannel, Known...>,
                           FixedShape<kGreenChannel | kBlueChannel, Known...>, Slots>(
            pass, leftEye, rightEye, rightX, firstRow, lastRow);
    } else {
        const bool flags[4] = {pass.textured, pass.reflect, pass.shadows, pass.opaque};
        if (flags[known]) {
            scanBothShaped<Slots, Known..., true>(pass, leftEye, rightEye, rightX, firstRow,
                                                  lastRow);
        } else {
            scanBothShaped<Slots, Known..., false>(pass, leftEye, rightEye, rightX, firstRow,
                                                   lastRow);
        }
    }
}

// The fast path's probe: triangles and quadrilaterals take their own loops.
bool probeFaceFast(const ObjectPass& pass, const EyePass& eye, u32 slots, i32 firstRow, i32 lastRow)
{
    if (slots == 3) return probeRowsShaped<3>(pass, eye, firstRow, lastRow);
    if (slots == 4) return probeRowsShaped<4>(pass, eye, firstRow, lastRow);
    return probeFace(pass, eye, slots, firstRow, lastRow);
}

// The fast path's scan of rows firstRow to lastRow: triangles and quadrilaterals take
// their own loops, other faces the general one.
void scanRowsFast(const ObjectPass& pass, const EyePass& eye, u32 slots, i32 firstRow, i32 lastRow)
{
    if (slots == 3) {
        scanSlots<3>(pass, eye, firstRow, lastRow);
    } else if (slots == 4) {
        scanSlots<4>(pass, eye, firstRow, lastRow);
    } else {
        scanRows(pass, eye, slots, firstRow, lastRow);
    }
}

// --- Faces ---------------------------------------------------------------------------

// The face's unit normal against the view position of its first corner: 0 or less
// when the eye sees the face's back.
f32 facingValue(const World& world, const f32 normal[3], u32 firstVertex)
{
    return -(normal[0] * world.vertexZ[firstVertex] + normal[1] * world.vertexX[firstVertex] +
             normal[2] * world.vertexY[firstVertex]);
}

// The drawable face at face-order position `position`, or null.
const FaceRecord* faceAt(const World& world, const RenderState& render, u32 position, u32& f)
{
    f = render.faceOrder[position];
    assert(f < world.faceCount); // the sort's own order
    const FaceRecord& face = world.faces[f];
    if (face.flags != 0) return nullptr; // behind the eye, or corners outside the tables
    assert(static_cast<u32>(face.vertexCount) <= render.corners.capacity); // sized for the largest
    return &face;
}

// The slot values take the polygon buffer's screen x: the anaglyph's right eye is scanned
// with the left eye's corner values at its own corners' x.
void takePolygonX(const ObjectPass& pass, u32 slots)
{
    const u32 stride = pass.layout.stride;
    for (u32 s = 0; s < slots; ++s)
        pass.scratch.slotValues[s * stride + kX] = pass.scratch.polygon[s].screenX;
}

void prepareFace(const ObjectPass& pass, u32 f, const FaceRecord& face, const u32* vertices,
                 u32 slots)
{
    const World& world = *pass.world;
    linkContours(world, vertices, slots, true, pass.scratch.slotNext, pass.scratch.contourEnds);
    lightCorners(pass, f, face.normal, vertices, slots,
                 facingValue(world, face.normal, vertices[0]));
    fillSlotValues(pass, face, vertices, slots);
}

EyePass singleEye(RenderState& render, const FrameState& frame)
{
    return {render.projected, frame.frameBuffer,     frame.depthBuffer,
            kEveryChannel,    &render.depthTiles[0], 0};
}

// The drawing order of this frame's PrepareFrame: the object's faces that can write a
// pixel, nearest first.
const DrawFace* drawOrderOf(const RenderState& render, i16 object, u32& count)
{
    count = render.drawCount[object];
    return render.drawFaces + render.drawFirst[object];
}

// Rows of a face the pass draws: the face's own within the band.
struct RowSpan {
    i32 first;
    i32 last;
};

// The plain path: every face of the object's face order, each one gathered, tested
// against the image and lit before it is scanned.
void rasterizeInFaceOrder(const World& world, RenderState& render, const ObjectPass& pass,
                          const EyePass& eye)
{
    const RowRange faces = ObjectFaces(world, world.objects[pass.object]);
    for (u32 position = faces.first; position < faces.first + faces.count; ++position) {
        u32 f = 0;
        const FaceRecord* face = faceAt(world, render, position, f);
        if (!face) continue;
        const u32 slots = static_cast<u32>(face->vertexCount);
        const u32* vertices = world.faceIndices + face->firstIndex;
        ScreenBox box;
        if (!gatherCorners(pass, eye, vertices, slots, box) || outsideImage(pass, box)) continue;
        if (hiddenBehindDrawn(pass, eye, box)) continue;
        prepareFace(pass, f, *face, vertices, slots);
        scanFace(pass, eye, slots, box);
    }
}

// Whether the drawn depth of the eye leaves some pixel of the face's box open.
bool eyeOpen(const ObjectPass& pass, const EyePass& eye, const DrawFace& entry, RowSpan rows)
{
    return !boxHidden(pass, eye, entry.firstColumn[eye.side], rows.first,
                      entry.lastColumn[eye.side], rows.last, entry.hiddenBelow);
}

// touchTiles over the box the eye's drawing of the face covers.
void touchEye(const ObjectPass& pass, const EyePass& eye, const DrawFace& entry, RowSpan rows)
{
    touchTiles(pass, eye, entry.firstColumn[eye.side], rows.first, entry.lastColumn[eye.side],
               rows.last);
}

// The rows of the band the face's box covers; empty (first > last) when none.
RowSpan rowsInBand(const DrawFace& entry, RowSpan band)
{
    return {std::max<i32>(entry.firstRow, band.first), std::min<i32>(entry.lastRow, band.last)};
}

// The fast path: only the faces of the drawing order, and of those only the ones the
// probe finds a pixel for are lit and scanned.
void rasterizeInDrawOrder(const World& world, const RenderState& render, const ObjectPass& pass,
                          const EyePass& eye, RowSpan band)
{
    u32 count = 0;
    const DrawFace* order = drawOrderOf(render, pass.object, count);
    for (u32 k = 0; k < count; ++k) {
        const DrawFace& entry = order[k];
        const RowSpan rows = rowsInBand(entry, band);
        if (rows.first > rows.last || !eyeOpen(pass, eye, entry, rows)) continue;
        const FaceRecord& face = world.faces[entry.face];
        const u32 slots = static_cast<u32>(face.vertexCount);
        const u32* vertices = world.faceIndices + face.firstIndex;
        ScreenBox box;
        if (!gatherCorners(pass, eye, vertices, slots, box) || outsideImage(pass, box)) continue;
        linkContours(world, vertices, slots, true, pass.scratch.slotNext, pass.scratch.contourEnds);
        if (!probeFaceFast(pass, eye, slots, rows.first, rows.last)) continue;
        lightCorners(pass, entry.face, face.normal, vertices, slots,
                     facingValue(world, face.normal, vertices[0]));
        fillSlotValues(pass, face, vertices, slots);
        scanRowsFast(pass, eye, slots, rows.first, rows.last);
        touchEye(pass, eye, entry, rows);
    }
}

void rasterizeStereoInFaceOrder(const World& world, RenderState& render, const ObjectPass& pass,
                                const EyePass& leftEye, const EyePass& rightEye)
{
    const RowRange faces = ObjectFaces(world, world.objects[pass.object]);
    for (u32 position = faces.first; position < faces.first + faces.count; ++position) {
        u32 f = 0;
        const FaceRecord* face = faceAt(world, render, position, f);
        if (!face) continue;
        const u32 slots = static_cast<u32>(face->vertexCount);
        const u32* vertices = world.faceIndices + face->firstIndex;
        // Each eye tests its own screen box; the corners are lit once for both.
        ScreenBox rightBox, leftBox;
        if (!gatherCorners(pass, rightEye, vertices, slots, rightBox)) continue;
        if (!gatherCorners(pass, leftEye, vertices, slots, leftBox)) continue;
        const bool leftVisible =
            !outsideImage(pass, leftBox) && !hiddenBehindDrawn(pass, leftEye, leftBox);
        const bool rightVisible =
            !outsideImage(pass, rightBox) && !hiddenBehindDrawn(pass, rightEye, rightBox);
        if (!leftVisible && !rightVisible) continue;
        prepareFace(pass, f, *face, vertices, slots);
        if (leftVisible) scanFace(pass, leftEye, slots, leftBox);
        if (rightVisible) {
            gatherCorners(pass, rightEye, vertices, slots, rightBox);
            takePolygonX(pass, slots);
            scanFace(pass, rightEye, slots, rightBox);
        }
    }
}

// Gathers one eye's corners and probes them; false when the eye draws nothing of it.
// `gathered` says whether the polygon buffer now holds this eye's corners.
bool eyeDraws(const ObjectPass& pass, const EyePass& eye, const u32* vertices, u32 slots,
              RowSpan rows, bool& gathered)
{
    ScreenBox box;
    gathered = gatherCorners(pass, eye, vertices, slots, box);
    if (!gathered || outsideImage(pass, box)) return false;
    return probeFaceFast(pass, eye, slots, rows.first, rows.last);
}

// Faces of up to this many corners keep the right eye's screen x from its probe, so its
// corners need not be gathered again for its scan.
constexpr u32 kKeptRightCorners = 4;

// The probe of both eyes of a face of Slots corners: probeRowsShaped for each eye that
// `want`s one, over rows whose edges, t and depths the eyes share, each eye with its own
// screen x; an eye's answer is found at the first span with a pixel that passes.
template <u32 Slots>
void probeBothRows(const ObjectPass& pass, const EyePass& leftEye, const EyePass& rightEye,
                   const f32* rightX, i32 firstRow, i32 lastRow, const bool want[2], bool found[2])
{
    const ProjectedVertex* polygon = pass.scratch.polygon;
    const u32* next = pass.scratch.slotNext;
    f32 depthDifference[Slots], dx[2][Slots];
    bool valid[Slots];
    for (u32 i = 0; i < Slots; ++i) {
        depthDifference[i] = polygon[next[i]].depth - polygon[i].depth;
        dx[0][i] = polygon[next[i]].screenX - polygon[i].screenX;
        dx[1][i] = rightX[next[i]] - rightX[i];
        valid[i] = true;
    }
    bool looking[2] = {want[0], want[1]};
    for (i32 row = firstRow; row <= lastRow && (looking[0] || looking[1]); ++row) {
        const f32 y = static_cast<f32>(row);
        f32 x[2][Slots], depth[Slots];
        u32 count = 0;
        for (u32 i = 0; i < Slots; ++i) {
            f32 t;
            if (!valid[i] || !rowCrossesEdge(y, polygon, next, Slots, valid, i, &t)) continue;
            x[0][count] = polygon[i].screenX + dx[0][i] * t;
            x[1][count] = rightX[i] + dx[1][i] * t;
            depth[count] = polygon[i].depth + depthDifference[i] * t;
            ++count;
        }
        if (count < 2) continue;
        for (u32 e = 0; e < 2; ++e) {
            if (!looking[e]) continue;
            const f32* at = x[e];
            u32 order[Slots];
            orderByX(count, order, [&](u32 c) { return at[c]; });
            for (u32 p = 0; p + 1 < count; p += 2) {
                const u32 l = order[p], r = order[p + 1];
                if (!spanHoldsPixel(at[l], at[r], pass.width)) continue;
                const f32 leftEnd[kProbeStride] = {at[l], depth[l]};
                const f32 rightEnd[kProbeStride] = {at[r], depth[r]};
                if (spanPasses(pass, e == 0 ? leftEye : rightEye, row, leftEnd, rightEnd)) {
                    found[e] = true;
                    looking[e] = false;
                    break;
                }
            }
        }
    }
}

// Triangles and quadrilaterals of the anaglyph: the left eye's corners gathered into the
// polygon buffer, the right eye's screen x into `rightX` (with the right eye's screen
// box, which differs from the left's in x alone), and both eyes probed in one pass, each
// as eyeDraws would. False for other faces and for undefined corners: the caller then
// probes each eye on its own.
bool probeBothEyes(const ObjectPass& pass, const EyePass& leftEye, const EyePass& rightEye,
                   const u32* vertices, u32 slots, RowSpan rows, bool leftOpen, bool rightOpen,
                   f32* rightX, bool& leftVisible, bool& rightVisible)
{
    if (slots != 3 && slots != 4) return false;
    ScreenBox leftBox;
    if (!gatherCorners(pass, leftEye, vertices, slots, leftBox)) return false;
    ScreenBox rightBox = leftBox;
    rightBox.minX = pass.width;
    rightBox.maxX = -1;
    for (u32 s = 0; s < slots; ++s) {
        rightX[s] = rightEye.projected[vertices[s]].screenX;
        if (std::isnan(rightX[s])) return false;
        const i32 x = clampTrunc(rightX[s], -1, pass.width);
        rightBox.minX = std::min(rightBox.minX, x);
        rightBox.maxX = std::max(rightBox.maxX, x);
    }
    const bool want[2] = {leftOpen && !outsideImage(pass, leftBox),
                          rightOpen && !outsideImage(pass, rightBox)};
    bool found[2] = {false, false};
    if (want[0] || want[1]) {
        if (slots == 3) {
            probeBothRows<3>(pass, leftEye, rightEye, rightX, rows.first, rows.last, want, found);
        } else {
            probeBothRows<4>(pass, leftEye, rightEye, rightX, rows.first, rows.last, want, found);
        }
    }
    leftVisible = found[0];
    rightVisible = found[1];
    return true;
}

void rasterizeStereoInDrawOrder(const World& world, const RenderState& render,
                                const ObjectPass& pass, const EyePass& leftEye,
                                const EyePass& rightEye, RowSpan band)
{
    u32 count = 0;
    const DrawFace* order = drawOrderOf(render, pass.object, count);
    ProjectedVertex* polygon = pass.scratch.polygon;
    for (u32 k = 0; k < count; ++k) {
        const DrawFace& entry = order[k];
        const RowSpan rows = rowsInBand(entry, band);
        if (rows.first > rows.last) continue;
        // Most faces hidden in both eyes are told from the blocks alone, before the face's
        // own record is read.
        const bool rightOpen = eyeOpen(pass, rightEye, entry, rows);
        const bool leftOpen = eyeOpen(pass, leftEye, entry, rows);
        if (!leftOpen && !rightOpen) continue;
        const FaceRecord& face = world.faces[entry.face];
        const u32 slots = static_cast<u32>(face.vertexCount);
        const u32* vertices = world.faceIndices + face.firstIndex;
        linkContours(world, vertices, slots, true, pass.scratch.slotNext, pass.scratch.contourEnds);
        // The eyes' corners differ in screen x alone.
        f32 rightX[kKeptRightCorners];
        bool leftVisible = false, rightVisible = false, rightKept = false;
        ScreenBox box;
        if (probeBothEyes(pass, leftEye, rightEye, vertices, slots, rows, leftOpen, rightOpen,
                          rightX, leftVisible, rightVisible)) {
            if (!leftVisible && !rightVisible) continue;
            rightKept = rightVisible;
        } else {
            bool rightGathered = false, leftGathered = false;
            rightVisible =
                rightOpen && eyeDraws(pass, rightEye, vertices, slots, rows, rightGathered);
            rightKept = rightVisible && slots <= kKeptRightCorners;
            if (rightKept)
                for (u32 s = 0; s < slots; ++s) rightX[s] = polygon[s].screenX;
            leftVisible = leftOpen && eyeDraws(pass, leftEye, vertices, slots, rows, leftGathered);
            if (!leftVisible && !rightVisible) continue;
            // The lighting reads the left eye's corners, as in the plain path.
            if (!leftGathered) gatherCorners(pass, leftEye, vertices, slots, box);
        }
        lightCorners(pass, entry.face, face.normal, vertices, slots,
                     facingValue(world, face.normal, vertices[0]));
        fillSlotValues(pass, face, vertices, slots);
        if (leftVisible && rightKept && (slots == 3 || slots == 4)) {
            if (slots == 3) {
                scanBothShaped<3>(pass, leftEye, rightEye, rightX, rows.first, rows.last);
            } else {
                scanBothShaped<4>(pass, leftEye, rightEye, rightX, rows.first, rows.last);
            }
            touchEye(pass, leftEye, entry, rows);
            touchEye(pass, rightEye, entry, rows);
            continue;
        }
        if (leftVisible) {
            scanRowsFast(pass, leftEye, slots, rows.first, rows.last);
            touchEye(pass, leftEye, entry, rows);
        }
        if (rightVisible) {
            if (rightKept) {
                for (u32 s = 0; s < slots; ++s) polygon[s].screenX = rightX[s];
            } else {
                gatherCorners(pass, rightEye, vertices, slots, box);
            }
            takePolygonX(pass, slots);
            scanRowsFast(pass, rightEye, slots, rows.first, rows.last);
            touchEye(pass, rightEye, entry, rows);
        }
    }
}

} // namespace

void RasterizeObjectRows(const World& world, RenderState& render, FrameState& frame, i16 object,
                         i32 firstRow, i32 lastRow, const FaceScratch& scratch)
{
    const bool stereo = frame.stereoFlag == 1;
    ObjectPass pass;
    if (!setUpPass(world, render, frame, object, stereo, pass)) return;
    assert(render.drawOrderReady && !render.referencePath &&
           scratch.capacity >= render.corners.capacity);
    pass.scratch = scratch;
    const RowSpan band{firstRow, lastRow};
    if (!stereo) {
        rasterizeInDrawOrder(world, render, pass, singleEye(render, frame), band);
        return;
    }
    const EyePass leftEye{render.projected, frame.frameBuffer,     frame.depthBuffer,
                          kRedChannel,      &render.depthTiles[0], 0};
    const EyePass rightEye{render.projectedRight,   frame.frameBuffer,
                           render.rightDepthBuffer, kGreenChannel | kBlueChannel,
                           &render.depthTiles[1],   1};
    rasterizeStereoInDrawOrder(world, render, pass, leftEye, rightEye, band);
}

void RasterizeObject(const World& world, RenderState& render, FrameState& frame, i16 object)
{
    ObjectPass pass;
    if (!setUpPass(world, render, frame, object, false, pass)) return;
    const EyePass eye = singleEye(render, frame);
    if (render.referencePath || !render.drawOrderReady) {
        rasterizeInFaceOrder(world, render, pass, eye);
    } else {
        rasterizeInDrawOrder(world, render, pass, eye, RowSpan{0, pass.height - 1});
    }
}

void RasterizeObjectStereo(const World& world, RenderState& render, FrameState& frame, i16 object)
{
    ObjectPass pass;
    if (!setUpPass(world, render, frame, object, true, pass)) return;
    const EyePass leftEye{render.projected, frame.frameBuffer,     frame.depthBuffer,
                          kRedChannel,      &render.depthTiles[0], 0};
    const EyePass rightEye{render.projectedRight,   frame.frameBuffer,
                           render.rightDepthBuffer, kGreenChannel | kBlueChannel,
                           &render.depthTiles[1],   1};
    if (render.referencePath || !render.drawOrderReady) {
        rasterizeStereoInFaceOrder(world, render, pass, leftEye, rightEye);
    } else {
        rasterizeStereoInDrawOrder(world, render, pass, leftEye, rightEye,
                                   RowSpan{0, pass.height - 1});
    }
}
