// tests/support/test_support.h - small files written by tests, in a private folder
// that is removed when the test program ends.
#pragma once

#include <string>

namespace testing_support {

// The test program's private temporary folder (created on first use), with a
// trailing '/'.
const std::string& tempDir();

// Writes `bytes` to tempDir() + name (creating subfolders) and returns the full path.
std::string writeTempFile(const std::string& name, const std::string& bytes);

// The whole file, or "" when it cannot be read.
std::string readFile(const std::string& path);

// The folder holding the built programs and the plug-in (build/bin).
std::string binDir();

// The repository root (for the shared corpus, examples).
std::string sourceDir();

// A program run through the shell: its exit status (-1 when it did not exit) and what
// it wrote on its two streams.
struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};
CommandRun runCommand(const std::string& commandLine);

} // namespace testing_support
