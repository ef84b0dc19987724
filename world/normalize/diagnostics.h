// world/normalize/diagnostics.h - the messages of one normalizing pass.
//
// Owns: nothing; appends to the caller's NormalizeResult::diagnostics.
// Entry points: Diagnostics::error, Diagnostics::warning.
// A hostile file can hold millions of errors; after the limit one last message says
// that the rest were left out, and later ones cost nothing.
#pragma once

#include "base/types.h"
#include "world/normalize/normalize.h"

#include <string>
#include <vector>

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

private:
    void add(const std::string& file, i32 line, i32 column, const std::string& message,
             bool isWarning);

    std::vector<NormalizeDiagnostic>& out_;
    u32 maxMessages_;
    u32 count_ = 0;
};
