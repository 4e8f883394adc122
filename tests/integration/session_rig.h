#pragma once
#include "controller_rig.h"
#include "real_server.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
    // Stores the server as a site and opens it; true once its first listing is shown.
    bool openSite()
    {
        rig->addSite(SessionRig::site(server->port()));
        return rig->open();
    }

    std::unique_ptr<RealServer> server;
    std::unique_ptr<SessionRig> rig;
};

} // namespace brisk::test
