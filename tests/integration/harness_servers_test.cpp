#include "command_runner.h"
#include "danted_server.h"
#include "ftp_proxy_server.h"
#include "ftp_users.h"
#include "microsocks_server.h"
#include "real_server.h"
#include "scripted_ftp_peer.h"
#include "twistd_socks_server.h"

#include <gtest/gtest.h>

using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

// So that a user such as "name@127.0.0.1:port" survives in a URL.
std::string urlEncoded(std::string text)
{
    for (size_t at; (at = text.find_first_of("@:")) != std::string::npos;)
        text.replace(at, 1, text[at] == '@' ? "%40" : "%3A");
    return text;
}

// Lists "/" of 127.0.0.1:port with curl in passive mode (PASV, as the client under test uses it),
// logged in as `user` with kFtpPassword; `proxy` is a curl --proxy URL or empty.
CommandResult curlList(uint16_t port, const std::string& user, const std::string& proxy = {})
{
    std::vector<std::string> argv = {"curl", "--silent", "--show-error", "--max-time", "20", "--disable-epsv"};
    if (!proxy.empty())
        argv.insert(argv.end(), {"--proxy", proxy});
    argv.push_back("ftp://" + urlEncoded(user) + ":" + urlEncoded(kFtpPassword) + "@127.0.0.1:" + std::to_string(port) + "/");
    return runCommand(argv, {}, 30s);
}

template <typename Socks, typename... Args>
CommandResult listThroughSocks(const std::string& scheme, RealServer* backend, Args... args)
{
    Socks proxy(args...);
    const auto listed = curlList(backend->port(), kFtpUser, scheme + "127.0.0.1:" + std::to_string(proxy.port()));
    EXPECT_GE(proxy.connectionsTo(backend->port()), 1u) << proxy.logContents();
    return listed;
}

CommandResult listFromScriptedPeer()
{
    ScriptedFtpPeer peer;
    peer.acceptLogin();
    peer.on("PWD", "257 \"/\"\r\n");
    peer.on("PASV", ScriptedFtpPeer::passive());
    peer.on("LIST", [](PeerSession& s, const std::string&) {
        s.send("150 here\r\n");
        s.acceptData();
        s.sendData("smoke.txt\r\n");
        s.closeData();
        s.send("226 done\r\n");
    });
    return curlList(peer.port(), kFtpUser);
}

struct Row {
    std::string name;
    std::string backend; // the real FTP server listed, directly or through this row's server
    std::function<std::optional<std::string>()> unavailable;
    std::function<CommandResult(RealServer* backend)> list;
};

std::vector<Row> rows()
{
    std::vector<Row> rows;
    for (const std::string& kind : realServerKinds())
        rows.push_back({kind, kind, nullptr, [](RealServer* s) { return curlList(s->port(), kFtpUser); }});
    const std::string backend = "pyftpdlib";
    rows.push_back({"ftp-proxy", backend, &FtpProxyServer::unavailableReason, [](RealServer* s) {
                        FtpProxyServer proxy;
                        const auto listed = curlList(proxy.port(), FtpProxyServer::magicUser(kFtpUser, s->port()));
                        EXPECT_NE(proxy.logContents().find("dest 127.0.0.1:" + std::to_string(s->port())),
                                  std::string::npos) << proxy.logContents();
                        return listed;
                    }});
    rows.push_back({"danted", backend, [] { return DantedServer::unavailableReason(); },
                    [](RealServer* s) { return listThroughSocks<DantedServer>("socks5://", s); }});
    rows.push_back({"danted-username", backend, [] { return DantedServer::unavailableReason(DantedAuth::Username); },
                    [](RealServer* s) {
                        return listThroughSocks<DantedServer>(std::string("socks5://") + kFtpUser + ":" + kFtpPassword + "@", s,
                                                              DantedAuth::Username);
                    }});
    rows.push_back({"microsocks", backend, &MicrosocksServer::unavailableReason, [](RealServer* s) {
                        return listThroughSocks<MicrosocksServer>(std::string("socks5://") + MicrosocksServer::kUser + ":"
                                                                      + MicrosocksServer::kPassword + "@", s);
                    }});
    rows.push_back({"twistd-socks", backend, &TwistdSocksServer::unavailableReason,
                    [](RealServer* s) { return listThroughSocks<TwistdSocksServer>("socks4://", s); }});
    rows.push_back({"scripted-peer", "", nullptr, [](RealServer*) { return listFromScriptedPeer(); }});
    return rows;
}

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

class HarnessServers : public testing::TestWithParam<Row> {};

// Each server the harness starts answers a login and a listing on its own free loopback port.
TEST_P(HarnessServers, AnswerALoginAndAListing)
{
    const Row& row = GetParam();
    for (const auto& why : {row.unavailable ? row.unavailable() : std::nullopt,
                            row.backend.empty() ? std::nullopt : realServerUnavailable(row.backend)})
        if (why)
            GTEST_SKIP() << *why;
    std::unique_ptr<RealServer> backend;
    if (!row.backend.empty()) {
        backend = startRealServer(row.backend);
        backend->putFile("smoke.txt", "smoke\n");
    }
    const CommandResult listed = row.list(backend.get());
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("smoke.txt"), std::string::npos) << listed.out;
}

INSTANTIATE_TEST_SUITE_P(Kinds, HarnessServers, testing::ValuesIn(rows()), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

} // namespace
