#include "engine_driver.h"
#include "expect_throw.h"
#include "ftp/ftp_exception.h"
#include "platform/ticks.h"
#include "scripted_ftp_peer.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace brisk;
using namespace brisk::test;
using namespace std::chrono_literals;

namespace {

class FtpControl : public ::testing::Test {
protected:
    void open()
    {
        d.connectTo(peer.port());
        ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
    }
    void login()
    {
        open();
        d.ftp.UserName = "brisk";
        d.ftp.PassWord = "secret";
        ASSERT_EQ(d.run([&] { d.ftp.UserAsync(); }), 0);
        ASSERT_EQ(d.run([&] { d.ftp.PassAsync(); }), 0);
    }
    std::vector<std::string> sent() { return peer.lines(0); }

    ScriptedFtpPeer peer{"220 scripted\r\n"};
    EngineDriver d;
};


TEST_F(FtpControl, LoginSendsUserAndPassAndEachRequestEndsOnce)
{
    peer.on("USER", "331 password please\r\n");
    peer.on("PASS", "230 in\r\n");
    login();
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER brisk", "PASS secret"}));
    EXPECT_EQ(d.sessionConnected, std::vector<uint16_t>{0});
    d.donesAfterSettling();
    std::vector<TFtpRequest> requests;
    for (const auto& done : d.dones)
        requests.push_back(done.request);
    EXPECT_EQ(requests, (std::vector<TFtpRequest>{ftpOpenAsync, ftpUserAsync, ftpPassAsync}));
    EXPECT_EQ(d.ftp.State(), fsReady);
    for (const char* line : {"< 220 scripted", "> USER brisk", "> PASS secret", "< 230 in"})
        EXPECT_TRUE(d.logged(line)) << line;
}

// Only a line with a reply's own code ends it (which lines are replies: ftp_reply_test.cpp), and every line
// reaches the log; CR CR LF and LF alone end a line. Quoted commands succeed below 500, and no odd code succeeds.
TEST_F(FtpControl, RepliesEndAtALineWithTheirOwnCode)
{
    const struct {
        const char* verb; // NOOP: quoted
        std::string reply;
        int code;
        const char* last;
    } rows[] = {
        {"USER", "230-Welcome\r\n a text line\r\n550 a text line that looks like a reply\r\n230-more\r\n230 Logged in\r\n",
         0, "230 Logged in"},
        {"NOOP", "200 cr cr lf\r\r\n", 0, "200 cr cr lf"},
        {"SYST", "215 lf alone\n", 0, "215 lf alone"},
        {"NOOP", "500 no\r\n", 500, "500 no"},
        {"NOOP", "999 odd\r\n", 999, "999 odd"},
        {"SYST", "000 zero\r\n", 500, nullptr},
    };
    open();
    d.ftp.UserName = "brisk";
    d.ftp.LocalFileName = "NOOP";
    for (const auto& r : rows) {
        SCOPED_TRACE(r.reply);
        peer.on(r.verb, r.reply);
        const std::string verb = r.verb;
        EXPECT_EQ(d.run([&] { verb == "USER" ? d.ftp.UserAsync() : verb == "SYST" ? d.ftp.SystAsync() : d.ftp.QuoteAsync(); }),
                  r.code);
        if (r.last) {
            EXPECT_EQ(d.ftp.LastResponse(), r.last);
        }
        if (r.code != 0 && r.last) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.last);
        }
    }
    for (const char* line : {"< 230-Welcome", "<  a text line", "< 550 a text line that looks like a reply", "< 230-more"})
        EXPECT_TRUE(d.logged(line)) << line;
    peer.on("PWD", "257 \"/\"\r\n");
    EXPECT_EQ(d.run([&] { d.ftp.PwdAsync(); }), 0) << "the replies stay in step";
    EXPECT_EQ(d.ftp.DirResult(), "/");
}

