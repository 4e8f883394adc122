#include "listing/mlsd_listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace brisk;

namespace {

// The tests read UTC times as local ones in a zone two hours ahead.
class MlsdListing : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        saved_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "EET-2", 1);
        tzset();
    }
    void TearDown() override
    {
        hadTz_ ? setenv("TZ", saved_.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    std::string saved_;
    bool hadTz_ = false;
};

std::string record(std::string_view line)
{
    const auto entry = ParseMlsdLine(line);
    return entry ? joinEntryFields(*entry, "|") + "|" + std::to_string(entry->year) : "none";
}

} // namespace

TEST_F(MlsdListing, FactsBecomeTheRowsOfAUnixListing)
{
    struct Row {
        const char* line;
        const char* record;
    } rows[] = {
        {"type=file;size=1024;modify=20261206074609;UNIX.mode=0644; a file.txt",
         "1|a file.txt|1024|06.12.26|09:46:09|-rw-r--r--||2026"},
        {"type=file;unix.mode=0o711; py", "1|py||||-rwx--x--x||0"},
        {"type=file;unix.mode=0o7777777; odd", "1|odd||||||0"},
        {"Type=dir;Modify=20251231230000.123;unix.mode=755; pub", "0|pub||01.01.26|01:00:00|drwxr-xr-x||2026"},
        {"type=dir;sizd=4096;modify=20261206074609; d", "0|d|4096|06.12.26|09:46:09|||2026"},
        {"type=OS.unix=symlink;size=7;modify=20261206074609; bin", "0|bin||06.12.26|09:46:09|||2026"},
        {"type=file;size=99999999999999999999; huge", "1|huge||||||0"},
        {"type=file;size=0007;modify=2026120607460x; odd", "1|odd|7|||||0"},
        {"type=file;modify=20260431000000; April31", "1|April31||||||0"},
        {"type=file; ", "none"},
        {"type=cdir;modify=20261206074609; /srv", "none"},
        {"type=pdir; ..", "none"},
        {"type=file; .", "none"},
        {"type=file; ..", "none"},
        {"type=file; a/b", "none"},
        {"type=file; ../up", "none"},
        {"type=file;size=1;no-name-separator", "none"},
        {"garbage", "none"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(record(row.line), row.record) << row.line;
    EXPECT_EQ(record(std::string_view("type=file; a\0b", 14)), "none");
    EXPECT_EQ(record("type=file; a\rb"), "none");
}
