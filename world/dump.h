// world/dump.h - what the reader made of a world, as text: the JSON dump (the contract
// other files are checked against, and `tarne info --json`) and a short summary for a
// person (`tarne info`).
//
// Owns: nothing.
// Reads: every world table and count, the camera and the background settings.
// Writes: nothing; the result is a new string.
// Entry points: worldDumpJson, worldSummary.
// Failure: none; a table whose rows are missing is printed empty.
#pragma once

#include "world/tables.h"

#include <string>

// One JSON object: counts, then every table with `count` rows, the camera and the
// background, under the tables' own names. Floats print with %.9g, so a 32-bit float
// reads back exactly; a non-finite float prints as null. Strings are escaped, and bytes
// that are not UTF-8 print as the character of the same number.
std::string worldDumpJson(const World& world);

// A few lines for a person: counts, object names, lights, camera, background, sounds.
std::string worldSummary(const World& world);
