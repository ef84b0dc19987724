// Reading field values of the normalizing pass's node tree.
#include "world/normalize/node_tree.h"

#include <charconv>
#include <cmath>

namespace {

const std::vector<Node*> kNoNodes;

bool isBindable(const std::string& type, u8& bits)
{
    if (type == "Viewpoint") bits |= kHasViewpoint;
    if (type == "Background") bits |= kHasBackground;
    return bits != 0;
}

} // namespace

void finishNode(Node& node)
{
    node.height = 1;
    node.hasIs = false;
    node.bindables = 0;
    isBindable(node.type, node.bindables);
    for (const Field& field : node.fields) {
        if (!field.value) continue;
        if (field.value->kind == ValueKind::kIs) node.hasIs = true;
        for (const Node* child : field.value->nodes) {
            if (!child) continue;
            if (child->height + 1 > node.height) node.height = child->height + 1;
            node.hasIs = node.hasIs || child->hasIs;
            node.bindables |= child->bindables;
        }
    }
}

const FieldValue* findField(const Node& node, std::string_view name)
{
    for (std::size_t i = node.fields.size(); i-- > 0;)
        if (node.fields[i].name == name) return node.fields[i].value.get();
    return nullptr;
}

const Node* fieldNode(const Node& node, std::string_view name)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNodes) return nullptr;
    for (const Node* child : value->nodes)
        if (child) return child;
    return nullptr;
}

const std::vector<Node*>& fieldNodes(const Node& node, std::string_view name)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNodes) return kNoNodes;
    return value->nodes;
}

f64 numberValue(std::string_view text)
{
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    f64 value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc::result_out_of_range) return value;
    // Beyond the double range: strtod gives +-infinity for a large exponent and 0 for a
    // very negative one; so do we (callers check finiteness).
    const std::size_t exponent = text.find_first_of("eE");
    const bool negative = !text.empty() && text[0] == '-';
    if (exponent != std::string_view::npos && exponent + 1 < text.size() &&
        text[exponent + 1] == '-')
        return negative ? -0.0 : 0.0;
    return negative ? -INFINITY : INFINITY;
}

// An integer the way the line reader converts one: sign and digits, the rest ignored.
static i32 integerValue(std::string_view text)
{
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    i64 value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return !text.empty() && text[0] == '-' ? INT32_MIN : INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<i32>(value);
}

u32 readDoubles(const Node& node, std::string_view name, f64* out, u32 count)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return 0;
    u32 taken = 0;
    for (; taken < count && taken < value->numbers.size(); ++taken)
        out[taken] = numberValue(numberText(*value->source, value->numbers[taken]));
    return static_cast<u32>(value->numbers.size());
}

std::vector<f64> readDoubleList(const Node& node, std::string_view name)
{
    std::vector<f64> list;
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return list;
    list.reserve(value->numbers.size());
    for (const NumberRef ref : value->numbers)
        list.push_back(numberValue(numberText(*value->source, ref)));
    return list;
}

std::vector<i32> readIntList(const Node& node, std::string_view name)
{
    std::vector<i32> list;
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return list;
    list.reserve(value->numbers.size());
    for (const NumberRef ref : value->numbers)
        list.push_back(integerValue(numberText(*value->source, ref)));
    return list;
}

bool fieldBool(const Node& node, std::string_view name, bool fallback)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kWords || value->texts.empty()) return fallback;
    if (value->texts[0] == "TRUE") return true;
    if (value->texts[0] == "FALSE") return false;
    return fallback;
}
