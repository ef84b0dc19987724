// <windows.h> on Linux (windows, messages, painting, drawing and resources). The plug-in includes
// the Windows headers by their own names; here they all lead to the stand-in, which declares its
// whole vocabulary in one header. A Windows build does not see this folder.
#pragma once

#include "platform/windows.h"
