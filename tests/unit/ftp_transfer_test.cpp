#include "byte_pattern.h"
#include "engine_driver.h"
#include "file_io.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"
#include "tls_front.h"
#include "ftp/ftp_exception.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>

using namespace brisk;
using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

// Whether a connection to the port of a PORT line, at another loopback address, is taken.
bool connectsTo(const char* address, const std::string& portLine)
{
    const size_t last = portLine.rfind(','), before = portLine.rfind(',', last - 1);
    const int port = std::stoi(portLine.substr(before + 1)) * 256 + std::stoi(portLine.substr(last + 1));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, address, &to.sin_addr);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    ::close(fd);
    return ok;
}

PeerRule replying(std::string raw)
{
    return [raw](PeerSession& s, const std::string&) { s.send(raw); };
}

// RETR (or a listing) answered with 150, the bytes, then `final` before or after the data close.
PeerRule download(const std::string& bytes, bool finalBeforeClose = false, const std::string& final = "226 done\r\n")
{
    return [=](PeerSession& s, const std::string&) {
        s.send("150 here it comes\r\n");
        s.acceptData();
        s.sendData(bytes);
        if (finalBeforeClose)
            s.send(final);
        s.closeData();
        if (!finalBeforeClose)
            s.send(final);
    };
}

// STOR whose bytes land in `into`.
PeerRule upload(std::string& into)
{
    return [&into](PeerSession& s, const std::string&) {
        s.send("150 send it\r\n");
        s.acceptData();
        into = s.receiveDataUntilClose();
        s.closeData();
        s.send("226 stored\r\n");
    };
}

// Sends 64 KiB blocks until the engine closes the data connection, then `final`.
PeerRule endless(const std::string& final)
{
    return [final](PeerSession& s, const std::string&) {
        s.send("150 here\r\n");
        s.acceptData();
        try {
            for (;;)
                s.sendData(std::string(65536, 'l'));
        } catch (const std::runtime_error&) {
        }
        s.closeData();
        s.send(final);
    };
}

// A peer that logs anyone in and answers PASV with a port it opened.
class FtpTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        peer.acceptLogin();
        peer.on("PASV", ScriptedFtpPeer::passive());
        d.connectTo(peer.port());
        d.ftp.SetPassive(true);
        d.ftp.UserName = "u";
        d.ftp.PassWord = "p";
    }
    void passiveWith(std::function<std::string(uint16_t)> reply)
    {
        peer.on("PASV", [reply](PeerSession& s, const std::string&) { s.send(reply(s.listenForData())); });
    }
    void connect() { ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage(); }
    // A server that offers `featReply`, with EPSV and a listing by LIST or MLSD.
    void connectWithFeatures(const std::string& featReply)
    {
        peer.on("FEAT", featReply);
        peer.on("EPSV", [](PeerSession& s, const std::string&) {
            s.send("229 Extended (|||" + std::to_string(s.listenForData()) + "|)\r\n");
        });
        for (const char* verb : {"LIST", "MLSD"})
            peer.on(verb, download("type=file;size=3; a\r\n"));
        connect();
    }
    int list() { return request(&TCustomFtpCli::DirAsync, "", "listing"); }
    int request(void (TCustomFtpCli::*start)(), const std::string& remote, const std::string& localName)
    {
        d.ftp.HostFileName = remote;
        d.ftp.LocalFileName = target(localName);
        return d.run([&] { (d.ftp.*start)(); });
    }
    int get(const std::string& localName) { return request(&TCustomFtpCli::GetAsync, "f.bin", localName); }
    std::vector<std::string> sent() { return peer.lines(0); }
    std::vector<std::string> lastSent(size_t n)
    {
        const auto lines = sent();
        return {lines.end() - long(n), lines.end()};
    }
    std::string target(const std::string& name) { return (dir.path() / name).string(); }

    ScriptedFtpPeer peer{"220 scripted\r\n"};
    EngineDriver d;
    TempDir dir;
};


