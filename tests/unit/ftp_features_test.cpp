#include "ftp/ftp_extended_port.h"
#include "ftp/ftp_features.h"
#include "platform/utc_stamp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brisk;

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
}

TEST(FtpFeatures, AHostileReplyIsCapped)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i)
        lines.push_back(" F" + std::to_string(i));
    EXPECT_EQ(FtpFeatures::Parse(lines).names().size(), FtpFeatures::kMaxNames);
}

TEST(FtpFeatures, UtcStamps)
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

TEST(FtpExtendedPassive, PortOfA229ReplyOrNone)
{
    struct Row {
        const char* reply;
        int port;
    } rows[] = {
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
    for (const Row& row : rows)
        EXPECT_EQ(FtpDataPort(row.reply), row.port) << row.reply;
}
