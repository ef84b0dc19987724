// world/line_rules.h - the conventions every node reader shares, in one place: how a
// field is found in a line, how numbers, number lists and index lists are cut out of
// lines, the DEF and USE name rules with their generated names, booleans and strings.
//
// Owns: nothing; these are pure functions of the current line (and, for the lists, of
// the lines read after it).
// Reads: the current line; the list readers read further lines from the LineReader and
// leave the last line read as the current line.
// Writes: only the caller's output fields, each cut to its size.
// Entry points: nextLine, has, commentedOut, toNumber, toInteger, readNumbersAt,
//               readValues, readValue, readVector,
//               booleanIn, cutDefName, cutUseName, cutSpaceName, generatedName, copyText,
//               urlText, quotedText, readNumberList, readIndexList.
// Failure: malformed text never fails: a token without a numeric prefix reads as 0, a
// missing name or string leaves the field as it was (or takes the generated name).
#pragma once

#include "base/types.h"
#include "world/line_reader.h"

#include <cstddef>
#include <cstring>

// The current line of a node reader: the text read, and its length up to the first NUL.
struct Line {
    char text[kLineBufferSize] = {};
    u32 length = 0;
};

// Reads the next line into `line`; false at the end of the text (the line then stays).
inline bool nextLine(LineReader& in, Line& line)
{
    if (!readLine(in, line.text, sizeof line.text)) return false;
    // Bounded by the buffer: readLine always writes a NUL inside it.
    line.length = static_cast<u32>(std::strlen(line.text));
    return true;
}

// Field and keyword detection: case-sensitive, anywhere in the line.
inline bool has(const Line& line, const char* word)
{
    return std::strstr(line.text, word) != nullptr;
}

// True when the line holds a "#" before the first occurrence of keyword (a node that is
// commented out on its first line).
bool commentedOut(const Line& line, const char* keyword);

// --- Numbers -------------------------------------------------------------------------

// The decimal number at the start of [begin, end), as the C library's text-to-double
// would read it (leading white space, a sign, digits, a fraction, an exponent), narrowed
// to float; 0 when the text has no numeric prefix. Only decimal notation is read: "inf",
// "nan" and hexadecimal text give 0 (or their numeric prefix). Out-of-range magnitudes
// give an infinity or 0.
f32 toNumber(const char* begin, const char* end);

// The decimal integer at the start of [begin, end) (white space, a sign, digits), 0 when
// there is none; values beyond the 32-bit range are pinned to its ends.
i32 toInteger(const char* begin, const char* end);

// Numbers split at blanks and newlines only (a tab separates nothing): each part that is
// not empty once its leading blanks and tabs are gone is the next number, up to the end
// of the text. Stores at most maxCount numbers and returns how many it stored.
u32 readNumbersAt(const char* text, f32* values, u32 maxCount);

// Single values: the text after the first occurrence of field, its first character
// skipped, split at blanks and newlines only (a tab separates nothing); each part that
// is not empty once its leading blanks and tabs are gone is the next number. Stores at
// most maxCount numbers and returns how many it stored; missing components are left as
// they were.
u32 readValues(const Line& line, const char* field, f32* values, u32 maxCount);

// The first single value after field; false (value unchanged) when there is none.
bool readValue(const Line& line, const char* field, f32& value);

// A vector field given as x, y, z: each component read is multiplied by factor and
// stored in the internal order (z, x, y); components not given are left as they were.
// Returns how many components the line gave.
u32 readVector(const Line& line, const char* field, f32 factor, f32 internal[3]);

// Booleans: 0 when the line holds "FALSE" (it wins over TRUE), 1 when it holds "TRUE",
// -1 when it holds neither.
i32 booleanIn(const Line& line);

// --- Names and strings ---------------------------------------------------------------

// Copies length characters into a field of fieldSize bytes, cut to fieldSize - 1, and
// ends it with a NUL.
void copyText(char* field, std::size_t fieldSize, const char* text, std::size_t length);

// prefix followed by the decimal count ("Transform_3").
void generatedName(char* field, std::size_t fieldSize, const char* prefix, i32 count);

// The DEF node rule. The text after the first "DEF", leading blanks and tabs removed,
// ends at its first blank when a blank comes before its first tab, at its first tab
// otherwise; text with no tab at all gives the generated name prefix + count instead.
// Does nothing when the line holds no "DEF".
void cutDefName(const Line& line, const char* prefix, i32 count, char* field,
                std::size_t fieldSize);

