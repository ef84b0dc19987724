// readLine: 254 characters at most with the newline, CR LF as one newline, the end of
// the text, from a file and from memory alike.
#include "tests/support/test_support.h"
#include "world/reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using testing_support::writeTempFile;

// Every line readLine hands out from an open reader.
static std::vector<std::string> linesOf(LineReader& in)
{
    std::vector<std::string> lines;
    char buffer[kLineBufferSize];
    while (readLine(in, buffer, sizeof buffer)) lines.emplace_back(buffer);
    return lines;
}

static LineReader reader; // 64 KB of read-ahead: not on the test's stack

static std::vector<std::string> fileLines(const std::string& text)
{
    std::FILE* file = std::fopen(writeTempFile("lines.txt", text).c_str(), "rb");
    if (!file) return {};
    openLineReader(reader, file);
    std::vector<std::string> lines = linesOf(reader);
    std::fclose(file);
    return lines;
}

static std::vector<std::string> textLines(const std::string& text)
{
    openTextReader(reader, text.data(), text.size());
    return linesOf(reader);
}

TEST(LineReading, CrLfAcrossTheReadAheadBoundaryIsStillOneNewline)
{
    // The CR is the last byte of the first block read from the file.
    std::string text;
    while (text.size() < kReadAheadSize - 1) text += std::string(99, 'p') + "\n";
    text.resize(kReadAheadSize - 1);
    text += "\r\nlast\n";
    const auto lines = fileLines(text);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "last\n");
    EXPECT_EQ(lines[lines.size() - 2].back(), '\n');
    EXPECT_EQ(lines[lines.size() - 2].find('\r'), std::string::npos);
}

TEST(LineReading, TheEndLeavesTheBufferALastLineMayLackItsNewlineAndANulEndsALine)
{
    const std::string text = "one\ntwo";
    openTextReader(reader, text.data(), text.size());
    char buffer[kLineBufferSize];
    ASSERT_TRUE(readLine(reader, buffer, sizeof buffer));
    ASSERT_TRUE(readLine(reader, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "two");
    EXPECT_FALSE(readLine(reader, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "two");
    EXPECT_FALSE(readLine(reader, buffer, sizeof buffer));
    // A NUL byte ends the line string.
    const auto lines = textLines(std::string("ab\0cd\nef\n", 9));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "ab");
    EXPECT_EQ(lines[1], "ef\n");
}

// The rule written plainly: CR LF becomes LF, a line ends after its LF or at 254
// characters.
static std::vector<std::string> referenceLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            c = '\n';
            ++i;
        }
        line += c;
        if (c == '\n' || line.size() == 254) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

TEST(LineReading, EveryMixOfCrLfAndLongLinesMatchesThePlainRule)
{
    // Lines of every length around the 254 limit (253 characters and the newline fit,
    // 254 do not), now and then one of 600 that comes in three pieces, CRs alone and in
    // pairs, over more than one read-ahead block.
    std::string text;
    unsigned seed = 1;
    while (text.size() < 3 * kReadAheadSize) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t draw = (seed >> 16) % 31;
        const std::size_t length = draw == 30 ? 600 : 240 + draw;
        text += std::string(length, 'v');
        seed = seed * 1103515245u + 12345u;
        const unsigned kind = (seed >> 16) % 4;
        text += kind == 0 ? "\n" : kind == 1 ? "\r\n" : kind == 2 ? "\r" : "\r\r\n";
    }
    const auto expected = referenceLines(text);
    EXPECT_EQ(textLines(text), expected);
    EXPECT_EQ(fileLines(text), expected);
}
