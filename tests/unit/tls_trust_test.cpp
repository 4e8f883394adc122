#include "engine_driver.h"
#include "file_io.h"
#include "scripted_ftp_peer.h"
#include "server_tls.h"
#include "temp_dir.h"
#include "tls_front.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace brisk;
using namespace brisk::test;

namespace {

std::vector<std::string> commandsLogged(const std::vector<std::string>& log, size_t from)
{
    std::vector<std::string> sent;
    for (size_t i = from; i < log.size(); ++i)
        if (log[i].starts_with("> "))
            sent.push_back(log[i]);
    return sent;
}

// The window's certificate question is a modal box whose own event loop keeps the engine running. A
// server that speaks at once after the handshake (the banner of implicit TLS, a stray reply after AUTH
// TLS) must get nothing until the user has answered: not PBSZ, PROT, USER or PASS, and after Cancel
// nothing at all.
TEST(CertificateQuestion, NothingIsReadOrSentUntilItIsAnswered)
{
    TempDir tlsDir;
    const ServerTls tls = makeServerTls(tlsDir.path());
    const struct {
        const char* what;
        TFtpSecurity security;
        const char* serverSpeaks;  // at once after the handshake
        CertificateAnswer answer;
        int code;
        std::vector<std::string> sentAfterHandshake;
    } rows[] = {
        {"implicit, cancelled", ftpSecurityImplicit, "220 Ready.\r\n", CertificateAnswer::Cancel, kTlsFailed, {}},
        {"implicit, trusted", ftpSecurityImplicit, "220 Ready.\r\n", CertificateAnswer::Once, 0,
         {"PBSZ 0", "PROT P", "USER u", "PASS p", "FEAT"}},
        {"explicit, cancelled", ftpSecurityExplicitRequired, "220 Again.\r\n", CertificateAnswer::Cancel, kTlsFailed, {}},
        // The stray reply is not taken for AUTH TLS's answer (a refusal would go on in clear): it answers
        // the next command, and the session ends.
        {"if available, stray refusal, trusted", ftpSecurityExplicitIfAvailable, "431 Not now.\r\n",
         CertificateAnswer::Once, 431, {"PBSZ 0"}},
        {"if available, stray refusal, cancelled", ftpSecurityExplicitIfAvailable, "431 Not now.\r\n",
         CertificateAnswer::Cancel, kTlsFailed, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ScriptedFtpPeer peer(r.serverSpeaks); // behind the front: it speaks once the handshake is done
        peer.acceptLogin();
        peer.on("PBSZ", "200 PBSZ=0\r\n");
        peer.on("PROT", "200 Protection set to Private\r\n");
        TlsFront front(peer.port(), tls);
        front.setExplicit(r.security != ftpSecurityImplicit);
        EngineDriver d;
        d.connectTo(front.port());
        d.ftp.UserName = "u";
        d.ftp.PassWord = "p";
        d.ftp.Security = r.security;
        std::vector<std::string> receivedMeanwhile{"(not asked)"};
        std::vector<std::string> sentMeanwhile;
        d.ftp.OnCertificateQuestion = [&](const CertificateQuestion&) {
            const size_t logged = d.log.size();
            pumpUntil([] { return false; }, 1000); // as a modal box does while it waits for the user
            receivedMeanwhile = peer.lines();
            sentMeanwhile = commandsLogged(d.log, logged);
            return r.answer;
        };
        EXPECT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), r.code) << d.ftp.ErrorMessage();
        EXPECT_EQ(receivedMeanwhile, std::vector<std::string>{});
        EXPECT_EQ(sentMeanwhile, std::vector<std::string>{});
        EXPECT_FALSE(d.logged("! The server does not offer TLS; the session goes on without encryption"));
        if (r.answer == CertificateAnswer::Cancel) {
            EXPECT_TRUE(peer.waitForDisconnect(0, std::chrono::seconds(10)));
            EXPECT_FALSE(d.ftp.Connected());
        }
        peer.waitForLines(r.sentAfterHandshake.size(), std::chrono::seconds(10)); // the front passes them on
        EXPECT_EQ(peer.lines(), r.sentAfterHandshake);
    }
}

// The command-line tool asks on the terminal, and the loop stands still meanwhile: a user who takes
// longer than the reply time-out to answer has not waited for the server, and the connect goes on.
TEST(CertificateQuestion, TheTimeTakenToAnswerIsNoServerTimeOut)
{
    TempDir tlsDir;
    ScriptedFtpPeer peer("220 Ready.\r\n");
    peer.acceptLogin();
    peer.on("PBSZ", "200 PBSZ=0\r\n");
    peer.on("PROT", "200 Protection set to Private\r\n");
    TlsFront front(peer.port(), makeServerTls(tlsDir.path()));
    EngineDriver d;
    d.connectTo(front.port());
    d.ftp.Security = ftpSecurityImplicit;
    d.ftp.UserName = "u";
    d.ftp.PassWord = "p";
    d.ftp.Timeout = 1;
    d.ftp.OnCertificateQuestion = [](const CertificateQuestion&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return CertificateAnswer::Once;
    };
    EXPECT_TRUE(d.ftp.Synchronize([&] { d.ftp.ConnectAsync(); })) << d.ftp.ErrorMessage();
    EXPECT_TRUE(d.ftp.DataProtected());
}

// "Explicit TLS if available" gives up TLS when the server refuses it, unless the user trusted this
// host's certificate: a server known to speak TLS that refuses it is an attack or a fault.
TEST(CertificateQuestion, ARefusedAuthTlsEndsTheSessionWhenTheHostIsTrusted)
{
    TempDir dir;
    const std::string store = (dir.path() / "trusted_certs").string();
    ScriptedFtpPeer peer;
    peer.acceptLogin();
    peer.on("AUTH", "534 TLS not available.\r\n");
    const std::string host = "127.0.0.1:" + std::to_string(peer.port());
    const std::string fingerprint(95, 'A');
    const struct {
        const char* what;
        std::string trusted;  // the store's content
        int code;
        std::vector<std::string> sent;
    } rows[] = {
        {"unknown host", "", 0, {"AUTH TLS", "USER u", "PASS p", "FEAT"}},
        {"another port of the host", "127.0.0.1:1 " + fingerprint + "\n", 0, {"AUTH TLS", "USER u", "PASS p", "FEAT"}},
        {"trusted host", host + " " + fingerprint + "\n", kTlsFailed, {"AUTH TLS"}},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.what);
        writeFileBytes(store, r.trusted);
        EngineDriver d;
        d.connectTo(peer.port());
        d.ftp.UserName = "u";
        d.ftp.PassWord = "p";
        d.ftp.Security = ftpSecurityExplicitIfAvailable;
        d.ftp.TrustStorePath = store;
        EXPECT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), r.code) << d.ftp.ErrorMessage();
        ASSERT_TRUE(peer.waitForConnections(i + 1, std::chrono::seconds(10)));
        if (r.code != 0) {
            const std::string why = "The server refused TLS, but its certificate is trusted for " + host +
                                    "; the session ends: 534 TLS not available.";
            EXPECT_TRUE(d.logged("! " + why));
            EXPECT_EQ(d.ftp.ErrorMessage(), "500 " + why);
            EXPECT_TRUE(peer.waitForDisconnect(i, std::chrono::seconds(10)));
        } else {
            d.run([&] { d.ftp.QuitAsync(); });
        }
        std::vector<std::string> sent = peer.lines(i);
        std::erase(sent, "QUIT");
        EXPECT_EQ(sent, r.sent);
    }
}

} // namespace
