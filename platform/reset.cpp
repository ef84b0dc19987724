// platformReset: everything back to the state of a freshly loaded library, windows
// first (their handlers may still draw, post or release objects), then the registries
// they could have used.
#include "platform/teardown.h"
#include "platform/windows.h"

void platformReset()
{
    destroyAllWindows();
    ReleaseCapture();
    clearMessageQueue();
    freeAllDrawDibs();
    freeAllDrawing();
    freeAllModules();
    shutdownSoundEngine(); // after the windows, whose teardown releases sound objects
    clearClasses();
    clearComRegistry();
    platformClearMessageBoxes();
}
