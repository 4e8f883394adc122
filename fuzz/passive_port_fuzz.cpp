// The 227 reply a server sends for PASV. Any line gives -1 or a port; a well-formed reply built from
// the input, wrapped in arbitrary text, gives exactly the port its last two numbers name (none for 0).
#include "ftp/ftp_reply.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Text before the numbers may hold anything but the "(" that opens them.
std::string withoutParenthesis(std::string text)
{
    std::replace(text.begin(), text.end(), '(', ' ');
    return text;
}

std::string wellFormedReply(FuzzedDataProvider& input, int& port)
{
    std::string numbers;
    for (int i = 0; i < 4; ++i)
        numbers += std::to_string(input.ConsumeIntegral<uint8_t>()) + ",";
    const int high = input.ConsumeIntegral<uint8_t>();
    const int low = input.ConsumeIntegral<uint8_t>();
    port = high * 256 + low;
    const std::string before = withoutParenthesis(input.ConsumeRandomLengthString(64));
    return "227 " + before + "(" + numbers + std::to_string(high) + "," + std::to_string(low) + ")"
        + input.ConsumeRemainingBytesAsString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const int any = brisk::FtpPassivePort(raw);
    check(any == -1 || (any >= 1 && any <= 65535));
    check(any == -1 || std::count(raw.begin(), raw.end(), ',') >= 5);

    FuzzedDataProvider input(data, size);
    int port = 0;
    const std::string reply = wellFormedReply(input, port);
    check(brisk::FtpPassivePort(reply) == (port == 0 ? -1 : port)); // port 0 is never a data port
    return 0;
}
