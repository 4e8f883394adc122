// What a SOCKS server answers, in reads of input-chosen sizes, for every kind of reply in turn. The
// reader must stay within its buffer, take no more than it offers room for, judge each reply once,
// and hand back exactly the bytes that followed a level-5 reply.
#include "net/socks_reply.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using brisk::SocksReplyReader;
using Kind = SocksReplyReader::Kind;
using Outcome = SocksReplyReader::Outcome;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isDecimalPort(const std::string& text)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return !text.empty() && text.size() <= 5 && std::all_of(text.begin(), text.end(), digit)
        && std::stoul(text) <= 65535;
}

void checkLevel5(const SocksReplyReader& reader, const std::string& taken)
{
    const size_t length = taken.size() - reader.leftOverCount();
    check(isDecimalPort(reader.boundPort()));
    if (taken[3] == 1) {
        check(length == 10);
        return;
    }
    check(taken[3] == 3 && length == 7 + uint8_t(taken[4]));
    check(reader.boundAddr() == taken.substr(5, uint8_t(taken[4])));
}

void checkDone(SocksReplyReader& reader, Kind kind, const std::string& taken, FuzzedDataProvider& input)
{
    switch (kind) {
    case Kind::Method:
    case Kind::Authentication: check(taken.size() == 2); break;
    case Kind::Level4: check(taken.size() == 8 && taken[1] == 90); break;
    case Kind::Level5: checkLevel5(reader, taken); break;
    }
    if (kind != Kind::Level5) {
        check(reader.leftOverCount() == 0);
        return;
    }
    const std::string expected = taken.substr(taken.size() - reader.leftOverCount());
    std::string out;
    char piece[SocksReplyReader::kCapacity];
    while (reader.leftOverCount() > 0) {
        const size_t want = input.ConsumeIntegralInRange<size_t>(1, sizeof piece);
        out.append(piece, reader.takeLeftOver(piece, want));
    }
    check(out == expected && reader.takeLeftOver(piece, sizeof piece) == 0);
}

// Feeds one reply; returns what was taken, with the outcome in outcome.
std::string feedOneReply(SocksReplyReader& reader, FuzzedDataProvider& input, Outcome& outcome)
{
    std::string taken;
    outcome = Outcome::NeedMore;
    while (outcome == Outcome::NeedMore && input.remaining_bytes() > 0) {
        const size_t room = reader.room();
        check(room > 0 && taken.size() + room <= SocksReplyReader::kCapacity);
        const std::string chunk = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 300));
        outcome = reader.add(reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size());
        taken.append(chunk, 0, std::min(room, chunk.size()));
    }
    return taken;
}

void checkFailed(SocksReplyReader& reader)
{
    check(reader.errorCode() >= 20001 && reader.errorCode() <= 20016 && !reader.errorText().empty());
    check(reader.room() == 0 && reader.add(reinterpret_cast<const uint8_t*>("\5\0"), 2) == Outcome::Failed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    SocksReplyReader reader;
    while (input.remaining_bytes() > 0) {
        const Kind kind = input.PickValueInArray({Kind::Method, Kind::Authentication, Kind::Level4, Kind::Level5});
        reader.start(kind);
        Outcome outcome;
        const std::string taken = feedOneReply(reader, input, outcome);
        if (outcome == Outcome::Failed)
            checkFailed(reader);
        else if (outcome == Outcome::Done)
            checkDone(reader, kind, taken, input);
        else
            check(reader.errorCode() == 0 && reader.room() > 0);
    }
    return 0;
}
