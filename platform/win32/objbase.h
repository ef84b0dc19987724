// <objbase.h> on Linux (COM: CoInitialize, CoCreateInstance, GUIDs). The plug-in includes the
// Windows headers by their own names; here they all lead to the stand-in, which declares
// its whole vocabulary in one header. A Windows build does not see this folder.
#pragma once

#include "platform/windows.h"
