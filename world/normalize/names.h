// world/normalize/names.h - which DEF names can be written, and unique names for the
// rows a later USE must find.
//
// Owns: NameBook (the names one table's rows were given). Entry points: isSafeName,
// NameBook::has, NameBook::add, NameBook::claim.
// The line reader looks for node and field names anywhere in a line, so a DEF name
// holding one ("BoxGroup", "colorPlate") would start a reader or a field on the line
// that names the node. Such names are not written; the reader then names the row as it
// names unnamed ones.
#pragma once

#include "base/types.h"

#include <string>
#include <string_view>
#include <unordered_set>

// True when `name` can stand after DEF on a line of the canonical text: no keyword any
// node reader looks for, nothing the DEF and USE rules would cut, a sane length.
bool isSafeName(std::string_view name);

class NameBook {
public:
    bool has(std::string_view name) const { return names_.count(std::string(name)) != 0; }
    void add(std::string_view name) { names_.insert(std::string(name)); }
    // A name no row of this table has had, for a row that USE will look up by name:
    // `preferred` when it is safe, fits the reader's 39-character names and cannot be
    // mistaken for a name the reader generates ("mat_3"); otherwise prefix + a number.
    std::string claim(std::string_view preferred, std::string_view prefix);
    // Takes `preferred` on the conditions of claim; false (nothing taken) otherwise.
    bool takeIfFree(std::string_view preferred);

private:
    std::unordered_set<std::string> names_;
    u32 generated_ = 0;
};
