#pragma once
#include "ftp/ftp_client.h"
#include "ftp_users.h"
#include "pump.h"

#include <functional>
#include <string>
#include <vector>

namespace brisk::test {

// A TFtpClient with every event it raises recorded, and a way to run one request to its end.
class EngineDriver {
public:
    struct Done {
        TFtpRequest request;
        uint16_t error;
    };

    EngineDriver()
    {
        ftp.OnDisplay = [this](TCustomFtpCli*, std::string& msg) { log.push_back(msg); };
        ftp.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest rq, uint16_t error) { dones.push_back({rq, error}); };
        ftp.OnSessionConnected = [this](TCustomFtpCli*, uint16_t error) { sessionConnected.push_back(error); };
        ftp.OnSessionClosed = [this](TCustomFtpCli*, uint16_t error) { sessionClosed.push_back(error); };
    }

    void connectTo(uint16_t port, const std::string& host = "127.0.0.1")
    {
        ftp.HostName = host;
        ftp.Port = std::to_string(port);
    }
    // The same, logging in as the account every test server has.
    void connectAsTestUser(uint16_t port, const std::string& host = "127.0.0.1")
    {
        connectTo(port, host);
        ftp.UserName = kFtpUser;
        ftp.PassWord = kFtpPassword;
    }

    // Starts a request and runs the loop until its request-done has arrived; returns its error
    // (-1 when none arrived in time).
    int run(const std::function<void()>& start, int timeoutMs = 30000)
    {
        const size_t before = dones.size();
        start();
        if (!pumpUntil([&] { return dones.size() > before; }, timeoutMs))
            return -1;
        return dones.back().error;
    }

    // Lets a little more time pass so that a second, unwanted request-done would show up.
    size_t donesAfterSettling(int ms = 100)
    {
        pumpUntil([] { return false; }, ms);
        return dones.size();
    }

    bool logged(const std::string& line) const
    {
        for (const std::string& l : log)
            if (l == line)
                return true;
        return false;
    }

    TFtpClient ftp;
    std::vector<std::string> log;
    std::vector<Done> dones;
    std::vector<uint16_t> sessionConnected;
    std::vector<uint16_t> sessionClosed;
};

} // namespace brisk::test
