// Message boxes: every text shown is kept in a log (tests and the host read it back),
// then the backend shows it. There is nobody to click, so the answer is always IDOK.
#include "platform/backend.h"
#include "platform/growable.h"
#include "platform/text.h"

#include <cstdlib>

namespace {

Growable<char*> shownTexts; // heap copies, oldest first

} // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    const char* shown = text ? text : "";
    // Win32's caption when none is given.
    const char* title = caption ? caption : "Error";
    char* copy = copyText(shown);
    if (copy && !shownTexts.push(copy)) std::free(copy);
    currentBackend().showMessageBox(owner, shown, title, type);
    return IDOK;
}

std::size_t platformMessageBoxCount()
{
    return shownTexts.count;
}

const char* platformMessageBoxText(std::size_t index)
{
    return index < shownTexts.count ? shownTexts.items[index] : nullptr;
}

void platformClearMessageBoxes()
{
    for (u32 row = 0; row < shownTexts.count; ++row) std::free(shownTexts.items[row]);
    shownTexts.release();
}
