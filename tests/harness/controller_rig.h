#pragma once
#include "config/options_store.h"
#include "pump.h"
#include "scripted_user_interface.h"
#include "platform/local_directory_port.h"
#include "session/session_controller.h"

#include <gtest/gtest.h>

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
        c.siteList.addSite(site, index);
        c.selectSite(int(index));
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
        return pumpUntil([&] { return c.listingsShown() > before || (c.SiteListMode() && !connecting()); },
                         timeoutMs) &&
               c.listingsShown() > before;
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
    bool connecting() const { return c.ConnectAttempt() >= 0 && c.Ftp1.State() != fsReady; }

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
        for (const std::string& l : c.log.lines())
            if (l == line)
                return true;
        return false;
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

} // namespace brisk::test
