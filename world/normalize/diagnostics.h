// world/normalize/diagnostics.h - the messages of one normalizing pass.
//
// Owns: nothing; appends to the caller's NormalizeResult::diagnostics.
// Entry points: Diagnostics::error, Diagnostics::warning.
// A hostile file can hold millions of errors; after the limit one last message says
// that the rest were left out, and later ones cost nothing.
#pragma once

#include "base/types.h"

#include <string>
#include <vector>

// One message, printed by the caller as FILE:LINE:COLUMN: message.
struct NormalizeDiagnostic {
    std::string file;    // the file the message is about (an Inline's own file for its errors)
    int line;            // 1-based; 0 when the message is about the whole file
    int column;          // 1-based, in bytes; 0 when the message is about the whole file
    std::string message; // one sentence, no trailing newline
    bool warning;        // true: the world is still read; false: a syntax error or a refusal
};

class Diagnostics {
public:
    Diagnostics(std::vector<NormalizeDiagnostic>& out, u32 maxMessages)
        : out_(out), maxMessages_(maxMessages)
    {
    }

    void error(const std::string& file, i32 line, i32 column, const std::string& message)
    {
        add(file, line, column, message, false);
    }
    void warning(const std::string& file, i32 line, i32 column, const std::string& message)
    {
        add(file, line, column, message, true);
    }

    // Where the messages stand now, and taking back every message since then (a file
    // found not to be VRML says so once instead of once for each of its lines).
    struct Mark {
        std::size_t kept;
        u32 counted;
    };
    Mark mark() const { return Mark{out_.size(), count_}; }
    bool grewSince(const Mark& mark) const { return count_ != mark.counted; }
    void rollBack(const Mark& mark)
    {
        out_.resize(mark.kept);
        count_ = mark.counted;
    }

private:
    void add(const std::string& file, i32 line, i32 column, const std::string& message,
             bool isWarning);

    std::vector<NormalizeDiagnostic>& out_;
    u32 maxMessages_;
    u32 count_ = 0;
};
