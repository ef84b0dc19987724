// Lines out of a file or out of memory, 254 characters at most, CR LF as one newline.
#include "world/reader.h"

void openLineReader(LineReader& in, std::FILE* file)
{
    in.file = file;
    in.bytes = in.readAhead;
    in.size = 0;
    in.position = 0;
    in.ended = false;
}

void openTextReader(LineReader& in, const char* text, std::size_t size)
{
    in.file = nullptr;
    in.bytes = text;
    in.size = text ? size : 0;
    in.position = 0;
    in.ended = false;
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

bool readLine(LineReader& in, char* buffer, std::size_t size)
{
    if (size == 0 || in.ended) return false;
    if (!refill(in)) {
        in.ended = true;
        return false;
    }
    std::size_t count = 0;
    while (count + 1 < size) {
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
    buffer[count] = '\0';
    return true;
}
