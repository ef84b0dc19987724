// A Shape in the canonical layout: its Appearance (one material row, then its
// texture) and its geometry as one IndexedFaceSet the face set reader reads whole.
#include "world/normalize/number_format.h"
#include "world/normalize/world_writer.h"

namespace {

// Rows between two looks at the output limit inside a long list.
constexpr u32 kRowsPerLimitCheck = 4096;
// Index lines are broken before they reach the reader's 254 characters.
constexpr std::size_t kIndexLineBreak = 200;

// The ImageTexture url the Appearance reader will take: the only keyword its texture
// loop reacts to is the closing brace, which fitsLine refuses.
std::string textureUrl(const WriterState& state, const Node* appearance)
{
    if (!appearance) return {};
    const Node* texture = fieldNode(*appearance, "texture");
    if (!texture || texture->type != "ImageTexture") return {};
    return writableUrl(state, *texture, "url", {});
}

void writeMaterial(WriterState& state, const Node* material, bool shared)
{
    static const f64 kColor[3] = {0.8, 0.8, 0.8};
    static const f64 kZero[3] = {0.0, 0.0, 0.0};
    static const f64 kShininess[1] = {0.2};
    CanonicalText& out = state.out;
    // The Appearance reader's DEF test also fires on the material line and renames the
    // row after the Material; a shared row must keep the name its USE looks for.
    std::string name;
    if (material && !shared && isSafeName(material->defName) &&
        !state.appearanceNames.has(material->defName)) {
        name = material->defName;
        state.appearanceNames.add(name);
    }
    out.begin(name.empty() ? std::string("material Material {")
                           : "material DEF " + name + "\tMaterial {");
    if (material) {
        writeNumberField(out, *material, "diffuseColor", 3, kColor);
        writeNumberField(out, *material, "specularColor", 3, kZero);
        writeNumberField(out, *material, "shininess", 1, kShininess);
        writeNumberField(out, *material, "transparency", 1, kZero);
    }
    out.end("}");
}

void writeAppearance(WriterState& state, const Node& appearance, const std::string& url,
                     bool shared)
{
    CanonicalText& out = state.out;
    if (const auto written = state.sharedRows.find(&appearance);
        written != state.sharedRows.end()) {
        out.line("appearance USE " + written->second);
        return;
    }
    std::string name;
    if (shared) {
        name = state.appearanceNames.claim(appearance.defName, "app");
    } else if (isSafeName(appearance.defName) && !state.appearanceNames.has(appearance.defName)) {
        name = appearance.defName;
        state.appearanceNames.add(name);
    }
    out.begin(name.empty() ? std::string("appearance Appearance {")
                           : "appearance DEF " + name + "\tAppearance {");
    // Always a material first: a texture is attached to the last material row, and an
    // Appearance without one would take the previous Shape's.
    const Node* material = fieldNode(appearance, "material");
    writeMaterial(state, material && material->type == "Material" ? material : nullptr, shared);
    if (!url.empty()) {
        out.begin("texture ImageTexture {");
        out.line("url \"" + url + "\"");
        out.end("}");
    }
    out.end("}");
    if (shared) state.sharedRows[&appearance] = name;
}

std::string defPrefix(const std::string& name)
{
    return isSafeName(name) ? "DEF " + name + "\t" : std::string();
}

void writeNumberRows(WriterState& state, const NumberArray& numbers, u32 perRow)
{
    CanonicalText& out = state.out;
    std::string& text = out.raw();
    u32 rows = 0;
    for (u32 i = 0; i + perRow <= numbers.count; i += perRow) {
        if (++rows % kRowsPerLimitCheck == 0 && !keepWriting(state)) return;
        out.indent();
        for (u32 k = 0; k < perRow; ++k) {
            if (k > 0) text += ' ';
            text.append(numberText(*numbers.source, numbers.refs[i + k]));
        }
        text += ",\n";
    }
}

void writeNumberNode(WriterState& state, const char* head, const char* list,
                     const NumberArray& numbers, u32 perRow)
{
    CanonicalText& out = state.out;
    out.begin(head);
    out.begin(list);
    writeNumberRows(state, numbers, perRow);
    out.end("]");
    out.end("}");
}

void writeFaces(WriterState& state, const std::vector<i32>& faces)
{
    CanonicalText& out = state.out;
    std::string& text = out.raw();
    out.begin("coordIndex [");
    bool lineOpen = false;
    std::size_t lineStart = 0;
    u32 rows = 0;
    for (const i32 corner : faces) {
        if (!lineOpen) {
            if (++rows % kRowsPerLimitCheck == 0 && !keepWriting(state)) break;
            lineStart = text.size();
            out.indent();
            lineOpen = true;
        } else {
            text += ' ';
        }
        appendInt(text, corner);
        text += ',';
        // Every line ends with a comma: the index reader drops what follows the last one.
        if (corner < 0 || text.size() - lineStart > kIndexLineBreak) {
            text += '\n';
            lineOpen = false;
        }
    }
    if (lineOpen) text += '\n';
    out.end("]");
}

void writeMesh(WriterState& state, const Mesh& mesh)
{
    CanonicalText& out = state.out;
    out.begin("geometry " + defPrefix(mesh.name) + "IndexedFaceSet {");
    writeNumberNode(state, ("coord " + defPrefix(mesh.coordName) + "Coordinate {").c_str(),
                    "point [", mesh.points, 3);
    if (mesh.normals.count > 0)
        writeNumberNode(state, ("normal " + defPrefix(mesh.normalName) + "Normal {").c_str(),
                        "vector [", mesh.normals, 3);
    if (mesh.texCoords.count > 0)
        writeNumberNode(
            state, ("texCoord " + defPrefix(mesh.texCoordName) + "TextureCoordinate {").c_str(),
            "point [", mesh.texCoords, 2);
    // A Color's DEF name would also rename the object (the face set reader's name test
    // does not exclude colour lines), so colours are written unnamed.
    if (mesh.colors.count > 0) writeNumberNode(state, "color Color {", "color [", mesh.colors, 3);
    if (mesh.colorPerVertex) out.line("colorPerVertex TRUE");
    writeFaces(state, mesh.faces);
    if (mesh.normalPerVertex >= 0)
        out.line(mesh.normalPerVertex ? "normalPerVertex TRUE" : "normalPerVertex FALSE");
    out.end("}");
}

void addBounds(WriterState& state, const Mesh& mesh, const Affine& around)
{
    for (u32 i = 0; i + 3 <= mesh.points.count; i += 3) {
        f64 point[3];
        for (u32 k = 0; k < 3; ++k)
            point[k] = numberValue(numberText(*mesh.points.source, mesh.points.refs[i + k]));
        applyPoint(around, point, point);
        if (!std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2]))
            continue;
        for (int k = 0; k < 3; ++k) {
            if (!state.hasBounds || point[k] < state.low[k]) state.low[k] = point[k];
            if (!state.hasBounds || point[k] > state.high[k]) state.high[k] = point[k];
        }
        state.hasBounds = true;
    }
}

