// The JSON writer of the world dump.
#include "world/json_writer.h"

#include <cmath>
#include <cstdio>
#include <cstring>

static void comma(JsonWriter& json)
{
    if (json.needComma) json.text += ',';
    json.needComma = false;
}

void JsonWriter::key(const char* name)
{
    comma(*this);
    if (depth == 1) text += "\n  ";
    string(name);
    text += ':';
    needComma = false;
}

void JsonWriter::open(char bracket)
{
    comma(*this);
    text += bracket;
    ++depth;
}

void JsonWriter::close(char bracket)
{
    --depth;
    if (depth == 0) text += '\n';
    text += bracket;
    needComma = true;
}

void JsonWriter::integer(i64 value)
{
    comma(*this);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    text += digits;
    needComma = true;
}

void JsonWriter::number(f32 value)
{
    comma(*this);
    if (!std::isfinite(value)) {
        text += "null";
    } else {
        char digits[48];
        std::snprintf(digits, sizeof digits, "%.9g", static_cast<f64>(value));
        text += digits;
    }
    needComma = true;
}

// The length of the well-formed UTF-8 sequence at text (shortest form, no surrogates,
// at most U+10FFFF), or 0 when the bytes there do not form one.
static u32 utf8SequenceLength(const unsigned char* text)
{
    const unsigned char lead = text[0];
    u32 length = 0;
    u32 codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    for (u32 i = 1; i < length; ++i) {
        // A NUL ends the string and is never a continuation byte.
        if ((text[i] & 0xC0u) != 0x80u) return 0;
        codePoint = (codePoint << 6) | (text[i] & 0x3Fu);
    }
    if (length == 3 && (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)))
        return 0;
    if (length == 4 && (codePoint < 0x10000 || codePoint > 0x10FFFF)) return 0;
    return length;
}

void JsonWriter::string(const char* value)
{
    comma(*this);
    text += '"';
    const unsigned char* p = reinterpret_cast<const unsigned char*>(value);
    while (*p) {
        const unsigned char c = *p;
        if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
            ++p;
        } else if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
            ++p;
        } else if (c >= 0x80 && utf8SequenceLength(p) > 0) {
            const u32 length = utf8SequenceLength(p);
            text.append(reinterpret_cast<const char*>(p), length);
            p += length;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            text += escape;
            ++p;
        }
    }
    text += '"';
    needComma = true;
}

void JsonWriter::numbers(const f32* values, u32 count)
{
    open('[');
    for (u32 i = 0; i < count; ++i) number(values[i]);
    close(']');
}