TEST_F(FtpControl, WithoutTheLfOptionOnlyCrLfEndsALine)
{
    open();
    d.ftp.Options = 0; // an LF alone does not end the reply but joins what follows
    peer.on("SYST", [](PeerSession& s, const std::string&) { s.send("215 first\n"); s.send("second\r\n"); });
    EXPECT_EQ(d.run([&] { d.ftp.SystAsync(); }), 0);
    EXPECT_EQ(d.ftp.LastResponse(), "215 first\nsecond");
    peer.on("SYST", "215 lf alone\n");
    EXPECT_EQ(d.run([&] { d.ftp.SystAsync(); }, 300), -1);
    EXPECT_EQ(d.ftp.State(), fsWaitingResponse);
    d.ftp.LocalFileName = "NOOP";
    d.ftp.OnError = [](TCustomFtpCli*, std::string&) {};
    d.ftp.QuoteAsync(); // refused: still waiting
    EXPECT_EQ(sent().size(), 2u);
}

// A refused welcome, one that never ends within the buffer, and a refused connection each end the
// open once, as a failure with its own message, and leave no session behind.
TEST(FtpControlBanner, AnOpenThatGetsNoWelcomeFails)
{
    const struct {
        std::optional<std::string> banner;  // none: nobody listens
        int code;
        const char* message;
        size_t closedEvents;
        const char* logged;
    } rows[] = {
        {"421-Too many users\r\n421 Try later\r\n", 421, "421 Try later", 1, "< 421-Too many users"},
        {std::string(5000, 'x'), 500, "500 Control connection closed: reply line too long", 1, nullptr},
        {std::nullopt, 10061, "500 Connection refused (Winsock error #10061)", 0, nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.message);
        auto peer = std::make_unique<ScriptedFtpPeer>(r.banner.value_or(""));
        const uint16_t port = peer->port();
        if (!r.banner)
            peer.reset();
        EngineDriver d;
        d.connectTo(port);
        EXPECT_EQ(d.run([&] { d.ftp.OpenAsync(); }), r.code);
        EXPECT_EQ(d.dones.back().request, ftpOpenAsync);
        EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        EXPECT_EQ(d.ftp.LastResponse(), r.message);
        EXPECT_EQ(d.ftp.StatusCode(), std::stoi(r.message));
        EXPECT_EQ(d.sessionConnected.size(), 0u);
        EXPECT_EQ(d.sessionClosed.size(), r.closedEvents);
        EXPECT_FALSE(d.ftp.Connected());
        EXPECT_EQ(d.ftp.State(), fsReady);
        EXPECT_EQ(d.donesAfterSettling(), 1u);
        if (r.logged) {
            EXPECT_TRUE(d.logged(r.logged));
        }
    }
}

TEST(FtpControlBanner, ASilentServerTimesOutInAboutOneSecondWithoutSpinning)
{
    ScriptedFtpPeer peer("220 hello\r\n");
    peer.on("CWD", ScriptedFtpPeer::silence());
    EngineDriver d;
    d.connectTo(peer.port());
    ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
    d.ftp.Timeout = 1;
    d.ftp.HostDirName = "/x";
    const uint64_t rounds0 = EventLoop::instance().rounds();
    const uint64_t t0 = tickCount();
    EXPECT_FALSE(d.ftp.Cwd());
    const uint64_t waited = tickCount() - t0;
    EXPECT_GE(waited, 1000u);
    // Only the fault waits that long: the 15-second default instead of the one second asked for.
    EXPECT_LT(waited, 15000u);
    EXPECT_LT(EventLoop::instance().rounds() - rounds0, 50u) << "the wait blocks, it does not spin";
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Timeout");
    EXPECT_EQ(d.ftp.StatusCode(), 426);
    EXPECT_EQ(d.ftp.State(), fsReady);
    EXPECT_FALSE(d.ftp.Connected());
    ASSERT_EQ(d.donesAfterSettling(), 2u);
    EXPECT_EQ(d.dones[1].request, ftpCwdAsync);
    EXPECT_EQ(d.dones[1].error, 426) << "a timed-out request is a failure";
}

TEST_F(FtpControl, AServerThatHangsUpOrResetsBeforeReplyingFailsTheRequest)
{
    peer.on("SYST", ScriptedFtpPeer::hangUp());
    open();
    EXPECT_EQ(d.run([&] { d.ftp.SystAsync(); }), 421);
    EXPECT_EQ(d.ftp.ErrorMessage(), "421 Connection closed by the server.");
    EXPECT_EQ(d.sessionClosed.size(), 1u);
    EXPECT_EQ(d.ftp.State(), fsReady);
    EXPECT_EQ(d.donesAfterSettling(), 2u);

    peer.on("SYST", [](PeerSession& s, const std::string&) { s.resetControl(); });
    open();
    EXPECT_EQ(d.run([&] { d.ftp.SystAsync(); }), 10054);
    EXPECT_EQ(d.ftp.ErrorMessage(), "500 Connection reset by peer (Winsock error #10054)");
}

