// make_demo: writes the bundled demo world, its textures and its sounds.
//
//   make_demo FOLDER      -> FOLDER/demo.wrl, FOLDER/floor.jpg, FOLDER/crate.jpg,
//                            FOLDER/chime.wav, FOLDER/hum.wav
//
// The world is written one statement per line, the layout Tarne's line reader reads
// directly, so it shows the same with or without the normalizing pass. It shows what
// the renderer does: a textured floor, a flat-shaded textured crate, a smooth-shaded
// sphere with a highlight, a smooth cylinder, a transparent pane, a point light and a
// spot light, a Viewpoint and a sky colour, and two Sounds: a chime at the crate on the
// left, a low hum at the column on the right, both looping.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    unsigned char r, g, b;
};

bool writeJpeg(const std::string& path, int width, int height, const std::vector<Rgb>& pixels)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct compress{};
    jpeg_error_mgr errors{};
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    jpeg_stdio_dest(&compress, file);
    compress.image_width = static_cast<JDIMENSION>(width);
    compress.image_height = static_cast<JDIMENSION>(height);
    compress.input_components = 3;
    compress.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, 88, TRUE);
    jpeg_start_compress(&compress, TRUE);
    while (compress.next_scanline < compress.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(
            &pixels[compress.next_scanline * static_cast<unsigned>(width)]));
        jpeg_write_scanlines(&compress, &row, 1);
    }
    jpeg_finish_compress(&compress);
    jpeg_destroy_compress(&compress);
    return std::fclose(file) == 0;
}

unsigned char channel(double value)
{
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Terracotta tiles with light grout, each tile a little different in tone.
std::vector<Rgb> floorTiles(int side)
{
    std::vector<Rgb> pixels(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    const int tile = side / 4;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int tx = x / tile, ty = y / tile;
            const int u = x % tile, v = y % tile;
            const bool grout = u < 3 || v < 3;
            const double tone = 0.85 + 0.15 * std::sin(tx * 2.3 + ty * 1.7);
            const double grain = 10.0 * std::sin(x * 0.9) * std::cos(y * 0.7);
            Rgb& p = pixels[static_cast<std::size_t>(y * side + x)];
            if (grout) {
                p = {channel(205 + grain * 0.3), channel(198 + grain * 0.3),
                     channel(185 + grain * 0.3)};
            } else {
                p = {channel(186 * tone + grain), channel(96 * tone + grain * 0.6),
                     channel(62 * tone + grain * 0.4)};
            }
        }
    }
    return pixels;
}

// Pale wooden planks with a darker frame.
std::vector<Rgb> crateBoards(int side)
{
    std::vector<Rgb> pixels(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    const int frame = side / 10;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool edge = x < frame || y < frame || x >= side - frame || y >= side - frame;
            const bool seam = (y % (side / 4)) < 2;
            const double ring = 14.0 * std::sin(x * 0.21 + std::sin(y * 0.05) * 3.0);
            Rgb& p = pixels[static_cast<std::size_t>(y * side + x)];
            if (edge) {
                p = {channel(120 + ring * 0.5), channel(78 + ring * 0.4), channel(40 + ring * 0.3)};
            } else if (seam) {
                p = {90, 60, 32};
            } else {
                p = {channel(196 + ring), channel(150 + ring * 0.8), channel(92 + ring * 0.5)};
            }
        }
    }
    return pixels;
}

struct Writer {
    FILE* out;
    int depth = 0;
    void line(const std::string& text)
    {
        for (int i = 0; i < depth; ++i) std::fputs("  ", out);
        std::fputs(text.c_str(), out);
        std::fputc('\n', out);
    }
    void open(const std::string& text)
    {
        line(text);
        ++depth;
    }
    void close(const std::string& text = "}")
    {
        --depth;
        line(text);
    }
};

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", std::fabs(value) < 1e-9 ? 0.0 : value);
    return text;
}

struct Mesh {
    std::vector<double> points;          // x y z triples
    std::vector<double> texCoords;       // u v pairs (empty: none)
    std::vector<std::vector<int>> faces; // corner indices
};

