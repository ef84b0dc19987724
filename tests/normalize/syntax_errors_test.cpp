// Syntax errors: each is reported as FILE:LINE:COLUMN: message, what came before it is
// kept, and reading goes on at the next node where it can.
#include "tests/normalize/normalize_testing.h"

namespace {

class SyntaxErrors : public Normalizing {
protected:
    // A message about the test's world file, as the host prints it.
    static std::string at(const std::string& where)
    {
        return testing_support::tempDir() + "world.wrl:" + where;
    }
};

TEST_F(SyntaxErrors, EachIsReportedWhereItStandsAndTheWorldAroundItIsKept)
{
    struct Case {
        const char* what;
        std::string text;    // after the header, which ends on line 2
        std::string message; // ending in a newline: the only message
        i16 objects;         // read from the normalized text
    };
    const Case cases[] = {
        {"a missing closing brace, reported where the node starts, the node kept",
         triangleAt("0") + "  Shape { geometry IndexedFaceSet { coord Coordinate {\n"
                           "    point [ 5 0 0, 6 0 0, 5 1 0 ] } coordIndex [ 0 1 2 -1 ] }\n",
         "4:3: 'Shape' is not closed: '}' missing at the end of the file\n", 2},
        {"stray values inside a node are passed over",
         "Shape { 12 [ 1 2 ] geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0, 1 0 0, "
         "0 1 0 ] } \"text\" coordIndex [ 0 1 2 -1 ] } }\n",
         "3:9: unexpected '12' in 'Shape'", 1},
        {"a field without a value, the next field still counting",
         "Transform { translation children [ " + triangleAt("0") + " ] }\n",
         "3:13: field 'translation' has no value", 1},
        {"a list closed by a brace ends there and the node goes on",
         "Shape { geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 }\n"
         "  coordIndex [ 0 1 2 -1 ] } }\n",
         "3:82: list not closed: ']' missing before '}'", 1},
        {"a PROTO interface without its bracket still gets its body",
         "PROTO Tri [ field SFVec3f at 0 0 0\n{ " + triangleAt("0") + " }\nTri {}\n",
         "3:11: PROTO interface not closed: ']' missing", 1},
        {"USE of an unknown name", "Shape { geometry USE Nothing }\n" + triangleAt("0"),
         "3:22: USE of 'Nothing', which no DEF before it names", 1},
        {"an unclosed string runs to the end",
         triangleAt("0") + "WorldInfo { title \"no end\n" + triangleAt("5"),
         "4:19: string not closed", 1},
    };
    for (const Case& c : cases) {
        const NormalizeResult result = normalize(kHeader + c.text);
        EXPECT_TRUE(hasError(result)) << c.what;
        if (c.message.back() == '\n')
            EXPECT_EQ(messages(result), at(c.message)) << c.what;
        else
            EXPECT_NE(messages(result).find(at(c.message)), std::string::npos) << c.what << "\n"
                                                                               << messages(result);
        ASSERT_TRUE(readResult(result)) << c.what;
        EXPECT_EQ(world.objectCount, c.objects) << c.what;
    }
}

TEST_F(SyntaxErrors, GarbageBetweenNodesIsReportedAndReadingGoesOnAtTheNextNode)
{
    const NormalizeResult result =
        normalize(kHeader + triangleAt("0") + "@@ ] 12 \"loose\"\n\t}\n" + triangleAt("5"));
    expectMessage(result, at("4:1: unexpected '@@'"));
    expectMessage(result, at("4:4: unexpected ']'"));
    expectMessage(result, at("4:6: unexpected '12'"));
    expectMessage(result, at("5:2: unexpected '}'"));
    ASSERT_TRUE(readResult(result));
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_FLOAT_EQ(fileX(3), 5.0f);
}

TEST_F(SyntaxErrors, ErrorsOfAnInlinedFileNameThatFile)
{
    testing_support::writeTempFile("broken.wrl", "#VRML V2.0 utf8\nGroup { children [ ] ] }\n");
    expectMessage(normalize(kHeader + "Inline { url \"broken.wrl\" }\n"),
                  testing_support::tempDir() + "broken.wrl:2:22: unexpected ']'");
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
        ASSERT_TRUE(readResult(result));
        EXPECT_EQ(world.objectCount, 1) << header;
    }
    EXPECT_EQ(messages(normalize(triangleAt("0"))),
              at("1:1: no \"#VRML V2.0 utf8\" header; read as VRML 2.0\n"));
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
