#pragma once
#include "config/options_store.h"
#include "pump.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"
#include "temp_home.h"
#include "platform/local_directory_port.h"
#include "session/session_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brisk::test {

// The local side as the session sees it, without a panel.
class RecordedLocalDirectory : public LocalDirectory {
public:
    std::string dir = "/tmp";
    std::vector<std::string> changes;
    int refreshes = 0;
    const std::string& currentDir() const override { return dir; }
    void refresh() override { ++refreshes; }
    bool changeDirectory(const std::string& d) override
    {
        changes.push_back(d);
        dir = d;
        return true;
    }
};

// A controller with scripted user, its own options and listing file (ProgramDir must be set first).
struct SessionRig {
    TFTPOptions options;
    ScriptedUserInterface ui;
    RecordedLocalDirectory local;
    SessionController c{ui, options, local};

    SessionRig()
    {
        options.ListingTempFile = MakeListingTempFile();
        options.LogSize = 1 << 30;
        c.setKeepAliveTickMs(20);
        c.ApplyOptions();
    }

    // Stores a site in the root folder of the site list and selects it.
    void addSite(TFTPServerInfo site)
    {
        size_t index = 0;
        c.sites.siteList.addSite(site, index);
        c.sites.selectSite(int(index));
    }

    static TFTPServerInfo site(uint16_t port, const std::string& user = "brisk", const std::string& pw = "brisk-pw")
    {
        TFTPServerInfo s;
        s.Name = "test";
        s.Server = "127.0.0.1";
        s.Port = std::to_string(port);
        s.User = user;
        s.Password = pw;
        s.SavePassword = 1;
        s.Pasv = 1;
        s.Answer = "0957681";
        return s;
    }

    // Waits until a new listing is shown (or the session returns to the site list).
    bool waitListing(uint64_t before, int timeoutMs = 30000)
    {
        const auto connecting = [&] { return c.ConnectAttempt() >= 0 && c.Ftp1.State() != fsReady; };
        return pumpUntil([&] { return c.listingsShown() > before || (c.SiteListMode() && !connecting()); }, timeoutMs)
            && c.listingsShown() > before;
    }
    bool waitSiteList(int timeoutMs = 30000)
    {
        return pumpUntil([&] { return c.SiteListMode() && !c.Ftp1.Connected() && c.Ftp1.State() == fsReady; },
                         timeoutMs);
    }
    bool waitIdle(int timeoutMs = 30000)
    {
        return pumpUntil([&] { return c.Ftp1.State() == fsReady && !EventLoop::instance().hasPosted(); }, timeoutMs);
    }

    bool open()
    {
        const uint64_t before = c.listingsShown();
        c.Connect();
        return waitListing(before);
    }

    // The commands sent, as logged ("> ..."), from line `from` of the log on.
    std::vector<std::string> sent(size_t from = 0) const
    {
        std::vector<std::string> out;
        const auto& lines = c.log.lines();
        for (size_t i = from; i < lines.size(); ++i)
            if (lines[i].rfind("> ", 0) == 0)
                out.push_back(lines[i].substr(2));
        return out;
    }
    // The same without the data-connection commands, which differ between passive and active mode.
    std::vector<std::string> sentWithoutData(size_t from = 0) const
    {
        std::vector<std::string> out;
        for (const std::string& cmd : sent(from))
            if (cmd != "PASV" && cmd != "EPSV" && cmd.rfind("PORT ", 0) != 0 && cmd.rfind("EPRT ", 0) != 0)
                out.push_back(cmd);
        return out;
    }
    bool logged(const std::string& line) const
    {
        return std::find(c.log.lines().begin(), c.log.lines().end(), line) != c.log.lines().end();
    }
    std::vector<std::string> captions() const
    {
        std::vector<std::string> out;
        for (const PanelRow& row : c.remote.panel.rows())
            out.push_back(row.caption);
        return out;
    }
    int rowOf(const std::string& caption) const
    {
        const auto& rows = c.remote.panel.rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].caption == caption)
                return int(i);
        return -1;
    }
};

// A controller with its own ProgramDir, a local folder for transfers and the helpers every session
// test needs; the server side (in-memory tree or real daemon) is added by the derived fixtures.
class SessionTest : public TempHomeTest {
protected:
    using Strings = std::vector<std::string>;

    void SetUp() override
    {
        TempHomeTest::SetUp();
        rig = std::make_unique<SessionRig>();
        std::filesystem::create_directories(local);
    }
    // The controller goes before the server it talks to.
    void TearDown() override
    {
        rig.reset();
        TempHomeTest::TearDown();
    }
    // Stores `site` with the local folder as the panel's directory and opens it; true once listed.
    bool openSite(const TFTPServerInfo& site)
    {
        rig->addSite(site);
        rig->local.dir = local.string();
        return rig->open();
    }
    // Selects exactly the rows named.
    void select(const Strings& names)
    {
        rig->c.remote.panel.unselectAll();
        for (const std::string& name : names) {
            const int row = rig->rowOf(name);
            ASSERT_GE(row, 0) << name;
            rig->c.setRemoteSelected(size_t(row), true);
        }
    }
    // Runs `action` and waits until the chain it starts has ended and nothing is under way;
    // returns the commands sent meanwhile, without the data connection's and TYPE.
    Strings run(const std::function<void()>& action, int timeoutMs = 30000)
    {
        const size_t mark = rig->c.log.lines().size();
        action();
        EXPECT_TRUE(pumpUntil([&] { return settled(); }, timeoutMs)) << ::testing::PrintToString(rig->c.log.lines());
        Strings out;
        for (const std::string& cmd : rig->sentWithoutData(mark))
            if (cmd.rfind("TYPE", 0) != 0)
                out.push_back(cmd);
        return out;
    }
    bool settled() const
    {
        return rig->c.Ftp1.State() == fsReady && !EventLoop::instance().hasPosted() &&
               !rig->c.commandRunning();
    }
    Strings loggedWith(const std::string& part) const
    {
        Strings out;
        for (const std::string& line : rig->c.log.lines())
            if (line.find(part) != std::string::npos)
                out.push_back(line);
        return out;
    }
    // The last transfer's summary line.
    std::string summary() const
    {
        const Strings lines = loggedWith("Transfer finished:");
        return lines.empty() ? std::string() : lines.back();
    }

    std::unique_ptr<SessionRig> rig;
    TempDir tmp;
    const std::filesystem::path local = tmp.path() / "local";
};

} // namespace brisk::test