void writeMaterial(Writer& w, const std::string& diffuse, const std::string& specular,
                   double shininess, double transparency, const char* texture)
{
    w.open("appearance Appearance {");
    w.open("material Material {");
    w.line("diffuseColor " + diffuse);
    w.line("specularColor " + specular);
    w.line("shininess " + number(shininess));
    if (transparency > 0) w.line("transparency " + number(transparency));
    w.close();
    if (texture) {
        w.open("texture ImageTexture {");
        w.line(std::string("url \"") + texture + "\"");
        w.close();
    }
    w.close();
}

void writeFaceSet(Writer& w, const std::string& name, const Mesh& mesh, bool smooth)
{
    w.open("geometry DEF " + name + "\tIndexedFaceSet {");
    w.open("coord Coordinate {");
    w.open("point [");
    for (std::size_t i = 0; i < mesh.points.size(); i += 3)
        w.line(number(mesh.points[i]) + " " + number(mesh.points[i + 1]) + " " +
               number(mesh.points[i + 2]) + ",");
    w.close("]");
    w.close();
    if (!mesh.texCoords.empty()) {
        w.open("texCoord TextureCoordinate {");
        w.open("point [");
        for (std::size_t i = 0; i < mesh.texCoords.size(); i += 2)
            w.line(number(mesh.texCoords[i]) + " " + number(mesh.texCoords[i + 1]) + ",");
        w.close("]");
        w.close();
    }
    w.open("coordIndex [");
    for (const std::vector<int>& face : mesh.faces) {
        std::string entry;
        for (int corner : face) entry += std::to_string(corner) + ", ";
        w.line(entry + "-1,");
    }
    w.close("]");
    w.line(smooth ? "normalPerVertex TRUE" : "normalPerVertex FALSE");
    w.close();
}

void writeShapeAt(Writer& w, const std::string& translation, const std::string& name,
                  const Mesh& mesh, bool smooth, const std::string& diffuse,
                  const std::string& specular, double shininess, double transparency,
                  const char* texture)
{
    w.open("Transform {");
    w.line("translation " + translation);
    w.open("children [");
    w.open("Shape {");
    writeMaterial(w, diffuse, specular, shininess, transparency, texture);
    writeFaceSet(w, name, mesh, smooth);
    w.close();
    w.close("]");
    w.close();
}

// A floor of n x n quads, side long, at y = 0, texture repeated `repeat` times.
Mesh floorGrid(int n, double side, double repeat)
{
    Mesh mesh;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) {
            const double x = -side / 2 + side * i / n;
            const double z = -side / 2 + side * j / n;
            mesh.points.insert(mesh.points.end(), {x, 0.0, z});
            mesh.texCoords.insert(mesh.texCoords.end(), {repeat * i / n, repeat * j / n});
        }
    }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i;
            // Counter-clockwise seen from above.
            mesh.faces.push_back({a, a + n + 1, a + n + 2, a + 1});
        }
    return mesh;
}

// A cube of the side, centred at the origin; each face has its own corners so the
// texture sits square on it.
Mesh cube(double side)
{
    Mesh mesh;
    const double h = side / 2;
    const double faces[6][4][3] = {
        {{-h, -h, h}, {h, -h, h}, {h, h, h}, {-h, h, h}},     // front
        {{h, -h, -h}, {-h, -h, -h}, {-h, h, -h}, {h, h, -h}}, // back
        {{h, -h, h}, {h, -h, -h}, {h, h, -h}, {h, h, h}},     // right
        {{-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}}, // left
        {{-h, h, h}, {h, h, h}, {h, h, -h}, {-h, h, -h}},     // top
        {{-h, -h, -h}, {h, -h, -h}, {h, -h, h}, {-h, -h, h}}, // bottom
    };
    const double uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int f = 0; f < 6; ++f) {
        std::vector<int> face;
        for (int c = 0; c < 4; ++c) {
            face.push_back(static_cast<int>(mesh.points.size() / 3));
            mesh.points.insert(mesh.points.end(), {faces[f][c][0], faces[f][c][1], faces[f][c][2]});
            mesh.texCoords.insert(mesh.texCoords.end(), {uv[c][0], uv[c][1]});
        }
        mesh.faces.push_back(face);
    }
    return mesh;
}

