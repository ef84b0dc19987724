// Splitting VRML text into tokens, with line and column for messages.
#include "world/normalize/tokenizer.h"

namespace {

enum CharClass : u8 {
    kIdentifierChar,
    kBlank,   // blank, tab, comma, form feed, vertical tab
    kNewLine, // \n or \r
    kComment,
    kPunct, // { } [ ]
    kQuote,
    kNumberStart,
    kControl
};

struct ClassTable {
    CharClass classes[256];
    constexpr ClassTable() : classes()
    {
        for (int c = 0; c < 256; ++c) {
            CharClass cls = kIdentifierChar;
            if (c < 0x20 || c == 0x7F) cls = kControl;
            if (c == ' ' || c == '\t' || c == ',' || c == '\f' || c == '\v') cls = kBlank;
            if (c == '\n' || c == '\r') cls = kNewLine;
            if (c == '#') cls = kComment;
            if (c == '{' || c == '}' || c == '[' || c == ']') cls = kPunct;
            if (c == '"') cls = kQuote;
            if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') cls = kNumberStart;
            classes[c] = cls;
        }
    }
};
constexpr ClassTable kClasses;

inline CharClass classOf(char c)
{
    return kClasses.classes[static_cast<u8>(c)];
}

// Identifiers and numbers run until white space, punctuation, a quote, a comment or
// a control byte.
inline bool continuesWord(char c)
{
    const CharClass cls = classOf(c);
    return cls == kIdentifierChar || cls == kNumberStart;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

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
    while (i < n && isDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return NumberForm::kBad;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return NumberForm::kBad;
    }
    if (i != n) return NumberForm::kBad;
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
