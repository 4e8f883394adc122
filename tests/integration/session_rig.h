#pragma once
#include "controller_rig.h"
#include "real_server.h"
#include "temp_dir.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace brisk::test {

// A controller against one real server of the kind the parameter names, with its own ProgramDir.
class SessionServerTest : public TempHomeTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        if (auto why = realServerUnavailable(GetParam()))
            GTEST_SKIP() << *why;
        server = startRealServer(GetParam());
        rig = std::make_unique<SessionRig>();
    }
    // A fresh local folder as the local panel's directory, for tests that transfer.
    void useLocalFolder()
    {
        local = tmp.path() / "local";
        std::filesystem::create_directories(local);
        rig->local.dir = local.string();
    }
    // Stores the server as a site and opens it; true once its first listing is shown.
    bool openSite()
    {
        rig->addSite(SessionRig::site(server->port()));
        return rig->open();
    }

    // The listing command the server's FEAT leads to, and what follows its login: FEAT and the
    // options it offers. vsftpd offers neither MLSD nor options; pyftpdlib both.
    std::string list() const { return GetParam() == "vsftpd" ? "LIST" : "MLSD"; }
    std::vector<std::string> afterLogin() const
    {
        if (GetParam() == "vsftpd")
            return {"FEAT"};
        return {"FEAT", "OPTS UTF8 ON", "OPTS MLST type;size;modify;unix.mode;"};
    }
    // The session's opening: login, what follows it, then `rest`.
    std::vector<std::string> opening(const std::vector<std::string>& rest) const
    {
        std::vector<std::string> all{"USER brisk", "PASS (hidden)"};
        const std::vector<std::string> extras = afterLogin();
        all.insert(all.end(), extras.begin(), extras.end());
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    }

    std::unique_ptr<RealServer> server;
    std::unique_ptr<SessionRig> rig;
    TempDir tmp;
    std::filesystem::path local;
};

} // namespace brisk::test