TEST_F(FtpControl, QuitIsSentWhileAnotherRequestWaitsOtherCommandsAreRefused)
{
    peer.on("SYST", ScriptedFtpPeer::silence());
    peer.on("QUIT", "221 bye\r\n");
    open();
    d.ftp.SystAsync();
    expectThrowWhat<FtpException>([&] { d.ftp.PwdAsync(); }, "Please wait! The program waits response from FTP host");
    EXPECT_EQ(d.run([&] { d.ftp.QuitAsync(); }), 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"SYST", "QUIT"}));
    EXPECT_EQ(d.dones.back().request, ftpQuitAsync);
    EXPECT_EQ(d.sessionClosed.size(), 1u);
    EXPECT_FALSE(d.ftp.Connected());
}

TEST_F(FtpControl, SizeRepliesMustCarryASize)
{
    // Where a size ends is FtpSizeResult's (ftp_reply_test.cpp); here, that a reply without one fails.
    const struct {
        const char* reply;
        int error;
        int64_t size;
    } rows[] = {{"213 9223372036854775807", 0, INT64_MAX}, {"213 9223372036854775808", 500, 0}, {"213 ", 500, 0}};
    open();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.reply);
        peer.on("SIZE", std::string(r.reply) + "\r\n");
        d.ftp.HostFileName = "f";
        EXPECT_EQ(d.run([&] { d.ftp.SizeAsync(); }), r.error);
        EXPECT_EQ(d.ftp.SizeResult(), r.size);
        if (r.error) {
            EXPECT_EQ(d.ftp.ErrorMessage(), "500 Malformed SIZE reply: " + std::string(r.reply));
        }
    }
}

// A refused request still ends, as a failure delivered through the loop, so that a caller waiting for
// its end goes on; the caller also has the usage error, thrown or (with OnError) reported.
TEST_F(FtpControl, LineBreaksAndNulInArgumentsAreRefusedBeforeAnythingIsSentAndTheRequestEnds)
{
    peer.on("PWD", "257 \"/\"\r\n");
    open();
    const std::string evil[] = {"x\r\nDELE victim", "x\nDELE victim", std::string("x\0DELE victim", 14)};
    TFtpClient& f = d.ftp;
    for (const std::string& arg : evil) {
        const struct {
            TFtpRequest request;
            std::function<void()> call;
        } calls[] = {
            {ftpDeleAsync, [&] { f.HostFileName = arg; f.DeleAsync(); }},
            {ftpGetAsync, [&] { f.HostFileName = arg; f.GetAsync(); }},
            {ftpPutAsync, [&] { f.HostFileName = arg; f.PutAsync(); }},
            {ftpDirAsync, [&] { f.HostFileName = arg; f.DirAsync(); }},
            {ftpRenAsync, [&] { f.HostFileName = "ok"; f.LocalFileName = arg; f.RenAsync(); }},
            {ftpQuoteAsync, [&] { f.LocalFileName = arg; f.QuoteAsync(); }},
            {ftpCwdAsync, [&] { f.HostDirName = arg; f.CwdAsync(); }},
            {ftpUserAsync, [&] { f.UserName = arg; f.UserAsync(); }},
            {ftpPassAsync, [&] { f.PassWord = arg; f.PassAsync(); }},
        };
        for (const auto& c : calls) {
            f.LocalFileName = "local";
            f.ExpectedSize = 5;
            EXPECT_EQ(d.run([&] { expectThrowWhat<FtpException>(c.call, "Refused: CR, LF or NUL in a command"); }),
                      501);
            EXPECT_EQ(d.dones.back().request, c.request);
            EXPECT_EQ(f.ErrorMessage(), "501 Refused: the name or command holds a line break or NUL");
            EXPECT_EQ(f.State(), fsReady);
            EXPECT_EQ(f.ExpectedSize, c.request == ftpGetAsync ? -1 : 5) << "a download's size goes with it";
        }
    }
    std::vector<std::string> usage;
    f.OnError = [&usage](TCustomFtpCli*, std::string& text) { usage.push_back(text); };
    f.HostFileName = "a\nb";
    EXPECT_EQ(d.run([&] { f.SizeAsync(); }), 501);
    EXPECT_EQ(usage, std::vector<std::string>{"Refused: CR, LF or NUL in a command"});
    EXPECT_EQ(d.run([&] { f.PwdAsync(); }), 0) << "the engine is still usable";
    EXPECT_EQ(sent(), std::vector<std::string>{"PWD"});
    EXPECT_EQ(d.donesAfterSettling(), 1u + 3 * 9 + 2) << "the open, each refusal once, SIZE, PWD";
}

