#include "byte_pattern.h"
#include "engine_driver.h"
#include "file_io.h"
#include "ftp/ftp_reply.h"
#include "scripted_ftp_peer.h"
#include "temp_dir.h"
#include "ftp/ftp_exception.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <regex>

using namespace brisk;
using namespace brisk::test;
using namespace std::chrono_literals;
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

// A peer that logs anyone in and answers PASV with whatever text the test gives for the port it opened.
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
    // RETR (or LIST) answered with 150, the bytes, then 226 before or after the data close.
    void serveDownload(const std::string& verb, const std::string& bytes, bool finalBeforeClose = false)
    {
        peer.on(verb, [bytes, finalBeforeClose](PeerSession& s, const std::string&) {
            s.send("150 here it comes\r\n");
            s.acceptData();
            s.sendData(bytes);
            if (finalBeforeClose)
                s.send("226 done\r\n");
            s.closeData();
            if (!finalBeforeClose)
                s.send("226 done\r\n");
        });
    }
    void connect()
    {
        ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0);
    }
    std::vector<std::string> sent() { return peer.lines(0); }
    std::string target(const std::string& name) { return (dir.path() / name).string(); }

    ScriptedFtpPeer peer{"220 scripted\r\n"};
    EngineDriver d;
    TempDir dir;
};

} // namespace

TEST(FtpPassivePort, ReplyVariants)
{
    struct Row {
        const char* reply;
        int port;
    } rows[] = {
        {"227 Entering Passive Mode (192,168,1,2,4,5).", 1029},
        {"227 Entering Passive Mode (127,0,0,1,89,248).", 23032},
        {"227 Entering passive mode (127,0,0,1,4,5)", 1029},
        {"227 Entering Passive Mode 127,0,0,1,4,5", 1029},
        {"227 Entering Passive Mode 127,0,0,1,4,5\r", 1029},
        {"227 =127,0,0,1,4,5", 1029},
        {"227 (1,2,3,4, 4 , 5 )", 1029},
        {"227 (1,2,3,4,300,5)", -1},
        {"227 (1,2,3,4,4,256)", -1},
        {"227 (1,2,3,4,0,0)", -1},
        {"227 (1,2,3,4,255,255)", 65535},
        {"227 (1,2,3,4,5)", -1},
        {"227 Entering Passive Mode", -1},
        {"227 (1,2,3,4,x,5)", -1},
        {"227 (1,2,3,4,5,99999999999999)", -1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FtpPassivePort(r.reply), r.port) << r.reply;
}

TEST_F(FtpTransfer, PassiveRepliesOfEveryShapeLeadToTheControlPeer)
{
    const std::string data = bytePattern(70000);
    serveDownload("RETR", data);
    const std::vector<std::function<std::string(uint16_t)>> replies = {
        [](uint16_t p) { return "227 Entering Passive Mode (192,168,1,2," + std::to_string(p >> 8) + "," + std::to_string(p & 255) + ").\r\n"; },
        [](uint16_t p) { return "227 Entering Passive Mode 10,9,8,7," + std::to_string(p >> 8) + "," + std::to_string(p & 255) + "\r\n"; },
    };
    connect();
    int n = 0;
    for (const auto& reply : replies) {
        passiveWith(reply);
        d.ftp.HostFileName = "f.bin";
        d.ftp.LocalFileName = target("got" + std::to_string(n++));
        ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(readFileBytes(d.ftp.LocalFileName), data);
        EXPECT_EQ(d.dones.back().request, ftpGetAsync);
    }
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "FEAT", "PASV", "RETR f.bin", "PASV", "RETR f.bin"}));
}

TEST_F(FtpTransfer, TheEndNeedsTheFinalReplyAndTheDataCloseInEitherOrder)
{
    for (bool finalFirst : {false, true}) {
        SCOPED_TRACE(finalFirst);
        const std::string data = bytePattern(300000);
        serveDownload("RETR", data, finalFirst);
        if (d.ftp.State() == fsReady && !d.ftp.Connected())
            connect();
        d.ftp.HostFileName = "f.bin";
        d.ftp.LocalFileName = target(finalFirst ? "a" : "b");
        ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0);
        EXPECT_EQ(readFileBytes(d.ftp.LocalFileName), data);
        EXPECT_EQ(d.ftp.ByteCount, 300000);
        const std::regex statistics("! 300000 bytes received/sent in \\d+ seconds( \\(\\d+ Bytes/sec\\))?");
        EXPECT_TRUE(std::regex_match(d.log[d.log.size() - 1], statistics)) << d.log.back();
    }
}

