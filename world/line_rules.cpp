// The conventions shared by the node readers: numbers, names and strings cut out of the
// current line.
#include "world/line_rules.h"

#include "base/convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>

// The white space the C library skips before a number.
static bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

static bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text after the first occurrence of keyword, leading blanks and tabs removed; null
// when the line does not hold keyword.
static const char* textAfter(const Line& line, const char* keyword)
{
    const char* at = std::strstr(line.text, keyword);
    if (!at) return nullptr;
    at += std::strlen(keyword);
    while (*at == ' ' || *at == '\t') ++at;
    return at;
}

bool commentedOut(const Line& line, const char* keyword)
{
    const char* hash = std::strchr(line.text, '#');
    if (!hash) return false;
    const char* at = std::strstr(line.text, keyword);
    return !at || hash < at;
}

// Whether an out-of-range decimal number overflowed (true) or underflowed: its first
// significant digit stands left of the decimal point once the exponent is applied.
static bool isLargeMagnitude(const char* digits, const char* end, i64 exponent)
{
    const char* point = digits;
    while (point < end && isDigit(*point)) ++point;
    const char* significant = digits;
    while (significant < point && *significant == '0') ++significant;
    i64 position = 0; // power of ten just above the first significant digit
    if (significant < point) {
        position = point - significant;
    } else if (point < end && *point == '.') {
        for (const char* p = point + 1; p < end && *p == '0'; ++p) --position;
    }
    return position + exponent > 0;
}

// Powers of ten that a double holds exactly.
static constexpr f64 kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case of a plain decimal without exponent ("12.375"), at most 15 digits:
// the digits form an exact integer and the division by an exact power of ten rounds
// once, so the double is the correctly rounded value the C library would give. False
// for anything else, which goes the general way.
static bool exactDecimal(const char* digits, const char* end, f64& value)
{
    u64 mantissa = 0;
    i32 digitCount = 0;
    i32 fractionDigits = 0;
    bool point = false;
    for (const char* p = digits; p < end; ++p) {
        if (*p == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(*p) || ++digitCount > 15) return false;
        mantissa = mantissa * 10 + static_cast<u64>(*p - '0');
        if (point) ++fractionDigits;
    }
    // Exact: fewer than 10^15 < 2^53.
    value = static_cast<f64>(mantissa) / kExactPowersOfTen[fractionDigits];
    return true;
}

// Steps over leading white space and one sign; says whether the sign was '-'.
static bool skipBlanksAndSign(const char*& p, const char* end)
{
    while (p < end && isSpace(*p)) ++p;
    if (p < end && (*p == '+' || *p == '-')) return *p++ == '-';
    return false;
}

f32 toNumber(const char* begin, const char* end)
{
    const char* p = begin;
    const bool negative = skipBlanksAndSign(p, end);
    const char* digits = p;
    bool anyDigit = false;
    while (p < end && isDigit(*p)) {
        ++p;
        anyDigit = true;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && isDigit(*p)) {
            ++p;
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0f;
    const char* mantissaEnd = p;
    i64 exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* e = p + 1;
        bool negativeExponent = false;
        if (e < end && (*e == '+' || *e == '-')) {
            negativeExponent = *e == '-';
            ++e;
        }
        if (e < end && isDigit(*e)) {
            while (e < end && isDigit(*e)) {
                if (exponent < 100000) exponent = exponent * 10 + (*e - '0');
                ++e;
            }
            if (negativeExponent) exponent = -exponent;
            p = e;
        }
    }
    f64 magnitude = 0.0;
    if (exactDecimal(digits, p, magnitude)) return toF32(negative ? -magnitude : magnitude);
    const std::from_chars_result result =
        std::from_chars(digits, p, magnitude, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        magnitude = isLargeMagnitude(digits, mantissaEnd, exponent) ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc()) {
        magnitude = 0.0;
    }
    return toF32(negative ? -magnitude : magnitude);
}