// The address in a 227 reply is ignored: the data connection goes to the control connection's peer.
TEST_F(FtpTransfer, PassiveRepliesOfEveryShapeLeadToTheControlPeer)
{
    const std::string data = bytePattern(70000);
    peer.on("RETR", download(data));
    connect();
    int n = 0;
    for (const char* form : {"(192,168,1,2,%d,%d).", "10,9,8,7,%d,%d"}) {
        passiveWith([form](uint16_t p) {
            char text[64];
            snprintf(text, sizeof text, form, p >> 8, p & 255);
            return "227 Entering Passive Mode " + std::string(text) + "\r\n";
        });
        ASSERT_EQ(get("got" + std::to_string(n++)), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(readFileBytes(d.ftp.LocalFileName), data);
        EXPECT_EQ(d.dones.back().request, ftpGetAsync);
    }
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT", "PASV", "RETR f.bin", "PASV", "RETR f.bin"}));
}

TEST_F(FtpTransfer, TheEndNeedsTheFinalReplyAndTheDataCloseInEitherOrder)
{
    connect();
    for (bool finalFirst : {false, true}) {
        SCOPED_TRACE(finalFirst);
        const std::string data = bytePattern(300000);
        peer.on("RETR", download(data, finalFirst));
        ASSERT_EQ(get(finalFirst ? "a" : "b"), 0);
        EXPECT_EQ(readFileBytes(d.ftp.LocalFileName), data);
        EXPECT_EQ(d.ftp.ByteCount, 300000);
        const std::regex statistics("! 300000 bytes received/sent in \\d+ seconds( \\(\\d+ Bytes/sec\\))?");
        EXPECT_TRUE(std::regex_match(d.log.back(), statistics)) << d.log.back();
    }
}

TEST_F(FtpTransfer, RefusalsOfTheDataCommandAndOfTheDataConnection)
{
    peer.on("RETR", "425 Can't open data connection.\r\n");
    peer.on("STOR", "553 Could not create file.\r\n");
    connect();
    EXPECT_EQ(get("x"), 425);
    EXPECT_EQ(d.ftp.ErrorMessage(), "425 Can't open data connection.");
    writeFileBytes(target("up"), "abc");
    EXPECT_EQ(request(&TCustomFtpCli::PutAsync, "f.bin", "up"), 553);
    EXPECT_EQ(d.dones.back().request, ftpPutAsync);

    // A 227 naming a port where nobody listens: the data connection itself fails, before RETR is sent,
    // so no reply is left owed and the next request reads its own.
    passiveWith([](uint16_t) { return std::string("227 Entering Passive Mode (127,0,0,1,0,1).\r\n"); });
    peer.on("PWD", "257 \"/after\"\r\n");
    EXPECT_EQ(get("y"), 550);
    EXPECT_EQ(d.ftp.ErrorMessage(), "Unable to establish data connection, error #10061 (Connection refused)");
    EXPECT_EQ(d.run([&] { d.ftp.PwdAsync(); }), 0);
    EXPECT_EQ(d.ftp.DirResult(), "/after");
    EXPECT_EQ(lastSent(3), (std::vector<std::string>{"STOR f.bin", "PASV", "PWD"}));
    EXPECT_FALSE(fs::exists(target("y")));
}

// Whatever goes wrong before the first byte of the file, the local file stays as it was (refusals and
// resets through the command-line tool: hostile_transfer_test.cpp); what did arrive is kept, even before
// the answer, and even before a refusal (the target is a temporary file); a successful empty download
// empties the file.
TEST_F(FtpTransfer, WhatADownloadLeavesInTheLocalFile)
{
    const std::string early = bytePattern(40000);
    const struct {
        const char* what;
        PeerRule rule;
        int code;
        const char* message;
        std::string after;
        std::string orAfter = "";
    } rows[] = {
        {"data sent before the refusal", [](PeerSession& s, const std::string&) {
             s.acceptData();
             s.sendData("not the file\r\n");
             s.closeData();
             s.send("550 No such file.\r\n");
         }, 550, "550 No such file.", "not the file\r\n", "keep me"},
        {"accepted, closed empty, then failed", download("", false, "426 Broken.\r\n"), 426, "426 Broken.", "keep me"},
        {"426 mid-transfer", download(std::string(5000, 'x'), false, "426 Connection closed; transfer aborted.\r\n"),
         426, "426 Connection closed; transfer aborted.", std::string(5000, 'x')},
        {"data before the answer", [early](PeerSession& s, const std::string&) {
             s.acceptData();
             s.sendData(early);
             s.closeData();
             s.send("150 go\r\n226 done\r\n");
         }, 0, "", early},
        {"empty file", download(""), 0, "", ""},
    };
    connect();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        writeFileBytes(target("precious"), "keep me");
        peer.on("RETR", r.rule);
        const size_t logged = d.log.size();
        EXPECT_EQ(get("precious"), r.code) << d.ftp.ErrorMessage();
        EXPECT_EQ(sent().back(), "RETR f.bin");
        if (r.code != 0) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        }
        if (r.code == 426) {
            EXPECT_NE(std::find(d.log.begin() + long(logged), d.log.end(), "! RETR/LIST/NLST Failed"), d.log.end());
        }
        pumpUntil([] { return false; }, 100);
        const std::string after = readFileBytes(target("precious"));
        if (r.orAfter.empty() || after != r.orAfter) {
            EXPECT_EQ(after, r.after) << "the bytes may be read before the refusal, or not at all, never in part";
        }
    }
}

TEST_F(FtpTransfer, AListingPastTheSizeLimitFailsAndTheSessionStaysInStep)
{
    peer.on("LIST", endless("426 Connection closed; transfer aborted.\r\n"));
    peer.on("PWD", "257 \"/home\"\r\n");
    connect();
    d.ftp.MaxListingSize = 100000;
    EXPECT_EQ(request(&TCustomFtpCli::DirAsync, "", "listing"), 552);
    EXPECT_EQ(d.ftp.ErrorMessage(), "552 Listing larger than 100000 bytes");
    EXPECT_EQ(d.run([&] { d.ftp.PwdAsync(); }), 0);
    EXPECT_EQ(d.ftp.DirResult(), "/home");
}