void reportFaceSet(WriterState& state, const Node& geometry, const FaceSetIssues& issues)
{
    if (issues.droppedFaces > 0)
        warnOnce(state, geometry,
                 "IndexedFaceSet: " + std::to_string(issues.droppedFaces) +
                     " faces with fewer than 3 corners or indices beyond its points left out");
    else if (issues.droppedTexCoords)
        warnOnce(state, geometry,
                 "IndexedFaceSet: texCoordIndex does not fit its texture coordinates; they are "
                 "left out");
}

} // namespace

void writeShape(WriterState& state, const Node* shape, const Node* geometry, const Affine& around,
                bool shared)
{
    if (!geometry) return;
    const Node* appearance = shape ? fieldNode(*shape, "appearance") : nullptr;
    if (appearance && appearance->type != "Appearance") appearance = nullptr;
    const std::string url = textureUrl(state, appearance);
    Mesh mesh;
    state.scratch.extra.clear();
    bool built = false;
    if (geometry->type == "IndexedFaceSet") {
        FaceSetIssues issues;
        built = buildFaceSetMesh(*geometry, mesh, issues);
        reportFaceSet(state, *geometry, issues);
    } else {
        built = buildPrimitiveMesh(*geometry, !url.empty(), state.scratch, mesh);
    }
    // A Shape with nothing to draw is left out: the reader would make an empty object.
    if (!built) return;
    CanonicalText& out = state.out;
    out.begin("Shape {");
    if (appearance)
        writeAppearance(state, *appearance, url, shared || isShared(state, *appearance));
    writeMesh(state, mesh);
    out.end("}");
    if (state.collectBounds) addBounds(state, mesh, around);
}
