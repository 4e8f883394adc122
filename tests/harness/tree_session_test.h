#pragma once
#include "controller_rig.h"
#include "tree_ftp_peer.h"

#include <string>

namespace brisk::test {

// A session open on a TreeFtpPeer: chains run against the in-memory tree and their transcripts are
// read from the log, without daemons and without root.
class TreeSessionTest : public SessionTest {
protected:
    // Opens the site (with the response type descriptor `answer`) in a fresh controller; true once
    // the root is shown.
    bool open(const std::string& answer = "0957681", bool checkVHost = false, bool mkDirLevels = false)
    {
        rig = std::make_unique<SessionRig>();
        TFTPServerInfo site = SessionRig::site(server.port());
        site.Answer = answer;
        site.CheckVHost = checkVHost;
        site.MkDir = mkDirLevels;
        return openSite(site);
    }

    TreeFtpPeer server;
};

} // namespace brisk::test
