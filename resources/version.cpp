// The version table and what is derived from it.
#include "resources/version.h"

#include <cstring>
#include <vector>

namespace {

constexpr VersionEntry kVersionTable[] = {
#define TARNE_VERSION_ROW(key, value) {key, value},
#include "resources/version_table.inc"
#undef TARNE_VERSION_ROW
};

std::vector<std::string> splitFields(const char* text)
{
    std::vector<std::string> fields;
    std::string field;
    for (const char* c = text; *c; ++c) {
        if (*c == '|') {
            fields.push_back(field);
            field.clear();
        } else {
            field += *c;
        }
    }
    fields.push_back(field);
    return fields;
}

// "VRML Worlds (*.wrl, *.wrz)" -> "VRML Worlds": the pattern is for file dialogs.
std::string withoutPattern(const std::string& openName)
{
    const std::size_t pattern = openName.find(" (");
    return pattern == std::string::npos ? openName : openName.substr(0, pattern);
}

} // namespace

const VersionEntry* versionTable(std::size_t* count)
{
    *count = sizeof kVersionTable / sizeof kVersionTable[0];
    return kVersionTable;
}

const char* versionEntry(const char* key)
{
    if (!key) return nullptr;
    for (const VersionEntry& entry : kVersionTable)
        if (std::strcmp(entry.key, key) == 0) return entry.value;
    return nullptr;
}

std::string mimeDescription()
{
    const std::vector<std::string> types = splitFields(versionEntry("MIMEType"));
    const std::vector<std::string> extensions = splitFields(versionEntry("FileExtents"));
    const std::vector<std::string> names = splitFields(versionEntry("FileOpenName"));
    std::string description;
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (i > 0) description += ';';
        description += types[i] + ':' + (i < extensions.size() ? extensions[i] : "") + ':' +
                       (i < names.size() ? withoutPattern(names[i]) : "");
    }
    return description;
}
