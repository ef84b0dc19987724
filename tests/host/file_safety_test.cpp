// What tarne does with a user's files and with hostile worlds, run as a user runs it:
// outputs never replace an input, expansions stop at their limit, and every refusal
// names the file and the reason.
#include "tests/host/tarne_run.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

const std::string kTriangle = "Shape { geometry IndexedFaceSet { coord Coordinate { point [ 0 0 "
                              "0, 1 0 0, 0 1 0 ] } coordIndex [ 0 1 2 -1 ] } }\n";
const std::string kWorld = "#VRML V2.0 utf8\n" + kTriangle;

// A gzip file of `zeros` zero bytes, written in 1 MiB pieces (it compresses to about
// a thousandth of that).
std::string writeZeros(const std::string& name, std::size_t zeros)
{
    const std::string path = tempDir() + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    gzFile out = gzopen(path.c_str(), "wb1");
    const std::string block(1 << 20, '\0');
    for (std::size_t written = 0; written < zeros; written += block.size())
        gzwrite(out, block.data(), static_cast<unsigned>(block.size()));
    gzclose(out);
    return path;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(FileSafety, AGzipBombStopsAtTheLimitInBothReadingsAndLeavesTheNeighbourAlone)
{
    const std::string bomb = writeZeros("bomb/world.wrz", 300u << 20);
    const std::string neighbour = writeTempFile("bomb/world.wrl", kWorld);
    for (const char* reading : {"", " --strict"}) {
        const CommandRun run = tarne("info " + quote(bomb) + reading);
        EXPECT_EQ(run.status, 1) << reading << run.err;
        EXPECT_TRUE(contains(run.err, "world.wrz: expands beyond 268435456 bytes; not read"))
            << reading << run.err;
        EXPECT_EQ(readFile(neighbour), kWorld) << reading;
    }
    // Under a plain name the pass refuses it as well, and nothing reads it again.
    std::filesystem::copy_file(bomb, tempDir() + "bomb/named.wrl");
    const CommandRun named = tarne("info " + quote(tempDir() + "bomb/named.wrl"));
    EXPECT_EQ(named.status, 1) << named.err;
}

TEST(FileSafety, StrictExpansionNeverReplacesOrWritesThroughTheFileBesideIt)
{
    const std::string folder = tempDir() + "beside/";
    std::filesystem::create_directories(folder);
    const std::string packed = writeZeros("beside/w.wrz", 0); // a valid, empty gzip stream
    {
        gzFile out = gzopen(packed.c_str(), "wb");
        gzwrite(out, kWorld.data(), static_cast<unsigned>(kWorld.size()));
        gzclose(out);
    }
    const std::string packedBytes = readFile(packed);
    // A user's own world.wrl beside it is left as it was; the world is still read.
    writeTempFile("beside/w.wrl", "my own file");
    CommandRun run = tarne("info --strict " + quote(packed));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.err, "expanded into a temporary file")) << run.err;
    EXPECT_TRUE(contains(run.out, "objects: 1")) << run.out;
    EXPECT_EQ(readFile(folder + "w.wrl"), "my own file");
    // A link of that name to the world itself is not written through.
    std::filesystem::remove(folder + "w.wrl");
    std::filesystem::create_symlink(packed, folder + "w.wrl");
    run = tarne("info --strict " + quote(packed));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(packed), packedBytes);
    // With the name free, the copy is made beside it, as the line reader always did.
    std::filesystem::remove(folder + "w.wrl");
    run = tarne("info --strict " + quote(packed));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(folder + "w.wrl"), kWorld);
}

TEST(FileSafety, AnOutputThatIsTheWorldIsAUsageErrorAndTheWorldStays)
{
    const std::string world = writeTempFile("same/world.wrl", kWorld);
    std::filesystem::create_symlink(world, tempDir() + "same/link.png");
    for (const std::string& arguments :
         {"normalize " + quote(world) + " -o " + quote(world),
          "render " + quote(world) + " -o " + quote(world),
          "render " + quote(world) + " -o " + quote(tempDir() + "same/link.png"),
          "normalize " + quote(world) + " -o " + quote(tempDir() + "same/../same/world.wrl")}) {
        const CommandRun run = tarne(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_TRUE(contains(run.err, "is the world file itself")) << run.err;
        EXPECT_EQ(readFile(world), kWorld) << arguments;
    }
}

TEST(FileSafety, OutputsAreWholeOrNotThereAndNameTheReason)
{
    const std::string world = writeTempFile(
        "out/typo.wrl", "#VRML V2.0 utf8\n" + kTriangle + "Shape { geometry Box { size 1 1 } \n");
    // Errors in the world: exit 1, yet the rewritten world is written (to another file).
    const std::string rewritten = tempDir() + "out/rewritten.wrl";
    const CommandRun errors = tarne("normalize " + quote(world) + " -o " + quote(rewritten));
    EXPECT_EQ(errors.status, 1) << errors.err;
    EXPECT_TRUE(contains(readFile(rewritten), "IndexedFaceSet"));
    // A folder that does not exist: the system's reason, once, and no file anywhere.
    const std::string nowhere = tempDir() + "out/missing/picture.png";
    const CommandRun run = tarne("render " + quote(world) + " -o " + quote(nowhere));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, nowhere + ": No such file or directory")) << run.err;
    EXPECT_EQ(run.err.find("No such file"), run.err.rfind("No such file")) << run.err;
    // Nothing half-written is left beside the outputs.
    for (const auto& entry : std::filesystem::directory_iterator(tempDir() + "out"))
        EXPECT_NE(entry.path().filename().string().rfind(".tarne-", 0), 0u) << entry.path();
}

