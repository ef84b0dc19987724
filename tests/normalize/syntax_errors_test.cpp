// Syntax errors: each is reported as FILE:LINE:COLUMN: message, what came before it is
// kept, and reading goes on at the next node where it can.
#include "tests/normalize/normalize_testing.h"

namespace {

const std::string kHeader = "#VRML V2.0 utf8\nViewpoint {}\n";

class SyntaxErrors : public Normalizing {};

std::string triangleAt(const std::string& x)
{
    return "Shape { geometry IndexedFaceSet { coord Coordinate { point [ " + x +
           " 0 0, 1 0 0, 0 1 0 ] }"
           " coordIndex [ 0 1 2 -1 ] } }\n";
}

TEST_F(SyntaxErrors, MissingClosingBraceIsReportedWhereTheNodeStartsAndTheNodeIsKept)
{
    const NormalizeResult result =
        normalize(kHeader + triangleAt("0") +
                  "  Shape { geometry IndexedFaceSet { coord Coordinate {\n"
                  "    point [ 5 0 0, 6 0 0, 5 1 0 ] } coordIndex [ 0 1 2 -1 ] }\n");
    EXPECT_EQ(messages(result),
              testing_support::tempDir() +
                  "world.wrl:4:3: 'Shape' is not closed: '}' missing at the end of the file\n");
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 2);
}

TEST_F(SyntaxErrors, GarbageBetweenNodesIsReportedAndReadingGoesOnAtTheNextNode)
{
    const NormalizeResult result =
        normalize(kHeader + triangleAt("0") + "@@ ] 12 \"loose\"\n\t}\n" + triangleAt("5"));
    const std::string all = messages(result);
    const std::string file = testing_support::tempDir() + "world.wrl";
    EXPECT_NE(all.find(file + ":4:1: unexpected '@@'"), std::string::npos) << all;
    EXPECT_NE(all.find(file + ":4:4: unexpected ']'"), std::string::npos) << all;
    EXPECT_NE(all.find(file + ":4:6: unexpected '12'"), std::string::npos) << all;
    EXPECT_NE(all.find(file + ":5:2: unexpected '}'"), std::string::npos) << all;
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_FLOAT_EQ(fileX(3), 5.0f);
}

