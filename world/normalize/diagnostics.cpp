// Keeping the messages of a normalizing pass, up to a limit.
#include "world/normalize/diagnostics.h"

void Diagnostics::add(const std::string& file, i32 line, i32 column, const std::string& message,
                      bool isWarning)
{
    if (count_ > maxMessages_) return;
    ++count_;
    if (count_ > maxMessages_) {
        out_.push_back({file, 0, 0, "too many messages; the rest are not shown", true});
        return;
    }
    out_.push_back({file, line, column, message, isWarning});
}