TEST(FileSafety, OnlyARegularFileIsAWorld)
{
    const std::string pipe = tempDir() + "pipe.wrl";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& file : {pipe, std::string("/dev/null")}) {
        for (const char* command : {"normalize ", "info "}) {
            const CommandRun run = tarne(command + quote(file));
            EXPECT_EQ(run.status, 1) << command << file;
            EXPECT_TRUE(contains(run.err, file + ": not a regular file")) << run.err;
        }
    }
}

TEST(FileSafety, AFileThatIsNotVrmlSaysSoOnceWithoutQuotingIt)
{
    std::string secrets;
    for (int line = 0; line < 50; ++line)
        secrets += "user" + std::to_string(line) + ":x:1000:1000::/home/secret:/bin/sh\n";
    writeTempFile("inline/passwd", secrets);
    const std::string world = writeTempFile(
        "inline/world/w.wrl", "#VRML V2.0 utf8\nInline { url \"%2e%2e/passwd\" }\n" + kTriangle);
    const CommandRun run = tarne("info " + quote(world));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.err, "passwd is not a VRML file")) << run.err;
    EXPECT_FALSE(contains(run.err, "/bin/sh")) << run.err;
    const CommandRun direct = tarne("info " + quote(tempDir() + "inline/passwd"));
    EXPECT_EQ(direct.status, 1);
    EXPECT_EQ(direct.err, tempDir() + "inline/passwd is not a VRML file\n");
}

TEST(FileSafety, FullTablesAndTheLampSaySo)
{
    std::string lights = "#VRML V2.0 utf8\n" + kTriangle;
    for (int light = 0; light < 32768; ++light) lights += "PointLight {}\n";
    const std::string world = writeTempFile("full/lights.wrl", lights);
    const CommandRun run = tarne("render " + quote(world) + " -o " +
                                 quote(tempDir() + "full/lights.png") + " --lamp --size 64x100");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "lights.wrl: only the first 32767 lights shine")) << run.err;
    EXPECT_TRUE(contains(
        run.err, "lights.wrl: the lamp cannot be added: the world already has 32767 lights"))
        << run.err;
    // Bare Shapes share one white material row instead of one row (24 KB of ramps) each.
    std::string shapes = "#VRML V2.0 utf8\n";
    for (int shape = 0; shape < 32768; ++shape) shapes += kTriangle;
    const CommandRun objects =
        tarne("info --json " + quote(writeTempFile("full/shapes.wrl", shapes)));
    EXPECT_TRUE(contains(objects.err, "shapes.wrl: only the first 32767 objects are shown"))
        << objects.err;
    EXPECT_EQ(objects.out.front(), '{'); // the dump alone on standard output
    EXPECT_TRUE(contains(objects.out, "\"materialCount\":1,")) << objects.out.substr(0, 300);
}

TEST(FileSafety, ExpansionsAndNumbersBeyondTheirLimitsAreRefusedWithAMessage)
{
    // Each level names the one before twice: 2^40 Shapes if nothing stopped it.
    std::string bomb = "#VRML V2.0 utf8\nPROTO L0 [] { " + kTriangle + " }\n";
    for (int level = 1; level <= 40; ++level)
        bomb += "PROTO L" + std::to_string(level) + " [] { Group { children [ L" +
                std::to_string(level - 1) + " {} L" + std::to_string(level - 1) + " {} ] } }\n";
    bomb += "L40 {}\n";
    const std::string out = tempDir() + "limits/bomb-out.wrl";
    const CommandRun run =
        tarne("normalize " + quote(writeTempFile("limits/bomb.wrl", bomb)) + " -o " + quote(out));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "PROTO expansion beyond 200000 nodes")) << run.err;
    EXPECT_LT(std::filesystem::file_size(out), 100u << 20);

    const std::string far = writeTempFile(
        "limits/far.wrl", "#VRML V2.0 utf8\nViewpoint { position 1e39 0 0 fieldOfView "
                          "2147483648 }\n" +
                              kTriangle);
    const CommandRun numbers = tarne("info --json " + quote(far));
    EXPECT_EQ(numbers.status, 0) << numbers.err;
    EXPECT_TRUE(contains(numbers.err, "far.wrl:2:22: warning: number '1e39' is beyond a 32-bit "
                                      "float; the field keeps its default"))
        << numbers.err;
    EXPECT_TRUE(contains(numbers.err, "fieldOfView 2.14748e+09 lies outside (0, pi)"))
        << numbers.err;
    EXPECT_FALSE(contains(numbers.out, "inf")) << numbers.out;
}

TEST(FileSafety, PicturesNotLoadedAreNamedOnceWithTheReason)
{
    const std::string world = writeTempFile(
        "pictures/w.wrl",
        "#VRML V2.0 utf8\nShape { appearance Appearance { texture ImageTexture { url "
        "\"missing.png\" } } geometry Box {} }\n"
        "Shape { appearance Appearance { texture ImageTexture { url \"broken.jpg\" } } "
        "geometry Sphere {} }\n");
    writeTempFile("pictures/broken.jpg", "\xff\xd8\xff this is no JPEG");
    const CommandRun run = tarne("info " + quote(world));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.err, "w.wrl: texture missing.png not loaded: not found")) << run.err;
    EXPECT_TRUE(contains(run.err, "w.wrl: texture broken.jpg not loaded: ")) << run.err;
    EXPECT_EQ(run.err.find("broken.jpg"), run.err.rfind("broken.jpg")) << run.err; // once
}
