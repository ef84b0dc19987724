#include "tests/support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

struct TempFolder {
    std::string path;
    TempFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarne-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern + "/";
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!path.empty() && !std::getenv("TARNE_KEEP_TEMP"))
            std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

const std::string& tempDir()
{
    static TempFolder folder;
    return folder.path;
}

std::string writeTempFile(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path path = tempDir() + name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string binDir()
{
    if (const char* fromEnv = std::getenv("TARNE_BIN_DIR")) return fromEnv;
#ifdef TARNE_BIN_DIR
    return TARNE_BIN_DIR;
#else
    return ".";
#endif
}

std::string sourceDir()
{
#ifdef TARNE_SOURCE_DIR
    return TARNE_SOURCE_DIR;
#else
    return ".";
#endif
}

CommandRun runCommand(const std::string& commandLine)
{
    const std::string out = tempDir() + "stdout.txt";
    const std::string err = tempDir() + "stderr.txt";
    const std::string command = commandLine + " > '" + out + "' 2> '" + err + "'";
    CommandRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

} // namespace testing_support
