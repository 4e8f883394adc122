#include "session/window_title.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

TEST(WindowTitleTest, NamesTheOpenSiteAndTheShownDirectory)
{
    RemotePanel remote;
    EXPECT_EQ(WindowTitle(true, "Work", remote), "Brisklane");
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work") << "connecting, nothing listed yet";

    remote.RebuildPathBox("SERVER LIST ...", "ftp.example", "/");
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work - /");
    remote.RebuildPathBox("SERVER LIST ...", "ftp.example", "/pub/a b");
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work - /pub/a b");
    remote.selectPathItem(1);
    EXPECT_EQ(WindowTitle(false, "Work", remote), "Brisklane - Work - /pub/a b") << "a choice is not yet shown";
    EXPECT_EQ(WindowTitle(true, "Work", remote), "Brisklane");
}

} // namespace
} // namespace brisk
