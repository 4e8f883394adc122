#pragma once
#include "controller_rig.h"
#include "temp_home.h"
#include "tree_ftp_peer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace brisk::test {

// A controller with a session open on a TreeFtpPeer: chains run against the in-memory tree and
// their transcripts are read from the log, without daemons and without root.
class TreeSessionTest : public TempHomeTest {
protected:
    using Strings = std::vector<std::string>;

    // Opens the site (with the response type descriptor `answer`); true once the root is shown.
    bool open(const std::string& answer = "0957681", bool checkVHost = false)
    {
        rig = std::make_unique<SessionRig>();
        TFTPServerInfo site = SessionRig::site(server.port());
        site.Answer = answer;
        site.CheckVHost = checkVHost;
        rig->addSite(site);
        return rig->open();
    }
    void select(const Strings& names)
    {
        for (const std::string& name : names) {
            const int row = rig->rowOf(name);
            ASSERT_GE(row, 0) << name;
            rig->c.setRemoteSelected(size_t(row), true);
        }
    }
    // Runs `action` and waits until the chain it starts has ended and nothing is under way;
    // returns the commands sent meanwhile, without the data connection's and TYPE.
    Strings run(const std::function<void()>& action)
    {
        const size_t mark = rig->c.log.lines().size();
        action();
        EXPECT_TRUE(pumpUntil([&] { return settled(); }, 20000)) << ::testing::PrintToString(rig->c.log.lines());
        Strings out;
        for (const std::string& cmd : rig->sentWithoutData(mark))
            if (cmd.rfind("TYPE", 0) != 0)
                out.push_back(cmd);
        return out;
    }
    bool settled() const
    {
        return rig->c.Ftp1.State() == fsReady && !EventLoop::instance().hasPosted() &&
               rig->c.operationFlags().empty() && !rig->c.deleteChain().running() &&
               !rig->c.renameChain().running() && !rig->c.transferChain().running();
    }
    Strings loggedWith(const std::string& part) const
    {
        Strings out;
        for (const std::string& line : rig->c.log.lines())
            if (line.find(part) != std::string::npos)
                out.push_back(line);
        return out;
    }

    TreeFtpPeer server;
    std::unique_ptr<SessionRig> rig;
};

} // namespace brisk::test
