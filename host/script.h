// host/script.h - scripted input: mouse steps, frames, shots and recordings read from
// a text file, for tests and for fly-throughs that can be made again.
//
// One step a line, '#' starts a comment, coordinates in plug-in-area pixels (the
// Dashboard's rows included), as a person's mouse would give them:
//   down X Y [right] [shift] [ctrl]    a button pressed (the left one unless "right")
//   move X Y [right] [shift] [ctrl]    the mouse moved (held buttons come along)
//   up X Y [right]                     a button released
//   frames N                           let N frames be drawn
//   shot OUT.png [--whole]             the world view (or the whole area) as a picture
//   record PATTERN.png | record off    every following frame as PATTERN with its number
//                                      (one printf conversion, %d or %0Nd: fly-%04d.png)
//   quit                               close the window, as its close button does
// Entry points: readScript, recordName.
// Failure: readScript answers false with "FILE:LINE: bad step 'TEXT': reason" for the
// first step it cannot take; nothing has been done then.
#pragma once

#include <string>
#include <vector>

enum class StepKind { Down, Move, Up, Frames, Shot, Record, RecordOff, Quit };

struct ScriptStep {
    StepKind kind = StepKind::Frames;
    int x = 0;
    int y = 0;
    bool right = false; // the right button
    bool shift = false;
    bool control = false;
    int frames = 0;
    std::string path; // shot: the picture; record: the pattern
    bool whole = false;
    int line = 0; // in the script, for messages
};

bool readScript(const std::string& file, std::vector<ScriptStep>& steps, std::string& error);

// The file name a recording pattern gives frame `number`.
std::string recordName(const std::string& pattern, int number);
