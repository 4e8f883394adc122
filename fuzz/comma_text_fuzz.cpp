// Comma text as found in the options file. Any text must split without harm, and a list written by
// the joiner must read back as the same list; a list read from any text must survive being written.
#include "platform/comma_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A list of one empty item is written as empty text, which reads back as no item at all.
bool joinable(const Items& items)
{
    return !(items.size() == 1 && items.front().empty());
}

void checkRoundTrip(const Items& items)
{
    if (joinable(items))
        check(brisk::SplitCommaText(brisk::JoinCommaText(items)) == items);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(brisk::SplitCommaText(text));

    FuzzedDataProvider input(data, size);
    Items items;
    while (input.remaining_bytes() > 0)
        items.push_back(input.ConsumeRandomLengthString(40));
    checkRoundTrip(items);
    return 0;
}
