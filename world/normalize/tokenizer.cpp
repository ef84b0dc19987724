// Splitting VRML text into tokens, with line and column for messages.
#include "world/normalize/tokenizer.h"

static bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

static bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// True when a decimal with `integerDigits` digits before its point (leading zeros not
// counted) and this exponent may lie beyond a 32-bit float (about 3.4e38). Such numbers
// are never copied as they stand: their value is checked first.
static bool mayLeaveFloatRange(u32 integerDigits, i64 exponent)
{
    return static_cast<i64>(integerDigits) + exponent > 38;
}

NumberForm classifyNumber(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        std::size_t j = i + 2;
        if (j == n) return NumberForm::kBad;
        for (; j < n; ++j)
            if (!isHexDigit(text[j])) return NumberForm::kBad;
        return NumberForm::kHex;
    }
    std::size_t digits = 0;
    u32 integerDigits = 0;
    while (i < n && isDigit(text[i])) {
        if (integerDigits > 0 || text[i] != '0') ++integerDigits;
        ++i, ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return NumberForm::kBad;
    i64 exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        std::size_t exponentDigits = 0;
        for (; i < n && isDigit(text[i]); ++i, ++exponentDigits)
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
        if (exponentDigits == 0) return NumberForm::kBad;
        if (negative) exponent = -exponent;
    }
    if (i != n) return NumberForm::kBad;
    if (mayLeaveFloatRange(integerDigits, exponent)) return NumberForm::kLong;
    return n > kMaxNumberText ? NumberForm::kLong : NumberForm::kDecimal;
}

Tokenizer::Tokenizer(std::string_view text, u32 startOffset)
    : text_(text), pos_(startOffset), lineStart_(startOffset)
{
}

void Tokenizer::newLineAt(u32 offset)
{
    // "\r\n" is one line end; a lone "\r" (old Mac files) is one too.
    if (text_[offset] == '\r' && offset + 1 < text_.size() && text_[offset + 1] == '\n') return;
    ++line_;
    lineStart_ = offset + 1;
}

void Tokenizer::skipBlankAndComments()
{
    const u32 size = static_cast<u32>(text_.size());
    while (pos_ < size) {
        const CharClass cls = classOf(text_[pos_]);
        if (cls == kBlank) {
            ++pos_;
        } else if (cls == kNewLine) {
            newLineAt(pos_);
            ++pos_;
        } else if (cls == kComment) {
            while (pos_ < size && classOf(text_[pos_]) != kNewLine) ++pos_;
        } else {
            return;
        }
    }
}

Token Tokenizer::scanString(Token token)
{
    const u32 size = static_cast<u32>(text_.size());
    u32 i = pos_ + 1;
    while (i < size && text_[i] != '"') {
        if (text_[i] == '\\' && i + 1 < size) {
            if (classOf(text_[i + 1]) == kNewLine) newLineAt(i + 1);
            i += 2;
            continue;
        }
        if (classOf(text_[i]) == kNewLine) newLineAt(i);
        ++i;
    }
    if (i >= size) {
        token.unterminated = true;
        i = size;
    } else {
        ++i; // the closing quote
    }
    token.length = i - pos_;
    pos_ = i;
    return token;
}

Token Tokenizer::next()
{
    skipBlankAndComments();
    Token token;
    token.offset = pos_;
    token.line = line_;
    token.column = static_cast<i32>(pos_ - lineStart_) + 1;
    const u32 size = static_cast<u32>(text_.size());
    if (pos_ >= size) return token;
    const char c = text_[pos_];
    switch (classOf(c)) {
    case kPunct:
        token.kind = c == '{'   ? TokenKind::kOpenBrace
                     : c == '}' ? TokenKind::kCloseBrace
                     : c == '[' ? TokenKind::kOpenBracket
                                : TokenKind::kCloseBracket;
        token.length = 1;
        ++pos_;
        return token;
    case kQuote: token.kind = TokenKind::kString; return scanString(token);
    case kControl: {
        u32 end = pos_ + 1;
        while (end < size && classOf(text_[end]) == kControl) ++end;
        token.kind = TokenKind::kStray;
        token.length = end - pos_;
        pos_ = end;
        return token;
    }
    default: break;
    }
    u32 end = pos_ + 1;
    while (end < size && continuesWord(text_[end])) ++end;
    token.length = end - pos_;
    pos_ = end;
    if (classOf(c) == kNumberStart) {
        token.kind = TokenKind::kNumber;
        token.form = classifyNumber(text_.substr(token.offset, token.length));
    } else {
        token.kind = TokenKind::kIdentifier;
    }
    return token;
}

// The length of the plain decimal number at `at` (sign, digits, point, exponent, and
// nothing after it that would continue the word), or 0 when there is none.
static u32 plainDecimalLength(const char* at, const char* end)
{
    const char* p = at;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    u32 digits = 0;
    u32 integerDigits = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (integerDigits > 0 || *p != '0') ++integerDigits;
        ++p, ++digits;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9') ++p, ++digits;
    }
    if (digits == 0) return 0;
    i64 exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
        u32 exponentDigits = 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p, ++exponentDigits)
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
        if (exponentDigits == 0) return 0;
        if (negative) exponent = -exponent;
    }
    if (p < end && continuesWord(*p)) return 0;
    if (mayLeaveFloatRange(integerDigits, exponent)) return 0;
    const u32 length = static_cast<u32>(p - at);
    return length > kMaxNumberText ? 0 : length;
}

u32 Tokenizer::skipDecimalRun(u32& end)
{
    const char* const text = text_.data();
    const char* const stop = text + text_.size();
    u32 count = 0;
    while (true) {
        // The separators between numbers: blanks and commas are passed here directly,
        // line ends and comments through the counting of lines.
        while (pos_ < text_.size() && classOf(text[pos_]) == kBlank) ++pos_;
        if (pos_ < text_.size() && classOf(text[pos_]) != kNumberStart) { skipBlankAndComments(); }
        if (pos_ >= text_.size() || classOf(text[pos_]) != kNumberStart) return count;
        // Only the plain form is kept in a run; anything else is left for next().
        const u32 length = plainDecimalLength(text + pos_, stop);
        if (length == 0) return count;
        pos_ += length;
        end = pos_;
        ++count;
    }
}

Token Tokenizer::peek()
{
    const u32 savedPos = pos_;
    const i32 savedLine = line_;
    const u32 savedLineStart = lineStart_;
    const Token token = next();
    pos_ = savedPos;
    line_ = savedLine;
    lineStart_ = savedLineStart;
    return token;
}

std::string decodeString(std::string_view text, const Token& token)
{
    std::string decoded;
    if (token.length < 1) return decoded;
    const u32 end =
        token.unterminated ? token.offset + token.length : token.offset + token.length - 1;
    for (u32 i = token.offset + 1; i < end; ++i) {
        if (text[i] == '\\' && i + 1 < end && (text[i + 1] == '"' || text[i + 1] == '\\')) ++i;
        decoded += text[i];
    }
    return decoded;
}
