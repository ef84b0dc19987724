// Clips: each file decoded once with libsndfile, mixed down to one channel (OpenAL places
// only one-channel sources) and kept in an OpenAL buffer under the name it was asked by,
// until the output closes. Decoding runs on the UI thread at the emitter's initialisation;
// whole clips, because a world's clips are short sounds and loops.
#include "platform/growable.h"
#include "platform/sound/engine.h"
#include "platform/sound/records.h"

#include <AL/alext.h>
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
    ALuint buffer;
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
    descriptor = open(fileName, O_RDONLY | O_CLOEXEC);
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

static ALuint uploadClip(const MonoClip& clip, const char* fileName)
{
    alGetError(); // a stale error must not be taken for this upload's
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    // At most kMaxClipFrames * 4 bytes = 2^28, well inside ALsizei.
    alBufferData(buffer, AL_FORMAT_MONO_FLOAT32, clip.samples,
                 static_cast<ALsizei>(sizeof(f32) * clip.frameCount), clip.rate);
    if (alGetError() != AL_NO_ERROR) {
        if (alIsBuffer(buffer)) alDeleteBuffers(1, &buffer);
        setSoundError("%s: the mixer refuses the clip", fileName);
        return 0;
    }
    return buffer;
}

ALuint clipBuffer(const char* fileName)
{
    const i64 row = findCached(fileName);
    if (row >= 0) return cache.items[row].buffer;
    MonoClip clip;
    const ALuint buffer = decodeClip(fileName, clip) ? uploadClip(clip, fileName) : 0;
    std::free(clip.samples);
    if (!buffer) return 0;
    CachedClip cached{};
    std::strncpy(cached.fileName, fileName, sizeof cached.fileName - 1);
    cached.buffer = buffer;
    if (!cache.push(cached)) {
        // Uncached, the buffer would outlive the output; better no clip than a leak.
        alDeleteBuffers(1, &buffer);
        setSoundError("%s: out of memory", fileName);
        return 0;
    }
    return buffer;
}

void forgetClips()
{
    for (u32 row = 0; row < cache.count; ++row) alDeleteBuffers(1, &cache.items[row].buffer);
    cache.release();
}

} // namespace soundengine