// A data connection that ends before the whole file is sent fails the upload, whatever the reply says.
TEST_F(FtpTransfer, UploadsGoOutBlockByBlockAndAnEmptyFileClosesAtOnce)
{
    std::string received;
    peer.on("STOR", upload(received));
    connect();
    for (size_t size : {size_t(0), size_t(1), size_t(1514), size_t(1000003)}) {
        SCOPED_TRACE(size);
        const std::string data = bytePattern(size);
        writeFileBytes(target("up"), data);
        ASSERT_EQ(request(&TCustomFtpCli::PutAsync, "up.bin", "up"), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(received, data);
        EXPECT_EQ(d.ftp.ByteCount, int64_t(size));
    }
    peer.on("STOR", download("", false, "226 stored (but it was not)\r\n"));
    writeFileBytes(target("up"), bytePattern(8 << 20));
    EXPECT_NE(d.run([&] { d.ftp.PutAsync(); }), 0);
}

TEST_F(FtpTransfer, AbortFromProgressEndsTheDownloadAsAFailureOnceTheFinalReplyIsIn)
{
    peer.on("RETR", endless("226 done as far as I know\r\n"));
    connect();
    d.ftp.OnProgress = [](TCustomFtpCli*, int64_t count, bool& abort) { abort = count > 100000; };
    EXPECT_EQ(get("cut"), 426);
    EXPECT_TRUE(d.logged("! Abort requested"));
    EXPECT_TRUE(d.ftp.Connected()) << "only the data connection closes";
}

// Only the server may connect, and only where it reaches us: a stranger's connection (here from
// 127.0.0.2) is closed and its bytes never land in the file; the listener is not bound to all addresses.
TEST_F(FtpTransfer, ActiveModeSendsTheLoopbackPortFormAndAcceptsOnlyTheServer)
{
    const std::string data = bytePattern(200000);
    bool reachableElsewhere = true;
    peer.on("PORT", [&reachableElsewhere](PeerSession& s, const std::string& line) {
        reachableElsewhere = connectsTo("127.0.0.3", line);
        s.intrudeData("127.0.0.2", line, "forged\r\n");
        s.connectData(line);
        s.send("200 PORT ok\r\n");
    });
    peer.on("LIST", [data](PeerSession& s, const std::string&) {
        s.send("150 listing\r\n");
        s.sendData(data);
        s.closeData();
        s.send("226 done\r\n");
    });
    d.ftp.SetPassive(false);
    connect();
    d.ftp.ListHiddenFiles = true;
    ASSERT_EQ(request(&TCustomFtpCli::DirAsync, "", "list"), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(readFileBytes(target("list")), data);
    const std::vector<std::string> lines = sent();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(std::regex_match(lines[3], std::regex("PORT 127,0,0,1,\\d+,\\d+"))) << lines[3];
    EXPECT_EQ(lines[4], "LIST -aL");
    EXPECT_TRUE(d.logged("! Data connection from 127.0.0.2 refused: not the server (127.0.0.1)"));
    EXPECT_FALSE(reachableElsewhere);
}

// 350 appends at the resume point; any other answer, a refusal too, takes the whole file again;
// without a local file there is no REST.
TEST_F(FtpTransfer, RestartedDownloadsByTheRestReply)
{
    const std::string data = bytePattern(50000);
    peer.on("RETR", download(data));
    connect();
    const struct {
        const char* restReply;
        int expected;
        std::string after;
    } rows[] = {
        {"350 Restarting at 20000.\r\n", 0, "0123456789" + data},
        {"200 whatever\r\n", 0, data},
        {"502 No REST here.\r\n", 0, data},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.restReply);
        peer.on("REST", r.restReply);
        writeFileBytes(target("resume"), "0123456789");
        const size_t before = sent().size();
        EXPECT_EQ(request(&TCustomFtpCli::RestGetAsync, "f.bin", "resume"), r.expected);
        const std::vector<std::string> lines = sent();
        EXPECT_EQ(lines[before + 1], "REST 10");
        EXPECT_EQ(lines.size(), before + 3);
        EXPECT_EQ(readFileBytes(target("resume")), r.after);
    }
    const size_t before = sent().size();
    EXPECT_EQ(request(&TCustomFtpCli::RestGetAsync, "f.bin", "absent"), 0);
    EXPECT_EQ(sent().size(), before + 2) << "no local file: no REST";
    EXPECT_EQ(readFileBytes(target("absent")), data);
}

// A resumed upload: SIZE says where the remote file ends, APPE sends the rest (counted from the resume
// point) and SIZE afterwards must give the local size. Where that cannot be right, the whole file goes
// with STOR; a server without APPE gets REST and STOR, and REST must be answered 350.
TEST_F(FtpTransfer, ResumedUploadsByTheServersAnswers)
{
    const std::string data = bytePattern(5000);
    writeFileBytes(target("up"), data);
    connect();
    const struct {
        const char* name;
        const char* sizeBefore;
        const char* appe;   // nullptr: APPE takes the bytes
        const char* rest;
        const char* sizeAfter;
        std::vector<std::string> sent;
        int error;
        std::string received;
    } rows[] = {
        {"appended", "213 1000\r\n", nullptr, "350 ok\r\n", "213 5000\r\n",
         {"SIZE up.bin", "PASV", "APPE up.bin", "SIZE up.bin"}, 0, data.substr(1000)},
        {"no APPE", "213 1000\r\n", "502 Unknown command.\r\n", "350 ok\r\n", "213 5000\r\n",
         {"SIZE up.bin", "PASV", "APPE up.bin", "PASV", "REST 1000", "STOR up.bin", "SIZE up.bin"}, 0,
         data.substr(1000)},
        {"no APPE nor REST", "213 1000\r\n", "502 Unknown command.\r\n", "502 Unknown command.\r\n",
         "213 5000\r\n", {"SIZE up.bin", "PASV", "APPE up.bin", "PASV", "REST 1000", "STOR up.bin", "SIZE up.bin"},
         0, data},
        {"no SIZE", "502 Unknown command.\r\n", nullptr, "350 ok\r\n", "", {"SIZE up.bin", "PASV", "STOR up.bin"},
         0, data},
        {"not there", "550 No such file.\r\n", nullptr, "350 ok\r\n", "", {"SIZE up.bin", "PASV", "STOR up.bin"},
         0, data},
        {"not shorter", "213 5000\r\n", nullptr, "350 ok\r\n", "", {"SIZE up.bin", "PASV", "STOR up.bin"}, 0, data},
        {"wrong size after", "213 1000\r\n", nullptr, "350 ok\r\n", "213 4000\r\n",
         {"SIZE up.bin", "PASV", "APPE up.bin", "SIZE up.bin"}, 426, data.substr(1000)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        std::string received;
        int sizes = 0;
        peer.on("SIZE", [&](PeerSession& s, const std::string&) { s.send(sizes++ == 0 ? r.sizeBefore : r.sizeAfter); });
        peer.on("APPE", r.appe ? PeerRule([&r](PeerSession& s, const std::string&) { s.send(r.appe); }) : upload(received));
        peer.on("REST", r.rest);
        peer.on("STOR", upload(received));
        std::vector<int64_t> counts;
        d.ftp.OnProgress = [&](TCustomFtpCli*, int64_t count, bool&) { counts.push_back(count); };
        d.ftp.ResumeAt = 0;
        const size_t before = sent().size();
        EXPECT_EQ(request(&TCustomFtpCli::RestPutAsync, "up.bin", "up"), r.error) << d.ftp.ErrorMessage();
        EXPECT_EQ(d.dones.back().request, ftpRestPutAsync);
        EXPECT_EQ(lastSent(sent().size() - before), r.sent);
        EXPECT_TRUE(received == r.received) << received.size();
        ASSERT_FALSE(counts.empty());
        EXPECT_EQ(counts.front(), int64_t(data.size() - r.received.size()));
        EXPECT_EQ(counts.back(), 5000);
    }
}

TEST_F(FtpTransfer, LocalFileFailures)
{
    peer.on("RETR", download("data"));
    connect();
    EXPECT_EQ(get("no such dir/x"), 550);
    EXPECT_EQ(d.ftp.LastResponse(), "Unable to open local file " + d.ftp.LocalFileName);
    EXPECT_EQ(sent().back(), "PASV") << "RETR is not sent";

    EXPECT_EQ(request(&TCustomFtpCli::PutAsync, "f.bin", "missing"), 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Unable to open local file " + d.ftp.LocalFileName);
    EXPECT_TRUE(d.logged("! 426 Unable to open local file " + d.ftp.LocalFileName));

    writeFileBytes(target("up"), "x");
    d.ftp.OnReadyToTransmit = [](TCustomFtpCli*, bool& cancel) { cancel = true; };
    EXPECT_EQ(request(&TCustomFtpCli::PutAsync, "f.bin", "up"), 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Transmit cancelled by application");
}

TEST_F(FtpTransfer, DisplayedListingsArriveLineByLine)
{
    peer.on("NLST", download("one\r\ntwo\r\n\r\nthree"));
    connect();
    std::vector<std::string> lines;
    d.ftp.DisplayFileFlag = true;
    d.ftp.OnDisplayFile = [&](TCustomFtpCli*, std::string& line) { lines.push_back(line); };
    d.ftp.LocalFileName = "";
    d.ftp.HostFileName = "";
    ASSERT_EQ(d.run([&] { d.ftp.LsAsync(); }), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(sent().back(), "NLST");
}

TEST_F(FtpTransfer, ReceiveSequenceLogsInTypesTransfersQuitsAndReportsTheTransferReply)
{
    peer.on("RETR", download(bytePattern(1000)));
    ASSERT_EQ(request(&TCustomFtpCli::ReceiveAsync, "f.bin", "seq"), 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "TYPE I", "PASV", "RETR f.bin", "QUIT"}));
    EXPECT_EQ(d.dones.back().request, ftpReceiveAsync);
    EXPECT_EQ(d.ftp.LastResponse(), "226 done") << "the reply before QUIT";
    EXPECT_FALSE(d.ftp.Connected());
    EXPECT_EQ(d.donesAfterSettling(), 1u);
}

TEST_F(FtpTransfer, SequenceRules)
{
    std::string received;
    peer.on("USER", "230 no password needed\r\n");
    peer.on("RNFR", "550 No such file.\r\n");
    peer.on("STOR", upload(received));
    d.ftp.HostDirName = "";
    writeFileBytes(target("up"), "hello");
    ASSERT_EQ(request(&TCustomFtpCli::TransmitAsync, "up", "up"), 0);
    EXPECT_EQ(d.dones.back().request, ftpPutAsync);
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "TYPE I", "PASV", "STOR up", "QUIT"}));

    connect();
    d.ftp.HostFileName = "old";
    d.ftp.LocalFileName = "new";
    EXPECT_EQ(d.run([&] { d.ftp.RenAsync(); }), 550);
    EXPECT_EQ(d.dones.back().request, ftpRenAsync);
    EXPECT_EQ(peer.lines(1), (std::vector<std::string>{"USER u", "FEAT", "RNFR old"}));
    EXPECT_TRUE(d.ftp.Connected()) << "a failed step sends no QUIT";
    EXPECT_THROW(d.ftp.ConnectAsync(), FtpException);
}

