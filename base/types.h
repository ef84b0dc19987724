// base/types.h - the fixed-width names used wherever the data model fixes a width.
// Counts of objects, materials, textures, lights and sounds are i16; counts of
// vertices, faces and corners are u32; record fields keep their listed widths.
#pragma once

#include <cstdint>

using i8 = std::int8_t;
using u8 = std::uint8_t;
using i16 = std::int16_t;
using u16 = std::uint16_t;
using i32 = std::int32_t;
using u32 = std::uint32_t;
using i64 = std::int64_t;
using u64 = std::uint64_t;
using f32 = float;
using f64 = double;

// The largest row count a 16-bit signed count can hold.
constexpr i16 kMaxCount16 = 32767;
