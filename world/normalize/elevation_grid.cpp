// An ElevationGrid as a face set: a vertex per height, a quad per grid cell.
#include "world/normalize/mesh.h"

static i32 intField(const Node& node, const char* name)
{
    const std::vector<i32> values = readIntList(node, name);
    return values.empty() ? 0 : values[0];
}

bool buildElevationGrid(const Node& grid, MeshBuilder& builder, Mesh& mesh)
{
    const i32 xDimension = intField(grid, "xDimension");
    i32 zDimension = intField(grid, "zDimension");
    f64 xSpacing = 1.0, zSpacing = 1.0, creaseAngle = 0.0;
    readDoubles(grid, "xSpacing", &xSpacing, 1);
    readDoubles(grid, "zSpacing", &zSpacing, 1);
    readDoubles(grid, "creaseAngle", &creaseAngle, 1);
    const std::vector<f64> heights = readDoubleList(grid, "height");
    if (xDimension < 2 || zDimension < 2) return false;
    // Rows without heights are left out rather than made up.
    const u64 rowsGiven = heights.size() / static_cast<u64>(xDimension);
    if (rowsGiven < static_cast<u64>(zDimension)) zDimension = static_cast<i32>(rowsGiven);
    if (zDimension < 2) return false;
    const u32 columns = static_cast<u32>(xDimension);
    const u32 rows = static_cast<u32>(zDimension);
    if (static_cast<u64>(columns) * rows > kMaxGeneratedVertices) return false;
    for (u32 row = 0; row < rows; ++row)
        for (u32 column = 0; column < columns; ++column)
            builder.vertex(column * xSpacing, heights[row * columns + column], row * zSpacing,
                           static_cast<f64>(column) / (columns - 1),
                           static_cast<f64>(row) / (rows - 1));
    // Counter-clockwise seen from above: the grid faces up.
    for (u32 row = 0; row + 1 < rows; ++row) {
        for (u32 column = 0; column + 1 < columns; ++column) {
            const u32 corner = row * columns + column;
            builder.face({corner, corner + columns, corner + columns + 1, corner + 1});
        }
    }
    // The standard shades a grid faceted unless a crease angle lets it be smooth, and
    // only where its cells meet within that angle.
    mesh.normalPerVertex = creaseAngle > 0.0 ? 1 : 0;
    mesh.creaseAngle = creaseAngle > 0.0 ? creaseAngle : 0.0;
    return true;
}