TEST_F(FtpTransfer, AbortOrARefusedStepInsideASequenceEndsIt)
{
    peer.on("PASS", ScriptedFtpPeer::silence());
    d.ftp.ConnectAsync();
    ASSERT_TRUE(pumpUntil([&] { return peer.lines(0).size() >= 2; }));
    d.ftp.AbortAsync();
    ASSERT_EQ(d.donesAfterSettling(), 1u);
    EXPECT_EQ(d.dones[0].request, ftpConnectAsync);
    EXPECT_EQ(d.dones[0].error, 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Operation aborted.");

    d.ftp.PassWord = "";
    EXPECT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 500) << "a refused step must not stall the sequence";
    EXPECT_EQ(d.ftp.ErrorMessage(), "Password emtpy");
    EXPECT_EQ(d.ftp.State(), fsReady);
}

TEST_F(FtpTransfer, GarbageInFeatIsIgnored)
{
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += " F" + std::to_string(i) + "\r\n";
    connectWithFeatures("211-Features:\r\n MLST type*;\r\nEPSV\r\n \x01UTF8\r\n bad/name\r\n" + many + "211 End\r\n");
    EXPECT_TRUE(d.ftp.Features().has("MLST"));
    EXPECT_FALSE(d.ftp.Features().has("EPSV"));
    EXPECT_FALSE(d.ftp.Features().has("UTF8"));
    EXPECT_EQ(d.ftp.Features().names().size(), FtpFeatures::kMaxNames);
}

TEST_F(FtpTransfer, ARefusedFeatMeansNoFeatures)
{
    connectWithFeatures("500 FEAT? Never heard of it.\r\n");
    EXPECT_TRUE(d.ftp.Features().empty());
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT", "PASV", "LIST"}));
}

// EPSV and MLSD are used when offered; refused after all, PASV and LIST take over for the session.
TEST_F(FtpTransfer, OfferedCommandsAreUsedAndRefusalsFallBack)
{
    connectWithFeatures("211-Features:\r\n MLST type*;size*;\r\n EPSV\r\n UTF8\r\n211 End\r\n");
    EXPECT_TRUE(d.ftp.Features().has("UTF8"));
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(d.ftp.ListingIsMlsd());
    peer.on("EPSV", "502 Not here.\r\n");
    peer.on("MLSD", "500 What?\r\n");
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_FALSE(d.ftp.ListingIsMlsd());
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT", "OPTS UTF8 ON", "EPSV", "MLSD", "EPSV",
                                                "PASV", "MLSD", "PASV", "LIST", "PASV", "LIST"}));
}

