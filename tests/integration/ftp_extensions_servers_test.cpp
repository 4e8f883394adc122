#include "engine_driver.h"
#include "file_io.h"
#include "ftp_users.h"
#include "real_server.h"
#include "temp_dir.h"

#include "listing/listing_parser.h"
#include "listing/mlsd_listing.h"
#include "platform/utc_stamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/stat.h>

using namespace brisk;
using namespace brisk::test;
namespace fs = std::filesystem;

namespace {

struct Offers {
    const char* kind;
    bool mlsd;   // FEAT lists MLST
    bool mfmt;
};

class FtpExtensionsServers : public ::testing::TestWithParam<Offers> {
protected:
    void SetUp() override
    {
        if (auto why = realServerUnavailable(GetParam().kind))
            GTEST_SKIP() << *why;
        server = startRealServer(GetParam().kind);
        d.connectAsTestUser(server->port());
        d.ftp.SetPassive(true);
        ASSERT_EQ(d.run([&] { d.ftp.ConnectAsync(); }), 0) << d.ftp.ErrorMessage();
    }
    // The commands sent since the log line at `from`.
    std::vector<std::string> sentSince(size_t from) const
    {
        std::vector<std::string> sent;
        for (size_t i = from; i < d.log.size(); ++i)
            if (d.log[i].rfind("> ", 0) == 0)
                sent.push_back(d.log[i].substr(2));
        return sent;
    }
    ParsedListing list(bool mlsd)
    {
        d.ftp.UseMlsd = mlsd;
        d.ftp.HostFileName.clear();
        d.ftp.LocalFileName = (tmp.path() / "listing").string();
        EXPECT_EQ(d.run([&] { d.ftp.DirAsync(); }), 0) << d.ftp.ErrorMessage();
        ParsedListing parsed;
        if (d.ftp.ListingIsMlsd())
            ParseMlsdFile(d.ftp.LocalFileName, false, parsed);
        else
            ParseListingFile("0957681", localToday(), d.ftp.LocalFileName, parsed);
        return parsed;
    }

