// The shared line conventions on single lines: numbers, single values, booleans, the
// DEF and USE name rules and url strings.
#include "world/line_rules.h"
#include "world/tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

static Line lineOf(const std::string& text)
{
    Line line;
    copyText(line.text, sizeof line.text, text.data(), text.size());
    line.length = static_cast<u32>(std::strlen(line.text));
    return line;
}

static f32 number(const std::string& text)
{
    return toNumber(text.data(), text.data() + text.size());
}

static i32 integer(const std::string& text)
{
    return toInteger(text.data(), text.data() + text.size());
}

TEST(LineRules, NumbersReadTheirDecimalPrefixOnlyAndIntegersPinToThe32BitRange)
{
    // Decimal only: no infinities, NaNs or hex; an exponent needs a digit.
    for (const auto& [text, value] : {std::pair<const char*, f32>{"  -.5e1xyz", -5.0f},
                                      {"+2.", 2.0f},
                                      {"1e", 1.0f},
                                      {"0.1", 0.1f},
                                      {"abc", 0.0f},
                                      {"inf", 0.0f},
                                      {"nan", 0.0f},
                                      {"0x10", 0.0f},
                                      {"1e999", INFINITY},
                                      {"-1e999", -INFINITY},
                                      {"1e-999", 0.0f},
                                      {"123456789012345678901234567890e-400", 0.0f},
                                      {"0.0000001e500", INFINITY}})
        EXPECT_EQ(number(text), value) << text;
    for (const auto& [text, value] : {std::pair<const char*, i32>{" -1", -1},
                                      {"7.9", 7},
                                      {"99999999999999999999", INT32_MAX},
                                      {"-99999999999999999999", INT32_MIN},
                                      {"x", 0}})
        EXPECT_EQ(integer(text), value) << text;
}

TEST(LineRules, SingleValuesSplitAtBlanksButNotAtTabs)
{
    f32 values[4] = {9, 9, 9, 9};
    EXPECT_EQ(readValues(lineOf("  translation 1 2 3 4\n"), "translation", values, 3), 3u);
    EXPECT_EQ(values[2], 3.0f);
    EXPECT_EQ(values[3], 9.0f); // further numbers are ignored
    f32 tabbed[3] = {9, 9, 9};
    EXPECT_EQ(readValues(lineOf("translation\t1\t2\t3\n"), "translation", tabbed, 3), 1u);
    EXPECT_EQ(tabbed[0], 1.0f);
    EXPECT_EQ(tabbed[1], 9.0f); // left as it was
    f32 shin = 0;
    EXPECT_TRUE(readValue(lineOf("shininess 0.2"), "shininess", shin));
    EXPECT_FALSE(readValue(lineOf("shininess"), "shininess", shin));
}

TEST(LineRules, FalseWinsOverTrueAndAHashBeforeTheKeywordCommentsItOut)
{
    EXPECT_EQ(booleanIn(lineOf("on TRUE\n")), 1);
    EXPECT_EQ(booleanIn(lineOf("on TRUE FALSE\n")), 0);
    EXPECT_EQ(booleanIn(lineOf("on\n")), -1);
    EXPECT_TRUE(commentedOut(lineOf("# Transform {\n"), "Transform"));
    EXPECT_FALSE(commentedOut(lineOf("Transform { # moved\n"), "Transform"));
    EXPECT_FALSE(commentedOut(lineOf("Transform {\n"), "Transform"));
}

// A DEF name ends at a tab (a blank before the first tab ends it too), a space name at
// any white space; without one the name is generated from the prefix and the count.
TEST(LineRules, DefNamesNeedATabSpaceNamesAnyWhiteSpaceElseTheyAreGenerated)
{
    const std::string longName(60, 'n');
    const struct {
        decltype(&cutDefName) cut;
        std::string text;
        i32 count;
        std::string name;
    } cases[] = {{cutDefName, "DEF Door\tAudioClip {\n", 0, "Door"},
                 {cutDefName, "DEF Door AudioClip {\t\n", 0, "Door"},
                 {cutDefName, "DEF Door AudioClip {\n", 3, "p_3"},
                 {cutDefName, "DEF \t Wall\tX\n", 0, "Wall"}, // leading blanks and tabs go first
                 {cutDefName, "DEF " + longName + "\tX\n", 0, std::string(39, 'n')},
                 {cutSpaceName, "coord DEF C1 Coordinate {\n", 1, "C1"},
                 {cutSpaceName, "coord DEF\n", 4, "p_4"}};
    for (const auto& c : cases) {
        char name[kNameSize] = "old";
        c.cut(lineOf(c.text), "p_", c.count, name, sizeof name);
        EXPECT_EQ(std::string(name), c.name) << c.text;
    }
}

TEST(LineRules, UseNamesEndAtABlankOrTabOrLoseTheirLastCharacter)
{
    // The fourth: no newline at the end of the file.
    for (const auto& [text, ended, name] : {std::tuple{"coord USE C1 }\n", true, "C1"},
                                            {"coord USE C1\t}\n", true, "C1"},
                                            {"coord USE C1\n", false, "C1"},
                                            {"coord USE C1", false, "C"},
                                            {"coord USE", false, ""}}) {
        char field[kNameSize] = "stale";
        EXPECT_EQ(cutUseName(lineOf(text), "USE", field, sizeof field), ended) << text;
        EXPECT_STREQ(field, name) << text;
    }
}

TEST(LineRules, UrlsComeFromQuotesOrBrackets)
{
    // Several quoted names stay one text: the picture loader tries each. A line without
    // a url leaves the field as it was.
    char url[16] = "keep";
    for (const auto& [text, found, field] :
         {std::tuple{"url [ \"door.wav\" ]\n", true, "door.wav"},
          {"url [ door.wav ]\n", true, " door.wav "},
          {"url \"a\" \"b\"\n", true, "a\" \"b"},
          {"url \"a-very-long-file-name.jpg\"\n", true, "a-very-long-fil"},
          {"url [\n", false, "a-very-long-fil"},
          {"url door.wav\n", false, "a-very-long-fil"}}) {
        EXPECT_EQ(urlText(lineOf(text), url, sizeof url), found) << text;
        EXPECT_STREQ(url, field) << text;
    }
}

TEST(LineRules, NumbersMatchTheCLibraryDigitForDigit)
{
    // Short decimals take a quick path; it must round exactly as the C library does.
    unsigned seed = 7;
    for (int n = 0; n < 20000; ++n) {
        seed = seed * 1103515245u + 12345u;
        const int digits = 1 + static_cast<int>((seed >> 8) % 17);
        std::string text = (seed & 1) ? "-" : "";
        for (int d = 0; d < digits; ++d) {
            seed = seed * 1103515245u + 12345u;
            text += static_cast<char>('0' + (seed >> 16) % 10);
            if (d == static_cast<int>((seed >> 4) % 8)) text += '.';
        }
        if (n % 5 == 0) text += "e-3";
        const f32 expected = static_cast<f32>(std::strtod(text.c_str(), nullptr));
        EXPECT_EQ(number(text), expected) << text;
    }
}
