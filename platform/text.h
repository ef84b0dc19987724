// platform/text.h - the few string services the platform needs: heap copies that can
// fail without throwing, and names compared without case as Win32 compares class,
// property and resource names (ASCII letters only, as those names are).
// Entry points: copyText, sameText.
#pragma once

// A heap copy (free with std::free); null when the heap refuses.
char* copyText(const char* text);
bool sameText(const char* a, const char* b);
