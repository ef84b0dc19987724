// Lines out of a file or out of memory, 254 characters at most, CR LF as one newline.
#include "world/line_reader.h"

#include <cstring>

void openLineReader(LineReader& in, std::FILE* file)
{
    in.file = file;
    in.bytes = in.readAhead;
    in.size = 0;
    in.position = 0;
    in.ended = false;
    in.lineNumber = in.newlines = 0;
}

void openTextReader(LineReader& in, const char* text, std::size_t size)
{
    in.file = nullptr;
    in.bytes = text;
    in.size = text ? size : 0;
    in.position = 0;
    in.ended = false;
    in.lineNumber = in.newlines = 0;
}

// Makes at least one byte available; false at the end of the source. Text in memory
// has nothing to refill.
static bool refill(LineReader& in)
{
    if (in.position < in.size) return true;
    if (!in.file) return false;
    in.size = std::fread(in.readAhead, 1, sizeof in.readAhead, in.file);
    in.position = 0;
    return in.size > 0;
}

// The whole line lies in the block (at least `limit` + 1 bytes ahead, enough to see a
// CR LF pair that ends at the limit): one search for the newline and one copy.
static std::size_t copyLineInBlock(LineReader& in, char* buffer, std::size_t limit)
{
    const char* start = in.bytes + in.position;
    const char* newline = static_cast<const char*>(std::memchr(start, '\n', limit + 1));
    if (newline) {
        const std::size_t at = static_cast<std::size_t>(newline - start);
        if (at >= 1 && start[at - 1] == '\r') {
            // CR LF: one newline character, two bytes of the file.
            std::memcpy(buffer, start, at - 1);
            buffer[at - 1] = '\n';
            in.position += at + 1;
            return at;
        }
        if (at < limit) {
            std::memcpy(buffer, start, at + 1);
            in.position += at + 1;
            return at + 1;
        }
    }
    // No newline within the limit: a piece of `limit` characters (any CR in it is alone).
    std::memcpy(buffer, start, limit);
    in.position += limit;
    return limit;
}

bool readLine(LineReader& in, char* buffer, std::size_t size)
{
    // Room for at least one character and the NUL: a smaller buffer could never move on.
    if (size < 2 || in.ended) return false;
    if (!refill(in)) {
        in.ended = true;
        return false;
    }
    const std::size_t limit = size - 1;
    std::size_t count = 0;
    if (in.size - in.position > limit) {
        count = copyLineInBlock(in, buffer, limit);
    } else {
        // Near the end of a block, byte by byte.
        while (count < limit) {
            if (!refill(in)) break;
            char c = in.bytes[in.position++];
            // A CR right before an LF is the text-mode line end; the pair counts as one
            // character, also when it straddles two blocks of the file.
            if (c == '\r' && refill(in) && in.bytes[in.position] == '\n') {
                ++in.position;
                c = '\n';
            }
            buffer[count++] = c;
            if (c == '\n') break;
        }
    }
    buffer[count] = '\0';
    in.lineNumber = in.newlines + 1;
    if (count > 0 && buffer[count - 1] == '\n') ++in.newlines;
    return true;
}

std::string shownText(const char* text, std::size_t length)
{
    constexpr std::size_t kShown = 60;
    std::string shown(text, length < kShown ? length : kShown);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return length > kShown ? shown + "..." : shown;
}

void reportMessage(ReadReport* report, const std::string& text)
{
    if (!report) return;
    report->messages += report->fileName + ": " + text + "\n";
}
