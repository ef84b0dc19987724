// <windowsx.h> on Linux: the message crackers the plug-in takes from it (GET_X_LPARAM,
// GET_Y_LPARAM) are part of the stand-in's one header. On Windows this folder is not on
// the include path.
#pragma once

#include "platform/windows.h"
