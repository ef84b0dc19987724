// Field lines of the canonical text and the checks that keep the writer in bounds.
#include "world/normalize/number_format.h"
#include "world/normalize/world_writer.h"

#include <filesystem>

// Longer strings would not fit the reader's 254-character lines with their field name.
constexpr std::size_t kMaxLineString = 200;

void writeNumberField(CanonicalText& out, const Node& node, std::string_view name, u32 count,
                      const f64* defaults)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kNumbers) return;
    out.indent();
    out.append(name);
    NumberCursor numbers(*value->source, value->numbers);
    std::string_view number;
    std::string computed;
    for (u32 i = 0; i < count; ++i) {
        out.append(' ');
        if (numbers.next(number)) {
            out.append(number);
        } else {
            computed.clear();
            appendFloat(computed, defaults[i]);
            out.append(computed);
        }
    }
    out.append('\n');
}

void writeComputedField(CanonicalText& out, std::string_view name, const f64* values, u32 count)
{
    std::string text(name);
    for (u32 i = 0; i < count; ++i) {
        text += ' ';
        appendFloat(text, values[i]);
    }
    out.line(text);
}

void writeBoolField(CanonicalText& out, const Node& node, std::string_view name)
{
    const FieldValue* value = findField(node, name);
    if (!value || value->kind != ValueKind::kWords || value->texts.empty()) return;
    out.line(std::string(name) + " " + value->texts[0]);
}

bool fitsLine(std::string_view text, std::initializer_list<std::string_view> keywords)
{
    if (text.empty() || text.size() > kMaxLineString) return false;
    if (text.find_first_of("\"\r\n}") != std::string_view::npos) return false;
    for (std::string_view keyword : keywords)
        if (text.find(keyword) != std::string_view::npos) return false;
    return true;
}

std::string writableUrl(const WriterState& state, const Node& node, std::string_view field,
                        std::initializer_list<std::string_view> keywords)
{
    const FieldValue* value = findField(node, field);
    if (!value || value->kind != ValueKind::kStrings) return {};
    // Local names first: the loaders read files, and a url list usually names the same
    // file on the web as well.
    for (const bool local : {true, false}) {
        for (const std::string& url : value->texts) {
            if (isLocalUrl(url) != local) continue;
            std::string written = url;
            const SourceFile* from = value->source;
            // A file read for an Inline names its pictures and sounds from its own
            // folder; the loaders look for them from the world's.
            if (from && from->folder != state.world.folder && !written.empty() &&
                written[0] != '/' && local) {
                std::filesystem::path target =
                    std::filesystem::path(from->folder + written).lexically_normal();
                const std::string base = state.world.folder.empty() ? "." : state.world.folder;
                const std::filesystem::path relative = target.lexically_relative(base);
                written = relative.empty() ? target.generic_string() : relative.generic_string();
            }
            if (fitsLine(written, keywords)) return written;
        }
    }
    return {};
}

bool keepWriting(WriterState& state)
{
    CanonicalText& out = state.out;
    if (out.stopped()) return false;
    const NormalizeLimits& limits = state.context.limits;
    const SourceFile& world = state.world;
    if (out.overLimit()) {
        state.context.diagnostics.error(world.path, 0, 0,
                                        "the rewritten world is larger than " +
                                            std::to_string(limits.maxOutputBytes) +
                                            " bytes; the rest of it is left out");
        out.stop();
        return false;
    }
    if (state.visits > limits.maxWriterVisits) {
        state.context.diagnostics.error(world.path, 0, 0,
                                        "the world holds more than " +
                                            std::to_string(limits.maxWriterVisits) +
                                            " nodes to write, copies included; the rest of "
                                            "it is left out");
        out.stop();
        return false;
    }
    return true;
}

void warnOnce(WriterState& state, const Node& node, const std::string& message)
{
    if (!state.reportedNodes.insert(&node).second) return;
    const std::string path = node.source ? node.source->path : state.world.path;
    state.context.diagnostics.warning(path, node.line, node.column, message);
}
