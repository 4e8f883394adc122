#pragma once
#include "loopback_client.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace brisk::test {

// Every line of one reply (without line ends), read up to the line with its code and a blank.
inline std::vector<std::string> wholeReply(LoopbackClient& control)
{
    std::vector<std::string> lines;
    std::string line;
    do {
        line = control.receiveLine();
        if (line.empty())
            throw std::runtime_error("connection closed inside a reply");
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        lines.push_back(line);
    } while (line.size() < 4 || line.compare(0, 3, lines.front(), 0, 3) != 0 || line[3] != ' ');
    return lines;
}

// Logs in and returns the whole reply to `command`, as the server sends it to any client.
inline std::vector<std::string> rawFtpReply(uint16_t port, const std::string& user, const std::string& password,
                                            const std::string& command)
{
    LoopbackClient control(port);
    wholeReply(control);
    control.send("USER " + user + "\r\n");
    wholeReply(control);
    control.send("PASS " + password + "\r\n");
    if (wholeReply(control).back().rfind("230", 0) != 0)
        throw std::runtime_error("login failed");
    control.send(command + "\r\n");
    return wholeReply(control);
}

} // namespace brisk::test
