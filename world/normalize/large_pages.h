// world/normalize/large_pages.h - a hint for the pass's two large buffers (the world's
// text and the rewritten text).
//
// Owns: nothing. Entry point: adviseLargePages.
// Writing tens of megabytes into fresh memory costs a page fault for every 4 KB, which
// on a virtual machine takes longer than parsing the text written there. Where the
// system offers large pages for memory that asks for them, the reserved room of such a
// buffer asks; elsewhere this does nothing. It never changes what the buffer holds.
#pragma once

#include <string>

void adviseLargePages(std::string& buffer);
