// Feeds a server's control-connection bytes, cut into reads of input-chosen sizes, through the line
// reader, checks each line against a plain model of the byte stream, and hands every line to the
// reply helpers. The first byte chooses whether a line may end at LF alone.
#include "ftp/ftp_line_reader.h"
#include "ftp/ftp_reply.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Takes the line the reader must give next out of the model; false while none is complete.
bool modelLine(std::string& model, bool acceptLF, std::string& line)
{
    const size_t end = acceptLF ? model.find('\n') : model.find("\r\n");
    if (end == std::string::npos)
        return false;
    const size_t lf = acceptLF ? end : end + 1;
    line = model.substr(0, lf);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    model.erase(0, lf + 1);
    return true;
}

void checkReplyHelpers(const std::string& line)
{
    size_t after = 0;
    const int code = brisk::FtpReplyCode(line, &after);
    check(after == 0 || after == 3);
    check(code >= 0 && code <= 999);
    check(brisk::FtpIsReplyLine(line) == (after == 3));
    if (brisk::FtpIsFinalReplyLine(line))
        check(brisk::FtpIsReplyLine(line) && (line.size() == 3 || line[3] != '-'));
    const std::string quoted = brisk::FtpQuotedResult(line);
    check(quoted.empty() || (quoted.size() < line.size() && line.find('"') != std::string::npos));
    const int64_t size = brisk::FtpSizeResult(line);
    check(size >= -1);
    check(size < 0 || line.find(std::to_string(size)) != std::string::npos || line.find("00") != std::string::npos);
}

void checkLine(const std::string& line, bool acceptLF)
{
    check(line.empty() || (line.back() != '\r' && line.back() != '\n'));
    check(line.find("\r\n") == std::string::npos);
    if (acceptLF)
        check(line.find('\n') == std::string::npos);
    checkReplyHelpers(line);
}

void drainLines(brisk::FtpLineReader& reader, std::string& model, bool acceptLF)
{
    std::string expected;
    while (const auto line = reader.nextLine(acceptLF)) {
        check(modelLine(model, acceptLF, expected) && *line == expected);
        checkLine(*line, acceptLF);
    }
    check(!modelLine(model, acceptLF, expected));
}

// One read from the server: a piece of the input, repeated so that small inputs reach lines too
// long for the reader as well.
std::string nextRead(FuzzedDataProvider& input)
{
    const size_t repeat = input.ConsumeIntegralInRange<size_t>(1, 16);
    const std::string piece = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 512));
    std::string read;
    for (size_t i = 0; i < repeat; ++i)
        read += piece;
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool acceptLF = input.ConsumeBool();
    static brisk::FtpLineReader reader;
    reader.clear();
    std::string model;
    while (input.remaining_bytes() > 0) {
        const std::string chunk = nextRead(input);
        const size_t room = reader.room();
        check(room <= brisk::FtpLineReader::kCapacity && room + model.size() == brisk::FtpLineReader::kCapacity);
        const size_t taken = std::min(room, chunk.size());
        std::memcpy(reader.writePtr(), chunk.data(), taken);
        reader.commit(chunk.size()); // a count beyond the room must not run past the buffer
        model.append(chunk, 0, taken);
        drainLines(reader, model, acceptLF);
        check(reader.overflowed() == (model.size() == brisk::FtpLineReader::kCapacity));
        if (reader.overflowed()) {
            reader.clear(); // what the engine does with a line too long to be a reply
            model.clear();
            check(reader.room() == brisk::FtpLineReader::kCapacity);
        }
    }
    return 0;
}