i32 toInteger(const char* begin, const char* end)
{
    const char* p = begin;
    const bool negative = skipBlanksAndSign(p, end);
    i64 value = 0;
    while (p < end && isDigit(*p)) {
        // Pinned just past the 32-bit range so the sum below cannot overflow.
        if (value <= INT32_MAX) value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<i32>(value);
}

u32 readNumbersAt(const char* text, f32* values, u32 maxCount)
{
    u32 count = 0;
    const char* partStart = text;
    for (const char* p = text; count < maxCount; ++p) {
        const char c = *p;
        if (c != ' ' && c != '\n' && c != '\0') continue;
        const char* begin = partStart;
        while (begin < p && (*begin == ' ' || *begin == '\t')) ++begin;
        if (begin < p) values[count++] = toNumber(begin, p);
        if (c == '\0') break;
        partStart = p + 1;
    }
    return count;
}

u32 readValues(const Line& line, const char* field, f32* values, u32 maxCount)
{
    const char* at = std::strstr(line.text, field);
    if (!at) return 0;
    const char* text = at + std::strlen(field);
    if (*text) ++text; // the character right after the name, normally a blank
    return readNumbersAt(text, values, maxCount);
}

u32 readVector(const Line& line, const char* field, f32 factor, f32 internal[3])
{
    f32 file[3] = {0.0f, 0.0f, 0.0f};
    const u32 count = readValues(line, field, file, 3);
    static constexpr u32 kInternalAxis[3] = {1, 2, 0}; // file x, y, z
    for (u32 c = 0; c < count; ++c) internal[kInternalAxis[c]] = file[c] * factor;
    return count;
}

bool readValue(const Line& line, const char* field, f32& value)
{
    return readValues(line, field, &value, 1) == 1;
}

i32 booleanIn(const Line& line)
{
    if (has(line, "FALSE")) return 0;
    if (has(line, "TRUE")) return 1;
    return -1;
}

void copyText(char* field, std::size_t fieldSize, const char* text, std::size_t length)
{
    if (fieldSize == 0) return;
    if (length > fieldSize - 1) length = fieldSize - 1;
    std::memmove(field, text, length);
    field[length] = '\0';
}

void generatedName(char* field, std::size_t fieldSize, const char* prefix, i32 count)
{
    std::snprintf(field, fieldSize, "%s%d", prefix, count);
}

void cutDefName(const Line& line, const char* prefix, i32 count, char* field, std::size_t fieldSize)
{
    const char* text = textAfter(line, "DEF");
    if (!text) return;
    const char* tab = std::strchr(text, '\t');
    if (!tab) {
        generatedName(field, fieldSize, prefix, count);
        return;
    }
    const char* blank = std::strchr(text, ' ');
    const char* end = blank && blank < tab ? blank : tab;
    copyText(field, fieldSize, text, static_cast<std::size_t>(end - text));
}

bool cutUseName(const Line& line, const char* keyword, char* field, std::size_t fieldSize)
{
    const char* text = textAfter(line, keyword);
    if (!text) {
        copyText(field, fieldSize, "", 0);
        return false;
    }
    const char* tab = std::strchr(text, '\t');
    const char* blank = std::strchr(text, ' ');
    const char* end = nullptr;
    if (blank && (!tab || blank < tab))
        end = blank;
    else if (tab)
        end = tab;
    if (end) {
        copyText(field, fieldSize, text, static_cast<std::size_t>(end - text));
        return true;
    }
    const std::size_t length = std::strlen(text);
    copyText(field, fieldSize, text, length > 0 ? length - 1 : 0);
    return false;
}

void cutSpaceName(const Line& line, const char* prefix, i32 count, char* field,
                  std::size_t fieldSize)
{
    const char* text = textAfter(line, "DEF");
    if (!text) return;
    const std::size_t length = std::strcspn(text, " \t\n\r\f\v");
    if (length == 0) {
        generatedName(field, fieldSize, prefix, count);
        return;
    }
    copyText(field, fieldSize, text, length);
}

bool quotedText(const Line& line, char* field, std::size_t fieldSize)
{
    const char* first = std::strchr(line.text, '"');
    if (!first) return false;
    const char* last = std::strrchr(line.text, '"');
    copyText(field, fieldSize, first + 1,
             last > first ? static_cast<std::size_t>(last - first - 1) : 0);
    return true;
}

bool urlText(const Line& line, char* field, std::size_t fieldSize)
{
    const char* open = std::strchr(line.text, '[');
    if (!open || std::strchr(line.text, '"')) return quotedText(line, field, fieldSize);
    const char* close = std::strchr(open, ']');
    if (!close) return false;
    copyText(field, fieldSize, open + 1, static_cast<std::size_t>(close - open - 1));
    return true;
}
