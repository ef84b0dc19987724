// world/normalize/canonical_text.h - the output of the pass: one statement per line,
// indented by nesting, with a byte limit.
//
// Owns: the indentation depth and the stop flag; writes into the caller's string.
// Entry points: CanonicalText::begin, end, line, indent, mark, rollBack, stop.
// Once the limit is passed, or the writer is stopped for another limit, nothing but
// closing lines is written, so what was written stays readable text.
#pragma once

#include "base/types.h"

#include <string>
#include <string_view>

class CanonicalText {
public:
    CanonicalText(std::string& out, u64 limit) : out_(out), limit_(limit) {}

    // "text" on a line of its own at the current depth.
    void line(std::string_view text)
    {
        indent();
        out_.append(text);
        out_ += '\n';
    }
    // A line that opens a node or a list: what follows is one level deeper.
    void begin(std::string_view text)
    {
        line(text);
        ++depth_;
    }
    // The line that closes it.
    void end(std::string_view text)
    {
        if (depth_ > 0) --depth_;
        line(text);
    }
    // Indentation only, for lines assembled in place.
    void indent()
    {
        // Two blanks a level, no deeper than 16 levels: deep worlds must not push list
        // entries past the reader's line length.
        constexpr u32 kMaxIndentLevels = 16;
        const u32 levels = depth_ < kMaxIndentLevels ? depth_ : kMaxIndentLevels;
        out_.append(2 * levels, ' ');
    }
    std::string& raw() { return out_; }

    // Position to roll back to when a node turns out to have written nothing inside.
    struct Mark {
        std::size_t size;
        u32 depth;
    };
    Mark mark() const { return {out_.size(), depth_}; }
    void rollBack(const Mark& mark)
    {
        out_.resize(mark.size);
        depth_ = mark.depth;
    }

    bool overLimit() const { return out_.size() > limit_; }
    bool stopped() const { return stopped_; }
    void stop() { stopped_ = true; }
    std::size_t size() const { return out_.size(); }

private:
    std::string& out_;
    u64 limit_;
    u32 depth_ = 0;
    bool stopped_ = false;
};
