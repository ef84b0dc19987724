// check_layers: holds the source tree to its map of layers (layers.txt). Every
// #include "folder/file.h" between folders must run downwards along the map, and no
// two source files may include each other round a circle, however long.
//
// Usage: check_layers ROOT MAP   (prints one line per fault; exit 0 clean, 1 faults,
// 2 when the map or the tree cannot be read)
//
// The map: one line per folder, "folder: lower folders it may include", '#' starts a
// comment. What a lower folder may include, its includers may include too, so a line
// names only the layers just below. The build reads the same file to give each target
// only the headers of the layers below it.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Layers = std::map<std::string, std::vector<std::string>>;

struct Include {
    std::string target; // as written: "world/tables.h"
    int line;
};

struct SourceFile {
    std::string path;   // relative to the root: "render/frame.cpp"
    std::string folder; // its folder on the map: "render"
    std::vector<Include> includes;
};

std::vector<std::string> faults;

void fault(const std::string& text)
{
    faults.push_back(text);
}

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool readMap(const fs::path& file, Layers& layers)
{
    std::ifstream in(file);
    if (!in) return false;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            fault(file.string() + ":" + std::to_string(number) + ": no ':' after the folder");
            continue;
        }
        std::vector<std::string>& lower = layers[trim(line.substr(0, colon))];
        std::istringstream words(line.substr(colon + 1));
        for (std::string word; words >> word;) lower.push_back(word);
    }
    return true;
}

// Every folder `folder` may include: its own and, through the map, all below it.
// A circle in the map itself is a fault (then the walk stops where it came round).
std::set<std::string> reachable(const Layers& layers, const std::string& folder)
{
    std::set<std::string> seen{folder};
    std::vector<std::string> stack{folder};
    while (!stack.empty()) {
        const std::string current = stack.back();
        stack.pop_back();
        const auto row = layers.find(current);
        if (row == layers.end()) continue;
        for (const std::string& lower : row->second) {
            if (lower == folder) fault("layers: " + folder + " comes round to itself");
            if (seen.insert(lower).second) stack.push_back(lower);
        }
    }
    return seen;
}

// The map folder a path lies in: the longest folder on the map that holds it, or "".
std::string folderOf(const Layers& layers, const std::string& path)
{
    std::string best;
    for (const auto& [folder, lower] : layers) {
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/' && path.find('/', folder.size() + 1) == std::string::npos &&
            folder.size() > best.size())
            best = folder;
    }
    return best;
}

bool isSource(const fs::path& path)
{
    const std::string extension = path.extension().string();
    return extension == ".cpp" || extension == ".h";
}

// Folders that hold no source of ours: version control, build trees, fuzzing output.
bool skipped(const std::string& name)
{
    return name.empty() || name[0] == '.' || name.rfind("build", 0) == 0 || name == "fuzz-corpus" ||
           name == "examples";
}

std::vector<SourceFile> readTree(const fs::path& root, const Layers& layers)
{
    static const std::regex includeLine(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<SourceFile> files;
    for (auto entry = fs::recursive_directory_iterator(root);
         entry != fs::recursive_directory_iterator(); ++entry) {
        if (entry->is_directory() && skipped(entry->path().filename().string())) {
            entry.disable_recursion_pending();
            continue;
        }
        if (!entry->is_regular_file() || !isSource(entry->path())) continue;
        SourceFile file;
        file.path = fs::relative(entry->path(), root).generic_string();
        file.folder = folderOf(layers, file.path);
        if (file.folder.empty()) {
            fault(file.path + ": its folder is not on the map");
            continue;
        }
        std::ifstream in(entry->path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch match;
            if (std::regex_search(text, match, includeLine))
                file.includes.push_back(Include{match[1].str(), line});
        }
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
    return files;
}

void checkFolders(const Layers& layers, const std::vector<SourceFile>& files)
{
    std::map<std::string, std::set<std::string>> allowed;
    for (const SourceFile& file : files) {
        auto row = allowed.find(file.folder);
        if (row == allowed.end())
            row = allowed.emplace(file.folder, reachable(layers, file.folder)).first;
        for (const Include& include : file.includes) {
            const std::string target = folderOf(layers, include.target);
            const std::string where = file.path + ":" + std::to_string(include.line) + ": ";
            if (target.empty()) {
                fault(where + "includes \"" + include.target + "\" from a folder not on the map");
            } else if (row->second.count(target) == 0) {
                fault(where + "includes \"" + include.target + "\", but " + file.folder +
                      " may not include " + target);
            }
        }
    }
}

// A module is a header and the source file of the same name: render/shadow.h and
// render/shadow.cpp are one node of the graph.
std::string moduleOf(const std::string& path)
{
    return path.substr(0, path.rfind('.'));
}

void checkCircles(const std::vector<SourceFile>& files)
{
    std::map<std::string, std::set<std::string>> edges;
    for (const SourceFile& file : files) {
        const std::string from = moduleOf(file.path);
        edges[from];
        for (const Include& include : file.includes) {
            const std::string to = moduleOf(include.target);
            if (to != from) edges[from].insert(to);
        }
    }
    // Depth-first search; a module met again while still on the path closes a circle.
    enum class Mark { None, OnPath, Done };
    std::map<std::string, Mark> marks;
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& module) {
        marks[module] = Mark::OnPath;
        path.push_back(module);
        for (const std::string& next : edges[module]) {
            if (marks[next] == Mark::OnPath) {
                std::string circle;
                for (auto at = std::find(path.begin(), path.end(), next); at != path.end(); ++at)
                    circle += *at + " -> ";
                fault("circle: " + circle + next);
            } else if (marks[next] == Mark::None && edges.count(next)) {
                visit(next);
            }
        }
        path.pop_back();
        marks[module] = Mark::Done;
    };
    for (const auto& [module, targets] : edges)
        if (marks[module] == Mark::None) visit(module);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: check_layers ROOT MAP\n");
        return 2;
    }
    const fs::path root = argv[1];
    Layers layers;
    if (!readMap(argv[2], layers) || !fs::is_directory(root)) {
        std::fprintf(stderr, "check_layers: cannot read %s or %s\n", argv[2], argv[1]);
        return 2;
    }
    for (const auto& [folder, lower] : layers) reachable(layers, folder);
    const std::vector<SourceFile> files = readTree(root, layers);
    checkFolders(layers, files);
    checkCircles(files);
    for (const std::string& text : faults) std::printf("%s\n", text.c_str());
    if (!faults.empty()) return 1;
    std::printf("%zu files, %zu folders: every include runs down the map\n", files.size(),
                layers.size());
    return 0;
}
