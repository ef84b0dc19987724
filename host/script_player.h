// host/script_player.h - plays scripted input (host/script.h) into a running instance,
// through the same routing as a real mouse, and writes its shots and recordings.
//
// Entry points: ScriptPlayer::play, ScriptPlayer::drawFrames, savePicture.
// Failure: a shot or recorded frame that cannot be written stops the play with
// "FILE: reason"; every picture is written whole or not at all (host/output_file.h).
#pragma once

#include "host/browser.h"
#include "host/script.h"

#include <string>
#include <vector>

// The world view (the plug-in area less the Dashboard's 90 rows) or, with `whole`, the
// whole area of the browser's frame, as a PNG.
bool savePicture(Browser& browser, bool whole, const std::string& path, std::string& error);

class ScriptPlayer {
public:
    explicit ScriptPlayer(Browser& browser) : browser_(browser) {}

    // Plays every step in order; stops early when the window was closed.
    bool play(const std::vector<ScriptStep>& steps, std::string& error);
    // Lets `frames` frames be drawn, recording each while a recording runs; answers the
    // frames drawn (fewer when nothing more can happen).
    int drawFrames(int frames, std::string& error);

private:
    void injectMouse(const ScriptStep& step);

    Browser& browser_;
    bool leftHeld_ = false;
    bool rightHeld_ = false;
    std::string recordPattern_; // empty while nothing is recorded
    int recorded_ = 0;          // frames written by recordings so far
};
