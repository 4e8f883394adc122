#include "passive_reply.h"

#include <cstdio>

namespace bench {
namespace {

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": the six numbers follow the first '(' or, without
// one, start at the first digit after the code.
std::optional<PassiveReply> parsePasv(std::string_view text)
{
    const size_t open = text.find('(');
    const size_t start = open != std::string_view::npos ? open + 1 : text.find_first_of("0123456789");
    if (start == std::string_view::npos)
        return std::nullopt;
    const std::string numbers(text.substr(start));
    unsigned v[6];
    if (std::sscanf(numbers.c_str(), "%u,%u,%u,%u,%u,%u", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6)
        return std::nullopt;
    for (unsigned n : v)
        if (n > 255)
            return std::nullopt;
    return PassiveReply{false, uint16_t(v[4] * 256 + v[5])};
}

// "229 Entering Extended Passive Mode (|||port|)", any printable delimiter in place of '|'.
std::optional<PassiveReply> parseEpsv(std::string_view text)
{
    const size_t open = text.find('(');
    if (open == std::string_view::npos || open + 5 > text.size())
        return std::nullopt;
    const char d = text[open + 1];
    if (text[open + 2] != d || text[open + 3] != d)
        return std::nullopt;
    unsigned port = 0;
    size_t i = open + 4;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && port <= 65535; ++i)
        port = port * 10 + unsigned(text[i] - '0');
    if (i == open + 4 || i >= text.size() || text[i] != d || port == 0 || port > 65535)
        return std::nullopt;
    return PassiveReply{true, uint16_t(port)};
}

} // namespace

std::optional<PassiveReply> parsePassiveReply(std::string_view line)
{
    if (line.size() < 4 || line[3] != ' ')
        return std::nullopt;
    if (line.substr(0, 3) == "227")
        return parsePasv(line.substr(4));
    if (line.substr(0, 3) == "229")
        return parseEpsv(line.substr(4));
    return std::nullopt;
}

std::string passiveReplyLine(const PassiveReply& reply, uint16_t port)
{
    if (reply.extended)
        return "229 Entering Extended Passive Mode (|||" + std::to_string(port) + "|)\r\n";
    return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256) +
           ").\r\n";
}

} // namespace bench
