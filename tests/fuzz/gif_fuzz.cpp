// Feeds the GIF decoder through every use of a picture.
#include "tests/fuzz/picture_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    loadPictureEveryWay(data, size, "gif");
    return 0;
}
