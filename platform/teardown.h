// platform/teardown.h - the release calls of each registry, which platformReset runs
// in order (reset.cpp). Each leaves its registry empty and usable again.
#pragma once

void freeAllModules();    // resources.cpp
void freeAllDrawDibs();   // drawdib.cpp
void clearComRegistry();  // com.cpp
void clearClasses();      // window_class.cpp
void destroyAllWindows(); // window_destroy.cpp
void freeAllDrawing();    // gdi_objects.cpp
void clearMessageQueue(); // message_queue.cpp

void shutdownSoundEngine(); // sound/registration.cpp: objects, output, clips, classes
