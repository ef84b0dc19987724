// plugin/load_world.h - the world loading sequence behind NPP_StreamAsFile: the file
// is read into the world tables (normalized first unless the instance asked for the
// line reader alone), the reflection image is decoded, the background prepared, the
// renderer's working buffers and derived tables built, the view angle fitted to the
// Viewer (default reading), the start camera remembered,
// the sound set-up requested and the first frame asked for.
#pragma once

#include "plugin/plugin_state.h"
#include "world/normalize/normalize.h"

#include <string>

class PluginWindow;

// Runs the whole sequence for `instance`; a null or empty file name does nothing.
void loadWorld(PluginState& state, PluginWindow& instance, const char* fileName);

// The pass's messages as lines: "FILE:LINE:COLUMN: message", or "FILE: message" for a
// message about the whole file.
void appendMessages(const NormalizeResult& result, std::string& messages);

// Reads the file into the (empty) tables, normalized or strict, and sets the World's
// reading rules (vrmlFieldOfView, vrmlHeadlight, untexturedWhenNotLoaded) for the default
// reading, clears them for strict; appends the messages
// of the pass and the reader ("FILE: message", "FILE:LINE:COLUMN: message" lines) to
// `messages`. False when the world was refused or could not be read at all.
// A world `fromNetwork` reads files only from its own folder and below.
bool readWorldFile(World& world, const char* fileName, bool strict, bool fromNetwork,
                   std::string& messages);
