#include "session/log_pane.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace brisk {
namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(LogPane, PasswordLinesAreHidden)
{
    EXPECT_EQ(LogPane::DisplayFilter("> PASS secret"), "> PASS (hidden)");
    EXPECT_EQ(LogPane::DisplayFilter("> USER PASS x"), "> PASS (hidden)");
    EXPECT_EQ(LogPane::DisplayFilter("> PASSIVE"), "> PASSIVE");
    EXPECT_EQ(LogPane::DisplayFilter("< 230 Login ok"), "< 230 Login ok");
    EXPECT_EQ(LogPane::DisplayFilter("> pass lower"), "> pass lower") << "the test is case-sensitive";
    EXPECT_EQ(LogPane::DisplayFilter("<  MODE NLST NOOP OPTS PASS PASV PORT"), "<  MODE NLST NOOP OPTS PASS PASV PORT")
        << "a reply line is never the password";
}

TEST(LogPane, ControlBytesNeitherBreakLinesNorReachTheFile)
{
    test::TempDir dir;
    const std::string path = (dir.path() / "session.log").string();
    LogPane log;
    log.setLogFile(path);
    const size_t line = log.AddLog("< 211-one\rtwo\nthree\x1b[31m\x7f\tend");
    log.appendToLine(line, " ok\n");
    EXPECT_EQ(log.lines(), std::deque<std::string>{"< 211-one?two?three?[31m?\tend ok?"});
    EXPECT_EQ(readAll(path), "< 211-one?two?three?[31m?\tend\n");
}

TEST(LogPane, OldLinesGoWhenTheSizeIsReachedAndTheNewestAlwaysStays)
{
    LogPane log;
    log.setLogSize(20);
    log.AddLog("12345");  // 7 with its line end
    log.AddLog("abcde");  // 14
    EXPECT_EQ(log.lines().size(), 2u);
    log.AddLog("xyz");    // 14 + 5 = 19 < 20: kept
    EXPECT_EQ(log.lines().size(), 3u);
    log.AddLog("last");   // 19 + 6 >= 20: the first line goes, then 12 + 6 < 20
    EXPECT_EQ(log.lines(), (std::deque<std::string>{"abcde", "xyz", "last"}));

    log.setLogSize(3); // below one line: only the newest stays
    EXPECT_EQ(log.AddLog("second line"), 0u);
    EXPECT_EQ(log.lines(), (std::deque<std::string>{"second line"}));
}

TEST(LogPane, EveryLineIsAppendedToTheLogFileWhenOne)
{
    test::TempDir dir;
    const std::string path = (dir.path() / "session.log").string();
    LogPane log;
    log.AddLog("before");
    log.setLogFile(path);
    log.AddLog("one");
    log.AddLog("two");
    EXPECT_EQ(readAll(path), "one\ntwo\n");
    log.setLogFile((dir.path() / "missing" / "x.log").string());
    EXPECT_EQ(log.AddLog("still shown"), 3u) << "a file that cannot be written is ignored";
}

} // namespace
} // namespace brisk