TEST_F(FtpTransfer, AMalformedExtendedPassiveReplyFailsTheListing)
{
    connectWithFeatures("211-Features:\r\n EPSV\r\n211 End\r\n");
    for (const char* reply : {"229 (|||0|)\r\n", "229 no port\r\n"}) {
        peer.on("EPSV", reply);
        EXPECT_EQ(list(), 550) << reply;
        EXPECT_TRUE(d.ftp.Connected());
    }
}

// Every listing that did not arrive whole fails, saying why, and none leaves an older listing behind
// (the file is emptied first); an empty directory is no failure.
TEST_F(FtpTransfer, AListingThatDidNotArriveWholeFails)
{
    const std::string part = "-rw-r--r-- 1 u g 5 Jan 01 2020 a\r\n" + std::string(30000, ' ');
    const std::string cantOpen = "226 Transfer done (but failed to open directory).";
    const struct {
        const char* what;
        const char* verb;
        PeerRule rule;
        int code;
        std::string message;
        std::string listed; // what the file holds afterwards, or (on failure) may hold a beginning of
    } rows[] = {
        {"550 to LIST", "LIST", replying("550 Permission denied.\r\n"), 550, "550 Permission denied.", ""},
        {"450 to NLST", "NLST", replying("450 No files found.\r\n"), 450, "450 No files found.", ""},
        {"reset mid-way", "MLSD", [part](PeerSession& s, const std::string&) {
             s.send("150 here\r\n");
             s.acceptData();
             s.sendData(part);
             s.resetData();
             s.send("226 done, as far as I know\r\n");
         }, 10054, "426 Data connection: Connection reset by peer (error #10054)", part},
        {"cut mid-way", "LIST", download(part, false, "426 Connection closed; transfer aborted.\r\n"), 426,
         "426 Connection closed; transfer aborted.", part},
        {"a directory that cannot be read", "LIST", download("", false, cantOpen + "\r\n"), 550,
         "550 The directory could not be listed: " + cantOpen, ""},
        {"the same by NLST", "NLST", download("", false, cantOpen + "\r\n"), 550,
         "550 The directory could not be listed: " + cantOpen, ""},
        {"past the size limit", "MLSD", endless("426 Transfer aborted.\r\n"), 552,
         "552 Listing larger than 100000 bytes", std::string(1 << 20, 'l')},
        {"an empty directory", "LIST", download("", false, "226 Directory send OK.\r\n"), 0, "", ""},
        {"a listing", "MLSD", download("type=file;size=3; a\r\n"), 0, "", "type=file;size=3; a\r\n"},
    };
    connectWithFeatures("211-Features:\r\n MLST type*;size*;\r\n211 End\r\n");
    d.ftp.MaxListingSize = 100000;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const std::string verb = r.verb;
        peer.on(verb, r.rule);
        d.ftp.UseMlsd = verb == "MLSD";
        writeFileBytes(target("listing"), "stale listing");
        EXPECT_EQ(request(verb == "NLST" ? &TCustomFtpCli::LsAsync : &TCustomFtpCli::DirAsync, "", "listing"), r.code);
        EXPECT_EQ(lastSent(2), (std::vector<std::string>{"PASV", verb}));
        if (r.code != 0) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        }
        const std::string listed = readFileBytes(target("listing"));
        EXPECT_EQ(listed, r.code != 0 ? r.listed.substr(0, listed.size()) : r.listed);
    }
}

// A known size is the proof of a whole download: short or long fails even after "226", a resumed one
// counts what it kept, and the size holds for one download only.
TEST_F(FtpTransfer, ADownloadMustReachTheSizeItWasAnnouncedWith)
{
    const std::string data = bytePattern(1000);
    peer.on("REST", "350 Restarting.\r\n");
    connect();
    const struct {
        const char* what;
        std::string sent;
        size_t kept;
        int64_t expected;
        int code;
        const char* message;
    } rows[] = {
        {"whole", data, 0, 1000, 0, ""},
        {"short", data.substr(0, 600), 0, 1000, 426, "426 Size differs: 600 bytes received in all, 1000 expected"},
        {"long", data + "xy", 0, 1000, 426, "426 Size differs: 1002 bytes received in all, 1000 expected"},
        {"resumed", data.substr(400), 400, 1000, 0, ""},
        {"resumed short", data.substr(400, 500), 400, 1000, 426,
         "426 Size differs: 900 bytes received in all, 1000 expected"},
        {"size unknown", data.substr(0, 600), 0, -1, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        peer.on("RETR", download(r.sent));
        writeFileBytes(target("sized"), data.substr(0, r.kept));
        d.ftp.ExpectedSize = r.expected;
        EXPECT_EQ(request(r.kept ? &TCustomFtpCli::RestGetAsync : &TCustomFtpCli::GetAsync, "f.bin", "sized"), r.code);
        if (r.code != 0) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        }
        EXPECT_EQ(d.ftp.ExpectedSize, -1);
        EXPECT_EQ(lastSent(r.kept ? 3 : 2), r.kept ? (std::vector<std::string>{"PASV", "REST 400", "RETR f.bin"})
                                                   : (std::vector<std::string>{"PASV", "RETR f.bin"}));
        EXPECT_TRUE(readFileBytes(target("sized")) == data.substr(0, r.kept) + r.sent);
    }
}

