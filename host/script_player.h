// host/script_player.h - plays scripted input (host/script.h) into a running instance,
// through the same routing as a real mouse, and writes its shots and recordings.
//
// Entry points: ScriptPlayer::play, ScriptPlayer::drawFrames, savePicture.
// Failure: a shot or recorded frame that cannot be written stops the play with
// "FILE: reason"; every picture is written whole or not at all (host/output_file.h).
#pragma once

#include "host/browser.h"
#include "host/script.h"

#include <chrono>
#include <string>
#include <vector>

// The world view (the plug-in area less the Dashboard's 90 rows) or, with `whole`, the
// whole area of the browser's frame, as a PNG.
bool savePicture(Browser& browser, bool whole, const std::string& path, std::string& error);

class ScriptPlayer {
public:
    explicit ScriptPlayer(Browser& browser) : browser_(browser) {}

    // Every frame drawn from now on adds 1/60 s of what the listener hears (the sound
    // engine's loopback output) to `soundtrack`.
    void recordSound(std::vector<float>* soundtrack) { soundtrack_ = soundtrack; }
    // Every frame drawn from now on is timed on standard error.
    void timeFrames(bool verbose) { verbose_ = verbose; }

    // Plays every step in order; stops early when the window was closed.
    bool play(const std::vector<ScriptStep>& steps, std::string& error);
    // Lets `frames` frames be drawn, recording each while a recording runs; answers the
    // frames drawn (fewer when nothing more can happen).
    int drawFrames(int frames, std::string& error);

private:
    void injectMouse(const ScriptStep& step);
    // What follows each frame drawn: its recorded picture, its sound, its time.
    void afterFrame(std::string& error);

    Browser& browser_;
    bool leftHeld_ = false;
    bool rightHeld_ = false;
    std::string recordPattern_; // empty while nothing is recorded
    int recorded_ = 0;          // frames written by recordings so far
    std::vector<float>* soundtrack_ = nullptr;
    bool verbose_ = false;
    int framesDrawn_ = 0;
    std::chrono::steady_clock::time_point lastFrame_ = std::chrono::steady_clock::now();
};
