// Vertices and faces of generated geometry, written as number texts.
#include "world/normalize/mesh.h"
#include "world/normalize/number_format.h"

MeshBuilder::MeshBuilder(SourceFile& scratch, Mesh& mesh, bool withTexCoords)
    : scratch_(scratch), mesh_(mesh), withTexCoords_(withTexCoords)
{
}

void MeshBuilder::number(std::vector<NumberRun>& store, f64 value)
{
    const std::size_t start = scratch_.extra.size();
    appendFloat(scratch_.extra, value);
    store.push_back(
        {static_cast<u32>(start), static_cast<u32>(scratch_.extra.size() - start) | kInExtra, 1});
}

u32 MeshBuilder::vertex(f64 x, f64 y, f64 z, f64 s, f64 t)
{
    number(mesh_.pointStore, x);
    number(mesh_.pointStore, y);
    number(mesh_.pointStore, z);
    if (withTexCoords_) {
        number(mesh_.texCoordStore, s);
        number(mesh_.texCoordStore, t);
    }
    return vertexCount_++;
}

void MeshBuilder::face(std::initializer_list<u32> corners)
{
    for (const u32 corner : corners) mesh_.faces.push_back(static_cast<i32>(corner));
    mesh_.faces.push_back(-1);
}

void MeshBuilder::face(const std::vector<u32>& corners)
{
    for (const u32 corner : corners) mesh_.faces.push_back(static_cast<i32>(corner));
    mesh_.faces.push_back(-1);
}

void MeshBuilder::finish()
{
    mesh_.points = {&scratch_, &mesh_.pointStore, static_cast<u32>(mesh_.pointStore.size())};
    if (withTexCoords_)
        mesh_.texCoords = {&scratch_, &mesh_.texCoordStore,
                           static_cast<u32>(mesh_.texCoordStore.size())};
}
