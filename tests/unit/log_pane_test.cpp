#include "session/log_pane.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace brisk::log_pane_test {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The test is case-sensitive, and a reply line is never the password.
TEST(LogPane, PasswordLinesAreHidden)
{
    const std::pair<const char*, const char*> lines[] = {
        {"> PASS secret", "> PASS (hidden)"}, {"> USER PASS x", "> PASS (hidden)"}, {"> PASSIVE", "> PASSIVE"},
        {"< 230 Login ok", "< 230 Login ok"}, {"> pass lower", "> pass lower"},
        {"<  MODE NLST NOOP OPTS PASS PASV PORT", "<  MODE NLST NOOP OPTS PASS PASV PORT"}};
    for (const auto& [line, shown] : lines)
        EXPECT_EQ(LogPane::DisplayFilter(line), shown);
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

// Lines logged before the file was set do not reach it; a file that cannot be written is ignored.
TEST(LogPane, EveryLineReachesTheLogFileWithoutControlBytes)
{
    test::TempDir dir;
    const std::string path = (dir.path() / "session.log").string();
    LogPane log;
    log.AddLog("before");
    log.setLogFile(path);
    log.AddLog("one");
    const size_t line = log.AddLog("< 211-one\rtwo\nthree\x1b[31m\x7f\tend");
    log.appendToLine(line, " ok\n");
    EXPECT_EQ(log.lines().back(), "< 211-one?two?three?[31m?\tend ok?");
    EXPECT_EQ(readAll(path), "one\n< 211-one?two?three?[31m?\tend\n");
    log.setLogFile((dir.path() / "missing" / "x.log").string());
    EXPECT_EQ(log.AddLog("still shown"), 3u);
}

} // namespace brisk::log_pane_test
