// Clips: each file decoded once with libsndfile, mixed down to one channel (both back ends
// place only one-channel sounds) and kept as the back end's clip under the name it was
// asked by, until the output closes. Decoding runs on the UI thread at the emitter's
// initialisation; whole clips, because a world's clips are short sounds and loops.
#include "platform/growable.h"
#include "platform/sound/backend.h"
#include "platform/sound/engine.h"
#include "platform/sound/records.h"

#include <sndfile.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace soundengine {

namespace {

struct CachedClip {
    char fileName[kEmitterFileNameSize]; // as the emitter's description gave it
    BackendClip* clip;
};

// A decoded clip: `frameCount` one-channel samples at `rate` frames a second.
struct MonoClip {
    f32* samples = nullptr; // std::malloc'd; the caller frees it
    u32 frameCount = 0;
    i32 rate = 0;
};

constexpr sf_count_t kChunkFrames = 4096;
// 2^26 frames: 25 minutes at 44.1 kHz, 256 MiB of samples. Longer is refused rather than
// cut, so a soundtrack never stops early without a word.
constexpr u32 kMaxClipFrames = 1u << 26;

Growable<CachedClip> cache;

// Windows' C library opens files as text unless told otherwise; on Linux no program the
// process starts is to inherit the descriptor.
#if defined(_WIN32)
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
#else
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC;
#endif

} // namespace

static i64 findCached(const char* fileName)
{
    for (u32 row = 0; row < cache.count; ++row)
        if (std::strcmp(cache.items[row].fileName, fileName) == 0) return row;
    return -1;
}

// The file opened by us first, so that a missing or unreadable file is told by the
// system's own reason, apart from a file libsndfile cannot make sense of.
static SNDFILE* openClip(const char* fileName, int& descriptor, SF_INFO& info)
{
    descriptor = open(fileName, kOpenFlags);
    if (descriptor < 0) {
        setSoundError("%s: cannot open: %s", fileName, std::strerror(errno));
        return nullptr;
    }
    // A folder opens for reading too; said so, it is not mistaken for a broken clip.
    struct stat status {};
    if (fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        setSoundError("%s: cannot open: %s", fileName, std::strerror(EISDIR));
        close(descriptor);
        descriptor = -1;
        return nullptr;
    }
    info = SF_INFO{};
    SNDFILE* file = sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE);
    if (!file) {
        setSoundError("%s: cannot decode: %s", fileName, sf_strerror(nullptr));
        close(descriptor);
        descriptor = -1;
    }
    return file;
}

// Makes room for `more` frames after `clip.frameCount`; false when the clip would be too
// long or the heap refuses.
static bool growClip(MonoClip& clip, u32& capacity, u32 more)
{
    if (clip.frameCount + more <= capacity) return true;
    if (more > kMaxClipFrames - clip.frameCount) return false;
    u32 grown =
        capacity < static_cast<u32>(kChunkFrames) ? static_cast<u32>(kChunkFrames) : capacity * 2;
    if (grown > kMaxClipFrames) grown = kMaxClipFrames;
    void* block = std::realloc(clip.samples, sizeof(f32) * grown);
    if (!block) return false;
    clip.samples = static_cast<f32*>(block);
    capacity = grown;
    return true;
}

// Writes each frame of `chunk` as the average of its channels.
static void mixDown(const f32* chunk, u32 frames, u32 channels, f32* mono)
{
    for (u32 frame = 0; frame < frames; ++frame) {
        f32 sum = 0.0f;
        for (u32 channel = 0; channel < channels; ++channel)
            sum += chunk[frame * channels + channel];
        mono[frame] = sum / static_cast<f32>(channels);
    }
}

// Reads every frame, one channel. False, with the error text set, when the clip is too
// long, the heap refuses, the data breaks off, or the file holds no sound.
static bool readMono(SNDFILE* file, const SF_INFO& info, const char* fileName, MonoClip& clip)
{
    const u32 channels = static_cast<u32>(info.channels); // checked positive by the caller
    f32* chunk = static_cast<f32*>(std::malloc(sizeof(f32) * kChunkFrames * channels));
    if (!chunk) {
        setSoundError("%s: out of memory", fileName);
        return false;
    }
    u32 capacity = 0;
    bool fits = true;
    sf_count_t got = 0;
    while ((got = sf_readf_float(file, chunk, kChunkFrames)) > 0) {
        const u32 frames = static_cast<u32>(got); // at most kChunkFrames
        fits = growClip(clip, capacity, frames);
        if (!fits) break;
        mixDown(chunk, frames, channels, clip.samples + clip.frameCount);
        clip.frameCount += frames;
    }
    std::free(chunk);
    clip.rate = info.samplerate;
    if (!fits) {
        setSoundError("%s: longer than %u frames, or out of memory", fileName, kMaxClipFrames);
        return false;
    }
    if (sf_error(file) != SF_ERR_NO_ERROR) {
        setSoundError("%s: cannot decode: %s", fileName, sf_strerror(file));
        return false;
    }
    if (clip.frameCount == 0) {
        setSoundError("%s: holds no sound", fileName);
        return false;
    }
    return true;
}

static bool decodeClip(const char* fileName, MonoClip& clip)
{
    int descriptor = -1;
    SF_INFO info{};
    SNDFILE* file = openClip(fileName, descriptor, info);
    if (!file) return false;
    bool read = false;
    if (info.channels <= 0 || info.samplerate <= 0)
        setSoundError("%s: cannot decode: no channels or no sample rate", fileName);
    else
        read = readMono(file, info, fileName, clip);
    sf_close(file);
    close(descriptor);
    return read;
}

BackendClip* clipFor(const char* fileName)
{
    const i64 row = findCached(fileName);
    if (row >= 0) return cache.items[row].clip;
    MonoClip decoded;
    BackendClip* clip =
        decodeClip(fileName, decoded)
            ? backendMakeClip(decoded.samples, decoded.frameCount, decoded.rate, fileName)
            : nullptr;
    std::free(decoded.samples);
    if (!clip) return nullptr;
    CachedClip cached{};
    std::strncpy(cached.fileName, fileName, sizeof cached.fileName - 1);
    cached.clip = clip;
    if (!cache.push(cached)) {
        // Uncached, the clip would outlive the output; better no clip than a leak.
        backendFreeClip(clip);
        setSoundError("%s: out of memory", fileName);
        return nullptr;
    }
    return clip;
}

void forgetClips()
{
    for (u32 row = 0; row < cache.count; ++row) backendFreeClip(cache.items[row].clip);
    cache.release();
}

} // namespace soundengine
