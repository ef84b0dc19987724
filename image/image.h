// image/image.h - pictures from files: where a picture named in a world is found, and
// the JPEG decoder. The image layer only decodes: it knows nothing of the world
// tables; the texture rows, the reflection image and the background buffer are filled
// by their callers (world/, plugin/, render/) from the pictures decoded here.
//
// Entry points: findOnPath, findPicture, readJpegFile.
// Failure: a picture that cannot be found, opened or decoded is "not loaded" (false or
// 0, nothing held). Hostile files never crash, hang or read past their data: sizes of 0
// or above 16384, TGA depths other than 24 and 32 and truncated files are not loaded (a
// picture whose data ends early is refused whole).
// Decoders: image/picture_file.h (the first bytes pick JPEG, PNG or GIF; otherwise the
// extension, compared without case).
#pragma once

#include "base/types.h"

#include <cstddef>

constexpr std::size_t kPictureReasonSize = 160;

// A decoded JPEG: width x height pixels of 4 bytes (blue, green, red, unused), rows
// bottom-up, the block from PluginAlloc; the caller frees jpegPixels with PluginFree.
// A picture not loaded holds no pixels and says why in `reason` (the decoder's own
// message, or the system's reason the file could not be opened).
struct JpegPicture {
    i16 jpegWidth = 0;
    i16 jpegHeight = 0;
    u8* jpegPixels = nullptr;
    char reason[kPictureReasonSize] = {};
};

// Writes the reason a picture was not loaded (cut to its field).
void setPictureReason(JpegPicture& picture, const char* text);

// Looks `name` up unchanged (relative to the current directory), then in each folder
// of the environment variable `variable`; writes the path found (or "") to `result`.
// Returns true when found.
bool findOnPath(const char* name, const char* variable, char* result, std::size_t resultSize);

// How far the picture names of a world may reach: anywhere for a world the user opened
// (model libraries share pictures through "../" and absolute paths), only the world's
// own folder and below for a world from the network.
enum class PictureReach : u8 {
    Anywhere,
    WorldFolderOnly,
};

// Where a picture named in a world is looked for: a "file://" prefix dropped, then the
// world's folder (`worldFolder`, "" when unknown), then findOnPath with "PATH". A name
// holding several quoted urls (a.jpg" "b.jpg) tries each in turn; the first found wins.
// With WorldFolderOnly only the world's folder is looked in, names with a ".." part or
// an absolute path are passed over, and a file whose real path (links followed) lies
// outside the folder is not found.
bool findPicture(const char* worldFolder, const char* name, PictureReach reach, char* result,
                 std::size_t resultSize);

// True when the url (or every url of a list) names a file in the world's folder or
// below it: no absolute path, no ".." part.
bool urlStaysInFolder(const char* name);

// Decodes the JPEG at `path`. Returns 1 when the file was opened and decoded, 0 when it
// could not be opened or decoding failed; the picture then holds nothing but the
// reason (the system's, or the library's first message). Nothing is written to the
// standard error stream: the caller tells the user, naming the picture. Pass an empty
// picture: a block it already holds is not freed.
i32 readJpegFile(const char* path, JpegPicture& picture);
