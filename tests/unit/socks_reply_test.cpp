#include "net/socks_reply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisk {
namespace {

using Kind = SocksReplyReader::Kind;
using Outcome = SocksReplyReader::Outcome;
using Bytes = std::vector<uint8_t>;

struct ReplyCase {
    const char* name;
    Kind kind;
    Bytes bytes;
    Outcome outcome;
    int code = 0;
    std::string text = {};
    std::string boundAddr = {};
    std::string boundPort = {};
    size_t leftOver = 0; // when all bytes arrive at once
};

Bytes level5Name(uint8_t length, size_t present)
{
    Bytes reply{5, 0, 0, 3, length};
    reply.resize(5 + present, 'n');
    return reply;
}

Bytes withTail(Bytes reply, const std::string& tail)
{
    reply.insert(reply.end(), tail.begin(), tail.end());
    return reply;
}

const Bytes kLevel5Address{5, 0, 0, 1, 10, 1, 2, 3, 0x1F, 0x90};
const char* const kVersion = "socks version error";
const char* const kAddressType = "address type not supported";

// The codes and texts the owner of the socket is told (socks_wsocket_test.cpp checks that it is told).
const ReplyCase kCases[] = {
    {"MethodNone", Kind::Method, {5, 0}, Outcome::Done},
    {"MethodShort", Kind::Method, {5}, Outcome::NeedMore},
    {"MethodWrongVersion", Kind::Method, {4, 0}, Outcome::Failed, 20002, kVersion},
    {"MethodTakesOnlyTwoBytes", Kind::Method, {5, 2, 9, 9}, Outcome::Done},
    {"AuthAccepted", Kind::Authentication, {1, 0}, Outcome::Done},
    {"AuthShort", Kind::Authentication, {1}, Outcome::NeedMore},
    {"AuthRefused", Kind::Authentication, {1, 1}, Outcome::Failed, 20015, "socks authentication failed"},
    {"AuthWrongVersion", Kind::Authentication, {5}, Outcome::Failed, 20002, kVersion},
    {"Level4Granted", Kind::Level4, {0, 90, 0, 21, 1, 2, 3, 4}, Outcome::Done},
    {"Level4Short", Kind::Level4, {0, 90, 0, 21, 1, 2, 3}, Outcome::NeedMore},
    {"Level4LeavesTheBannerUnread", Kind::Level4, withTail({0, 90, 0, 21, 1, 2, 3, 4}, "220 x\r\n"), Outcome::Done},
    {"Level4WrongVersion", Kind::Level4, {4, 90}, Outcome::Failed, 20002, kVersion},
    {"Level4Rejected", Kind::Level4, {0, 91}, Outcome::Failed, 20016, "request rejected or failed"},
    {"Level4Refused", Kind::Level4, {0, 92}, Outcome::Failed, 20008, "connection refused"},
    {"Level4IdentFailed", Kind::Level4, {0, 93}, Outcome::Failed, 20015, "authentification failed"},
    {"Level4Unassigned", Kind::Level4, {0, 17}, Outcome::Failed, 20012, "unassigned error #17"},
    {"Level5Address", Kind::Level5, kLevel5Address, Outcome::Done, 0, "", "10.1.2.3", "8080"},
    {"Level5AddressShort", Kind::Level5, Bytes(kLevel5Address.begin(), kLevel5Address.end() - 1), Outcome::NeedMore},
    {"Level5AddressAndBanner", Kind::Level5, withTail(kLevel5Address, "220 ok\r\n"), Outcome::Done, 0, "", "10.1.2.3",
     "8080", 8},
    {"Level5Name", Kind::Level5, withTail({5, 0, 0, 3, 5}, "proxy\x04\x01"), Outcome::Done, 0, "", "proxy", "1025"},
    {"Level5EmptyName", Kind::Level5, {5, 0, 0, 3, 0, 0, 21}, Outcome::Done, 0, "", "", "21"},
    {"Level5LongestNameThatFits", Kind::Level5, level5Name(121, 123), Outcome::Done, 0, "", std::string(121, 'n'),
     "28270"},
    {"Level5NameLongerThanTheBuffer", Kind::Level5, level5Name(122, 3), Outcome::Failed, 20011, kAddressType},
    {"Level5NameLengthBeyondWhatArrived", Kind::Level5, level5Name(255, 100), Outcome::Failed, 20011, kAddressType},
    {"Level5NameCut", Kind::Level5, level5Name(20, 10), Outcome::NeedMore},
    {"Level5Ipv6", Kind::Level5, {5, 0, 0, 4}, Outcome::Failed, 20011, kAddressType},
    {"Level5WrongVersion", Kind::Level5, {4, 0, 0, 1}, Outcome::Failed, 20002, kVersion},
    {"Level5Code1", Kind::Level5, {5, 1}, Outcome::Failed, 20004, "general SOCKS server failure"},
    {"Level5Code2", Kind::Level5, {5, 2}, Outcome::Failed, 20005, "connection not allowed by ruleset"},
    {"Level5Code3", Kind::Level5, {5, 3}, Outcome::Failed, 20006, "network unreachable"},
    {"Level5Code4", Kind::Level5, {5, 4}, Outcome::Failed, 20007, "host unreachable"},
    {"Level5Code5", Kind::Level5, {5, 5}, Outcome::Failed, 20008, "connection refused"},
    {"Level5Code6", Kind::Level5, {5, 6}, Outcome::Failed, 20009, "time to live expired"},
    {"Level5Code7", Kind::Level5, {5, 7}, Outcome::Failed, 20010, "command not supported"},
    {"Level5Code8", Kind::Level5, {5, 8}, Outcome::Failed, 20011, kAddressType},
    {"Level5Code9", Kind::Level5, {5, 9}, Outcome::Failed, 20012, "unassigned error #9"},
    {"Level5Code255", Kind::Level5, {5, 255}, Outcome::Failed, 20012, "unassigned error #255"},
    {"Level5OnlyVersion", Kind::Level5, {5}, Outcome::NeedMore},
    {"Level5OverlongFillsTheBufferOnly", Kind::Level5, withTail(kLevel5Address, std::string(300, 'x')), Outcome::Done,
     0, "", "10.1.2.3", "8080", 118},
};

class SocksReplyReading : public ::testing::TestWithParam<ReplyCase> {};

void expectJudged(const SocksReplyReader& reader, const ReplyCase& c)
{
    EXPECT_EQ(reader.errorCode(), c.code);
    EXPECT_EQ(reader.errorText(), c.text);
    EXPECT_EQ(reader.boundAddr(), c.boundAddr);
    EXPECT_EQ(reader.boundPort(), c.boundPort);
}

// In one piece and byte by byte the judgement is the same; a judged reply takes no more bytes.
TEST_P(SocksReplyReading, InOnePieceOrByteByByte)
{
    const ReplyCase& c = GetParam();
    SocksReplyReader whole, split;
    whole.start(c.kind);
    split.start(c.kind);
    EXPECT_EQ(whole.add(c.bytes.data(), c.bytes.size()), c.outcome);
    expectJudged(whole, c);
    EXPECT_EQ(whole.leftOverCount(), c.leftOver);
    Outcome outcome = Outcome::NeedMore;
    for (uint8_t byte : c.bytes)
        outcome = split.add(&byte, 1);
    EXPECT_EQ(outcome, c.outcome);
    expectJudged(split, c);
    EXPECT_EQ(split.leftOverCount(), 0u);
    if (c.outcome == Outcome::NeedMore)
        return;
    EXPECT_EQ(whole.room(), 0u);
    const uint8_t more[] = {5, 0, 0, 1};
    EXPECT_EQ(whole.add(more, sizeof more), c.outcome);
    expectJudged(whole, c);
}

INSTANTIATE_TEST_SUITE_P(Replies, SocksReplyReading, ::testing::ValuesIn(kCases),
    [](const auto& info) { return std::string(info.param.name); });

// Only a read can show that the server sent more than the two bytes of this reply.
TEST(SocksReplyAuthentication, MoreThanTwoBytesInOneReadFail)
{
    SocksReplyReader reader;
    reader.start(Kind::Authentication);
    const uint8_t reply[] = {1, 0, 0};
    EXPECT_EQ(reader.add(reply, sizeof reply), Outcome::Failed);
    EXPECT_EQ(reader.errorCode(), 20001);
    EXPECT_EQ(reader.errorText(), "too much data availaible");
}

TEST(SocksReplyLeftOver, ComesOutInOrderAcrossSmallReadsAndGoesWithTheNextReply)
{
    SocksReplyReader reader;
    reader.start(Kind::Level5);
    const Bytes reply = withTail(kLevel5Address, "220 hi\r\n");
    ASSERT_EQ(reader.add(reply.data(), reply.size()), Outcome::Done);
    std::string out;
    char piece[3];
    while (const size_t n = reader.takeLeftOver(piece, sizeof piece))
        out.append(piece, n);
    EXPECT_EQ(out, "220 hi\r\n");
    EXPECT_EQ(reader.leftOverCount(), 0u);
    reader.start(Kind::Level5);
    reader.add(reply.data(), reply.size());
    reader.start(Kind::Method);
    EXPECT_EQ(reader.leftOverCount(), 0u);
    EXPECT_EQ(reader.boundAddr(), "10.1.2.3");
    reader.clear();
    EXPECT_EQ(reader.boundAddr(), "");
    EXPECT_EQ(reader.boundPort(), "");
}

} // namespace
} // namespace brisk
