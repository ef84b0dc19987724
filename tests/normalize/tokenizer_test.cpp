// The tokenizer and the header line: what a token is, where it stands, and which files
// the pass rewrites.
#include "world/normalize/source_file.h"
#include "world/normalize/tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<Token> tokensOf(std::string_view text)
{
    Tokenizer tokens(text, 0);
    std::vector<Token> all;
    for (Token token = tokens.next(); token.kind != TokenKind::kEnd; token = tokens.next())
        all.push_back(token);
    return all;
}

std::vector<std::string> textsOf(std::string_view text)
{
    std::vector<std::string> texts;
    for (const Token& token : tokensOf(text)) texts.emplace_back(tokenText(text, token));
    return texts;
}

// Commas and blanks separate, punctuation needs no space; comments run to the end of
// their line, but not inside strings.
TEST(Tokenizer, SeparatorsPunctuationAndComments)
{
    using Texts = std::vector<std::string>;
    EXPECT_EQ(textsOf("Shape{a[1,2.5,,-3]}\"s\"x"),
              (Texts{"Shape", "{", "a", "[", "1", "2.5", "-3", "]", "}", "\"s\"", "x"}));
    EXPECT_EQ(textsOf("a # b { c\r\nd \"e # f\" #"), (Texts{"a", "d", "\"e # f\""}));
}

TEST(Tokenizer, LinesAndColumnsCountCrLfAndALoneCrAsOneLineEndEach)
{
    const std::vector<Token> tokens = tokensOf("a\r\n\tb\rc\n\"x\ny\" d");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[1].line, 2);
    EXPECT_EQ(tokens[1].column, 2);
    EXPECT_EQ(tokens[2].line, 3);
    EXPECT_EQ(tokens[2].column, 1);
    EXPECT_EQ(tokens[3].line, 4);
    EXPECT_EQ(tokens[4].line, 5); // after the string's own line break
    EXPECT_EQ(tokens[4].column, 4);
}

TEST(Tokenizer, StringsKeepTheirEscapesAndControlBytesAreOneStrayToken)
{
    const std::string text = "\"a \\\"b\\\" c\\\\d \\t\"";
    const std::vector<Token> tokens = tokensOf(text);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(decodeString(text, tokens[0]), "a \"b\" c\\d \\t");
    const std::string open = "x \"never closed";
    const std::vector<Token> unclosed = tokensOf(open);
    ASSERT_EQ(unclosed.size(), 2u);
    EXPECT_TRUE(unclosed[1].unterminated);
    EXPECT_EQ(decodeString(open, unclosed[1]), "never closed");
    // Control bytes come back as one stray token.
    const std::vector<Token> stray = tokensOf(std::string("a\x01\x02\x00 b", 6));
    ASSERT_EQ(stray.size(), 3u);
    EXPECT_EQ(stray[1].kind, TokenKind::kStray);
    EXPECT_EQ(stray[1].length, 3u);
}

TEST(Tokenizer, NumberFormsSayWhatTheReaderCanKeep)
{
    for (const char* decimal : {"1", "-1.5e3", ".5", "5.", "+2", "1E-7", "-0"})
        EXPECT_EQ(classifyNumber(decimal), NumberForm::kDecimal) << decimal;
    for (const char* hex : {"0x1F", "-0X1f", "+0xff"})
        EXPECT_EQ(classifyNumber(hex), NumberForm::kHex) << hex;
    for (const char* bad : {"1e", "-", ".", "1.2.3", "1f", "0x", "--1", "1e+"})
        EXPECT_EQ(classifyNumber(bad), NumberForm::kBad) << bad;
    EXPECT_EQ(classifyNumber(std::string(41, '1')), NumberForm::kLong);
    EXPECT_EQ(classifyNumber("0." + std::string(38, '1')), NumberForm::kDecimal);
    // Numbers that may lie beyond a 32-bit float are checked by value, never kept as text.
    for (const char* huge : {"1e39", "1e38", "-2.5e38", "123456789012345678901234567890123456789"})
        EXPECT_EQ(classifyNumber(huge), NumberForm::kLong) << huge;
    EXPECT_EQ(classifyNumber("0.0001e38"), NumberForm::kDecimal);
}

TEST(HeaderLine, FirstLineOrAfterCommentsAndAByteOrderMark)
{
    const Header marked = detectHeader("\xEF\xBB\xBF#VRML V2.0 utf8\n");
    EXPECT_EQ(marked.kind, HeaderKind::kVrml2);
    EXPECT_EQ(marked.bodyOffset, 3u);
    const Header late = detectHeader("### notes\r\n\r\n  #VRML V2.0 utf8\r\n");
    EXPECT_EQ(late.kind, HeaderKind::kVrml2Late);
    EXPECT_EQ(late.line, 3);
    EXPECT_EQ(detectHeader("#Inventor V2.1 ascii\n").kind, HeaderKind::kInventor);
    EXPECT_EQ(detectHeader("#X3D V3.3 utf8\n").kind, HeaderKind::kX3d);
    // A header after the first node is no header.
    EXPECT_EQ(detectHeader("Shape {}\n#VRML V2.0 utf8\n").kind, HeaderKind::kNone);
    EXPECT_EQ(detectHeader("").kind, HeaderKind::kNone);
}

} // namespace
