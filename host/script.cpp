// Reading scripted input.
#include "host/script.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr int kLargestCoordinate = 32767; // mouse coordinates travel as 16-bit halves
constexpr int kMostFrames = 1000000;

bool parseCount(const std::string& word, int low, int high, int& value)
{
    if (word.empty() || word.size() > 9) return false;
    bool negative = false;
    std::size_t at = 0;
    if (word[0] == '-') {
        negative = true;
        at = 1;
    }
    if (at == word.size()) return false;
    long parsed = 0;
    for (; at < word.size(); ++at) {
        if (word[at] < '0' || word[at] > '9') return false;
        parsed = parsed * 10 + (word[at] - '0');
    }
    if (negative) parsed = -parsed;
    if (parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

// A recording pattern holds exactly one conversion, %d or %0Nd (N below 10), and no
// other '%' but "%%": anything else would make printf read an argument that is not there.
bool validPattern(const std::string& pattern)
{
    int conversions = 0;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] != '%') continue;
        if (at + 1 < pattern.size() && pattern[at + 1] == '%') {
            ++at;
            continue;
        }
        std::size_t next = at + 1;
        if (next < pattern.size() && pattern[next] == '0') {
            ++next;
            if (next < pattern.size() && pattern[next] >= '1' && pattern[next] <= '9') ++next;
        }
        if (next >= pattern.size() || pattern[next] != 'd') return false;
        ++conversions;
        at = next;
    }
    return conversions == 1;
}

// The words after the step's name: the flags a mouse step may carry.
bool readFlags(const std::vector<std::string>& words, std::size_t from, bool allowKeys,
               ScriptStep& step, std::string& reason)
{
    for (std::size_t at = from; at < words.size(); ++at) {
        const std::string& word = words[at];
        if (word == "right") {
            step.right = true;
        } else if (allowKeys && word == "shift") {
            step.shift = true;
        } else if (allowKeys && word == "ctrl") {
            step.control = true;
        } else {
            reason = "unknown word '" + word + "'";
            return false;
        }
    }
    return true;
}

bool readStep(const std::vector<std::string>& words, ScriptStep& step, std::string& reason)
{
    const std::string& name = words[0];
    if (name == "down" || name == "move" || name == "up") {
        step.kind = name == "down"   ? StepKind::Down
                    : name == "move" ? StepKind::Move
                                     : StepKind::Up;
        if (words.size() < 3 ||
            !parseCount(words[1], -kLargestCoordinate, kLargestCoordinate, step.x) ||
            !parseCount(words[2], -kLargestCoordinate, kLargestCoordinate, step.y)) {
            reason = "needs X Y, whole numbers";
            return false;
        }
        return readFlags(words, 3, step.kind != StepKind::Up, step, reason);
    }
    if (name == "frames") {
        step.kind = StepKind::Frames;
        if (words.size() != 2 || !parseCount(words[1], 1, kMostFrames, step.frames)) {
            reason = "needs a count from 1 to 1000000";
            return false;
        }
        return true;
    }
    if (name == "shot") {
        step.kind = StepKind::Shot;
        const bool whole = words.size() == 3 && words[2] == "--whole";
        if (words.size() != 2 && !whole) {
            reason = "needs OUT.png, and --whole at most";
            return false;
        }
        step.path = words[1];
        step.whole = whole;
        return true;
    }
    if (name == "record") {
        if (words.size() == 2 && words[1] == "off") {
            step.kind = StepKind::RecordOff;
            return true;
        }
        step.kind = StepKind::Record;
        if (words.size() != 2 || !validPattern(words[1])) {
            reason = "needs a pattern with one %d (or %0Nd), or off";
            return false;
        }
        step.path = words[1];
        return true;
    }
    if (name == "quit" && words.size() == 1) {
        step.kind = StepKind::Quit;
        return true;
    }
    reason = "unknown step";
    return false;
}

} // namespace

bool readScript(const std::string& file, std::vector<ScriptStep>& steps, std::string& error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file + ": " + std::strerror(errno);
        return false;
    }
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        const std::size_t hash = text.find('#');
        const std::string content = text.substr(0, hash);
        std::istringstream split(content);
        std::vector<std::string> words;
        for (std::string word; split >> word;) words.push_back(word);
        if (words.empty()) continue;
        ScriptStep step;
        step.line = line;
        std::string reason;
        if (!readStep(words, step, reason)) {
            std::string shown = content;
            while (!shown.empty() && (shown.back() == '\r' || shown.back() == ' '))
                shown.pop_back();
            error = file + ":" + std::to_string(line) + ": bad step '" + shown + "': " + reason;
            return false;
        }
        steps.push_back(step);
    }
    return true;
}

std::string recordName(const std::string& pattern, int number)
{
    char name[PATH_MAX];
    // The pattern was checked by readScript: one integer conversion.
    std::snprintf(name, sizeof name, pattern.c_str(), number);
    return name;
}
