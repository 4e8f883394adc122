#include "session/attribute_form.h"
#include "session_rig.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace brisk::test {
namespace {

using Strings = std::vector<std::string>;

mode_t permissionsOf(const std::filesystem::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : mode_t(~0u);
}

class SessionAttributesTest : public SessionServerTest {};

// The modes the dialog gives really change on disk, a name with a blank and a leading dash too.
TEST_P(SessionAttributesTest, SiteChmodChangesTheModesOnDisk)
{
    server->putFile("a.txt", "a");
    server->putFile("-my file.txt", "m");
    server->putFile("d/x.txt", "x");
    ASSERT_TRUE(openSite());
    for (const char* name : {"a.txt", "-my file.txt", "d"})
        rig->c.setRemoteSelected(size_t(rig->rowOf(name)), true);
    rig->ui.attributeEditor = [](AttributeForm& form) { return form.editModeText("711") && form.apply(); };

    const size_t mark = rig->c.log.lines().size();
    const uint64_t before = rig->c.listingsShown();
    rig->c.ChangeAttributes();
    ASSERT_TRUE(rig->waitListing(before, 20000)) << ::testing::PrintToString(rig->c.log.lines());

    Strings chmods;
    for (const std::string& cmd : rig->sentWithoutData(mark))
        if (cmd.rfind("TYPE", 0) != 0)
            chmods.push_back(cmd);
    EXPECT_EQ(chmods, (Strings{"SITE CHMOD 711 d", "SITE CHMOD 711 -my file.txt", "SITE CHMOD 711 a.txt", list()}));
    for (const char* name : {"a.txt", "-my file.txt", "d"})
        EXPECT_EQ(permissionsOf(server->root() / name), mode_t(0711)) << name;
    EXPECT_TRUE(rig->logged("Attributes changed: 3, failed: 0"));
    EXPECT_EQ(rig->c.remote.panel.rows()[size_t(rig->rowOf("a.txt"))].attributes, "-rwx--x--x");
    EXPECT_TRUE(rig->c.operationFlags().empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionAttributesTest, ::testing::Values("vsftpd", "pyftpdlib"));

} // namespace
} // namespace brisk::test
