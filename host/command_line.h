// host/command_line.h - the tarne command line: one command, its file and options.
#pragma once

#include <string>

enum class Command { Help, Version, View, Render, Info, Normalize };

struct Options {
    Command command = Command::Help;
    std::string file;
    std::string output; // -o
    int width = 640;    // --size: the plug-in area
    int height = 480;
    int frames = 1; // --frames
    int scale = 1;  // --scale 1 or 2
    bool stereo = false;
    bool shadows = false;
    bool reflection = false;
    bool lamp = false;
    bool whole = false;  // the whole area, Dashboard included
    bool strict = false; // the line reader alone, no normalizing pass
    bool json = false;
    bool verbose = false;
    int mode = -1;            // --mode: the navigation mode at start (0..7), -1 the default
    std::string script;       // --script: scripted input, played before anything else
    int framesPerSecond = 60; // --fps (view): presents a second, 0 unpaced
    bool sound = true;        // --no-sound: the world's Sounds stay silent
    std::string audio;        // --audio (render): what the listener hears, as a WAV file
    int threads = 0;          // --threads: threads drawing each frame, 0 one per processor
};

// Fills `options` from the arguments; false with a reason for a usage error.
bool parseCommandLine(int argc, char** argv, Options& options, std::string& error);
