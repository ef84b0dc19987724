// Hostile worlds: every limit is refused with a message, the text written before it is
// still readable, and nothing grows without bound. Bytes that only must not crash, hang
// or leave an unfinished text are the seeds of tests/fuzz/normalize_fuzz.cpp.
#include "tests/normalize/normalize_testing.h"

namespace {

class HostileWorlds : public Normalizing {
protected:
    // The rewritten text is still a world the reader reads through to its end.
    void expectReadable(const NormalizeResult& result)
    {
        ASSERT_FALSE(result.text.empty());
        EXPECT_EQ(result.text.back(), '\n');
        EXPECT_TRUE(readResult(result));
    }
};

const std::string kTriangle = triangleAt("0");

// Sixty Groups, each USE-ing the one before twice, around `first`: 2^60 copies of it.
std::string doublingUses(const std::string& first)
{
    std::string text = kHeader + "DEF N0 Group { children [ " + first + " ] }\n";
    for (int level = 1; level <= 60; ++level) {
        const std::string before = " USE N" + std::to_string(level - 1);
        text +=
            "DEF N" + std::to_string(level) + " Group { children [" + before + before + " ] }\n";
    }
    return text;
}

TEST_F(HostileWorlds, NestingDeeperThan200IsRefusedAlsoThroughProtosAndWhatIsShallowerKept)
{
    std::string deep = kHeader + kTriangle;
    for (int level = 0; level < 100000; ++level) deep += "Group { children [ ";
    const NormalizeResult result = normalize(deep);
    expectMessage(result, "nested more than 200 deep");
    expectReadable(result);
    EXPECT_EQ(world.objectCount, 1);
    std::string chain = kHeader + "PROTO P0 [] { " + kTriangle + " }\n";
    for (int level = 1; level <= 300; ++level)
        chain += "PROTO P" + std::to_string(level) + " [] { Group { children [ P" +
                 std::to_string(level - 1) + " {} ] } }\n";
    chain += "P300 {}\nP10 {}\n";
    // Nesting built up through PROTOs.
    const NormalizeResult throughProtos = normalize(chain);
    expectMessage(throughProtos, "deep; left out");
    expectReadable(throughProtos);
    EXPECT_EQ(world.objectCount, 1); // P10 is shallow enough
}

TEST_F(HostileWorlds, TransformsDeeperThanTheReaderFollowsAreLeftOut)
{
    // The line reader nests 64 Transform readers; a 65th would close its parent early
    // and every Transform around it would end in the wrong place.
    auto nested = [](int levels) {
        std::string world = kTriangle;
        for (int level = 0; level < levels; ++level)
            world = "Transform { translation 0 0 1 children [ " + world + " ] }";
        return kHeader + world + "\n" + kTriangle;
    };
    expectReadable(normalize(nested(64)));
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_FLOAT_EQ(fileZ(0), 64.0f);
    EXPECT_FLOAT_EQ(fileZ(3), 0.0f);
    const NormalizeResult deeper = normalize(nested(65));
    expectMessage(deeper, "Transforms nested more than 64 deep");
    expectReadable(deeper);
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_FLOAT_EQ(fileZ(0), 0.0f); // the triangle after them, in its place
}

TEST_F(HostileWorlds, ExponentialProtoExpansionIsRefused)
{
    // Every level holds two instances of the one before, with a value passed down, so
    // each copy is a copy of its own: 2^40 nodes if nothing stopped it.
    // Appended piece by piece: GCC 12 at -O3 misreads long chains of string + as
    // overlapping copies (-Wrestrict).
    std::string doubling = kHeader;
    doubling += "PROTO L0 [ field SFVec3f at 0 0 0 ] { Transform { translation IS at children [ ";
    doubling += kTriangle;
    doubling += " ] } }\n";
    for (int level = 1; level <= 40; ++level) {
        std::string inner = "L";
        inner += std::to_string(level - 1);
        inner += " { at IS at } ";
        doubling += "PROTO L";
        doubling += std::to_string(level);
        doubling += " [ field SFVec3f at 0 0 0 ] { Group { children [ ";
        doubling += inner;
        doubling += inner;
        doubling += " ] } }\n";
    }
    doubling += "L40 { at 1 1 1 }\n";
    doubling += kTriangle;
    NormalizeLimits limits;
    limits.maxProtoNodes = 20000;
    const NormalizeResult result = normalizeWith(doubling, limits);
    expectMessage(result, "PROTO expansion beyond 20000 nodes; the instances that reach it are "
                          "left out");
    expectReadable(result);
    EXPECT_EQ(world.objectCount, 1); // the triangle after the refused instance
}

TEST_F(HostileWorlds, DoublingUsesAreStoppedByTheOutputOrTheVisitLimit)
{
    NormalizeLimits limits;
    limits.maxOutputBytes = 1u << 20;
    const NormalizeResult result = normalizeWith(doublingUses(kTriangle), limits);
    expectMessage(result, "larger than 1048576 bytes; the rest of it is left out");
    EXPECT_LT(result.text.size(), (1u << 20) + 65536u);
    expectReadable(result);
    EXPECT_GT(world.objectCount, 1000);
    // Copies that write nothing are stopped by the visit limit.
    NormalizeLimits visits;
    visits.maxWriterVisits = 100000;
    const NormalizeResult silent = normalizeWith(doublingUses("WorldInfo {}") + kTriangle, visits);
    expectMessage(silent, "more than 100000 nodes to write");
    expectReadable(silent);
}

TEST_F(HostileWorlds, InlineCyclesDeepInlinesAndDevicesAreRefused)
{
    testing_support::writeTempFile("a.wrl",
                                   "#VRML V2.0 utf8\nInline { url \"b.wrl\" }\n" + kTriangle);
    testing_support::writeTempFile("b.wrl", "#VRML V2.0 utf8\nInline { url \"a.wrl\" }\n"
                                            "Inline { url \"b.wrl\" }\n" +
                                                kTriangle);
    const NormalizeResult result = normalize(kHeader + "Inline { url \"a.wrl\" }\n", "w.wrl");
    expectMessage(result, "b.wrl:2:1: '" + testing_support::tempDir() +
                              "a.wrl' includes itself through Inline or EXTERNPROTO");
    expectMessage(result, "b.wrl:3:1: '" + testing_support::tempDir() + "b.wrl' includes itself");
    expectReadable(result);
    EXPECT_EQ(world.objectCount, 2); // a's triangle and b's, each once
    // Inlines deeper than eight files.
    for (int depth = 1; depth <= 12; ++depth)
        testing_support::writeTempFile("deep/f" + std::to_string(depth) + ".wrl",
                                       "#VRML V2.0 utf8\n" + kTriangle + "Inline { url \"f" +
                                           std::to_string(depth + 1) + ".wrl\" }\n");
    const NormalizeResult deep = normalize(kHeader + "Inline { url \"f1.wrl\" }\n", "deep/w.wrl");
    expectMessage(deep, "nested more than 8 deep; '" + testing_support::tempDir() +
                            "deep/f9.wrl' is not read");
    expectReadable(deep);
    EXPECT_EQ(world.objectCount, 8);
    // /dev/zero never ends and /dev/stdin may never answer.
    const NormalizeResult devices =
        normalize(kHeader +
                  "Inline { url \"/dev/zero\" } Inline { url \"/dev/stdin\" }\n"
                  "Inline { url \".\" }\n" +
                  kTriangle);
    expectMessage(devices, "'/dev/zero' not found");
    expectMessage(devices, "'/dev/stdin' not found");
    expectReadable(devices);
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(HostileWorlds, OversizedSourceIsRefused)
{
    NormalizeLimits limits;
    limits.maxSourceBytes = 64;
    NormalizeResult result;
    const std::string text = kHeader + kTriangle;
    EXPECT_FALSE(normalizeWorldTextWith(text.data(), text.size(), "big.wrl", limits, result));
    EXPECT_EQ(messages(result), "big.wrl:0:0: larger than 64 bytes; too large to rewrite\n");
}

TEST_F(HostileWorlds, BrokenGzipKeepsWhatArrived)
{
    const std::string path =
        gzipFile("packed.wrl", kHeader + kTriangle + std::string(20000, ' ') + kTriangle);
    std::string bytes = testing_support::readFile(path);
    ASSERT_GT(bytes.size(), 40u);
    NormalizeResult whole;
    ASSERT_TRUE(normalizeWorldText(bytes.data(), bytes.size(), path.c_str(), whole));
    EXPECT_TRUE(whole.diagnostics.empty()) << messages(whole);
    expectReadable(whole);
    EXPECT_EQ(world.objectCount, 2);

    bytes.resize(bytes.size() - 12); // the trailer and the end of the data
    NormalizeResult cut;
    ASSERT_TRUE(normalizeWorldText(bytes.data(), bytes.size(), path.c_str(), cut));
    expectMessage(cut, "compressed data broken off");
    expectReadable(cut);
}

} // namespace