// A sphere of shared vertices, so corners take smooth normals.
Mesh sphere(double radius, int segments, int rings)
{
    Mesh mesh;
    for (int r = 0; r <= rings; ++r) {
        const double polar = kPi * r / rings;
        for (int s = 0; s < segments; ++s) {
            const double azimuth = 2 * kPi * s / segments;
            mesh.points.insert(mesh.points.end(), {radius * std::sin(polar) * std::cos(azimuth),
                                                   radius * std::cos(polar),
                                                   radius * std::sin(polar) * std::sin(azimuth)});
        }
    }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const int a = r * segments + s;
            const int b = r * segments + (s + 1) % segments;
            const int c = b + segments;
            const int d = a + segments;
            if (r == 0)
                mesh.faces.push_back({a, c, d});
            else if (r == rings - 1)
                mesh.faces.push_back({a, b, d});
            else
                mesh.faces.push_back({a, b, c, d});
        }
    return mesh;
}

// An open-ended cylinder side with a flat top, shared side vertices for smooth shading.
Mesh cylinder(double radius, double height, int segments)
{
    Mesh mesh;
    for (int level = 0; level < 2; ++level)
        for (int s = 0; s < segments; ++s) {
            const double azimuth = 2 * kPi * s / segments;
            mesh.points.insert(mesh.points.end(),
                               {radius * std::cos(azimuth), level == 0 ? -height / 2 : height / 2,
                                radius * std::sin(azimuth)});
        }
    for (int s = 0; s < segments; ++s) {
        const int next = (s + 1) % segments;
        mesh.faces.push_back({s, segments + s, segments + next, next});
    }
    std::vector<int> top;
    for (int s = segments - 1; s >= 0; --s) top.push_back(segments + s);
    mesh.faces.push_back(top);
    return mesh;
}

Mesh pane(double width, double height)
{
    Mesh mesh;
    mesh.points = {-width / 2, 0, 0, width / 2, 0, 0, width / 2, height, 0, -width / 2, height, 0};
    mesh.faces = {{0, 1, 2, 3}};
    return mesh;
}

// A mono 16-bit PCM WAV of the samples (each in -1..1).
bool writeWav(const std::string& path, int rate, const std::vector<double>& samples)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    auto put = [&](unsigned value, int bytes) {
        for (int b = 0; b < bytes; ++b)
            std::fputc(static_cast<int>((value >> (8 * b)) & 0xFF), out);
    };
    const unsigned dataBytes = static_cast<unsigned>(samples.size() * 2);
    std::fputs("RIFF", out);
    put(36 + dataBytes, 4);
    std::fputs("WAVEfmt ", out);
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // one channel
    put(static_cast<unsigned>(rate), 4);
    put(static_cast<unsigned>(rate * 2), 4);
    put(2, 2);
    put(16, 2);
    std::fputs("data", out);
    put(dataBytes, 4);
    for (double sample : samples)
        put(static_cast<unsigned>(static_cast<int>(std::lround(sample * 32000))) & 0xFFFF, 2);
    return std::fclose(out) == 0;
}

constexpr int kSoundRate = 22050;

// Two seconds of a bell: 660 Hz and its overtones, struck at the start and dying away,
// so that the loop rings every two seconds.
std::vector<double> chime()
{
    std::vector<double> samples(2 * kSoundRate);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const double t = static_cast<double>(k) / kSoundRate;
        const double envelope = std::exp(-2.5 * t) * std::min(1.0, t * 400);
        samples[k] =
            envelope * (0.6 * std::sin(2 * kPi * 660 * t) + 0.25 * std::sin(2 * kPi * 1320 * t) +
                        0.1 * std::sin(2 * kPi * 1980 * t));
    }
    return samples;
}

