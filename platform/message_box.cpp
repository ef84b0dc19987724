// Message boxes: every text shown is kept in a log (tests and the host read it back),
// then the backend shows it. There is nobody to click, so the answer is always IDOK.
#include "platform/backend.h"
#include "platform/growable.h"
#include "platform/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void writeMessageBoxText(const char* text, const char* caption)
{
    const std::size_t length = std::strlen(text);
    const bool endsLine = length > 0 && text[length - 1] == '\n';
    std::fprintf(stderr, "%s: %s%s", caption, text, endsLine ? "" : "\n");
    std::fflush(stderr);
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
