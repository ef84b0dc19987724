// Reading field values of the normalizing pass's node tree.
#include "world/normalize/node_tree.h"

#include "memory/large_pages.h"

#include <charconv>
#include <cmath>

const std::vector<Node*> kNoNodes;

static bool isBindable(const std::string& type, u8& bits)
{
    if (type == "Viewpoint") bits |= kHasViewpoint;
    if (type == "Background") bits |= kHasBackground;
    if (type == "NavigationInfo") bits |= kHasNavigationInfo;
    return bits != 0;
}

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

// An integer the way the line reader converts one: sign and digits, the rest ignored;
// pinned to the i32 range.
static i32 integerValue(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    i64 magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > INT32_MAX) return negative ? INT32_MIN : INT32_MAX;
    }
    return static_cast<i32>(negative ? -magnitude : magnitude);
}

u32 readDoubles(const Node& node, std::string_view name, f64* out, u32 count)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return 0;
    NumberCursor numbers(*value->source, value->numbers);
    std::string_view text;
    for (u32 taken = 0; taken < count && numbers.next(text); ++taken)
        out[taken] = numberValue(text);
    return value->numberCount;
}

std::vector<f64> readDoubleList(const Node& node, std::string_view name)
{
    std::vector<f64> list;
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return list;
    list.reserve(value->numberCount);
    forEachNumber(*value->source, value->numbers,
                  [&](std::string_view text) { list.push_back(numberValue(text)); });
    return list;
}

std::vector<i32> readIntList(const Node& node, std::string_view name)
{
    std::vector<i32> list;
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return list;
    reserveLarge(list, value->numberCount);
    // Index lists are the longest lists of a world: the runs are read here directly.
    for (const NumberRun& run : value->numbers) {
        const std::string_view span = runText(*value->source, run);
        if (run.count == 1) {
            list.push_back(integerValue(span));
            continue;
        }
        const char* at = span.data();
        const char* const end = at + span.size();
        while (at < end) {
            const CharClass kind = classOf(*at);
            if (kind == kComment) {
                while (at < end && classOf(*at) != kNewLine) ++at;
                continue;
            }
            if (kind != kNumberStart) {
                ++at;
                continue;
            }
            const char* const start = at;
            while (at < end && continuesWord(*at)) ++at;
            list.push_back(
                integerValue(std::string_view(start, static_cast<std::size_t>(at - start))));
        }
    }
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
