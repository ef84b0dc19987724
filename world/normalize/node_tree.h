// world/normalize/node_tree.h - the small node tree the normalizing pass rewrites.
//
// Owns: Node, Field, FieldValue and the NodeArena that holds every node of one pass.
// Entry points: NodeArena::make, finishNode, findField, fieldNode, fieldNodes,
//               readDoubles, readInts, fieldBool.
// The tree is a DAG: USE points at the DEF'd node itself, and PROTO expansion shares
// every part of a body that no IS reaches. A node's children always exist before it
// does, so no node can reach itself. Values are kept untyped, as the text gave them:
// the writer knows each node's fields.
#pragma once

#include "base/types.h"
#include "world/normalize/source_file.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct Node;

enum class ValueKind : u8 {
    kEmpty,   // an empty list "[ ]"
    kNumbers, // one or more numbers (SF vectors without brackets, or a list)
    kStrings, // decoded strings
    kWords,   // TRUE, FALSE
    kNodes,   // SFNode or MFNode; null entries stand for NULL
    kIs       // inside a PROTO body: "IS name", texts[0] = name
};

struct FieldValue {
    ValueKind kind = ValueKind::kEmpty;
    const SourceFile* source = nullptr; // where the numbers' texts are
    std::vector<NumberRun> numbers;     // in order; see NumberCursor
    u32 numberCount = 0;                // numbers in all runs
    std::vector<std::string> texts;     // strings, words, or the IS name
    std::vector<Node*> nodes;
};
using ValuePtr = std::shared_ptr<const FieldValue>;

struct Field {
    std::string name;
    ValuePtr value;
};

// Bindable nodes found at or below a node (the first Viewpoint, Background and
// NavigationInfo are moved to the top of the world).
enum : u8 { kHasViewpoint = 1, kHasBackground = 2, kHasNavigationInfo = 4 };

struct Node {
    std::string type;    // "Transform", "Shape", ...: after PROTO expansion, never a PROTO
    std::string defName; // "" when the node had no DEF
    std::vector<Field> fields;
    const SourceFile* source = nullptr; // for messages
    i32 line = 0;
    i32 column = 0;
    u32 height = 1;             // 1 + the height of the tallest child: the nesting below it
    bool hasIs = false;         // an IS value here or below: PROTO expansion must copy this node
    bool protoInstance = false; // the root of a PROTO instance (what it writes is counted)
    u8 bindables = 0;           // kHas... bits of the bindables at or below, Inline worlds excluded
};

// Every node of one pass. Nodes never move and are freed together.
class NodeArena {
public:
    Node* make()
    {
        nodes_.emplace_back();
        return &nodes_.back();
    }
    std::size_t count() const { return nodes_.size(); }

private:
    std::deque<Node> nodes_;
};

// Sets height, hasIs and bindables from the node's type and fields.
void finishNode(Node& node);

// The last field of that name (a repeated field: the last one counts), or null.
const FieldValue* findField(const Node& node, std::string_view name);

// The first node of an SFNode field, or null.
const Node* fieldNode(const Node& node, std::string_view name);

// The nodes of an MFNode field (empty when absent).
const std::vector<Node*>& fieldNodes(const Node& node, std::string_view name);

// Up to `count` numbers of a field into `out`; returns how many there were. Entries not
// given keep what the caller put there (the field's default).
u32 readDoubles(const Node& node, std::string_view name, f64* out, u32 count);

// All numbers of a field as doubles / as integers (truncated toward zero, pinned to
// the i32 range).
std::vector<f64> readDoubleList(const Node& node, std::string_view name);
std::vector<i32> readIntList(const Node& node, std::string_view name);

// TRUE / FALSE of an SFBool field; `fallback` when absent or unreadable.
bool fieldBool(const Node& node, std::string_view name, bool fallback);

// The value of one number text (decimal only: the parser rewrote every other form).
f64 numberValue(std::string_view text);
