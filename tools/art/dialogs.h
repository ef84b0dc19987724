// tools/art/dialogs.h - the dialog templates among the plug-in's resources: "Stereoscopy"
// (115), "Lighting Properties" (337) and the untitled camera-path dialog (336). No code
// opens them yet; they travel with the bitmaps as resources of the same module and
// language, written by writeDialogScript into the Windows resource script.
#pragma once

#include "base/types.h"

#include <string>
#include <vector>

// The kinds of control a template holds, each a resource-script statement.
enum class ControlKind { DefaultButton, Button, OwnerDrawnButton, Edit, Label, List, CheckBox };

struct DialogControl {
    ControlKind kind;
    const char* text;        // "" for controls without one
    i32 id;                  // -1 for a label nobody addresses
    i32 x, y, width, height; // dialog units
};

struct DialogArt {
    u16 id;
    const char* caption; // "" for an untitled dialog
    i32 width, height;   // dialog units
    std::vector<DialogControl> controls;
};

// The three templates, in resource-number order.
const std::vector<DialogArt>& dialogTemplates();

// The resource-script statements of every template (a DIALOG block each).
std::string dialogScript();
