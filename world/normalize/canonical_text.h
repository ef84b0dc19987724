// world/normalize/canonical_text.h - the output of the pass: one statement per line,
// indented by nesting, with a byte limit.
//
// Owns: the write position, the indentation depth and the stop flag; writes into the
// caller's string, which it grows in large steps and cuts to length in finish().
// Entry points: CanonicalText::begin, end, line, append, room/commit, mark, rollBack,
// stop, finish.
// Once the limit is passed, or the writer is stopped for another limit, nothing but
// closing lines is written, so what was written stays readable text.
#pragma once

#include "base/types.h"

#include <cstring>
#include <string>
#include <string_view>

class CanonicalText {
public:
    CanonicalText(std::string& out, u64 limit) : out_(out), used_(out.size()), limit_(limit) {}

    // Room for `bytes` more characters at the write position; commit() says how many
    // were written there. The large lists are written this way, a row at a time.
    char* room(std::size_t bytes)
    {
        if (used_ + bytes > out_.size()) {
            // A quarter more at a time within the room reserved for the world (a page of
            // memory is touched only when it is about to be written), half again beyond.
            const std::size_t needed = used_ + bytes + 4096;
            std::size_t grown = out_.size() + out_.size() / 4;
            if (grown < needed) grown = needed;
            if (grown > out_.capacity())
                grown = needed <= out_.capacity() ? out_.capacity() : out_.size() + out_.size() / 2;
            out_.resize(grown > needed ? grown : needed);
        }
        return out_.data() + used_;
    }
    void commit(std::size_t bytes) { used_ += bytes; }

    void append(std::string_view text)
    {
        std::memcpy(room(text.size()), text.data(), text.size());
        used_ += text.size();
    }
    void append(char c)
    {
        *room(1) = c;
        ++used_;
    }
    // Indentation for a line at the current depth.
    void indent()
    {
        const std::size_t blanks = indentWidth();
        std::memset(room(blanks), ' ', blanks);
        used_ += blanks;
    }
    // Two blanks a level, no deeper than 16 levels: deep worlds must not push list
    // entries past the reader's line length.
    std::size_t indentWidth() const
    {
        constexpr u32 kMaxIndentLevels = 16;
        return 2 * static_cast<std::size_t>(depth_ < kMaxIndentLevels ? depth_ : kMaxIndentLevels);
    }

    // "text" on a line of its own at the current depth.
    void line(std::string_view text)
    {
        indent();
        append(text);
        append('\n');
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

    // Position to roll back to when a node turns out to have written nothing inside.
    struct Mark {
        std::size_t size;
        u32 depth;
    };
    Mark mark() const { return {used_, depth_}; }
    void rollBack(const Mark& mark)
    {
        used_ = mark.size;
        depth_ = mark.depth;
    }

    bool overLimit() const { return used_ > limit_; }
    bool stopped() const { return stopped_; }
    void stop() { stopped_ = true; }
    std::size_t size() const { return used_; }
    // Cuts the string to what was written.
    void finish() { out_.resize(used_); }

private:
    std::string& out_;
    std::size_t used_;
    u64 limit_;
    u32 depth_ = 0;
    bool stopped_ = false;
};
