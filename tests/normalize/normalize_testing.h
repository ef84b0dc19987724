// tests/normalize/normalize_testing.h - worlds normalized and then read by the line
// reader, and the tables it makes of them compared as the world dump.
#pragma once

#include "tests/support/test_support.h"
#include "world/dump.h"
#include "world/normalize/limits.h"
#include "world/normalize/normalize.h"
#include "world/reader.h"
#include "world/tables.h"

#include <gtest/gtest.h>

#include <string>

class Normalizing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(initWorldTables(world)); }
    void TearDown() override { freeWorldTables(world); }

    // Normalizes text as if it were the file `name` in the test's temporary folder, so
    // Inline and EXTERNPROTO files the test wrote beside it are found.
    NormalizeResult normalize(const std::string& text, const std::string& name = "world.wrl")
    {
        NormalizeResult result;
        const std::string path = testing_support::tempDir() + name;
        EXPECT_TRUE(normalizeWorldText(text.data(), text.size(), path.c_str(), result));
        return result;
    }

    // Normalizes text and reads the result into `world`; returns the canonical text.
    std::string readNormalized(const std::string& text, const std::string& name = "world.wrl")
    {
        const NormalizeResult result = normalize(text, name);
        EXPECT_TRUE(readWorldText(world, result.text.data(), result.text.size()));
        return result.text;
    }

    // The JSON dump of the tables the line reader makes of text as it stands.
    static std::string tablesOf(const std::string& text)
    {
        World read;
        if (!initWorldTables(read)) return "no memory";
        readWorldText(read, text.data(), text.size());
        std::string dump = worldDumpJson(read);
        freeWorldTables(read);
        return dump;
    }

    // The tables of `other` once normalized equal those of `canonical` read as it is.
    void expectSameTables(const std::string& other, const std::string& canonical)
    {
        const NormalizeResult result = normalize(other);
        expectSameDump(tablesOf(result.text), tablesOf(canonical), result.text);
    }

    static void expectSameDump(const std::string& got, const std::string& expected,
                               const std::string& normalizedText)
    {
        if (got == expected) return;
        std::size_t at = 0;
        while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
        const std::size_t from = at > 120 ? at - 120 : 0;
        ADD_FAILURE() << "tables differ at byte " << at << "\n  normalized: ..."
                      << got.substr(from, 240) << "\n  canonical:  ..."
                      << expected.substr(from, 240) << "\nnormalized text:\n"
                      << normalizedText.substr(0, 3000);
    }

    // Every diagnostic as the host prints it, one per line.
    static std::string messages(const NormalizeResult& result)
    {
        std::string all;
        for (const NormalizeDiagnostic& d : result.diagnostics)
            all += d.file + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
                   d.message + "\n";
        return all;
    }

    static bool hasError(const NormalizeResult& result)
    {
        for (const NormalizeDiagnostic& d : result.diagnostics)
            if (!d.warning) return true;
        return false;
    }

    // The world's vertex v in file order and file units.
    f32 fileX(u32 v) const { return world.vertexX[v] / kWorldScale; }
    f32 fileY(u32 v) const { return world.vertexY[v] / kWorldScale; }
    f32 fileZ(u32 v) const { return world.vertexZ[v] / kWorldScale; }

    World world;
};

// A Shape of one triangle, one statement per line, in the canonical layout.
// What a Shape without an appearance is given: VRML 2.0 draws it white.
inline const std::string kWhiteAppearance = "appearance Appearance {\n"
                                            "material Material {\n"
                                            "diffuseColor 1 1 1\n"
                                            "}\n"
                                            "}\n";

// The face set of a triangle, its geometry line to its closing brace.
inline std::string canonicalTriangleGeometry(const std::string& points = "0 0 0,\n1 0 0,\n0 1 0,\n")
{
    return "geometry IndexedFaceSet {\n"
           "coord Coordinate {\n"
           "point [\n" +
           points +
           "]\n"
           "}\n"
           "coordIndex [\n"
           "0, 1, 2, -1,\n"
           "]\n"
           "}\n";
}

inline std::string canonicalTriangle(const std::string& points = "0 0 0,\n1 0 0,\n0 1 0,\n")
{
    return "Shape {\n" + kWhiteAppearance + canonicalTriangleGeometry(points) + "}\n";
}
