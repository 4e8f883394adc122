#include "ftp/ftp_extended_port.h"
#include "ftp/ftp_features.h"
#include "ftp/ftp_reply.h"
#include "ftp/ftp_url.h"
#include "platform/utc_stamp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brisk;

TEST(FtpReply, CodesFinalLinesAndTheirData)
{
    struct Row {
        const char* line;
        int code;
        bool final;
        const char* quoted;
        int64_t size;
    } rows[] = {
        {"230 Logged in", 230, true, "", -1},
        {"230-Welcome", 230, false, "", -1},
        {"230", 230, true, "", -1},
        {"230\tTab", 230, true, "", -1},
        {" 230 indented", 0, false, "", -1},
        {"0230 four digits", 0, false, "", -1},
        {"230Logged in", 0, false, "", -1},
        {"23 short", 0, false, "", -1},
        {"257 \"/home/a\" is current", 257, true, "/home/a", -1},
        {"257 \"/say \"\"hi\"\"\" created", 257, true, "/say \"hi\"", -1},
        {"257 /no/quotes", 257, true, "", -1},
        {"257   \"spaced\"", 257, true, "spaced", -1},
        {"257 \"unterminated", 257, true, "unterminated", -1},
        {"213 5000000000", 213, true, "", 5000000000LL},
        {"213 9223372036854775807", 213, true, "", INT64_MAX},
        {"213 0 ", 213, true, "", 0},
        {"213 9223372036854775808", 213, true, "", -1},
        {"213 99999999999999999999999", 213, true, "", -1},
        {"213 -5", 213, true, "", -1},
        {"213 12abc", 213, true, "", -1},
        {"213 ", 213, true, "", -1},
        {"213", 213, true, "", -1},
        {"-5 odd", 0, false, "", -1},
        {"", 0, false, "", -1},
        {"abc", 0, false, "", -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(FtpReplyCode(r.line), r.code);
        EXPECT_EQ(FtpIsFinalReplyLine(r.line), r.final);
        EXPECT_EQ(FtpQuotedResult(r.line), r.quoted);
        EXPECT_EQ(FtpSizeResult(r.line), r.size);
    }
}

// ftps:// is implicit TLS on port 990, ftpes:// explicit TLS required.
TEST(FtpUrl, Forms)
{
    struct Row {
        const char* text;
        bool ok;
        const char* user = "";
        const char* password = "";
        const char* host = "";
        const char* port = "";
        const char* dir = "";
        TFtpSecurity security = ftpSecurityPlain;
        bool securityNamed = false;
    } rows[] = {
        {"ftp://host", true, "anonymous", "anonymous@", "host", "21", ""},
        {"ftp://u:p@127.0.0.1:2121/pub/x", true, "u", "p", "127.0.0.1", "2121", "pub/x"},
        {"ftp://a%40b:p%3Aw%25@h/", true, "a@b", "p:w%", "h", "21", ""},
        {"ftp://u@h//abs", true, "u", "", "h", "21", "/abs"},
        {"ftp://u:p@a@h", true, "u", "p@a", "h", "21", ""},
        {"ftpes://u:p@h/dir", true, "u", "p", "h", "21", "dir", ftpSecurityExplicitRequired, true},
        {"ftps://h", true, "anonymous", "anonymous@", "h", "990", "", ftpSecurityImplicit, true},
        {"ftps://h:2990", true, "anonymous", "anonymous@", "h", "2990", "", ftpSecurityImplicit, true},
        {"ftp://[::1]:2121/", true, "anonymous", "anonymous@", "::1", "2121", ""},
        {"ftp://u@[2001:db8::7]/d", true, "u", "", "2001:db8::7", "21", "d"},
        {"ftp://[::ffff:127.0.0.1]", true, "anonymous", "anonymous@", "::ffff:127.0.0.1", "21", ""},
        {"ftp://h:0", false}, {"ftp://h:70000", false}, {"ftp://h:x", false}, {"ftp://", false}, {"http://h", false},
        {"sftp://h", false}, {"ftp://::1:2121/", false}, {"ftp://[::1/", false}, {"ftp://[::1]x/", false},
        {"ftp://[host]/", false}, {"ftp://[::1]:0/", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        FtpUrl url;
        std::string error;
        ASSERT_EQ(ParseFtpUrl(r.text, url, error), r.ok) << error;
        if (!r.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(url.user, r.user);
        EXPECT_EQ(url.password, r.password);
        EXPECT_EQ(url.host, r.host);
        EXPECT_EQ(url.port, r.port);
        EXPECT_EQ(url.dir, r.dir);
        EXPECT_EQ(url.security, r.security);
        EXPECT_EQ(url.securityNamed, r.securityNamed);
    }
}

TEST(FtpFeatures, NamesOfWellFormedLinesOnly)
{
    const FtpFeatures f = FtpFeatures::Parse({
        " EPRT", " mdtm", " MLST type*;size*;modify*;", " UTF8", "MFMT", "  SIZE", " REST STREAM",
        " bad/name", " toolongname_toolongname_toolongname", " ", "", " EPSV\x01", " EPRT",
    });
    EXPECT_EQ(f.names(), (std::vector<std::string>{"EPRT", "MDTM", "MLST", "UTF8", "REST"}));
    EXPECT_TRUE(f.has("mlst"));
    EXPECT_FALSE(f.has("MFMT"));  // not indented: no feature line
    EXPECT_FALSE(f.has("SIZE"));  // two blanks: the name would be empty
    EXPECT_TRUE(FtpFeatures::Parse({}).empty());
    // A reply of a thousand names is capped: ftp_extensions_test.cpp.
}

TEST(UtcStamp, ParsedStrictly)
{
    struct Row {
        const char* text;
        int64_t seconds;
    } rows[] = {
        {"20261206074600", 1796543160},
        {"20261206074600.123", 1796543160},
        {"19700101000001", 1},
        {"20260431120000", -1},  // 31 April
        {"20260101250000", -1},
        {"2026120607460", -1},
        {"2026120607460x", -1},
        {"20261206074600.", -1},
        {"20261206074600.1x", -1},
        {"19600101000000", -1},
        {"", -1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseUtcStamp(row.text), row.seconds) << row.text;
    EXPECT_EQ(UtcStamp(1796543160), "20261206074600");
}

TEST(FtpDataPorts, PortOfA227Or229ReplyOrNone)
{
    struct Row {
        const char* reply;
        int port;
    } passive[] = {
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
    for (const Row& r : passive)
        EXPECT_EQ(FtpPassivePort(r.reply), r.port) << r.reply;
    const Row extended[] = {
        {"229 Entering Extended Passive Mode (|||6446|)", 6446},
        {"229 Entering Extended Passive Mode (!!!1!)", 1},
        {"229 (|||65535|)", 65535},
        {"229 (|||65536|)", -1},
        {"229 (|||0|)", -1},
        {"229 (|||99999999999999999999|)", -1},
        {"229 (|||-1|)", -1},
        {"229 (|||6446)", -1},
        {"229 (|||6446!)", -1},
        {"229 (||6446|)", -1},
        {"229 (111211)", -1},
        {"229 (|||)", -1},
        {"229 (|||", -1},
        {"229 no parenthesis", -1},
        {"227 Entering Passive Mode (127,0,0,1,4,5)", 1029},
    };
    for (const Row& r : extended)
        EXPECT_EQ(FtpDataPort(r.reply), r.port) << r.reply;
}
