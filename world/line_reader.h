// world/line_reader.h - where the line reader's lines come from: an open file or text in
// memory, handed out one line at a time.
//
// Owns: the read-ahead buffer of one read (inside LineReader).
// Entry points: openLineReader, openTextReader, readLine.
// Failure: a line longer than the buffer is handed out in pieces; the end of the text
// answers false.
#pragma once

#include "base/types.h"

#include <cstddef>
#include <cstdio>
#include <string>

struct NameIndexes;

// What a read tells the person who opened the world, as "FILE: message" lines (the
// reader itself still keeps going whatever it meets).
struct ReadReport {
    std::string fileName;       // how the messages name the world
    std::string messages;       // one line each, in the order found
    bool numberRefused = false; // a number beyond a float was refused (said once a file)
};

// Appends "FILE: text" and a newline; nothing without a report.
void reportMessage(ReadReport* report, const std::string& text);

// A piece of a file's text as a message may quote it: at most 60 characters (then
// "..."), control characters and NULs shown as '?', so a hostile file can neither flood
// the messages nor cut them short.
std::string shownText(const char* text, std::size_t length);

// One line: at most 254 characters, its newline included, and a NUL.
constexpr std::size_t kLineBufferSize = 255;
// Bytes of a file read ahead at a time; lines are still handed out 254 at most.
constexpr std::size_t kReadAheadSize = 65536;

// Where lines come from: an open file, or text in memory. A CR LF pair arrives as one
// newline whatever the source, as a text-mode file gives it on the platform the worlds
// were written for; a lone CR stays an ordinary character.
struct LineReader {
    std::FILE* file = nullptr;      // null when reading text in memory
    const char* bytes = nullptr;    // the text in memory, or readAhead
    std::size_t size = 0;           // bytes available at `bytes`
    std::size_t position = 0;       // next byte to hand out
    bool ended = false;             // readLine has answered false once
    NameIndexes* names = nullptr;   // USE lookups of the read, when it keeps them
    ReadReport* report = nullptr;   // where the read's messages go, or nowhere
    u32 lineNumber = 0;             // the line the last piece handed out belongs to (1-based)
    u32 newlines = 0;               // line ends handed out so far
    char readAhead[kReadAheadSize]; // file bytes not yet handed out
};

// Reads from an open file (not closed by the reader) / from text in memory (not copied:
// it must outlive the reading).
void openLineReader(LineReader& in, std::FILE* file);
void openTextReader(LineReader& in, const char* text, std::size_t size);

// Reads one line into buffer: at most size - 1 characters, the newline included, then
// a NUL; a longer line is handed out in pieces. Returns false at the end of the text (or
// for a buffer of fewer than 2 bytes) and then leaves the buffer unchanged. A NUL byte in the text
// ends the line's string there.
bool readLine(LineReader& in, char* buffer, std::size_t size);