// The error message is the latest failure's, not an earlier one's.
TEST_F(FtpControl, AFailedStepDiscardsTheRestOfItsSequence)
{
    peer.on("RNFR", "550 no such file\r\n");
    peer.on("CWD", "250 ok\r\n");
    peer.on("DELE", "550 dele refused\r\n");
    open();
    d.ftp.HostFileName = "old";
    d.ftp.LocalFileName = "new";
    EXPECT_EQ(d.run([&] { d.ftp.RenAsync(); }), 550);
    EXPECT_EQ(d.ftp.ErrorMessage(), "550 no such file");
    d.ftp.HostDirName = "/x";
    EXPECT_EQ(d.run([&] { d.ftp.CwdAsync(); }), 0);
    EXPECT_EQ(d.run([&] { d.ftp.DeleAsync(); }), 550);
    EXPECT_EQ(d.ftp.ErrorMessage(), "550 dele refused");
    EXPECT_EQ(sent(), (std::vector<std::string>{"RNFR old", "CWD /x", "DELE old"}));
    ASSERT_EQ(d.donesAfterSettling(), 4u);
    EXPECT_EQ(d.dones[2].request, ftpCwdAsync);
}

TEST_F(FtpControl, PrimitivesSendTheirCommandsAndTakeTheirData)
{
    peer.on("PWD", "257 \"/a \"\"b\"\"\" is current\r\n");
    peer.on("CWD", "250 \"/x\"\r\n");
    peer.on("CDUP", "250 ok\r\n");
    peer.on("MKD", "257 created without quotes\r\n");
    peer.on("SIZE", "213 6000000000\r\n");
    peer.on("RNFR", "350 ready\r\n");
    peer.on("TYPE", "200 type\r\n");
    peer.on("SYST", "215 UNIX\r\n");
    peer.setDefault("250 ok\r\n");
    open();
    TFtpClient& f = d.ftp;
    EXPECT_EQ(d.run([&] { f.PwdAsync(); }), 0);
    EXPECT_EQ(f.DirResult(), "/a \"b\"");
    f.HostDirName = "sub dir";
    EXPECT_EQ(d.run([&] { f.CwdAsync(); }), 0);
    EXPECT_EQ(f.DirResult(), "/x");
    EXPECT_EQ(d.run([&] { f.CDupAsync(); }), 0);
    f.HostFileName = "new";
    EXPECT_EQ(d.run([&] { f.MkdAsync(); }), 0);
    EXPECT_EQ(f.DirResult(), "");
    f.HostFileName = "big.bin";
    EXPECT_EQ(d.run([&] { f.SizeAsync(); }), 0);
    EXPECT_EQ(f.SizeResult(), 6000000000LL);
    f.HostFileName = "old";
    EXPECT_EQ(d.run([&] { f.RmdAsync(); }), 0);
    EXPECT_EQ(d.run([&] { f.DeleAsync(); }), 0);
    EXPECT_EQ(d.run([&] { f.RenFromAsync(); }), 0);
    f.LocalFileName = "newer";
    EXPECT_EQ(d.run([&] { f.RenToAsync(); }), 0);
    EXPECT_EQ(d.run([&] { f.TypeAsciiAsync(); }), 0);
    EXPECT_FALSE(f.Binary);
    EXPECT_TRUE(f.TypeBinary());
    EXPECT_EQ(d.run([&] { f.SystAsync(); }), 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"PWD", "CWD sub dir", "CDUP", "MKD new", "SIZE big.bin",
                                                "RMD old", "DELE old", "RNFR old", "RNTO newer", "TYPE A",
                                                "TYPE I", "SYST"}));
    EXPECT_EQ(d.donesAfterSettling(), 13u);
}

