// image/image.h - pictures from files: textures, the reflection image and the
// background picture, decoded into the byte layouts the renderer reads.
//
// Reads: the World's texture rows (fileName), backgroundUrl and worldFolder.
// Writes: texture rows (width, height, tgaIdLength) and texturePixels blocks
// (width x height x 3 bytes, blue, green, red), the reflection image, and a caller's
// 32-bit background buffer.
// Entry points: findOnPath, findPicture, readJpegFile, loadTexture, loadReflectionImage,
//               loadBackgroundPicture.
// Failure: a picture that cannot be found, opened or decoded is "not loaded": a texture
// gets the grey 40 x 40 replacement, the reflection image its default, a background
// buffer stays as it was. Hostile files never crash, hang or read past their data:
// sizes of 0 or above 16384, TGA depths other than 24 and 32 and truncated files are
// not loaded (a picture whose data ends early is refused whole).
// Decoders: image/picture_file.h (the first bytes pick JPEG or PNG; otherwise the
// extension, compared without case).
#pragma once

#include "base/types.h"
#include "world/tables.h"

#include <cstddef>

// A decoded JPEG: width x height pixels of 4 bytes (blue, green, red, unused), rows
// bottom-up, the block from PluginAlloc; the caller frees jpegPixels with PluginFree.
struct JpegPicture {
    i16 jpegWidth = 0;
    i16 jpegHeight = 0;
    u8* jpegPixels = nullptr;
};

// Looks `name` up unchanged (relative to the current directory), then in each folder
// of the environment variable `variable`; writes the path found (or "") to `result`.
// Returns true when found.
bool findOnPath(const char* name, const char* variable, char* result, std::size_t resultSize);

// Where a picture named in a world is looked for: a "file://" prefix dropped, then the
// world's folder, then findOnPath with "PATH". A name holding several quoted urls
// (a.jpg" "b.jpg) tries each in turn; the first found wins.
bool findPicture(const World& world, const char* name, char* result, std::size_t resultSize);

// Decodes the JPEG at `path`. Returns 1 when the file was opened and decoded, 0 when it
// could not be opened ("can't open PATH" on stderr) or decoding failed (the library's
// message on stderr); the picture then holds nothing. Pass an empty picture: a block
// it already holds is not freed.
i32 readJpegFile(const char* path, JpegPicture& picture);

// Fills texture row `row` from the file named in its fileName (JPEG, PNG or TGA): its
// width, height, tgaIdLength and a new 3-byte block (the old one freed). A file an
// earlier counted row already names is copied from that row, not decoded again. A
// format the viewer does not decode (GIF, say) leaves the row as it was.
void loadTexture(World& world, i16 row);

// Looks for "reflex.jpg" on the path and decodes it into the reflection image; the
// 100 x 100 default (a sky-to-ground gradient) when absent or undecodable.
void loadReflectionImage(World& world);

// Reads the picture named by backgroundUrl and scales it by nearest sample into the
// W x H background buffer (4 bytes a pixel, rows bottom-up). Not found or not
// decodable: the buffer is left as it was.
void loadBackgroundPicture(const World& world, u8* buffer, i32 width, i32 height);
