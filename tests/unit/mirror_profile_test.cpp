#include "mirror/exclusion_list.h"
#include "mirror/mirror_profile.h"
#include "platform/ini_file.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk {
namespace {

using Strings = std::vector<std::string>;

TEST(ExclusionList, SplitsTrimsAndDropsEmptyPiecesAndJoinsWithOneBar)
{
    const std::pair<const char*, Strings> cases[] = {
        {"*.bak |   | tmp/|", {"*.bak", "tmp/"}}, {"", {}}, {" | |", {}}, {"|a", {"a"}}, {" x y ", {"x y"}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(SplitExclusions(text), items) << text;
    EXPECT_EQ(JoinExclusions({"  *.bak ", "", "   ", "tmp/"}), "*.bak|tmp/");
}

class MirrorProfileTest : public TempHomeTest {
protected:
    std::string path() const { return home() + "task.cpf"; }
};

TEST_F(MirrorProfileTest, StartValuesMakeTheSixKeysInOrder)
{
    const TRecMirror task;
    EXPECT_FALSE(task.Loaded);
    SaveMirrorProfile(task, path());
    EXPECT_EQ(readFile(path()), "[Mirror]\nLocal=\nRemote=\nExclusions=\nDirection=0\nFile Exists=0\nParams=26\n");
    EXPECT_EQ(DefaultMirrorProfilePath(), home() + "Default.cpf");
}

TEST_F(MirrorProfileTest, SavedTaskLoadsBackAndOtherKeysStay)
{
    writeFile(path(), "[Notes]\ntext=keep me\n\n[Mirror]\nComment=mine\nRemote=/old\n");
    TRecMirror task;
    task.Local = "/home/me/site";
    task.Remote = "/var/www";
    task.Exclusions = " *.bak | |cache/|";
    task.Direction = 2;
    task.FileExists = 3;
    task.Params = 5;
    SaveMirrorProfile(task, path());
    EXPECT_EQ(readFile(path()), "[Notes]\ntext=keep me\n\n[Mirror]\nComment=mine\nRemote=/var/www\n"
                                "Local=/home/me/site\nExclusions=*.bak|cache/\nDirection=2\nFile Exists=3\nParams=5\n");

    TRecMirror loaded;
    EXPECT_TRUE(LoadMirrorProfile(loaded, path()));
    EXPECT_TRUE(loaded.Loaded);
    EXPECT_EQ(loaded.Local, task.Local);
    EXPECT_EQ(loaded.Remote, task.Remote);
    EXPECT_EQ(loaded.Exclusions, "*.bak|cache/");
    EXPECT_EQ(loaded.Direction, 2);
    EXPECT_EQ(loaded.FileExists, 3);
    EXPECT_EQ(loaded.Params, 5);
}

// Missing keys keep what the task holds (on top of the start values "Params" stays 26); "Params"
// keeps its five low bits.
TEST_F(MirrorProfileTest, MissingKeysKeepTheTaskAndParamsKeepFiveBits)
{
    const std::pair<const char*, int> cases[] = {
        {nullptr, 26}, {"0", 0}, {"31", 31}, {"32", 0}, {"58", 26}, {"-1", 31}, {"many", 26}, {"", 26},
    };
    for (const auto& [value, params] : cases) {
        writeFile(path(), std::string("[Mirror]\nLocal=/srv\nDirection=1\n") +
                              (value ? std::string("Params=") + value + "\n" : ""));
        TRecMirror task;
        task.Remote = "/pub";
        EXPECT_TRUE(LoadMirrorProfile(task, path()));
        EXPECT_EQ(task.Params, params) << (value ? value : "no key");
        EXPECT_EQ(task.Local + task.Remote, "/srv/pub");
        EXPECT_EQ(task.Direction, 1);
        EXPECT_EQ(task.FileExists, 0);
    }
}

// A file that is not there, or cannot be read, loads nothing but still counts as loaded; a file
// that cannot be written is named in the error.
TEST_F(MirrorProfileTest, FilesThatCannotBeReadOrWritten)
{
    std::filesystem::create_directories(home() + "folder.cpf");
    for (const std::string& missing : {home() + "none.cpf", home() + "folder.cpf"}) {
        TRecMirror task;
        task.Local = "/srv";
        EXPECT_FALSE(LoadMirrorProfile(task, missing)) << missing;
        EXPECT_TRUE(task.Loaded);
        EXPECT_EQ(task.Local, "/srv");
        EXPECT_EQ(task.Params, 26);
    }
    const std::string blocked = home() + "no such dir/task.cpf";
    try {
        SaveMirrorProfile(TRecMirror{}, blocked);
        ADD_FAILURE() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + blocked);
    }
}

} // namespace
} // namespace brisk