// The USE rule, applied to the text after the first occurrence of keyword ("USE", or
// "DEF" for a Material's name): leading blanks and tabs removed, the name ends at the
// first blank when a blank comes before the first tab or there is no tab, at the first
// tab otherwise; text with neither gives the text without its last character (normally
// the newline) and the answer false. Leaves an empty field when keyword is absent.
bool cutUseName(const Line& line, const char* keyword, char* field, std::size_t fieldSize);

// The white-space rule of the Coordinate, Normal, TextureCoordinate and Color names: the
// text after the first "DEF" (blanks and tabs skipped) up to the first white-space
// character; an empty name gives prefix + count.
void cutSpaceName(const Line& line, const char* prefix, i32 count, char* field,
                  std::size_t fieldSize);

// The text between the first and the last double quote (empty when there is only one);
// false, field unchanged, when the line holds no double quote.
bool quotedText(const Line& line, char* field, std::size_t fieldSize);

// A url field: with a "[" and a double quote, the quoted text; with a "[" and no quote,
// the text between the "[" and the first "]" after it (none: no url); with no "[", the
// quoted text. False, field unchanged, when the line gives no url.
bool urlText(const Line& line, char* field, std::size_t fieldSize);

// --- Lists ---------------------------------------------------------------------------

// Converts the token [begin, end) for a number list: skipped when it is empty once its
// leading blanks and tabs are gone, otherwise handed to sink.
template <class Sink> inline void emitNumber(const char* begin, const char* end, Sink& sink)
{
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    if (begin < end) sink(toNumber(begin, end));
}

// Scans a number list line from `start`: a number ends at a ",", a blank or the line's
// last character (which is never part of a number); a "]" converts the text before it
// and ends the scan. True when a "]" was met.
template <class Sink> inline bool scanNumbers(const Line& line, u32 start, Sink& sink)
{
    const char* text = line.text;
    const u32 length = line.length;
    u32 tokenStart = start;
    for (u32 i = start; i < length; ++i) {
        const char c = text[i];
        if (c == ']') {
            emitNumber(text + tokenStart, text + i, sink);
            return true;
        }
        if (c == ',' || c == ' ' || i + 1 == length) {
            emitNumber(text + tokenStart, text + i, sink);
            tokenStart = i + 1;
        }
    }
    return false;
}

// Reads a number list (points, vectors, colours): from after the first "[" of the line
// (lines are read until one holds a "["), then, whether or not that line held the "]",
// line after line from its first character until a line that holds a "]". Each number
// goes to sink in order; the last line read stays in `line`. Ends at the end of the text.
template <class Sink> void readNumberList(LineReader& in, Line& line, Sink& sink)
{
    const char* bracket = nullptr;
    while (!(bracket = std::strchr(line.text, '['))) {
        if (!nextLine(in, line)) return;
    }
    scanNumbers(line, static_cast<u32>(bracket - line.text) + 1, sink);
    while (nextLine(in, line)) {
        if (scanNumbers(line, 0, sink)) return;
    }
}

// Converts an index list entry [begin, end): skipped when empty once its leading blanks
// and tabs are gone.
template <class Sink> inline void emitIndex(const char* begin, const char* end, Sink& sink)
{
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    if (begin < end) sink(toInteger(begin, end));
}

// Scans an index list line from `start`: entries end only at ","; a "]" converts the
// text before it and ends the list; text after the last "," of a line without "]" is
// dropped. True when a "]" was met.
template <class Sink> inline bool scanIndices(const Line& line, u32 start, Sink& sink)
{
    const char* text = line.text;
    u32 tokenStart = start;
    for (u32 i = start; i < line.length; ++i) {
        const char c = text[i];
        if (c == ']') {
            emitIndex(text + tokenStart, text + i, sink);
            return true;
        }
        if (c == ',') {
            emitIndex(text + tokenStart, text + i, sink);
            tokenStart = i + 1;
        }
    }
    return false;
}

// Reads an index list (coordIndex): like a number list, but it ends at its "]" even on
// the line that opened it.
template <class Sink> void readIndexList(LineReader& in, Line& line, Sink& sink)
{
    const char* bracket = nullptr;
    while (!(bracket = std::strchr(line.text, '['))) {
        if (!nextLine(in, line)) return;
    }
    if (scanIndices(line, static_cast<u32>(bracket - line.text) + 1, sink)) return;
    while (nextLine(in, line)) {
        if (scanIndices(line, 0, sink)) return;
    }
}
