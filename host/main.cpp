// tarne: shows VRML worlds in a window, renders them headless, shows what the reader
// made of them, and rewrites them into the layout the reader reads, all through the
// plug-in.
#include "host/browser.h"
#include "host/command_line.h"
#include "host/output_file.h"
#include "host/script.h"
#include "host/script_player.h"
#include "host/system.h"
#include "host/wav_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kDashboardRows = 90;
constexpr int kMostLights = 32767; // the light table's 16-bit count

const char* const kUsage =
    "usage: tarne view FILE [--size WxH] [--strict] [--fps N] [--mode N] [--script STEPS]\n"
    "                  [--no-sound] [--threads N]\n"
    "       tarne render FILE -o OUT.png [--size WxH] [--frames N] [--stereo] [--shadows]\n"
    "                    [--reflection] [--lamp] [--scale 2] [--whole] [--strict] [--verbose]\n"
    "                    [--mode N] [--script STEPS] [--audio OUT.wav] [--no-sound]\n"
    "                    [--threads N]\n"
    "       tarne info FILE [--json] [--strict]\n"
    "       tarne normalize FILE [-o OUT.wrl]\n"
    "       tarne --version\n";

int usageError(const std::string& message)
{
    std::fprintf(stderr, "tarne: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

int failure(const std::string& message)
{
    std::fprintf(stderr, "tarne: %s\n", message.c_str());
    return kExitFailure;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The plug-in loaded and initialised, an instance with its window, the file streamed.
// Prints the load's messages and warns when the world has no objects.
int openWorld(Browser& browser, const Options& options)
{
    std::string error;
    if (!browser.loadPlugin(error) || !browser.initialize(error)) return failure(error);
    if (!browser.createInstance(options.width, options.height, "Tarne - " + options.file, error))
        return failure(error);
    const TarneServices* services = browser.services();
    if (services && options.strict) services->setStrict(browser.instance(), 1);
    if (services && !options.sound) services->command(browser.instance(), "silence");
    const auto start = std::chrono::steady_clock::now();
    if (options.verbose) std::fprintf(stderr, "loading %s\n", options.file.c_str());
    if (!browser.streamFile(options.file.c_str(), error)) return failure(error);
    if (!services) return kExitOk;
    std::size_t length = 0;
    if (char* messages = services->takeLoadMessages(browser.instance(), &length)) {
        // By its length: a file's bytes quoted in a message may hold a NUL.
        std::fwrite(messages, 1, length, stderr);
        services->freeText(messages);
    }
    // The messages above say why a world was refused or could not be read.
    if (services->loadResult(browser.instance()) == 1) return kExitFailure;
    TarneWorldCounts counts{};
    services->worldCounts(browser.instance(), &counts);
    if (options.verbose) {
        std::fprintf(
            stderr,
            "loaded in %.1f ms: %d objects, %u vertices, %u faces, %d materials, %d lights\n",
            millisecondsSince(start), counts.objectCount, counts.vertexCount, counts.faceCount,
            counts.materialCount, counts.lightCount);
    }
    if (counts.objectCount < 1)
        std::fprintf(stderr, "tarne: warning: %s: no objects were read\n", options.file.c_str());
    return kExitOk;
}

// The start-up choices of the drawing commands, in the order of the Dashboard's buttons.
int applyOptions(Browser& browser, const Options& options)
{
    const TarneServices* services = browser.services();
    if (!services) return failure("the plug-in offers no host services");
    const char* switches[] = {
        options.stereo ? "stereo" : nullptr, options.shadows ? "shadows" : nullptr,
        options.lamp ? "lamp" : nullptr, options.reflection ? "reflection" : nullptr,
        options.scale == 2 ? "scale" : nullptr};
    for (const char* name : switches) {
        const int switched = name ? services->command(browser.instance(), name) : 0;
        if (switched == -3)
            return failure(options.file + ": the lamp cannot be added: the world already has " +
                           std::to_string(kMostLights) + " lights");
        if (switched != 0)
            return failure(std::string("cannot switch ") + name + " on: out of memory");
    }
    if (options.mode >= 0) {
        const std::string mode = "mode " + std::to_string(options.mode);
        services->command(browser.instance(), mode.c_str());
    }
    if (options.threads > 0) {
        const std::string threads = "threads " + std::to_string(options.threads);
        if (services->command(browser.instance(), threads.c_str()) != 0)
            return failure("the plug-in cannot draw with " + std::to_string(options.threads) +
                           " threads");
    }
    return kExitOk;
}

int render(const Options& options, const std::vector<ScriptStep>& steps)
{
    Browser browser;
    if (const int status = openWorld(browser, options); status != kExitOk) return status;
    if (const int status = applyOptions(browser, options); status != kExitOk) return status;
    std::string error;
    ScriptPlayer player(browser);
    std::vector<float> soundtrack;
    if (!options.audio.empty()) player.recordSound(&soundtrack);
    player.timeFrames(options.verbose);
    if (!player.play(steps, error)) return failure(error);
    const int frames = player.drawFrames(options.frames, error);
    if (!error.empty()) return failure(error);
    if (options.verbose) std::fprintf(stderr, "%d frame(s) rendered\n", frames);
    if (!options.audio.empty() && !writeWav(options.audio, soundtrack, kSoundRenderRate, error))
        return failure(error);
    if (!options.whole && options.height <= kDashboardRows)
        return failure("the world view of a " + std::to_string(options.width) + " x " +
                       std::to_string(options.height) +
                       " area is empty; use --whole or a larger --size");
    if (!savePicture(browser, options.whole, options.output, error)) return failure(error);
    if (options.verbose) std::fprintf(stderr, "wrote %s\n", options.output.c_str());
    return kExitOk;
}

// The interactive viewer: a real window until it is closed. The script, if any, plays
// first; the window then stays for the user.
int view(const Options& options, const std::vector<ScriptStep>& steps)
{
    std::string error;
    if (!useDisplay(true, error)) return failure(error);
    setPresentRate(options.framesPerSecond);
    // The default output device, opened when a world with Sounds sets up its listener.
    startSoundEngine(options.sound ? "device" : "off");
    Browser browser;
    if (const int status = openWorld(browser, options); status != kExitOk) return status;
    if (const int status = applyOptions(browser, options); status != kExitOk) return status;
    ScriptPlayer player(browser);
    // The script has the window to itself; the real mouse takes over when it is done.
    holdNativeMouse(!steps.empty());
    if (!player.play(steps, error)) return failure(error);
    holdNativeMouse(false);
    browser.runUntilClosed();
    return kExitOk;
}

int info(const Options& options)
{
    Browser browser;
    if (const int status = openWorld(browser, options); status != kExitOk) return status;
    const TarneServices* services = browser.services();
    if (!services) return failure("the plug-in offers no host services");
    char* text = services->describeWorld(browser.instance(), options.json ? 1 : 0);
    if (!text) return failure("the plug-in could not describe the world");
    std::fputs(text, stdout);
    if (*text && text[std::strlen(text) - 1] != '\n') std::fputc('\n', stdout);
    services->freeText(text);
    return kExitOk;
}

// The rewritten world to standard output or -o; exit 1 when the pass reported errors
// (the output is still written, for the user to see how far it got).
int normalize(const Options& options)
{
    Browser browser;
    std::string error;
    if (!browser.loadPlugin(error) || !browser.initialize(error)) return failure(error);
    const TarneServices* services = browser.services();
    if (!services) return failure("the plug-in offers no host services");
    char* text = nullptr;
    char* messages = nullptr;
    const int status = services->normalizeFile(options.file.c_str(), &text, &messages);
    if (messages) {
        std::fputs(messages, stderr);
        services->freeText(messages);
    }
    if (status == 1) {
        services->freeText(text);
        return kExitFailure; // the messages say why
    }
    const std::string rewritten = text ? text : "";
    services->freeText(text);
    if (options.output.empty()) {
        if (std::fwrite(rewritten.data(), 1, rewritten.size(), stdout) != rewritten.size() ||
            std::fflush(stdout) != 0)
            return failure(std::string("standard output: ") + std::strerror(errno));
    } else {
        OutputFile out(options.output);
        if (!out.open(error)) return failure(error);
        std::fwrite(rewritten.data(), 1, rewritten.size(), out.stream());
        if (!out.commit(error)) return failure(error);
    }
    return status == 2 ? kExitFailure : kExitOk;
}

int version()
{
    Browser browser;
    std::string error;
    if (!browser.loadPlugin(error) || !browser.initialize(error)) return failure(error);
    const TarneServices* services = browser.services();
    // NP_GetValue and NP_GetMIMEDescription are the Unix calls; a Windows plug-in says
    // the same in its version resource, which the services read from the same table.
    const char* name = browser.pluginValue(NPPVpluginNameString);
    if (!name && services) name = services->versionEntry("ProductName");
    const char* fileVersion = services ? services->versionEntry("FileVersion") : nullptr;
    std::string dotted;
    for (const char* c = fileVersion ? fileVersion : ""; *c; ++c) {
        if (*c == ',')
            dotted += '.';
        else if (*c != ' ')
            dotted += *c;
    }
    std::printf("%s (version %s)\n", name ? name : "Tarne", dotted.c_str());
    // "type:extensions:description;..." becomes one line per content type.
    const char* types = browser.mimeDescription();
    if (!*types && services) types = services->contentTypes();
    const std::string description = types;
    std::size_t start = 0;
    while (start < description.size()) {
        std::size_t end = description.find(';', start);
        if (end == std::string::npos) end = description.size();
        const std::string entry = description.substr(start, end - start);
        const std::size_t first = entry.find(':');
        const std::size_t second = entry.find(':', first == std::string::npos ? 0 : first + 1);
        if (first != std::string::npos && second != std::string::npos) {
            std::printf("%s: %s (%s)\n", entry.substr(0, first).c_str(),
                        entry.substr(first + 1, second - first - 1).c_str(),
                        entry.substr(second + 1).c_str());
        }
        start = end + 1;
    }
    return kExitOk;
}

} // namespace

// The world must be a regular file: a named pipe would block the reading for ever, and
// a device or a folder reads as nothing.
int checkWorldFile(const std::string& file)
{
    struct stat status {};
    if (stat(file.c_str(), &status) != 0) return failure(file + ": " + std::strerror(errno));
    if (!S_ISREG(status.st_mode)) return failure(file + ": not a regular file");
    return kExitOk;
}

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) return usageError(error);
    // An output that is the world itself would destroy it: refused before anything is read.
    for (const std::string& output : {options.output, options.audio}) {
        if (!output.empty() && sameFile(output, options.file))
            return usageError(output + " is the world file itself; choose another output");
    }
    std::vector<ScriptStep> steps;
    if (!options.script.empty()) {
        if (!readScript(options.script, steps, error)) return usageError(error);
        for (const ScriptStep& step : steps) {
            if (step.kind != StepKind::Shot) continue;
            if (sameFile(step.path, options.file) || sameFile(step.path, options.script))
                return usageError(options.script + ":" + std::to_string(step.line) + ": " +
                                  step.path + " is an input; choose another output");
        }
    }
    const bool readsWorld = options.command != Command::Help && options.command != Command::Version;
    if (readsWorld) {
        if (const int status = checkWorldFile(options.file); status != kExitOk) return status;
    }
    if (options.command == Command::View) return view(options, steps);
    if (!useDisplay(false, error)) return failure(error);
    // Rendering never opens a sound device: what the listener hears is rendered into
    // memory (and written with --audio). Where the host has no such engine (Windows),
    // the worlds stay silent.
    if (options.sound && !startSoundEngine("loopback")) {
        if (!options.audio.empty()) return failure("--audio is not available on this system");
        options.sound = false;
    }
    if (!options.sound) startSoundEngine("off");
    switch (options.command) {
    case Command::Version: return version();
    case Command::View: return kExitUsage; // handled above
    case Command::Render: return render(options, steps);
    case Command::Info: return info(options);
    case Command::Normalize: return normalize(options);
    case Command::Help: std::fputs(kUsage, stdout); return kExitOk;
    }
    return kExitUsage;
}
