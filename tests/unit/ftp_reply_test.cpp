#include "ftp/ftp_reply.h"
#include "ftp/ftp_url.h"

#include <gtest/gtest.h>

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
        {"213 99999999999999999999999", 213, true, "", -1},
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

TEST(FtpUrl, Forms)
{
    struct Row {
        const char* text;
        bool ok;
        const char* user;
        const char* password;
        const char* host;
        const char* port;
        const char* dir;
    } rows[] = {
        {"ftp://host", true, "anonymous", "anonymous@", "host", "21", ""},
        {"ftp://u:p@127.0.0.1:2121/pub/x", true, "u", "p", "127.0.0.1", "2121", "pub/x"},
        {"ftp://a%40b:p%3Aw%25@h/", true, "a@b", "p:w%", "h", "21", ""},
        {"ftp://u@h//abs", true, "u", "", "h", "21", "/abs"},
        {"ftp://u:p@a@h", true, "u", "p@a", "h", "21", ""},
        {"ftp://h:0", false, "", "", "", "", ""},
        {"ftp://h:70000", false, "", "", "", "", ""},
        {"ftp://h:x", false, "", "", "", "", ""},
        {"ftp://", false, "", "", "", "", ""},
        {"http://h", false, "", "", "", "", ""},
        {"ftp://[::1]:2121/", true, "anonymous", "anonymous@", "::1", "2121", ""},
        {"ftp://u@[2001:db8::7]/d", true, "u", "", "2001:db8::7", "21", "d"},
        {"ftp://[::ffff:127.0.0.1]", true, "anonymous", "anonymous@", "::ffff:127.0.0.1", "21", ""},
        {"ftp://::1:2121/", false, "", "", "", "", ""},
        {"ftp://[::1/", false, "", "", "", "", ""},
        {"ftp://[::1]x/", false, "", "", "", "", ""},
        {"ftp://[host]/", false, "", "", "", "", ""},
        {"ftp://[::1]:0/", false, "", "", "", "", ""},
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
    }
}