// A data connection that brought nothing, whenever it closed, is a failure for a file known to have
// bytes, and an empty file for one known to have none; with 150 and 226, also for one of unknown size.
TEST_F(FtpTransfer, ADownloadThatBroughtNothingIsJudgedByItsKnownSize)
{
    const PeerRule closesAtOnce = [](PeerSession& s, const std::string&) {
        s.send(PeerSession::passiveReply(s.listenForData()));
        s.acceptData();
        s.closeData();
    };
    const PeerRule closesBeforeTheAnswer = [](PeerSession& s, const std::string&) {
        s.acceptData();
        s.closeData();
        s.send("150 go\r\n226 done\r\n");
    };
    const std::string sizeDiffers = "426 Size differs: 0 bytes received in all, 10 expected";
    const struct {
        const char* what;
        PeerRule pasv;
        PeerRule retr;
        int64_t expected;
        int code;
        std::string message;
    } rows[] = {
        {"closed before the command", closesAtOnce, replying("150 go\r\n226 done\r\n"), 10, 426, sizeDiffers},
        {"the same, known to be empty", closesAtOnce, replying("150 go\r\n226 done\r\n"), 0, 0, ""},
        {"closed before the 150", ScriptedFtpPeer::passive(), closesBeforeTheAnswer, 10, 426, sizeDiffers},
        {"the same, known to be empty", ScriptedFtpPeer::passive(), closesBeforeTheAnswer, 0, 0, ""},
        {"closed after the 150", ScriptedFtpPeer::passive(), download(""), 10, 426, sizeDiffers},
        {"the same, known to be empty", ScriptedFtpPeer::passive(), download(""), 0, 0, ""},
        {"a genuine empty file of unknown size", ScriptedFtpPeer::passive(), download(""), -1, 0, ""},
    };
    connect();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        peer.on("PASV", r.pasv);
        peer.on("RETR", r.retr);
        d.ftp.ExpectedSize = r.expected;
        fs::remove(target("empty"));
        EXPECT_EQ(get("empty"), r.code);
        EXPECT_EQ(lastSent(2), (std::vector<std::string>{"PASV", "RETR f.bin"}));
        if (r.code != 0) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        }
        EXPECT_EQ(fs::exists(target("empty")), r.code == 0);
    }
}

// A server may send a whole file, far more than the socket buffers hold, before it answers: the data is
// read as it comes, so that neither side waits for the other for ever. A refusal after it leaves only
// those bytes, in the target.
TEST_F(FtpTransfer, DataSentBeforeTheAnswerIsTakenAsItComes)
{
    const std::string data = bytePattern(16 << 20, 5);
    const auto sendsFirst = [&data](size_t from, const std::string& answer) -> PeerRule {
        return [&data, from, answer](PeerSession& s, const std::string&) {
            s.acceptData();
            s.sendData(std::string_view(data).substr(from));
            s.closeData();
            s.send(answer);
        };
    };
    const struct {
        const char* what;
        size_t kept;
        std::string answer;
        int code;
    } rows[] = {
        {"whole", 0, "150 go\r\n226 done\r\n", 0},
        {"resumed", 1000, "150 go\r\n226 done\r\n", 0},
        {"refused after all", 0, "550 No.\r\n", 550},
    };
    peer.on("REST", "350 Restarting.\r\n");
    connect();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        writeFileBytes(target("early"), data.substr(0, r.kept));
        peer.on("RETR", sendsFirst(r.kept, r.answer));
        EXPECT_EQ(request(r.kept ? &TCustomFtpCli::RestGetAsync : &TCustomFtpCli::GetAsync, "f.bin", "early"), r.code);
        const std::string got = readFileBytes(target("early"));
        if (r.code == 0) {
            EXPECT_TRUE(got == data) << got.size();
        } else {
            EXPECT_TRUE(data.starts_with(got)) << "nothing but the bytes that came";
        }
    }
}

// TYPE goes out only when the server's type is not known to be the one wanted (a raw TYPE or REIN, or a
// new connection, makes it unknown); MDTM only when the caller does not know the file's time already.
TEST_F(FtpTransfer, TypeAndMdtmAreAskedOnlyWhenTheyTellSomethingNew)
{
    peer.on("TYPE", "200 Type set.\r\n");
    peer.on("MDTM", "213 20200102030405\r\n");
    peer.on("REIN", "220 Again.\r\n");
    peer.on("RETR", download("abc"));
    connectWithFeatures("211-Features:\r\n MDTM\r\n211 End\r\n");
    int one = 0;
    socklen_t len = sizeof one;
    ASSERT_EQ(::getsockopt(d.ftp.ControlSocket().Handle(), IPPROTO_TCP, TCP_NODELAY, &one, &len), 0);
    EXPECT_EQ(one, 1) << "a command in two writes must not wait for the server's delayed acknowledgement";
    const auto step = [&](const std::function<void()>& start) {
        const size_t before = sent().size();
        EXPECT_EQ(d.run(start), 0) << d.ftp.ErrorMessage();
        return lastSent(sent().size() - before);
    };
    const auto type = [&](bool binary) { return [&, binary] { binary ? d.ftp.TypeBinaryAsync() : d.ftp.TypeAsciiAsync(); }; };
    const auto quote = [&](const char* command) {
        return [&, command] {
            d.ftp.LocalFileName = command;
            d.ftp.QuoteAsync();
        };
    };
    const auto download = [&](bool askTime) {
        return [&, askTime] {
            d.ftp.HostFileName = "f.bin";
            d.ftp.LocalFileName = target("got");
            d.ftp.AskModifiedTime = askTime;
            d.ftp.GetAsync();
        };
    };
    using Sent = std::vector<std::string>;
    EXPECT_EQ(step(type(true)), Sent{"TYPE I"});
    EXPECT_EQ(step(type(true)), Sent{});
    EXPECT_EQ(step(type(false)), Sent{"TYPE A"});
    EXPECT_EQ(step(quote("type i")), Sent{"type i"});
    EXPECT_EQ(step(type(false)), Sent{"TYPE A"});
    EXPECT_EQ(step(quote("REIN")), Sent{"REIN"});
    EXPECT_EQ(step(type(false)), Sent{"TYPE A"});
    EXPECT_EQ(step(download(false)), (Sent{"PASV", "RETR f.bin"}));
    EXPECT_EQ(d.ftp.RemoteModified(), 0);
    EXPECT_EQ(step(download(true)), (Sent{"MDTM f.bin", "PASV", "RETR f.bin"})); // MDTM rides with PASV
    EXPECT_EQ(d.ftp.RemoteModified(), 1577934245);
    peer.on("MDTM", "550 No time for you.\r\n"); // a refusal answers MDTM only, and the download goes on
    EXPECT_EQ(step(download(true)), (Sent{"MDTM f.bin", "PASV", "RETR f.bin"}));
    EXPECT_EQ(d.ftp.RemoteModified(), 0);
    EXPECT_EQ(readFileBytes(target("got")), "abc");
    EXPECT_TRUE(d.ftp.AskModifiedTime) << "set for one download only";
    d.run([&] { d.ftp.QuitAsync(); });
    connect();
    EXPECT_EQ(d.run(type(false)), 0);
    EXPECT_EQ(peer.lines(1).back(), "TYPE A") << "a new connection knows no type";
}

