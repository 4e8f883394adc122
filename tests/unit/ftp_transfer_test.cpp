#include "byte_pattern.h"
#include "engine_driver.h"
#include "file_io.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"
#include "ftp/ftp_exception.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
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

// Whatever goes wrong before the first byte of the file, the user's local file stays as it was (refusals
// and resets through the command-line tool: hostile_transfer_test.cpp); what did arrive is kept, even
// before the answer; a successful empty download empties the file.
TEST_F(FtpTransfer, WhatADownloadLeavesInTheLocalFile)
{
    const std::string early = bytePattern(40000);
    const struct {
        const char* what;
        PeerRule rule;
        int code;
        const char* message;
        std::string after;
    } rows[] = {
        {"data sent before the refusal", [](PeerSession& s, const std::string&) {
             s.acceptData();
             s.sendData("not the file\r\n");
             s.closeData();
             s.send("550 No such file.\r\n");
         }, 550, "550 No such file.", "keep me"},
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
        EXPECT_EQ(readFileBytes(target("precious")), r.after);
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

} // namespace
