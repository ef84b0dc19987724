// render/texture.h - where a pixel's texel comes from: material textures addressed by
// per-vertex coordinates (read from the file or generated here), and the one
// reflection image addressed by the reflected viewing ray.
//
// Reads: the World's objects, bounds, materials, textures and reflection image;
// RenderState's scene centre and diameter (view coordinates).
// Writes: vertexTexCoords of textured objects without their own (GenerateTexCoords).
// Entry points: ReflectionCoords, textureTexel, reflectionTexel (GenerateTexCoords is in
//               render/render.h).
// Every texel index is kept inside its image: coordinates are wrapped in floating
// point, never through an integer, and clamped before they are truncated.
#pragma once

#include "base/convert.h"
#include "render/render.h"

// Share of the reflection image added to every surface while reflection is on.
constexpr f32 kReflectionShare = 0.4f;

// A texture's pixels as the rasterizer reads them: 3 bytes a texel (blue, green, red),
// rows bottom-up. Null texels: no usable texture.
struct TextureView {
    const u8* texels = nullptr;
    i32 width = 0;
    i32 height = 0;
};

// The two reflection-map coordinates of a corner from its view position and unit
// normal: a from the reflected ray's elevation, b from its heading, each in [0, 1).
void ReflectionCoords(const RenderState& render, const f32 position[3], const f32 normal[3],
                      f32 coords[2]);

// The texel at repeated coordinates (s', t'): values below 0 count as 0; the fraction
// picks the column and row, so the texture repeats exactly at whole coordinates.
inline const u8* textureTexel(const TextureView& texture, f32 s, f32 t)
{
    if (!(s >= 0.0f)) s = 0.0f;
    if (!(t >= 0.0f)) t = 0.0f;
    const f32 width = static_cast<f32>(texture.width);
    const f32 height = static_cast<f32>(texture.height);
    const i32 column = clampTrunc(fracTrunc(s) * width, 0, texture.width - 1);
    const i32 row = clampTrunc(fracTrunc(t) * height, 0, texture.height - 1);
    return texture.texels + 3 * (static_cast<i64>(row) * texture.width + column);
}

// The reflection texel for coordinates (a, b): a picks the column, b the row. After a
// span's additions a coordinate can reach slightly past 1.0, so both are clamped.
inline const u8* reflectionTexel(const TextureView& image, f32 a, f32 b)
{
    const i32 column = clampTrunc(static_cast<f32>(image.width) * a, 0, image.width - 1);
    const i32 row = clampTrunc(static_cast<f32>(image.height) * b, 0, image.height - 1);
    return image.texels + 3 * (static_cast<i64>(row) * image.width + column);
}
