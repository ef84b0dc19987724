// The dialog templates and their resource-script form.
#include "tools/art/dialogs.h"

const std::vector<DialogArt>& dialogTemplates()
{
    using enum ControlKind;
    // "N\xB0": "N" and the degree sign of code page 1252, the script's code page.
    static const std::vector<DialogArt> templates = {
        {115,
         "Stereoscopy",
         160,
         58,
         {
             {DefaultButton, "OK", 1, 104, 8, 48, 14},
             {Button, "Cancel", 2, 104, 28, 48, 14},
             {Label, "Eye Gap Level :", -1, 8, 12, 56, 8},
             {Edit, "", 171, 66, 10, 30, 12},
         }},
        {336,
         "",
         180,
         120,
         {
             {List, "", 857, 8, 8, 76, 84},
             {List, "", 796, 96, 8, 76, 84},
             {OwnerDrawnButton, "Trajp", 644, 8, 98, 36, 16},
             {OwnerDrawnButton, "Trajm", 186, 50, 98, 36, 16},
             {OwnerDrawnButton, "GoTraj", 851, 92, 98, 36, 16},
             {OwnerDrawnButton, "OKCAM", 1, 136, 98, 36, 16},
         }},
        {337,
         "Lighting Properties",
         180,
         128,
         {
             {DefaultButton, "OK", 1, 124, 106, 48, 14},
             {Label, "N\xB0", -1, 8, 8, 24, 8},
             {Label, "Type", -1, 36, 8, 60, 8},
             {List, "", 371, 8, 18, 164, 64},
             {CheckBox, "Active Light", 389, 8, 88, 80, 10},
             {Label, "Dispersion :", -1, 8, 108, 44, 8},
             {Edit, "", 390, 54, 106, 40, 12},
         }},
    };
    return templates;
}

// One control's statement: the keyword, its text and id where it has them, its box.
static std::string controlLine(const DialogControl& control)
{
    const std::string text = std::string("\"") + control.text + "\", ";
    const std::string id = std::to_string(control.id) + ", ";
    const std::string box = std::to_string(control.x) + ", " + std::to_string(control.y) + ", " +
                            std::to_string(control.width) + ", " + std::to_string(control.height);
    switch (control.kind) {
    case ControlKind::DefaultButton: return "DEFPUSHBUTTON " + text + id + box;
    case ControlKind::Button: return "PUSHBUTTON " + text + id + box;
    case ControlKind::OwnerDrawnButton:
        return "CONTROL " + text + id + "\"Button\", BS_OWNERDRAW | WS_TABSTOP, " + box;
    case ControlKind::Edit: return "EDITTEXT " + id + box + ", ES_AUTOHSCROLL";
    case ControlKind::Label: return "LTEXT " + text + id + box;
    case ControlKind::List: return "LISTBOX " + id + box + ", LBS_NOTIFY | WS_VSCROLL | WS_BORDER";
    case ControlKind::CheckBox: return "AUTOCHECKBOX " + text + id + box;
    }
    return "";
}

std::string dialogScript()
{
    std::string script;
    for (const DialogArt& dialog : dialogTemplates()) {
        script += "\n" + std::to_string(dialog.id) + " DIALOGEX 0, 0, " +
                  std::to_string(dialog.width) + ", " + std::to_string(dialog.height) + "\n";
        script += "STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n";
        if (dialog.caption[0] != '\0')
            script += std::string("CAPTION \"") + dialog.caption + "\"\n";
        script += "FONT 8, \"MS Sans Serif\"\nBEGIN\n";
        for (const DialogControl& control : dialog.controls)
            script += "    " + controlLine(control) + "\n";
        script += "END\n";
    }
    return script;
}
