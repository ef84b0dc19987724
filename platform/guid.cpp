// GUIDs: comparison and the registry text form.
#include "platform/windows.h"

#include <cctype>
#include <cstring>

const IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {

bool hexDigits(const char* text, int count, std::uint32_t* value)
{
    std::uint32_t result = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[i];
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        result = result * 16 + static_cast<std::uint32_t>(digit);
    }
    *value = result;
    return true;
}

} // namespace

bool GuidFromString(const char* text, GUID* guid)
{
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (!text || !guid || std::strlen(text) != 38 || text[0] != '{' || text[37] != '}')
        return false;
    if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return false;
    std::uint32_t value = 0;
    GUID result{};
    if (!hexDigits(text + 1, 8, &value)) return false;
    result.Data1 = value;
    if (!hexDigits(text + 10, 4, &value)) return false;
    result.Data2 = static_cast<WORD>(value);
    if (!hexDigits(text + 15, 4, &value)) return false;
    result.Data3 = static_cast<WORD>(value);
    const int offsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hexDigits(text + offsets[i], 2, &value)) return false;
        result.Data4[i] = static_cast<BYTE>(value);
    }
    *guid = result;
    return true;
}