// A paced transfer moves every byte: what arrived with the server's close while the download waited
// for its budget is still written, and an upload waits between blocks rather than dropping any.
TEST_F(FtpTransfer, APacedTransferMovesEveryByte)
{
    const std::string data = bytePattern(3 << 20, 4);
    std::string stored;
    peer.on("RETR", download(data));
    peer.on("STOR", upload(stored));
    connect();
    d.ftp.DownloadRate = std::make_shared<RateBudget>(4 << 20);
    d.ftp.UploadRate = std::make_shared<RateBudget>(4 << 20);
    ASSERT_EQ(get("paced"), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(readFileBytes(target("paced")) == data);
    ASSERT_EQ(request(&TCustomFtpCli::PutAsync, "up.bin", "paced"), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(stored == data) << stored.size();
}

// Implicit TLS through a front that ends each data connection with its close alert or without it.
class FtpTlsTransfer : public FtpTransfer {
protected:
    void SetUp() override
    {
        FtpTransfer::SetUp();
        peer.on("PBSZ", "200 PBSZ=0\r\n");
        peer.on("PROT", "200 Protection set to Private\r\n");
        d.connectTo(front.port());
        d.ftp.Security = ftpSecurityImplicit;
        d.ftp.OnCertificateQuestion = [](const CertificateQuestion&) { return CertificateAnswer::Once; };
    }

    TempDir tlsDir;
    TlsFront front{peer.port(), makeServerTls(tlsDir.path())};
};

// A TLS data connection ended without its close alert may have been cut short: a listing then fails,
// and so does a download of unknown size; one that has its known size is whole, and the log says what
// happened.
TEST_F(FtpTlsTransfer, ADataConnectionWithoutItsCloseAlertProvesNothing)
{
    const std::string data = bytePattern(300000, 9);
    const std::string listing = "-rw-r--r-- 1 u g 5 Jan 01 2020 a\r\n";
    peer.on("RETR", download(data));
    peer.on("LIST", download(listing));
    connect();
    ASSERT_TRUE(d.ftp.DataProtected());
    const std::string logLine = "! The server ended the data connection without closing TLS: the data may be incomplete";
    const struct {
        const char* what;
        bool alert;
        bool isListing;
        int64_t expected;
        int code;
        const char* message;
    } rows[] = {
        {"listing closed", true, true, -1, 0, ""},
        {"listing cut", false, true, -1, 426,
         "426 The server ended the data connection without closing TLS: the listing may be incomplete"},
        {"file closed", true, false, -1, 0, ""},
        {"file of unknown size cut", false, false, -1, 426,
         "426 The server ended the data connection without closing TLS: the file may be incomplete"},
        {"file of its known size cut", false, false, 300000, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        front.setCloseAlert(r.alert);
        d.ftp.ExpectedSize = r.expected;
        d.log.clear();
        EXPECT_EQ(r.isListing ? list() : get("tls"), r.code);
        EXPECT_EQ(lastSent(2), (std::vector<std::string>{"PASV", r.isListing ? "LIST" : "RETR f.bin"}));
        if (r.code != 0) {
            EXPECT_EQ(d.ftp.ErrorMessage(), r.message);
        }
        EXPECT_EQ(d.logged(logLine), !r.alert && r.code == 0);
        if (r.code == 0) {
            EXPECT_TRUE(readFileBytes(d.ftp.LocalFileName) == (r.isListing ? listing : data));
        }
    }
}

// A data connection must present the certificate the control connection's was accepted with (a resumed
// session carries it): one with another certificate may be anybody's, and nothing it sends is kept.
TEST_F(FtpTlsTransfer, ADataConnectionWithAnotherCertificateIsRefusedBothWays)
{
    const ServerTls other = makeServerTls(tlsDir.path() / "other");
    TlsFront impostor{peer.port(), makeServerTls(tlsDir.path() / "control"), &other};
    std::string portLine;
    peer.on("PORT", [&portLine](PeerSession& s, const std::string& line) {
        portLine = line;
        s.send("200 PORT ok\r\n");
    });
    const auto sending = [&portLine](std::string bytes) {
        return [&portLine, bytes](PeerSession& s, const std::string&) {
            s.send("150 here it comes\r\n");
            if (portLine.empty())
                s.acceptData();
            else
                s.connectData(std::exchange(portLine, {}));
            s.sendData(bytes);
            s.closeData();
            s.send("226 done\r\n");
        };
    };
    peer.on("RETR", sending("impostor's file"));
    peer.on("LIST", sending("-rw-r--r-- 1 u g 5 Jan 01 2020 impostor\r\n"));
    const std::string refusal = "426 Data connection: The data connection's certificate is not the server's: "
                                "the transfer is refused";
    const struct {
        const char* what;
        TlsFront* server;
        bool passive;
        bool isListing;
    } rows[] = {
        {"passive listing", &impostor, true, true},     {"passive download", &impostor, true, false},
        {"active listing", &impostor, false, true},     {"active download", &impostor, false, false},
        {"the server's own, active", &front, false, true},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.what);
        d.connectTo(r.server->port());
        d.ftp.SetPassive(r.passive);
        connect();
        writeFileBytes(target("kept"), "what was there");
        writeFileBytes(target("listing"), "old listing");
        const int code = r.isListing ? list() : get("kept");
        const std::vector<std::string> lines = peer.lines(i);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.back(), r.isListing ? "LIST" : "RETR f.bin");
        EXPECT_EQ(lines[lines.size() - 2].substr(0, 4), r.passive ? "PASV" : "PORT");
        if (r.server == &front) {
            EXPECT_EQ(code, 0) << d.ftp.ErrorMessage();
            EXPECT_EQ(readFileBytes(target("listing")), "-rw-r--r-- 1 u g 5 Jan 01 2020 impostor\r\n");
        } else {
            EXPECT_NE(code, 0);
            EXPECT_EQ(d.ftp.ErrorMessage(), refusal);
            EXPECT_EQ(readFileBytes(target("kept")), "what was there");
            EXPECT_EQ(readFileBytes(target("listing")), r.isListing ? "" : "old listing");
        }
        d.run([&] { d.ftp.QuitAsync(); });
    }
}

// The host name is checked against the certificate's DNS names; its subject CN counts only when it
// names none. The system trust store is the test's own authority for the duration.
TEST_F(FtpTlsTransfer, TheHostNameCheckUsesTheCommonNameOnlyWithoutDnsNames)
{
    const ServerTls ca = makeServerTls(tlsDir.path() / "ca");
    const struct {
        const char* altNames;
        const char* problem; // empty: trusted without a question
    } rows[] = {
        {"DNS:localhost", ""},
        {"", ""},
        {"DNS:other.example", "hostname mismatch"},
        {"DNS:other.example,IP:127.0.0.1", "hostname mismatch"},
    };
    ::setenv("SSL_CERT_FILE", ca.certFile.c_str(), 1);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.altNames);
        TlsFront server{peer.port(), makeServerTlsSignedBy(tlsDir.path() / std::to_string(i), ca, r.altNames)};
        std::vector<std::string> problems;
        d.ftp.OnCertificateQuestion = [&problems](const CertificateQuestion& q) {
            problems.push_back(q.problem);
            return CertificateAnswer::Cancel;
        };
        d.connectTo(server.port(), "localhost");
        const int code = d.run([&] { d.ftp.ConnectAsync(); });
        EXPECT_EQ(code == 0, *r.problem == 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(problems, *r.problem ? std::vector<std::string>{r.problem} : std::vector<std::string>{});
        d.run([&] { d.ftp.QuitAsync(); });
    }
    ::unsetenv("SSL_CERT_FILE");
}

