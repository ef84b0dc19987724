// world/normalize/world_writer.h - writing the parsed world in the canonical layout
// the line reader reads.
//
// Owns: WriterState (names given to shared rows, the framing box, the scratch numbers
// of the mesh being written). Reads the node tree; writes the CanonicalText.
// Entry points: writeWorld; inside the writer: writeChild (write_scene.cpp), writeShape
// (write_shape.cpp), writeLight, writeSound, writeAudioClip, writeTimeSensor
// (write_leaves.cpp), writeViewpoint, writeBackground, writeNavigationInfo,
// writeFramingViewpoint, findFirstBindable (write_bindables.cpp), and the field helpers
// below.
//
// What the layout is made of, from what the line reader does:
// - one node or field per line, "}" alone on its line: every reader tests a line for
//   its keywords and ends its node at the first line holding "}";
// - "[field ]DEF name<TAB>Type {": the DEF rules cut a name at a tab (a blank before it
//   makes a generated name), and a name is written only where a reader stores it;
// - single values on their field's line, one blank after the field name, numbers
//   split by blanks: the single-value rule skips one character and splits at blanks;
// - point, vector, color and coordIndex lists as "field [" then one entry per line
//   ("x y z," / "i, j, k, -1,") then "]" alone: the list readers start after "[", read
//   whole lines and stop at the first line holding "]";
// - skyColor and url on one line: those readers look at one line only;
// - nothing a reader does not read (comments, ROUTEs, sensors, ...) so that no text
//   can start a reader by accident.
#pragma once

#include "world/normalize/canonical_text.h"
#include "world/normalize/mesh.h"
#include "world/normalize/names.h"
#include "world/normalize/pass_context.h"
#include "world/normalize/transform_math.h"
#include "world/tables.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct WriterState {
    WriterState(PassContext& passContext, CanonicalText& text, const SourceFile& worldSource)
        : context(passContext), out(text), world(worldSource)
    {
    }

    PassContext& context;
    CanonicalText& out;
    const SourceFile& world; // urls of other files are rewritten to be found from here

    // How many node fields point at each node: a node reached more than once (USE, a
    // PROTO body shared by instances, an Inline named twice) is written once per use.
    std::unordered_map<const Node*, u32> references;
    // Appearance and AudioClip rows are shared instead of copied: the line reader finds
    // them again by name, so a shared one is written once with a unique name.
    NameBook appearanceNames;
    NameBook clipNames;
    std::unordered_map<const Node*, std::string> sharedRows;
    // The name of the material row written for each distinct appearance (its fields and
    // texture, as written), for the Shapes that look the same.
    std::unordered_map<std::string, std::string> appearanceRows;
    u32 materialRowsWritten = 0;                   // Appearances written out, each one material row
    std::unordered_set<const Node*> reportedNodes; // one message per node, not per copy

    // The box around every point written, for a Viewpoint that frames it.
    bool collectBounds = false;
    bool hasBounds = false;
    f64 low[3] = {0.0, 0.0, 0.0};
    f64 high[3] = {0.0, 0.0, 0.0};

    SourceFile scratch; // numbers of the generated mesh being written
    u64 visits = 0;
    u32 instanceDepth = 0;        // PROTO instances around the node being written
    u64 instanceNodesWritten = 0; // nodes written inside PROTO instances, copies included
    i32 transformDepth = 0;       // Transforms written around the current node
    GeometryRows geometry;        // what the face sets written hold, for the reader's tables
};

// The whole world: header, the first Viewpoint, Background and NavigationInfo, every
// node, and a framing Viewpoint when the world has none.
// `geometry` receives the face sets, points, polygons and corners written.
void writeWorld(PassContext& context, const LoadedFile& world, CanonicalText& out,
                GeometryRows& geometry);

// One node where a child may stand, with the transform around it.
void writeChild(WriterState& state, const Node* node, const Affine& around, bool shared);
bool isShared(const WriterState& state, const Node& node);

// The nodes a grouping node's writer visits: children, Switch's chosen one, LOD's first
// level; empty for every other node.
std::vector<const Node*> visitedChildren(const Node& node);

void writeShape(WriterState& state, const Node* shape, const Node* geometry, const Affine& around);
void writeLight(WriterState& state, const Node& light, const Affine& around);
void writeSound(WriterState& state, const Node& sound, const Affine& around, bool shared);
void writeAudioClip(WriterState& state, const Node& clip, bool asSource, bool shared);
void writeTimeSensor(WriterState& state, const Node& sensor);

// The first node with the bindable bit in writing order, and the transform around it;
// Inline worlds are not looked into.
bool findFirstBindable(WriterState& state, const std::vector<Node*>& nodes, u8 bit,
                       const Node*& found, Affine& around);
void writeViewpoint(WriterState& state, const Node& viewpoint, const Affine& around);
void writeBackground(WriterState& state, const Node& background);
// "NavigationInfo {" with its headlight, when the node gives one.
void writeNavigationInfo(WriterState& state, const Node& navigationInfo);
void writeFramingViewpoint(WriterState& state);

// Field lines.
// "name n1 ... nCount" with the field's own number texts; missing numbers from
// `defaults`. Nothing when the field is absent or holds no numbers.
void writeNumberField(CanonicalText& out, const Node& node, std::string_view name, u32 count,
                      const f64* defaults);
// "name v1 ... vCount" from computed values.
void writeComputedField(CanonicalText& out, std::string_view name, const f64* values, u32 count);
// "name TRUE" / "name FALSE" when the field is given.
void writeBoolField(CanonicalText& out, const Node& node, std::string_view name);
// The first string of a url field that can be written on one line for a reader that
// ends its node at "}" and tests the given keywords, rewritten to be found from the
// world's folder; "" when there is none.
std::string writableUrl(const WriterState& state, const Node& node, std::string_view field,
                        std::initializer_list<std::string_view> keywords);
// A string fits a reader's line when it holds no quote, line end or "}" and none of
// the reader's keywords.
bool fitsLine(std::string_view text, std::initializer_list<std::string_view> keywords);
// False once the writer must stop (a limit was reached; said once).
bool keepWriting(WriterState& state);
// Says once per node.
void warnOnce(WriterState& state, const Node& node, const std::string& message);
