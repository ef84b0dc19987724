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
    // The token after the next one's start, without consuming anything.
    Token peek();

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