// An upload's end: the close alert, then what the server still sends after it (TLS 1.3 session tickets,
// say) is read before the close, so the server sees a clean close and never a reset.
TEST_F(FtpTlsTransfer, AnUploadReadsWhatFollowsItsCloseAlertBeforeClosing)
{
    const std::string data = bytePattern(100000, 5);
    std::string portLine, stored;
    peer.on("PORT", [&portLine](PeerSession& s, const std::string& line) {
        portLine = line;
        s.send("200 PORT ok\r\n");
    });
    peer.on("STOR", [&](PeerSession& s, const std::string&) {
        s.send("150 send it\r\n");
        if (portLine.empty())
            s.acceptData();
        else
            s.connectData(std::exchange(portLine, {}));
        stored = s.receiveDataUntilClose();
        s.closeData();
        s.send("226 stored\r\n");
    });
    front.setWriteAfterClientClose(true);
    connect();
    writeFileBytes(target("up"), data);
    for (const bool passive : {false, true}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        d.ftp.SetPassive(passive);
        stored.clear();
        ASSERT_EQ(request(&TCustomFtpCli::PutAsync, "up.bin", "up"), 0) << d.ftp.ErrorMessage();
        EXPECT_TRUE(stored == data) << stored.size();
        EXPECT_EQ(lastSent(2)[0].substr(0, 4), passive ? "PASV" : "PORT");
        EXPECT_EQ(lastSent(2)[1], "STOR up.bin");
        EXPECT_EQ(front.resets(), 0);
    }
}

// A new handshake in the middle of a connection could bring another certificate after the check:
// the client refuses it, and the transfer fails rather than going on.
TEST_F(FtpTlsTransfer, ARenegotiationIsRefused)
{
    peer.on("LIST", [](PeerSession& s, const std::string&) {
        s.send("150 here it comes\r\n");
        s.acceptData();
        s.sendData("-rw-r--r-- 1 u g 5 Jan 01 2020 a\r\n");
        s.closeData();
        s.send("226 done\r\n");
    });
    front.setRenegotiate(true);
    connect();
    EXPECT_NE(list(), 0);
    EXPECT_EQ(front.renegotiations(), 0);
    EXPECT_EQ(lastSent(2), (std::vector<std::string>{"PASV", "LIST"}));
}

// Some servers answer a passive transfer command only once the data connection's handshake is over:
// the handshake starts without the answer after a while, and right after each command once the server
// is known to wait for it.
TEST_F(FtpTlsTransfer, APassiveHandshakeDoesNotWaitForTheCommandsAnswer)
{
    const std::string data = bytePattern(200000, 3);
    const std::string listing = "-rw-r--r-- 1 u g 5 Jan 01 2020 a\r\n";
    std::string stored;
    const auto handshakeFirst = [](std::string bytes) {
        return [bytes](PeerSession& s, const std::string&) {
            s.acceptData(); // the front connects here only after the client's handshake
            s.send("150 here it comes\r\n");
            s.sendData(bytes);
            s.closeData();
            s.send("226 done\r\n");
        };
    };
    peer.on("RETR", handshakeFirst(data));
    peer.on("LIST", handshakeFirst(listing));
    peer.on("STOR", [&stored](PeerSession& s, const std::string&) {
        s.acceptData();
        s.send("150 send it\r\n");
        stored = s.receiveDataUntilClose();
        s.closeData();
        s.send("226 stored\r\n");
    });
    connect();
    const std::string learned = "The server answers a transfer command only after the data connection's TLS handshake";
    ASSERT_EQ(get("early"), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(d.logged(learned));
    EXPECT_TRUE(readFileBytes(target("early")) == data);
    ASSERT_EQ(list(), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(readFileBytes(target("listing")), listing);
    ASSERT_EQ(request(&TCustomFtpCli::PutAsync, "up.bin", "early"), 0) << d.ftp.ErrorMessage();
    EXPECT_TRUE(stored == data) << stored.size();
    EXPECT_EQ(lastSent(2), (std::vector<std::string>{"PASV", "STOR up.bin"}));
}

} // namespace