TEST_F(FtpControl, UsageErrorsStartNothingAndRaiseNoRequestDone)
{
    d.connectTo(peer.port());
    const std::pair<std::function<void()>, const char*> notConnected[] = {
        {[&] { d.ftp.PwdAsync(); }, "FTP component not connected"},
        {[&] { d.ftp.UserAsync(); }, "UserName emtpy"},
        {[&] { d.ftp.PassAsync(); }, "Password emtpy"},
        {[&] { d.ftp.CwdAsync(); }, "HostDirName emtpy"},
    };
    for (const auto& [call, message] : notConnected)
        expectThrowWhat<FtpException>(call, message);
    open();
    std::vector<std::string> reported;
    d.ftp.OnError = [&](TCustomFtpCli*, std::string& msg) { reported.push_back(msg); };
    d.ftp.OpenAsync();
    d.ftp.SetConnectionType(ftpProxy);
    EXPECT_FALSE(d.ftp.Cwd()) << "a refused synchronous call is no success";
    EXPECT_EQ(reported, (std::vector<std::string>{"FTP component already connected", "FTP component connected",
                                                  "HostDirName emtpy"}));
    EXPECT_EQ(d.donesAfterSettling(), 1u);
    EXPECT_EQ(peer.lines(0).size(), 0u);
}

TEST_F(FtpControl, AbortEndsTheRequestInFlightOnceAsAFailure)
{
    peer.on("SYST", ScriptedFtpPeer::silence());
    open();
    d.ftp.SystAsync();
    ASSERT_TRUE(peer.waitForLines(1, 2s));
    d.ftp.AbortAsync();
    EXPECT_EQ(d.ftp.State(), fsReady);
    EXPECT_FALSE(d.ftp.Connected());
    ASSERT_EQ(d.donesAfterSettling(), 2u);
    EXPECT_EQ(d.dones[1].request, ftpSystAsync);
    EXPECT_EQ(d.dones[1].error, 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Operation aborted.");
    EXPECT_EQ(d.sessionClosed.size(), 1u);

    d.ftp.AbortAsync(); // nothing in progress: no further request-done
    EXPECT_EQ(d.donesAfterSettling(), 2u);
    peer.on("SYST", "215 UNIX\r\n");
    open();
    EXPECT_EQ(d.run([&] { d.ftp.SystAsync(); }), 0) << "the engine opens a new session afterwards";
}

TEST(FtpControlAbort, AbortDuringTheNameLookupStillEndsTheOpenOnce)
{
    EngineDriver d;
    d.ftp.HostName = "localhost";
    d.ftp.Port = "21";
    d.ftp.OpenAsync();
    EXPECT_EQ(d.ftp.State(), fsDnsLookup);
    EXPECT_TRUE(d.ftp.Abort() == false);
    EXPECT_EQ(d.ftp.State(), fsReady);
    ASSERT_EQ(d.donesAfterSettling(200), 1u);
    EXPECT_EQ(d.dones[0].request, ftpOpenAsync);
    EXPECT_EQ(d.dones[0].error, 426);
}

TEST(FtpControlProxy, UserCarriesTheRealHostAndAnUnusualPort)
{
    const std::pair<const char*, const char*> rows[] = {
        {"2121", "USER me@ftp.example.org:2121"}, {"FTP", "USER me@ftp.example.org"}, {"21", "USER me@ftp.example.org"}};
    for (const auto& [port, user] : rows) {
        ScriptedFtpPeer proxy("220 proxy\r\n");
        proxy.on("USER", "331 go on\r\n");
        EngineDriver d;
        d.ftp.SetConnectionType(ftpProxy);
        EXPECT_TRUE(d.ftp.Passive());
        d.ftp.SetPassive(false);
        EXPECT_TRUE(d.ftp.Passive()) << "proxies need passive mode";
        d.ftp.HostName = "ftp.example.org";
        d.ftp.Port = port;
        d.ftp.ProxyServer = "127.0.0.1";
        d.ftp.ProxyPort = std::to_string(proxy.port());
        d.ftp.UserName = "me";
        ASSERT_EQ(d.run([&] { d.ftp.OpenAsync(); }), 0);
        ASSERT_EQ(d.run([&] { d.ftp.UserAsync(); }), 0);
        EXPECT_EQ(proxy.lines(0), std::vector<std::string>{user});
    }
}

} // namespace