TEST_F(SyntaxErrors, StrayValuesInsideANodeArePassedOver)
{
    const NormalizeResult result = normalize(
        kHeader +
        "Shape { 12 [ 1 2 ] geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0, 1 "
        "0 0, 0 1 0 ] } \"text\" coordIndex [ 0 1 2 -1 ] } }\n");
    EXPECT_TRUE(hasError(result));
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(SyntaxErrors, FieldWithoutValueIsReportedAndTheNextFieldStillCounts)
{
    const NormalizeResult result =
        normalize(kHeader + "Transform { translation children [ " + triangleAt("0") + " ] }\n");
    EXPECT_NE(messages(result).find("world.wrl:3:13: field 'translation' has no value"),
              std::string::npos)
        << messages(result);
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(SyntaxErrors, ListClosedByABraceEndsThereAndTheNodeGoesOn)
{
    const NormalizeResult result = normalize(
        kHeader +
        "Shape { geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 }\n"
        "  coordIndex [ 0 1 2 -1 ] } }\n");
    EXPECT_NE(messages(result).find("world.wrl:3:82: list not closed: ']' missing before '}'"),
              std::string::npos)
        << messages(result);
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(SyntaxErrors, ProtoInterfaceWithoutItsBracketStillGetsItsBody)
{
    const NormalizeResult result = normalize(kHeader + "PROTO Tri [ field SFVec3f at 0 0 0\n{ " +
                                             triangleAt("0") + " }\nTri {}\n");
    EXPECT_NE(messages(result).find("world.wrl:3:11: PROTO interface not closed: ']' missing"),
              std::string::npos)
        << messages(result);
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(SyntaxErrors, UseOfAnUnknownNameIsReported)
{
    const NormalizeResult result =
        normalize(kHeader + "Shape { geometry USE Nothing }\n" + triangleAt("0"));
    EXPECT_NE(
        messages(result).find("world.wrl:3:22: USE of 'Nothing', which no DEF before it names"),
        std::string::npos)
        << messages(result);
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(SyntaxErrors, UnclosedStringIsReportedAndRunsToTheEnd)
{
    const NormalizeResult result =
        normalize(kHeader + triangleAt("0") + "WorldInfo { title \"no end\n" + triangleAt("5"));
    EXPECT_NE(messages(result).find("world.wrl:4:19: string not closed"), std::string::npos)
        << messages(result);
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(SyntaxErrors, LinesAndColumnsCountCrLfAsOneLineEnd)
{
    const NormalizeResult result =
        normalize("#VRML V2.0 utf8\r\nViewpoint {}\r\n\r\n\tShape { ] }\r\n");
    EXPECT_NE(messages(result).find("world.wrl:4:10: unexpected ']'"), std::string::npos)
        << messages(result);
}

TEST_F(SyntaxErrors, StringsMayHoldEscapedQuotesAndLineBreaks)
{
    const NormalizeResult result =
        normalize(kHeader + "WorldInfo { info [ \"a \\\"quoted\\\" }\nword\" ] }\n" +
                  triangleAt("0") + "Shape { ] }\n");
    // The string spans a line; the error after it is on the right line.
    EXPECT_EQ(result.diagnostics.size(), 1u) << messages(result);
    EXPECT_NE(messages(result).find("world.wrl:6:9: unexpected ']'"), std::string::npos)
        << messages(result);
}

TEST_F(SyntaxErrors, ErrorsOfAnInlinedFileNameThatFile)
{
    testing_support::writeTempFile("broken.wrl", "#VRML V2.0 utf8\nGroup { children [ ] ] }\n");
    const NormalizeResult result = normalize(kHeader + "Inline { url \"broken.wrl\" }\n");
    EXPECT_NE(messages(result).find(testing_support::tempDir() + "broken.wrl:2:22: unexpected ']'"),
              std::string::npos)
        << messages(result);
}

TEST_F(SyntaxErrors, MessagesStopAtTheLimitWithOneThatSaysSo)
{
    std::string junk = kHeader;
    for (int i = 0; i < 5000; ++i) junk += "] ";
    const NormalizeResult result = normalize(junk);
    ASSERT_EQ(result.diagnostics.size(), defaultNormalizeLimits().maxDiagnostics + 1);
    EXPECT_EQ(result.diagnostics.back().message, "too many messages; the rest are not shown");
}

TEST_F(SyntaxErrors, HeaderMayCarryTextFollowAMarkOrComments)
{
    for (const std::string& header : {std::string("#VRML V2.0 utf8 CosmoWorlds V1.0\n"),
                                      std::string("\xEF\xBB\xBF#VRML V2.0 utf8\n"),
                                      std::string("# made by hand\n\n#VRML V2.0 utf8\n")}) {
        const NormalizeResult result = normalize(header + triangleAt("0"));
        EXPECT_TRUE(result.diagnostics.empty()) << header << messages(result);
        EXPECT_EQ(result.text.substr(0, 16), "#VRML V2.0 utf8\n");
        ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
        EXPECT_EQ(world.objectCount, 1) << header;
    }
    const NormalizeResult bare = normalize(triangleAt("0"));
    EXPECT_EQ(messages(bare),
              testing_support::tempDir() +
                  "world.wrl:1:1: no \"#VRML V2.0 utf8\" header; read as VRML 2.0\n");
}

TEST_F(SyntaxErrors, FileThatCannotBeReadIsRefused)
{
    NormalizeResult result;
    const std::string path = testing_support::tempDir() + "missing/nothing.wrl";
    EXPECT_FALSE(normalizeWorldFile(path.c_str(), result));
    EXPECT_EQ(messages(result), path + ":0:0: cannot be read\n");
    EXPECT_TRUE(result.text.empty());
}

} // namespace
