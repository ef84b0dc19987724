// A Shape in the canonical layout: its Appearance (one material row, then its
// texture) and its geometry as one IndexedFaceSet the face set reader reads whole.
#include "world/normalize/number_format.h"
#include "world/normalize/tokenizer.h"
#include "world/normalize/world_writer.h"

#include <charconv>
#include <cstring>

// Rows between two looks at the output limit inside a long list.
constexpr u32 kRowsPerLimitCheck = 4096;
// Index lines are broken before they reach the reader's 254 characters.
constexpr std::size_t kIndexLineBreak = 200;

// The ImageTexture url the Appearance reader will take: the only keyword its texture
// loop reacts to is the closing brace, which fitsLine refuses.
static std::string textureUrl(const WriterState& state, const Node* appearance)
{
    if (!appearance) return {};
    const Node* texture = fieldNode(*appearance, "texture");
    if (!texture || texture->type != "ImageTexture") return {};
    return writableUrl(state, *texture, "url", {});
}

// The material row's fields: the Material's own (with VRML's defaults for the ones it
// leaves out), or white for a Shape without a Material, which VRML 2.0 draws white (unlit
// there; lit white here).
static void writeMaterialFields(CanonicalText& out, const Node* material)
{
    static const f64 kColor[3] = {0.8, 0.8, 0.8};
    static const f64 kZero[3] = {0.0, 0.0, 0.0};
    static const f64 kShininess[1] = {0.2};
    if (!material) {
        out.line("diffuseColor 1 1 1");
        return;
    }
    writeNumberField(out, *material, "diffuseColor", 3, kColor);
    writeNumberField(out, *material, "specularColor", 3, kZero);
    writeNumberField(out, *material, "shininess", 1, kShininess);
    writeNumberField(out, *material, "transparency", 1, kZero);
}

// What makes an Appearance's material row: its fields and its texture. Appearances
// with the same key draw the same, so they share one row: each row costs its colour
// ramps (about 24 KB), and files with thousands of Shapes repeat a few appearances.
static std::string appearanceKey(const Node* material, const std::string& url)
{
    std::string text;
    CanonicalText scratch(text, u64{1} << 20);
    writeMaterialFields(scratch, material);
    scratch.finish();
    return text + "url " + url;
}

// The Shape's Appearance: written once per distinct key and taken again by "appearance
// USE name" for every later Shape that looks the same. The row keeps the Appearance's
// own DEF name when it can be written; an unnamed row gets the name the reader gives
// it, "mat_" and its row number, which no written name can take (names that look
// generated are never written). The material line carries no DEF: the Appearance
// reader would rename the row after it, and the USE would no longer find it.
static void writeAppearance(WriterState& state, const Node* appearance, const std::string& url)
{
    CanonicalText& out = state.out;
    const Node* material = appearance ? fieldNode(*appearance, "material") : nullptr;
    if (material && material->type != "Material") material = nullptr;
    std::string key = appearanceKey(material, url);
    if (const auto written = state.appearanceRows.find(key);
        written != state.appearanceRows.end()) {
        out.line("appearance USE " + written->second);
        return;
    }
    std::string name;
    if (appearance && state.appearanceNames.takeIfFree(appearance->defName))
        name = appearance->defName;
    const u32 row = ++state.materialRowsWritten;
    out.begin(name.empty() ? std::string("appearance Appearance {")
                           : "appearance DEF " + name + "\tAppearance {");
    // Always a material first: a texture is attached to the last material row, and an
    // Appearance without one would take the previous Shape's.
    out.begin("material Material {");
    writeMaterialFields(out, material);
    out.end("}");
    if (!url.empty()) {
        out.begin("texture ImageTexture {");
        out.line("url \"" + url + "\"");
        out.end("}");
    }
    out.end("}");
    state.appearanceRows.emplace(std::move(key),
                                 name.empty() ? "mat_" + std::to_string(row) : name);
}

static std::string defPrefix(const std::string& name)
{
    return isSafeName(name) ? "DEF " + name + "\t" : std::string();
}

// Rows of a list, written straight into the text: the points and faces of large worlds
// go through here. A row holds at most three numbers of kMaxNumberText characters (the
// parser rewrote longer ones) or a face line broken at kIndexLineBreak, far below the
// room asked for; anything beyond it would be cut, never written past.
namespace {

class RowWriter {
public:
    // List entries stand at the start of their lines: in a large world they are most of
    // the text, and indenting them would add a third to what is written and read.
    explicit RowWriter(CanonicalText& out) : out_(out) {}
    void start()
    {
        row_ = out_.room(kRowRoom);
        for (std::size_t i = 0; i < indent_; ++i) row_[i] = ' ';
        length_ = indent_;
        started_ = true;
    }
    bool started() const { return started_; }
    void add(std::string_view text)
    {
        const std::size_t room = kRowRoom - 1 - length_;
        const std::size_t taken = text.size() < room ? text.size() : room;
        // Numbers are short: a loop beats a library call per number.
        for (std::size_t i = 0; i < taken; ++i) row_[length_ + i] = text[i];
        length_ += taken;
    }
    void add(char c)
    {
        if (length_ < kRowRoom - 1) row_[length_++] = c;
    }
    void addInt(i32 value)
    {
        const auto result = std::to_chars(row_ + length_, row_ + kRowRoom - 1, value);
        if (result.ec == std::errc()) length_ = static_cast<std::size_t>(result.ptr - row_);
    }
    // Characters of the row after its indentation.
    std::size_t length() const { return length_ - indent_; }
    void finish()
    {
        row_[length_++] = '\n';
        out_.commit(length_);
        started_ = false;
    }

private:
    static constexpr std::size_t kRowRoom = 320;
    CanonicalText& out_;
    std::size_t indent_ = 0;
    char* row_ = nullptr;
    std::size_t length_ = 0;
    bool started_ = false;
};

} // namespace