// Two seconds of a soft hum at 110 Hz (a whole number of cycles, so the loop is seamless),
// slowly swelling and fading.
std::vector<double> hum()
{
    std::vector<double> samples(2 * kSoundRate);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const double t = static_cast<double>(k) / kSoundRate;
        const double swell = 0.75 + 0.25 * std::sin(2 * kPi * 0.5 * t);
        samples[k] =
            0.5 * swell * (std::sin(2 * kPi * 110 * t) + 0.3 * std::sin(2 * kPi * 220 * t));
    }
    return samples;
}

// A looping Sound at `location`, heard fully within `near` units and fading out by `far`.
void writeSound(Writer& w, const char* location, const char* name, const char* file, double near,
                double far)
{
    w.open("Sound {");
    w.line(std::string("location ") + location);
    w.line("minFront " + number(near));
    w.line("minBack " + number(near));
    w.line("maxFront " + number(far));
    w.line("maxBack " + number(far));
    w.open(std::string("source DEF ") + name + "\tAudioClip {");
    w.line(std::string("url \"") + file + "\"");
    w.line("loop TRUE");
    w.close();
    w.close();
}

bool writeWorld(const std::string& path)
{
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    Writer w{out};
    w.line("#VRML V2.0 utf8");
    w.line("# The Tarne demo world, written by tools/make_demo.");
    w.open("Viewpoint {");
    w.line("position 0 2.6 9");
    w.line("orientation 1 0 0 -0.2");
    w.line("fieldOfView 0.45");
    w.close();
    w.open("Background {");
    w.line("skyColor [ 0.58 0.72 0.93 ]");
    w.close();
    w.open("PointLight {");
    w.line("location 3 5 5");
    w.line("color 1 0.95 0.85");
    w.line("intensity 0.9");
    w.close();
    w.open("SpotLight {");
    w.line("location -4 6 2");
    w.line("direction 0.45 -1 -0.3");
    w.line("cutOffAngle 0.6");
    w.line("color 0.75 0.8 1");
    w.line("intensity 0.8");
    w.close();
    writeShapeAt(w, "0 0 0", "Floor", floorGrid(10, 14, 5), false, "1 1 1", "0 0 0", 0.1, 0,
                 "floor.jpg");
    writeShapeAt(w, "-2.6 1 -0.5", "Crate", cube(2), false, "1 1 1", "0.2 0.2 0.2", 0.2, 0,
                 "crate.jpg");
    writeShapeAt(w, "0.4 1.3 -1.6", "Ball", sphere(1.3, 32, 18), true, "0.2 0.35 0.9", "1 1 1", 0.6,
                 0, nullptr);
    writeShapeAt(w, "2.8 0.9 1.2", "Column", cylinder(0.7, 1.8, 28), true, "0.25 0.75 0.3",
                 "0.5 0.5 0.5", 0.3, 0, nullptr);
    // The pane stands behind the column: faces are drawn nearest first, and an opaque
    // face never shows through a transparent one drawn before it.
    writeShapeAt(w, "3.3 0 -2.2", "Glass", pane(2.6, 2.4), false, "0.6 0.9 1", "1 1 1", 0.5, 0.55,
                 nullptr);
    writeSound(w, "-2.6 1 -0.5", "Chime", "chime.wav", 4, 30);
    writeSound(w, "2.8 0.9 1.2", "Hum", "hum.wav", 4, 30);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    constexpr int kSide = 256;
    if (!writeJpeg(folder + "/floor.jpg", kSide, kSide, floorTiles(kSide)) ||
        !writeJpeg(folder + "/crate.jpg", kSide, kSide, crateBoards(kSide)) ||
        !writeWav(folder + "/chime.wav", kSoundRate, chime()) ||
        !writeWav(folder + "/hum.wav", kSoundRate, hum()) || !writeWorld(folder + "/demo.wrl")) {
        std::fprintf(stderr, "make_demo: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
