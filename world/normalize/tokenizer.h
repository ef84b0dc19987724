// world/normalize/tokenizer.h - VRML 2.0 classic-encoding tokens.
//
// Owns: the scan position in one SourceFile's text (which must outlive it).
// Entry points: Tokenizer::next, decodeString, tokenText.
// White space is blanks, tabs, line ends and commas; "#" starts a comment that runs to
// the end of its line; strings may hold escaped quotes and line breaks. Bytes that can
// start nothing (control characters) come back as kStray tokens for the parser to
// report; nothing here fails.
#pragma once

#include "base/types.h"

#include <string>
#include <string_view>

// What each byte can be, for the tokenizer and for the number runs read again later.
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

struct CharClassTable {
    CharClass classes[256];
    constexpr CharClassTable() : classes()
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
inline constexpr CharClassTable kCharClasses;

inline CharClass classOf(char c)
{
    return kCharClasses.classes[static_cast<u8>(c)];
}

// Identifiers and numbers run until white space, punctuation, a quote, a comment or a
// control byte.
inline bool continuesWord(char c)
{
    const CharClass cls = classOf(c);
    return cls == kIdentifierChar || cls == kNumberStart;
}

enum class TokenKind : u8 {
    kEnd,
    kOpenBrace,
    kCloseBrace,
    kOpenBracket,
    kCloseBracket,
    kIdentifier, // a name, a keyword (DEF, PROTO, TRUE ...) or a ROUTE's node.field
    kNumber,     // anything that starts with a digit, a sign or a point
    kString,     // the quotes included; see decodeString
    kStray       // a run of bytes no token can start with
};

// How far a number token's text can be kept as it is.
enum class NumberForm : u8 {
    kDecimal, // a decimal number the line reader converts exactly as we do
    kHex,     // 0x... : an integer the line reader would read as 0
    kLong,    // a valid decimal too long for the line reader's lines
    kBad      // not a number at all ("1e", "-", "1.2.3")
};

struct Token {
    TokenKind kind = TokenKind::kEnd;
    NumberForm form = NumberForm::kDecimal; // numbers only
    bool unterminated = false;              // a string that ran to the end of the file
    u32 offset = 0;                         // byte offset in the text
    u32 length = 0;                         // bytes
    i32 line = 1;                           // 1-based
    i32 column = 1;                         // 1-based, in bytes
};

// Numbers longer than this are rewritten from their value: every number must fit on a
// line of the line reader with its neighbours.
constexpr u32 kMaxNumberText = 40;

class Tokenizer {
public:
    Tokenizer(std::string_view text, u32 startOffset);
    Token next();
    // The token next() would return, without consuming anything.
    Token peek();
    // Right after a decimal number token: passes over the decimal numbers that follow it
    // (with the blanks, line ends and comments between them) and stops in front of
    // anything else. Returns how many it passed; `end` becomes the offset just after
    // the last one. The long lists of a world are read this way, a byte at a time.
    u32 skipDecimalRun(u32& end);

private:
    void skipBlankAndComments();
    void newLineAt(u32 offset);
    Token scanString(Token token);

    std::string_view text_;
    u32 pos_;
    i32 line_ = 1;
    u32 lineStart_ = 0;
};

inline std::string_view tokenText(std::string_view text, const Token& token)
{
    return text.substr(token.offset, token.length);
}

// The characters of a string token without its quotes: \" and \\ stand for " and \; any
// other backslash is kept as written (Windows paths in urls).
std::string decodeString(std::string_view text, const Token& token);

// The form of a number's text (exposed for tests).
NumberForm classifyNumber(std::string_view text);