TEST_F(FtpTransfer, RefusalsOfTheDataCommandAndOfTheDataConnection)
{
    peer.on("RETR", "425 Can't open data connection.\r\n");
    peer.on("STOR", "553 Could not create file.\r\n");
    connect();
    d.ftp.HostFileName = "f.bin";
    d.ftp.LocalFileName = target("x");
    EXPECT_EQ(d.run([&] { d.ftp.GetAsync(); }), 425);
    EXPECT_EQ(d.ftp.ErrorMessage(), "425 Can't open data connection.");
    writeFileBytes(target("up"), "abc");
    d.ftp.LocalFileName = target("up");
    EXPECT_EQ(d.run([&] { d.ftp.PutAsync(); }), 553);
    EXPECT_EQ(d.dones.back().request, ftpPutAsync);

    // A 227 naming a port where nobody listens: the data connection itself fails, before RETR is sent,
    // so no reply is left owed and the next request reads its own.
    passiveWith([](uint16_t) { return std::string("227 Entering Passive Mode (127,0,0,1,0,1).\r\n"); });
    peer.on("RETR", "425 Can't open data connection.\r\n");
    peer.on("PWD", "257 \"/after\"\r\n");
    d.ftp.LocalFileName = target("y");
    EXPECT_EQ(d.run([&] { d.ftp.GetAsync(); }), 550);
    EXPECT_EQ(d.ftp.ErrorMessage(), "Unable to establish data connection, error #10061 (Connection refused)");
    EXPECT_EQ(d.run([&] { d.ftp.PwdAsync(); }), 0);
    EXPECT_EQ(d.ftp.DirResult(), "/after");
    const std::vector<std::string> lines = sent();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), (std::vector<std::string>{"STOR f.bin", "PASV", "PWD"}));
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
        {"accepted, closed empty, then failed", [](PeerSession& s, const std::string&) {
             s.send("150 go\r\n");
             s.acceptData();
             s.closeData();
             s.send("426 Broken.\r\n");
         }, 426, "426 Broken.", "keep me"},
        {"426 mid-transfer", [](PeerSession& s, const std::string&) {
             s.send("150 go\r\n");
             s.acceptData();
             s.sendData(std::string(5000, 'x'));
             s.closeData();
             s.send("426 Connection closed; transfer aborted.\r\n");
         }, 426, "426 Connection closed; transfer aborted.", std::string(5000, 'x')},
        {"data before the answer", [early](PeerSession& s, const std::string&) {
             s.acceptData();
             s.sendData(early);
             s.closeData();
             s.send("150 go\r\n226 done\r\n");
         }, 0, "", early},
        {"empty file", [](PeerSession& s, const std::string&) {
             s.send("150 here it comes\r\n");
             s.acceptData();
             s.closeData();
             s.send("226 done\r\n");
         }, 0, "", ""},
    };
    connect();
    d.ftp.HostFileName = "f.bin";
    d.ftp.LocalFileName = target("precious");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        writeFileBytes(target("precious"), "keep me");
        peer.on("RETR", r.rule);
        const size_t logged = d.log.size();
        EXPECT_EQ(d.run([&] { d.ftp.GetAsync(); }), r.code) << d.ftp.ErrorMessage();
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
    peer.on("LIST", [](PeerSession& s, const std::string&) {
        s.send("150 here\r\n");
        s.acceptData();
        try {
            for (;;)
                s.sendData(std::string(65536, 'l'));
        } catch (const std::runtime_error&) {
        }
        s.closeData();
        s.send("426 Connection closed; transfer aborted.\r\n");
    });
    peer.on("PWD", "257 \"/home\"\r\n");
    connect();
    d.ftp.MaxListingSize = 100000;
    d.ftp.HostFileName = "";
    d.ftp.LocalFileName = target("listing");
    EXPECT_EQ(d.run([&] { d.ftp.DirAsync(); }), 552);
    EXPECT_EQ(d.ftp.ErrorMessage(), "552 Listing larger than 100000 bytes");
    EXPECT_EQ(d.run([&] { d.ftp.PwdAsync(); }), 0);
    EXPECT_EQ(d.ftp.DirResult(), "/home");
}

