// readWorld and readWorldText: a world's lines, each handed to the node readers whose
// node names it holds.
#include "world/reader.h"

#include "world/name_index.h"
#include "world/node_readers.h"

#include <cstring>

// Every test looks at the line as it was read, in this order, and independently of the
// others: a line naming two nodes starts two readers, and the second reads on from
// wherever the first stopped. Nodes without a reader (Group, Anchor, Switch, the
// sensors, ROUTE, PROTO ...) start nothing; the nodes inside them are still found,
// because every line that no reader takes comes back here.
static void dispatchLine(World& world, LineReader& in, const Line& line)
{
    const bool comment = std::strchr(line.text, '#') != nullptr;
    if (has(line, "Transform")) readTransform(world, in, line, 0);
    dispatchShapeAndLightRows(world, in, line, comment);
    // Only the first Viewpoint sets the starting camera.
    if (has(line, "Viewpoint") && world.viewpointCount == 0 && !comment) {
        readViewpoint(world, in, line);
        world.viewpointCount = static_cast<i16>(world.viewpointCount + 1);
    }
    // NavigationInfo is read only where the reading honours its headlight; the first
    // one counts, as the first Viewpoint does.
    if (world.vrmlHeadlight && has(line, "NavigationInfo") && world.navigationInfoCount == 0 &&
        !comment) {
        readNavigationInfo(world, in, line);
        world.navigationInfoCount = static_cast<i16>(world.navigationInfoCount + 1);
    }
    dispatchSoundRows(world, in, line);
    if (has(line, "Background")) readBackground(world, in, line);
}

static void readLines(World& world, LineReader& in)
{
    NameIndexes names;
    in.names = &names;
    Line line;
    while (nextLine(in, line)) dispatchLine(world, in, line);
    in.names = nullptr;
    freeNameIndexes(names);
}

void setWorldFolder(World& world, const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const std::size_t length = slash ? static_cast<std::size_t>(slash - path) + 1 : 0;
    if (length >= sizeof world.worldFolder) {
        world.worldFolder[0] = '\0';
        return;
    }
    std::memcpy(world.worldFolder, path, length);
    world.worldFolder[length] = '\0';
}

// A read starts from empty tables, whatever an earlier world left in them (worldFolder,
// worldFolderOnly and the reading's rules excepted: the caller sets them for this read).
static bool startEmpty(World& world)
{
    char folder[kWorldFolderSize];
    std::memcpy(folder, world.worldFolder, sizeof folder);
    const bool folderOnly = world.worldFolderOnly;
    const bool fieldOfView = world.vrmlFieldOfView;
    const bool headlight = world.vrmlHeadlight;
    const bool untextured = world.untexturedWhenNotLoaded;
    if (!resetWorldTables(world)) return false;
    std::memcpy(world.worldFolder, folder, sizeof folder);
    world.worldFolderOnly = folderOnly;
    world.vrmlFieldOfView = fieldOfView;
    world.vrmlHeadlight = headlight;
    world.untexturedWhenNotLoaded = untextured;
    return true;
}

bool readWorld(World& world, const char* path, ReadReport* report)
{
    std::FILE* file = openWorldText(path, report);
    if (!file) return false;
    if (!startEmpty(world)) {
        std::fclose(file);
        return false;
    }
    setWorldFolder(world, path);
    static_assert(sizeof(LineReader) < 128 * 1024, "the line reader lives on the stack");
    LineReader in;
    openLineReader(in, file);
    in.report = report;
    readLines(world, in);
    std::fclose(file);
    return true;
}

bool readWorldText(World& world, const char* text, std::size_t size, ReadReport* report,
                   const GeometryRows* expected)
{
    if (!startEmpty(world)) return false;
    if (expected) reserveGeometryRows(world, *expected); // without the room, rows still grow
    LineReader in;
    openTextReader(in, text, size);
    in.report = report;
    readLines(world, in);
    return true;
}
