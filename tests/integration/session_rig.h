#pragma once
#include "controller_rig.h"
#include "real_server.h"

#include <memory>
#include <string>
#include <vector>

namespace brisk::test {

// A session against one real server of the kind the parameter names.
class SessionServerTest : public SessionTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        if (auto why = realServerUnavailable(GetParam()))
            GTEST_SKIP() << *why;
        server = startRealServer(GetParam());
    }
    using SessionTest::openSite;
    bool openSite() { return openSite(SessionRig::site(server->port())); }

    // The listing command the server's FEAT leads to, and what follows its login: FEAT and the
    // options it offers. vsftpd offers neither MLSD nor options; pyftpdlib both.
    std::string list() const { return GetParam() == "vsftpd" ? "LIST" : "MLSD"; }
    // The session's opening: login, FEAT and what follows it, then `rest`.
    std::vector<std::string> opening(const std::vector<std::string>& rest) const
    {
        std::vector<std::string> all{"USER brisk", "PASS (hidden)", "FEAT"};
        if (GetParam() != "vsftpd")
            all.insert(all.end(), {"OPTS UTF8 ON", "OPTS MLST type;size;modify;unix.mode;"});
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    }

    std::unique_ptr<RealServer> server;
};

} // namespace brisk::test
