// PROTO expansion: an instance becomes a copy of its PROTO's first body node, with the
// instance's field values (or the interface defaults) wherever the body says IS.
#include "world/normalize/pass_context.h"

#include <unordered_map>
#include <unordered_set>

namespace {

class Expansion {
public:
    Expansion(PassContext& context, const ProtoDefinition& proto,
              const std::vector<Field>& instanceFields)
        : context_(context), proto_(proto), instanceFields_(instanceFields)
    {
    }

    // The node itself where no IS reaches below it (instances share it); otherwise a
    // copy with every IS put in. Null once the expansion limit is reached.
    Node* copy(const Node* node);
    bool failed() const { return failed_; }

private:
    ValuePtr binding(const std::string& interfaceName) const;

    PassContext& context_;
    const ProtoDefinition& proto_;
    const std::vector<Field>& instanceFields_;
    std::unordered_map<const Node*, Node*> copies_; // a body node used twice stays one node
    bool failed_ = false;
};

} // namespace

ValuePtr Expansion::binding(const std::string& interfaceName) const
{
    for (std::size_t i = instanceFields_.size(); i-- > 0;)
        if (instanceFields_[i].name == interfaceName) return instanceFields_[i].value;
    for (const ProtoField& field : proto_.fields)
        if (field.name == interfaceName) return field.defaultValue;
    return nullptr;
}

Node* Expansion::copy(const Node* node)
{
    if (!node->hasIs) return const_cast<Node*>(node);
    if (const auto done = copies_.find(node); done != copies_.end()) return done->second;
    if (++context_.protoNodesMade > context_.limits.maxProtoNodes) {
        failed_ = true;
        return nullptr;
    }
    Node* made = context_.arena.make();
    made->type = node->type;
    made->defName = node->defName;
    made->source = node->source;
    made->line = node->line;
    made->column = node->column;
    for (const Field& field : node->fields) {
        const FieldValue& value = *field.value;
        if (value.kind == ValueKind::kIs) {
            // Events and unknown names have nothing to put in: the field goes.
            if (ValuePtr bound = binding(value.texts[0]))
                made->fields.push_back({field.name, bound});
            continue;
        }
        if (value.kind != ValueKind::kNodes) {
            made->fields.push_back(field);
            continue;
        }
        auto nodes = std::make_shared<FieldValue>();
        nodes->kind = ValueKind::kNodes;
        nodes->source = value.source;
        nodes->nodes.reserve(value.nodes.size());
        for (const Node* child : value.nodes) {
            Node* copied = child ? copy(child) : nullptr;
            if (failed_) return nullptr;
            nodes->nodes.push_back(copied);
        }
        made->fields.push_back({field.name, std::move(nodes)});
    }
    finishNode(*made);
    copies_[node] = made;
    return made;
}

// The nodes an expansion of this body copies: every distinct node an IS reaches.
static u64 countCopies(const Node* node, std::unordered_set<const Node*>& seen)
{
    if (!node || !node->hasIs || !seen.insert(node).second) return 0;
    u64 count = 1;
    for (const Field& field : node->fields)
        for (const Node* child : field.value->nodes) count += countCopies(child, seen);
    return count;
}

static void reportUnknownFields(PassContext& context, const ProtoDefinition& proto,
                                const std::vector<Field>& instanceFields, const SourceFile& source,
                                i32 line, i32 column)
{
    for (const Field& field : instanceFields) {
        bool known = false;
        for (const ProtoField& declared : proto.fields)
            known = known || declared.name == field.name;
        if (!known)
            context.diagnostics.warning(source.path, line, column,
                                        "PROTO '" + proto.name + "' has no field '" + field.name +
                                            "'; the value is left out");
    }
}

Node* expandProto(PassContext& context, const ProtoDefinition& proto,
                  const std::vector<Field>& instanceFields, const SourceFile& source, i32 line,
                  i32 column)
{
    reportUnknownFields(context, proto, instanceFields, source, line, column);
    if (!proto.firstNode) return nullptr;
    const NormalizeLimits& limits = context.limits;
    if (context.protoNodesMade >= limits.maxProtoNodes) return nullptr; // said once already
    Expansion expansion(context, proto, instanceFields);
    Node* root = expansion.copy(proto.firstNode);
    if (expansion.failed() || ++context.protoNodesMade > limits.maxProtoNodes) {
        if (!context.protoLimitReported)
            context.diagnostics.error(source.path, line, column,
                                      "PROTO expansion beyond " +
                                          std::to_string(limits.maxProtoNodes) +
                                          " nodes; the instances that reach it are left out");
        context.protoLimitReported = true;
        return nullptr;
    }
    // Each instance gets a root of its own, so that its DEF name and position are its own.
    Node* instance = context.arena.make();
    *instance = *root;
    instance->protoInstance = true;
    instance->source = &source;
    instance->line = line;
    instance->column = column;
    if (instance->height > limits.maxNestingDepth) {
        context.diagnostics.error(source.path, line, column,
                                  "PROTO '" + proto.name + "' expands to nodes nested more than " +
                                      std::to_string(limits.maxNestingDepth) + " deep; left out");
        return nullptr;
    }
    return instance;
}