static void writeNumberRows(WriterState& state, const NumberArray& numbers, u32 perRow)
{
    RowWriter row(state.out);
    NumberCursor cursor(*numbers.source, *numbers.runs);
    std::string_view number;
    u32 rows = 0;
    for (u32 i = 0; i + perRow <= numbers.count; i += perRow) {
        if (++rows % kRowsPerLimitCheck == 0 && !keepWriting(state)) return;
        row.start();
        // Most files already write an entry as "x y z": then it is copied whole.
        if (cursor.nextPlainGroup(perRow, number)) {
            row.add(number);
        } else {
            for (u32 k = 0; k < perRow && cursor.next(number); ++k) {
                if (k > 0) row.add(' ');
                row.add(number);
            }
        }
        row.add(',');
        row.finish();
    }
}

static void writeNumberNode(WriterState& state, const char* head, const char* list,
                            const NumberArray& numbers, u32 perRow)
{
    CanonicalText& out = state.out;
    out.begin(head);
    out.begin(list);
    writeNumberRows(state, numbers, perRow);
    out.end("]");
    out.end("}");
}

static void writeFaces(WriterState& state, const std::vector<i32>& faces)
{
    CanonicalText& out = state.out;
    out.begin("coordIndex [");
    RowWriter row(out);
    u32 rows = 0;
    for (const i32 corner : faces) {
        if (!row.started()) {
            if (++rows % kRowsPerLimitCheck == 0 && !keepWriting(state)) break;
            row.start();
        } else {
            row.add(' ');
        }
        row.addInt(corner);
        row.add(',');
        // Every line ends with a comma: the index reader drops what follows the last
        // one. A long face goes on over several lines.
        if (corner < 0 || row.length() > kIndexLineBreak) row.finish();
    }
    if (row.started()) row.finish();
    out.end("]");
}

// Counts what the reader will make of a face set: its points, and its polygons and
// their corners as the -1 entries close them.
static void countGeometry(GeometryRows& geometry, const Mesh& mesh)
{
    u64 closed = 0;
    for (const i32 corner : mesh.faces) closed += corner < 0;
    geometry.faceSets += 1;
    geometry.vertices += mesh.points.count / 3;
    geometry.faces += closed;
    geometry.corners += mesh.faces.size() - closed;
}

static void writeMesh(WriterState& state, const Mesh& mesh)
{
    CanonicalText& out = state.out;
    countGeometry(state.geometry, mesh);
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

// A number's value, near enough for the box a camera frames: a decimal parse without
// the last bit of rounding that an exact conversion costs on millions of points.
static f64 roughValue(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    u64 mantissa = 0;
    i32 exponent = 0;
    i32 digits = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (digits < 18)
            mantissa = mantissa * 10 + static_cast<u64>(text[i] - '0'), ++digits;
        else
            ++exponent;
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            if (digits < 18)
                mantissa = mantissa * 10 + static_cast<u64>(text[i] - '0'), ++digits, --exponent;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) return numberValue(text);
    static const f64 kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9, 1e10,
                                1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20};
    f64 value = static_cast<f64>(mantissa);
    if (exponent < 0)
        value = exponent >= -20 ? value / kTens[-exponent] : numberValue(text);
    else if (exponent > 0)
        value = exponent <= 20 ? value * kTens[exponent] : numberValue(text);
    return negative ? -value : value;
}

static void addBounds(WriterState& state, const Mesh& mesh, const Affine& around)
{
    f64 point[3];
    u32 component = 0;
    u32 taken = 0;
    forEachNumber(*mesh.points.source, *mesh.points.runs, [&](std::string_view number) {
        if (taken++ >= mesh.points.count) return;
        point[component++] = roughValue(number);
        if (component < 3) return;
        component = 0;
        applyPoint(around, point, point);
        if (!std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2]))
            return;
        for (int k = 0; k < 3; ++k) {
            if (!state.hasBounds || point[k] < state.low[k]) state.low[k] = point[k];
            if (!state.hasBounds || point[k] > state.high[k]) state.high[k] = point[k];
        }
        state.hasBounds = true;
    });
}

static void reportFaceSet(WriterState& state, const Node& geometry, const FaceSetIssues& issues)
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

void writeShape(WriterState& state, const Node* shape, const Node* geometry, const Affine& around)
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
    splitAtCreases(mesh);
    CanonicalText& out = state.out;
    out.begin("Shape {");
    writeAppearance(state, appearance, url);
    writeMesh(state, mesh);
    out.end("}");
    if (state.collectBounds) addBounds(state, mesh, around);
}
