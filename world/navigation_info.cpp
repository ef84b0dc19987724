// The NavigationInfo reader: the first NavigationInfo says whether the camera's own
// light shines (its headlight). Its other fields steer a browser's navigation, which
// has modes of its own here, and are read past.
#include "world/node_readers.h"

void readNavigationInfo(World& world, LineReader& in, Line line)
{
    while (!has(line, "}")) {
        // "headlight" alone: no other field of the node holds the word.
        if (has(line, "headlight")) {
            const i32 on = booleanIn(line);
            if (on >= 0) world.headlightOn = on == 1;
        }
        if (!nextLine(in, line)) break;
    }
}
