// resources/version.h - the version table: the entries a browser reads to decide
// which content the plug-in takes, and the plug-in's names and versions. The Unix
// description calls and `tarne --version` are generated from it.
#pragma once

// Only the version number is wanted here: the rows expand to nothing.
#define TARNE_VERSION_ROW(key, value)
#include "resources/version_table.inc"
#undef TARNE_VERSION_ROW

#include <cstddef>
#include <string>

struct VersionEntry {
    const char* key;
    const char* value;
};

// The table, in its fixed order: "MIMEType", "FileExtents", "FileOpenName",
// "FileDescription", "InternalName", "OriginalFilename", "ProductName",
// "FileVersion", "ProductVersion". The first three hold one field per content type,
// separated by "|".
const VersionEntry* versionTable(std::size_t* count);

// The value of one entry, or null.
const char* versionEntry(const char* key);

// File and product version of the fixed part: 1.0.0.1.
constexpr int kVersionParts[4] = {TARNE_VERSION_NUMBER};

// "type:extensions:description;..." for every content type of the table, the
// description being the FileOpenName field without its "(*.ext)" pattern:
// "x-world/x-vrml:wrl,wrz:VRML Worlds;model/vrml:wrl,wrz:VRML Worlds".
std::string mimeDescription();