// A data connection that ends before the whole file is sent fails the upload, whatever the reply says.
TEST_F(FtpTransfer, UploadsGoOutBlockByBlockAndAnEmptyFileClosesAtOnce)
{
    std::string received;
    peer.on("STOR", [&received](PeerSession& s, const std::string&) {
        s.send("150 send it\r\n");
        s.acceptData();
        received = s.receiveDataUntilClose();
        s.closeData();
        s.send("226 stored\r\n");
    });
    connect();
    d.ftp.LocalFileName = target("up");
    d.ftp.HostFileName = "up.bin";
    for (size_t size : {size_t(0), size_t(1), size_t(1514), size_t(1000003)}) {
        SCOPED_TRACE(size);
        const std::string data = bytePattern(size);
        writeFileBytes(target("up"), data);
        ASSERT_EQ(d.run([&] { d.ftp.PutAsync(); }), 0) << d.ftp.ErrorMessage();
        EXPECT_EQ(received, data);
        EXPECT_EQ(d.ftp.ByteCount, int64_t(size));
    }

    peer.on("STOR", [](PeerSession& s, const std::string&) {
        s.send("150 send it\r\n");
        s.acceptData();
        s.closeData();
        s.send("226 stored (but it was not)\r\n");
    });
    writeFileBytes(target("up"), bytePattern(8 << 20));
    EXPECT_NE(d.run([&] { d.ftp.PutAsync(); }), 0);
}

TEST_F(FtpTransfer, AbortFromProgressEndsTheDownloadAsAFailureOnceTheFinalReplyIsIn)
{
    peer.on("RETR", [](PeerSession& s, const std::string&) {
        s.send("150 go\r\n");
        s.acceptData();
        try {
            for (int i = 0; i < 400; ++i)
                s.sendData(std::string(16384, 'z'));
        } catch (const std::exception&) {
        }
        s.closeData();
        s.send("226 done as far as I know\r\n");
    });
    connect();
    d.ftp.OnProgress = [](TCustomFtpCli*, int64_t count, bool& abort) { abort = count > 100000; };
    d.ftp.HostFileName = "f.bin";
    d.ftp.LocalFileName = target("cut");
    EXPECT_EQ(d.run([&] { d.ftp.GetAsync(); }), 426);
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
    d.ftp.HostFileName = "";
    d.ftp.LocalFileName = target("list");
    ASSERT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
    EXPECT_EQ(readFileBytes(target("list")), data);
    const std::vector<std::string> lines = sent();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(std::regex_match(lines[3], std::regex("PORT 127,0,0,1,\\d+,\\d+"))) << lines[3];
    EXPECT_EQ(lines[4], "LIST -aL");
    EXPECT_TRUE(d.logged("! Data connection from 127.0.0.2 refused: not the server (127.0.0.1)"));
    EXPECT_FALSE(reachableElsewhere);
}

TEST_F(FtpTransfer, RestartedDownloadsByTheRestReply)
{
    const std::string data = bytePattern(50000);
    peer.on("RETR", [data](PeerSession& s, const std::string&) {
        s.send("150 go\r\n");
        s.acceptData();
        s.sendData(data);
        s.closeData();
        s.send("226 done\r\n");
    });
    connect();
    d.ftp.HostFileName = "f.bin";
    struct Row {
        const char* restReply;
        int expected;
        const char* local;
    } rows[] = {
        {"350 Restarting at 20000.\r\n", 0, "0123456789"},
        {"200 whatever\r\n", 0, "abcdefghij"},
        {"502 No REST here.\r\n", 502, "KLMNOPQRST"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.restReply);
        peer.on("REST", r.restReply);
        const std::string local(r.local);
        writeFileBytes(target("resume"), local);
        d.ftp.LocalFileName = target("resume");
        const size_t before = sent().size();
        EXPECT_EQ(d.run([&] { d.ftp.RestGetAsync(); }), r.expected);
        const std::vector<std::string> lines = sent();
        EXPECT_EQ(lines[before + 1], "REST 10");
        const std::string got = readFileBytes(target("resume"));
        if (r.expected == 502) {
            EXPECT_EQ(lines.size(), before + 2) << "RETR must not follow a refused REST";
            EXPECT_EQ(got, local);
        } else if (std::string(r.restReply).rfind("350", 0) == 0) {
            EXPECT_EQ(got, local + data) << "appended at the resume point";
        } else {
            EXPECT_EQ(got, data) << "anything but 350: the whole file again";
        }
    }
    d.ftp.LocalFileName = target("absent");
    const size_t before = sent().size();
    EXPECT_EQ(d.run([&] { d.ftp.RestGetAsync(); }), 0);
    EXPECT_EQ(sent().size(), before + 2) << "no local file: no REST";
    EXPECT_EQ(readFileBytes(target("absent")), data);
}

