// host/output_file.h - the files tarne writes for the user (pictures, rewritten worlds,
// recordings): written to a temporary file beside the final name and renamed into place
// only when complete, so a user's file is replaced whole or not at all, and never
// written through a symbolic link or over an input.
//
// Entry points: sameFile, OutputFile.
// Failure: every failure answers false with "FILE: reason" (the system's reason from
// strerror); the temporary file is removed and the final name is left as it was.
#pragma once

#include <cstdio>
#include <string>

// True when both names lead to one existing file (same device and inode, symbolic links
// followed); false when either does not exist.
bool sameFile(const std::string& first, const std::string& second);

class OutputFile {
public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {}
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile(); // an output never committed leaves no temporary file behind

    // Creates the temporary file in the final name's folder (a rename within one folder
    // is atomic), with the permissions a new file of the user would get.
    bool open(std::string& error);
    // The open temporary file, written by the caller.
    std::FILE* stream() const { return stream_; }
    // Flushes and closes the temporary file, then renames it over the final name.
    bool commit(std::string& error);

private:
    std::string path_;
    std::string temporary_;
    std::FILE* stream_ = nullptr;
};
