// Parsing of the tarne command line.
#include "host/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kLargestSide = 16384;
// The Dashboard takes the plug-in area's bottom 90 rows; the world needs one more.
constexpr int kSmallestHeight = 91;
constexpr int kMostFrames = 1000000;
constexpr int kMostThreads = 64; // the renderer's most bands

// Decimal digits only: no sign, no blanks, nothing after them.
bool parseInt(const char* text, int low, int high, int& value)
{
    if (!text || !*text) return false;
    for (const char* c = text; *c; ++c)
        if (*c < '0' || *c > '9') return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

// "640x480"
bool parseSize(const char* text, int& width, int& height)
{
    const char* cross = text ? std::strchr(text, 'x') : nullptr;
    if (!cross) return false;
    const std::string first(text, static_cast<std::size_t>(cross - text));
    return parseInt(first.c_str(), 1, kLargestSide, width) &&
           parseInt(cross + 1, 1, kLargestSide, height);
}

} // namespace

bool parseCommandLine(int argc, char** argv, Options& options, std::string& error)
{
    if (argc < 2) {
        error = "no command given";
        return false;
    }
    const std::string command = argv[1];
    if (command == "--version" || command == "version") {
        options.command = Command::Version;
        return argc == 2 || (error = "--version takes no arguments", false);
    }
    if (command == "--help" || command == "-h" || command == "help") {
        options.command = Command::Help;
        return true;
    }
    if (command == "view")
        options.command = Command::View;
    else if (command == "render")
        options.command = Command::Render;
    else if (command == "info")
        options.command = Command::Info;
    else if (command == "normalize")
        options.command = Command::Normalize;
    else {
        error = "unknown command '" + command + "'";
        return false;
    }

    const bool render = options.command == Command::Render;
    const bool view = options.command == Command::View;
    const bool info = options.command == Command::Info;
    const bool shows = render || view; // the commands that draw frames
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needsValue = [&](const char* what) {
            if (next) return true;
            error = argument + " needs " + what;
            return false;
        };
        if (argument == "-o" && (render || options.command == Command::Normalize)) {
            if (!needsValue("a file name")) return false;
            options.output = next;
            ++i;
        } else if (argument == "--size" && shows) {
            if (!needsValue("WxH") || !parseSize(next, options.width, options.height)) {
                error = "--size takes WxH, each 1 to 16384 in digits";
                return false;
            }
            if (options.height < kSmallestHeight) {
                error = "--size " + std::string(next) +
                        " leaves no view: the height must be at least 91 (the Dashboard "
                        "takes 90 rows)";
                return false;
            }
            ++i;
        } else if (argument == "--frames" && render) {
            if (!needsValue("a count") || !parseInt(next, 1, kMostFrames, options.frames)) {
                error = "--frames takes a count from 1 to 1000000";
                return false;
            }
            ++i;
        } else if (argument == "--scale" && render) {
            if (!needsValue("1 or 2") || !parseInt(next, 1, 2, options.scale)) {
                error = "--scale takes 1 or 2";
                return false;
            }
            ++i;
        } else if (argument == "--stereo" && render) {
            options.stereo = true;
        } else if (argument == "--shadows" && render) {
            options.shadows = true;
        } else if (argument == "--reflection" && render) {
            options.reflection = true;
        } else if (argument == "--lamp" && render) {
            options.lamp = true;
        } else if (argument == "--whole" && render) {
            options.whole = true;
        } else if (argument == "--verbose" && render) {
            options.verbose = true;
        } else if (argument == "--strict" && (shows || info)) {
            options.strict = true;
        } else if (argument == "--mode" && shows) {
            if (!needsValue("0 to 7") || !parseInt(next, 0, 7, options.mode)) {
                error = "--mode takes a navigation mode from 0 to 7";
                return false;
            }
            ++i;
        } else if (argument == "--script" && shows) {
            if (!needsValue("a file name")) return false;
            options.script = next;
            ++i;
        } else if (argument == "--fps" && view) {
            if (!needsValue("a rate") || !parseInt(next, 0, 1000, options.framesPerSecond)) {
                error = "--fps takes presents a second from 0 (unpaced) to 1000";
                return false;
            }
            ++i;
        } else if (argument == "--threads" && shows) {
            if (!needsValue("a count") || !parseInt(next, 1, kMostThreads, options.threads)) {
                error = "--threads takes a count from 1 to 64";
                return false;
            }
            ++i;
        } else if (argument == "--no-sound" && shows) {
            options.sound = false;
        } else if (argument == "--audio" && render) {
            if (!needsValue("a file name")) return false;
            options.audio = next;
            ++i;
        } else if (argument == "--json" && info) {
            options.json = true;
        } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
            error = "unknown option '" + argument + "' for " + command;
            return false;
        } else if (options.file.empty()) {
            options.file = argument;
        } else {
            error = "more than one file given";
            return false;
        }
    }
    if (options.file.empty()) {
        error = command + " needs a FILE";
        return false;
    }
    if (render && options.output.empty()) {
        error = "render needs -o OUT.png";
        return false;
    }
    return true;
}
