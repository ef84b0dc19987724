// world/json_writer.h - the small JSON writer behind the world dump: members and array
// items get their commas by themselves, strings are escaped, floats round-trip.
//
// Owns: the text being written.
// Entry points: JsonWriter (key, open, close, integer, number, string, numbers).
// Failure: none; a non-finite float is written as null.
#pragma once

#include "base/types.h"

#include <string>

struct JsonWriter {
    std::string text;
    bool needComma = false; // the next member or item follows another
    i32 depth = 0;          // objects and arrays open

    // A member name; its value follows. Top-level members start a new line.
    void key(const char* name);
    // '{' or '[' as the next value, and the matching '}' or ']'.
    void open(char bracket);
    void close(char bracket);
    void integer(i64 value);
    // %.9g: enough digits for any 32-bit float to read back unchanged.
    void number(f32 value);
    // A quoted string: quotes, backslashes and control characters escaped; bytes that
    // do not form UTF-8 written as \u00XX.
    void string(const char* value);
    // An array of count floats.
    void numbers(const f32* values, u32 count);
};
