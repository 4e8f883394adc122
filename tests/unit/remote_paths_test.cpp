#include "session/remote_paths.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

struct PathCase {
    const char* path;
    const char* parent;
    const char* last;
    const char* withSlash;
    const char* up;
};

TEST(RemotePaths, ParentLastWithSlashAndUp)
{
    const PathCase cases[] = {
        {"/a/b", "/a", "b", "/a/b/", "/a"},
        {"/a/b/", "/a", "b", "/a/b/", "/a"},
        {"/a", "", "a", "/a/", "/"},
        {"/", "", "", "/", "/"},
        {"", "", "", "/", "/"},
        {"a/b", "a", "b", "a/b/", "a"},
        {"name", "", "name", "name/", "/"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ParentDir(c.path), c.parent);
        EXPECT_EQ(LastComponent(c.path), c.last);
        EXPECT_EQ(WithSlash(c.path), c.withSlash);
        EXPECT_EQ(UpDir(c.path), c.up);
    }
}

TEST(RemotePaths, StartDirectoryRule)
{
    EXPECT_EQ(RemoteDirRule("", false), "/");
    EXPECT_EQ(RemoteDirRule("/pub", false), "/pub/");
    EXPECT_EQ(RemoteDirRule("/pub/", false), "/pub/");
    EXPECT_EQ(RemoteDirRule("/pub", true), "pub/");
    EXPECT_EQ(RemoteDirRule("", true), "");
    EXPECT_EQ(RemoteDirRule("pub", true), "pub/");
}

} // namespace
} // namespace brisk