    std::unique_ptr<RealServer> server;
    EngineDriver d;
    TempDir tmp;
};


TEST_P(FtpExtensionsServers, FeatThenMlsdGivesTheRowsOfList)
{
    const Offers offers = GetParam();
    EXPECT_TRUE(d.ftp.Features().has("MDTM"));
    EXPECT_TRUE(d.ftp.Features().has("EPSV"));
    EXPECT_EQ(d.ftp.Features().has("MLST"), offers.mlsd);
    EXPECT_EQ(d.ftp.Features().has("MFMT"), offers.mfmt);
    EXPECT_EQ(d.logged("> OPTS UTF8 ON"), d.ftp.Features().has("UTF8"));

    server->putFile("a file.txt", std::string(1234, 'a'));
    server->putFile("sub/b.bin", "b");
    const ParsedListing byList = list(false);
    const ParsedListing byMlsd = list(true);
    EXPECT_EQ(d.ftp.ListingIsMlsd(), offers.mlsd);
    ASSERT_EQ(byMlsd.entries.size(), byList.entries.size());
    for (size_t i = 0; i < byList.entries.size(); ++i) {
        const RemoteEntry& l = byList.entries[i];
        const auto m = std::find_if(byMlsd.entries.begin(), byMlsd.entries.end(),
                                    [&](const RemoteEntry& e) { return e.name == l.name; });
        ASSERT_NE(m, byMlsd.entries.end()) << l.name;
        const RemoteEntry& e = *m;
        EXPECT_EQ(e.isDirectory, l.isDirectory) << l.name;
        if (!l.isDirectory) {
            EXPECT_EQ(e.size, l.size) << l.name;
        }
        EXPECT_EQ(e.date, l.date) << l.name;
        // LIST gives minutes, MLSD seconds.
        EXPECT_EQ(e.time.substr(0, 5), l.time) << l.name;
        EXPECT_EQ(e.time.size(), offers.mlsd ? 8u : 5u) << l.name;
    }
}

// Every server writes one blank between the time column and the name, so blanks that begin or end a
// name are the name's; a link to a listed file is a file of that file's size, in LIST and MLSD alike.
TEST_P(FtpExtensionsServers, NamesKeepTheirBlanksAndLinksToFilesAreFiles)
{
    const std::vector<std::string> names = {" lead blank.txt", "  two lead.txt", "trail blank ", "inner  two.txt"};
    for (const std::string& name : names)
        server->putFile(name, "abcdef");
    server->putFile("sub/b.bin", "b");
    fs::create_symlink(" lead blank.txt", server->root() / "to-file");
    fs::create_symlink("sub", server->root() / "to-dir");
    for (const bool mlsd : {false, true}) {
        SCOPED_TRACE(mlsd ? "MLSD" : "LIST");
        const ParsedListing parsed = list(mlsd);
        std::map<std::string, RemoteEntry> byName;
        for (const RemoteEntry& e : parsed.entries) {
            EXPECT_FALSE(e.unreadable) << e.name;
            byName[e.name] = e;
        }
        for (const std::string& name : names) {
            ASSERT_EQ(byName.count(name), 1u) << "[" << name << "]";
            EXPECT_EQ(byName[name].size, "6") << name;
        }
        // pure-ftpd's MLSD names no target and gives the link's own unique fact: a link of unknown kind.
        ASSERT_EQ(byName.count("to-file") + byName.count("to-dir"), 2u);
        const RemoteEntry& toFile = byName["to-file"];
        if (mlsd && std::string(GetParam().kind) == "pure-ftpd")
            EXPECT_EQ(std::tuple(toFile.linkKindUnknown, toFile.attributes[0]), std::tuple(true, 'l'));
        else
            EXPECT_EQ(std::tuple(toFile.isDirectory, toFile.linkKindUnknown, toFile.size), std::tuple(false, false, "6"));
        EXPECT_TRUE(byName["to-dir"].isDirectory);
    }
}

// A download takes the remote time from MDTM, asked together with PASV/EPSV; an upload gives the
// local time to the server.
TEST_P(FtpExtensionsServers, TransfersKeepFileTimes)
{
    server->putFile("old.bin", "old");
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(50);
    fs::last_write_time(server->root() / "old.bin", past);
    struct stat remote{};
    ASSERT_EQ(::stat((server->root() / "old.bin").c_str(), &remote), 0);
    ASSERT_TRUE(d.ftp.TypeBinary());

    size_t from = d.log.size();
    d.ftp.HostFileName = "old.bin";
    d.ftp.LocalFileName = (tmp.path() / "old.bin").string();
    ASSERT_EQ(d.run([&] { d.ftp.GetAsync(); }), 0) << d.ftp.ErrorMessage();
    // MDTM goes out with PASV/EPSV, and every server answers the two in turn.
    EXPECT_EQ(sentSince(from).front(), "MDTM old.bin");
    EXPECT_EQ(sentSince(from).back(), "RETR old.bin");
    EXPECT_EQ(d.ftp.RemoteModified(), remote.st_mtime);

    writeFileBytes(tmp.path() / "up.bin", "up");
    fs::last_write_time(tmp.path() / "up.bin", past);
    struct stat local{};
    ASSERT_EQ(::stat((tmp.path() / "up.bin").c_str(), &local), 0);
    from = d.log.size();
    d.ftp.HostFileName = "up.bin";
    d.ftp.LocalFileName = (tmp.path() / "up.bin").string();
    ASSERT_EQ(d.run([&] { d.ftp.PutAsync(); }), 0) << d.ftp.ErrorMessage();
    const std::string verb = GetParam().mfmt ? "MFMT " : "MDTM ";
    EXPECT_EQ(sentSince(from).back(), verb + UtcStamp(local.st_mtime) + " up.bin");
    ASSERT_EQ(::stat((server->root() / "up.bin").c_str(), &remote), 0);
    EXPECT_EQ(remote.st_mtime, local.st_mtime);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpExtensionsServers,
                         ::testing::Values(Offers{"vsftpd", false, false}, Offers{"pyftpdlib", true, true},
                                           Offers{"pure-ftpd", true, true}, Offers{"proftpd", true, true}),
                         [](const auto& info) {
                             std::string name = info.param.kind;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
