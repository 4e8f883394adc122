#pragma once

#include "loopback_client.h"

#include <cstdint>
#include <regex>
#include <stdexcept>
#include <string>

namespace brisk::test {

// A listing fetched byte for byte (curl converts line ends of ASCII transfers): logs in, sends
// `command` (e.g. "SYST") and keeps its reply, then lists through PASV.
struct RawListing {
    std::string commandReply;
    std::string data;
};

inline std::string finalReply(LoopbackClient& control)
{
    std::string line;
    do
        line = control.receiveLine();
    while (line.size() >= 4 && line[3] == '-');
    return line;
}

inline RawListing rawFtpList(uint16_t port, const std::string& user, const std::string& password,
                             const std::string& command)
{
    LoopbackClient control(port);
    finalReply(control);
    control.send("USER " + user + "\r\n");
    finalReply(control);
    control.send("PASS " + password + "\r\n");
    if (finalReply(control).rfind("230", 0) != 0)
        throw std::runtime_error("login failed");
    RawListing result;
    control.send(command + "\r\n");
    result.commandReply = finalReply(control);
    control.send("PASV\r\n");
    std::smatch m;
    const std::string pasv = finalReply(control);
    if (!std::regex_search(pasv, m, std::regex(R"((\d+),(\d+)\)?\.?\r?\n$)")))
        throw std::runtime_error("bad PASV reply: " + pasv);
    LoopbackClient data(static_cast<uint16_t>(std::stoi(m[1]) * 256 + std::stoi(m[2])));
    control.send("LIST\r\n");
    finalReply(control);
    result.data = data.receiveAll();
    finalReply(control);
    return result;
}

} // namespace brisk::test