TEST_F(FtpTransfer, RestartedUploadReadsFromTheResumePointAndCountsFromIt)
{
    std::string received;
    peer.on("REST", "350 ok\r\n");
    peer.on("STOR", [&received](PeerSession& s, const std::string&) {
        s.send("150 go\r\n");
        s.acceptData();
        received = s.receiveDataUntilClose();
        s.closeData();
        s.send("226 ok\r\n");
    });
    connect();
    const std::string data = bytePattern(5000);
    writeFileBytes(target("up"), data);
    std::vector<int64_t> counts;
    d.ftp.OnProgress = [&](TCustomFtpCli*, int64_t count, bool&) { counts.push_back(count); };
    d.ftp.LocalFileName = target("up");
    d.ftp.HostFileName = "up.bin";
    d.ftp.ResumeAt = 1000;
    ASSERT_EQ(d.run([&] { d.ftp.RestPutAsync(); }), 0);
    EXPECT_EQ(received, data.substr(1000));
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.front(), 1000);
    EXPECT_EQ(counts.back(), 5000);
    EXPECT_EQ(d.dones.back().request, ftpPutAsync);
    const std::vector<std::string> lines = sent();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"PASV", "REST 1000", "STOR up.bin"}));
}

TEST_F(FtpTransfer, LocalFileFailures)
{
    serveDownload("RETR", "data");
    connect();
    d.ftp.HostFileName = "f.bin";
    d.ftp.LocalFileName = (dir.path() / "no such dir" / "x").string();
    EXPECT_EQ(d.run([&] { d.ftp.GetAsync(); }), 550);
    EXPECT_EQ(d.ftp.LastResponse(), "Unable to open local file " + d.ftp.LocalFileName);
    EXPECT_EQ(sent().back(), "PASV") << "RETR is not sent";

    d.ftp.LocalFileName = target("missing");
    EXPECT_EQ(d.run([&] { d.ftp.PutAsync(); }), 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Unable to open local file " + d.ftp.LocalFileName);
    EXPECT_TRUE(d.logged("! 426 Unable to open local file " + d.ftp.LocalFileName));

    writeFileBytes(target("up"), "x");
    d.ftp.LocalFileName = target("up");
    d.ftp.OnReadyToTransmit = [](TCustomFtpCli*, bool& cancel) { cancel = true; };
    EXPECT_EQ(d.run([&] { d.ftp.PutAsync(); }), 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Transmit cancelled by application");
}

TEST_F(FtpTransfer, DisplayedListingsArriveLineByLine)
{
    serveDownload("NLST", "one\r\ntwo\r\n\r\nthree");
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
    serveDownload("RETR", bytePattern(1000));
    d.ftp.HostFileName = "f.bin";
    d.ftp.LocalFileName = target("seq");
    ASSERT_EQ(d.run([&] { d.ftp.ReceiveAsync(); }), 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"USER u", "PASS p", "TYPE I", "PASV", "RETR f.bin", "QUIT"}));
    EXPECT_EQ(d.dones.back().request, ftpReceiveAsync);
    EXPECT_EQ(d.ftp.LastResponse(), "226 done") << "the reply before QUIT";
    EXPECT_FALSE(d.ftp.Connected());
    EXPECT_EQ(d.donesAfterSettling(), 1u);
}

TEST_F(FtpTransfer, SequenceRules)
{
    peer.on("USER", "230 no password needed\r\n");
    peer.on("RNFR", "550 No such file.\r\n");
    peer.on("STOR", [](PeerSession& s, const std::string&) {
        s.send("150 go\r\n");
        s.acceptData();
        s.receiveDataUntilClose();
        s.closeData();
        s.send("226 ok\r\n");
    });
    d.ftp.HostDirName = "";
    writeFileBytes(target("up"), "hello");
    d.ftp.LocalFileName = target("up");
    d.ftp.HostFileName = "up";
    ASSERT_EQ(d.run([&] { d.ftp.TransmitAsync(); }), 0);
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

TEST_F(FtpTransfer, AbortInsideASequenceEndsItWith426)
{
    peer.on("PASS", ScriptedFtpPeer::silence());
    d.ftp.ConnectAsync();
    ASSERT_TRUE(pumpUntil([&] { return peer.lines(0).size() >= 2; }));
    d.ftp.AbortAsync();
    ASSERT_EQ(d.donesAfterSettling(), 1u);
    EXPECT_EQ(d.dones[0].request, ftpConnectAsync);
    EXPECT_EQ(d.dones[0].error, 426);
    EXPECT_EQ(d.ftp.ErrorMessage(), "426 Operation aborted.");
}

TEST_F(FtpTransfer, AStepRefusedInsideASequenceEndsItInsteadOfStalling)
{
    d.ftp.PassWord = "";
    EXPECT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 500);
    EXPECT_EQ(d.ftp.ErrorMessage(), "Password emtpy");
    EXPECT_EQ(d.ftp.State(), fsReady);
}
