// tests/normalize/normalize_testing.h - worlds normalized and then read by the line
// reader, the tables it makes of them compared as the world dump, and the canonical
// layout written by hand with a few builders.
#pragma once

#include "tests/world/world_reading.h"
#include "world/dump.h"
#include "world/normalize/limits.h"
#include "world/normalize/normalize.h"

#include <map>
#include <string>

class Normalizing : public WorldReading {
protected:
    // Normalizes text as if it were the file `name` in the test's temporary folder, so
    // Inline and EXTERNPROTO files the test wrote beside it are found.
    NormalizeResult normalize(const std::string& text, const std::string& name = "world.wrl")
    {
        NormalizeResult result;
        const std::string path = testing_support::tempDir() + name;
        EXPECT_TRUE(normalizeWorldText(text.data(), text.size(), path.c_str(), result));
        return result;
    }

    // The same with limits of the test's choosing.
    NormalizeResult normalizeWith(const std::string& text, const NormalizeLimits& limits)
    {
        NormalizeResult result;
        const std::string path = testing_support::tempDir() + "world.wrl";
        EXPECT_TRUE(normalizeWorldTextWith(text.data(), text.size(), path.c_str(), limits, result));
        return result;
    }

    // Reads the normalized text into `world`; false when the reader refused it.
    bool readResult(const NormalizeResult& result)
    {
        return readWorldText(world, result.text.data(), result.text.size());
    }

    // Normalizes text and reads the result into `world`; returns the canonical text.
    std::string readNormalized(const std::string& text, const std::string& name = "world.wrl")
    {
        const NormalizeResult result = normalize(text, name);
        EXPECT_TRUE(readResult(result));
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

    // Shapes that look the same share one material row: in the canonical text a repeat
    // of an unnamed appearance block is "appearance USE mat_N" of the first one's row.
    static std::string shareRepeatedAppearances(const std::string& text)
    {
        std::string shared;
        std::map<std::string, int> rows;
        int count = 0;
        std::size_t at = 0;
        for (std::size_t start; (start = text.find("appearance ", at)) != std::string::npos;) {
            std::size_t end = text.find('{', start);
            if (end == std::string::npos || text.find('\n', start) < end) break;
            for (int depth = 0; end < text.size(); ++end) {
                depth += text[end] == '{' ? 1 : text[end] == '}' ? -1 : 0;
                if (depth == 0) break;
            }
            end += 2; // the closing brace and its line end
            const std::string block = text.substr(start, end - start);
            shared += text.substr(at, start - at);
            const bool unnamed = block.rfind("appearance Appearance {", 0) == 0;
            if (const auto row = rows.find(block); unnamed && row != rows.end()) {
                shared += "appearance USE mat_" + std::to_string(row->second) + "\n";
            } else {
                rows.emplace(block, ++count);
                shared += block;
            }
            at = end;
        }
        return shared + text.substr(at);
    }

    // The tables of `other` once normalized equal those of `canonical` read as it is.
    void expectSameTables(const std::string& other, const std::string& canonical)
    {
        const NormalizeResult result = normalize(other);
        const std::string got = tablesOf(result.text);
        const std::string expected = tablesOf(shareRepeatedAppearances(canonical));
        if (got == expected) return;
        std::size_t at = 0;
        while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
        const std::size_t from = at > 120 ? at - 120 : 0;
        ADD_FAILURE() << "tables differ at byte " << at << "\n  normalized: ..."
                      << got.substr(from, 240) << "\n  canonical:  ..."
                      << expected.substr(from, 240) << "\nnormalized text:\n"
                      << result.text.substr(0, 3000);
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

    static void expectMessage(const NormalizeResult& result, const std::string& part)
    {
        EXPECT_NE(messages(result).find(part), std::string::npos) << messages(result);
    }

    static bool hasError(const NormalizeResult& result)
    {
        for (const NormalizeDiagnostic& d : result.diagnostics)
            if (!d.warning) return true;
        return false;
    }
};

// The canonical layout: the head ("Type", "field Type", "DEF name\tType") and " {" on
// one line, then the body's lines, then "}" alone.
inline std::string node(const std::string& head, const std::string& body)
{
    return head + " {\n" + body + "}\n";
}

inline std::string children(const std::string& nodes)
{
    return "children [\n" + nodes + "]\n";
}
inline std::string group(const std::string& nodes)
{
    return node("Group", children(nodes));
}
inline std::string transform(const std::string& fields, const std::string& nodes)
{
    return node("Transform", fields + children(nodes));
}

// A face set: points one per line ("x y z,") and polygons one per line ("i, j, k, -1,").
inline std::string faceSet(const std::string& head, const std::string& points,
                           const std::string& polygons, const std::string& fields = "")
{
    return node(head, node("coord Coordinate", "point [\n" + points + "]\n") + "coordIndex [\n" +
                          polygons + "]\n" + fields);
}

// An appearance whose material has the given diffuse colour.
inline std::string coloured(const std::string& color)
{
    return node("appearance Appearance", node("material Material", "diffuseColor " + color + "\n"));
}

// What a Shape without an appearance is given: VRML 2.0 draws it white.
inline const std::string kWhiteAppearance = coloured("1 1 1");

// The header and an empty Viewpoint, so no framing camera is added to the world.
inline const std::string kHeader = "#VRML V2.0 utf8\nViewpoint {}\n";

// A Shape of one triangle on one line, its first point at file x = `x`.
inline std::string triangleAt(const std::string& x)
{
    return "Shape { geometry IndexedFaceSet { coord Coordinate { point [ " + x +
           " 0 0, 1 0 0, 0 1 0 ] } coordIndex [ 0 1 2 -1 ] } }\n";
}

// A Shape of one triangle as the writer writes it.
inline std::string canonicalTriangle(const std::string& points = "0 0 0,\n1 0 0,\n0 1 0,")
{
    return node("Shape", kWhiteAppearance + triangle(points));
}
