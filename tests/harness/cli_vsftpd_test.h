#pragma once
#include "command_runner.h"
#include "ftp_users.h"
#include "temp_home.h"
#include "vsftpd_server.h"

#include <memory>
#include <string>

inline bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The URL of a server on the loopback, logging in as the test account unless told otherwise.
inline std::string cliUrl(uint16_t port, const std::string& userInfo = "brisk:brisk-pw@")
{
    return "ftp://" + userInfo + "127.0.0.1:" + std::to_string(port);
}

// brisklane-cli against a fresh vsftpd: its own ProgramDir, the server, and the URL that logs in
// as the user with write access. Skipped where vsftpd cannot run.
class CliVsftpdTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        if (auto why = brisk::test::VsftpdServer::unavailableReason())
            GTEST_SKIP() << *why;
        server = std::make_unique<brisk::test::VsftpdServer>();
        url = cliUrl(server->port());
    }

    std::unique_ptr<brisk::test::VsftpdServer> server;
    std::string url;
};
