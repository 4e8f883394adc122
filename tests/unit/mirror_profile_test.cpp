// Mirror profiles: the exclusion list, the profile file, the CLI flags over it, and the dialog that
// shows, edits, opens and saves it.
#include "app/cli/mirror_options.h"
#include "mirror/mirror_form.h"
#include "scripted_user_interface.h"
#include "mirror/exclusion_list.h"
#include "mirror/mirror_profile.h"
#include "platform/ini_file.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brisk {
namespace {

using Strings = std::vector<std::string>;

// "Local|Remote|Exclusions|Direction|FileExists|Params", and "|loaded" once a profile was read.
std::string taskText(const TRecMirror& task)
{
    return task.Local + '|' + task.Remote + '|' + task.Exclusions + '|' + std::to_string(task.Direction) + '|' +
           std::to_string(int(task.FileExists)) + '|' + std::to_string(task.Params) + (task.Loaded ? "|loaded" : "");
}

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

// A new file gets the seven keys in order; in an existing one other keys and sections stay.
TEST_F(MirrorProfileTest, SavedTaskLoadsBackAndOtherKeysStay)
{
    SaveMirrorProfile(TRecMirror{}, home() + "new.cpf");
    EXPECT_EQ(readFile(home() + "new.cpf"), "[Mirror]\nLocal=\nRemote=\nExclusions=\nDirection=0\nFile Exists=0\nParams=26\nTemp Upload=1\n");
    writeFile(path(), "[Notes]\ntext=keep me\n\n[Mirror]\nComment=mine\nRemote=/old\n");
    SaveMirrorProfile({"/home/me/site", "/var/www", " *.bak | |cache/|", 2, MirrorFileExists::Ask, 5, false, false},
                      path());
    EXPECT_EQ(readFile(path()), "[Notes]\ntext=keep me\n\n[Mirror]\nComment=mine\nRemote=/var/www\n"
                                "Local=/home/me/site\nExclusions=*.bak|cache/\nDirection=2\nFile Exists=3\nParams=5\n"
                                "Temp Upload=0\n");

    TRecMirror loaded;
    EXPECT_TRUE(LoadMirrorProfile(loaded, path()));
    EXPECT_EQ(taskText(loaded), "/home/me/site|/var/www|*.bak|cache/|2|3|5|loaded");
    EXPECT_FALSE(loaded.TempUpload);
}

// Missing keys keep what the task holds (on top of the start values "Params" stays 26); "Params"
// keeps its five low bits; a "File Exists" that is no choice keeps the task's.
TEST_F(MirrorProfileTest, MissingKeysKeepTheTaskAndParamsKeepFiveBits)
{
    const std::pair<const char*, int> cases[] = {
        {nullptr, 26}, {"0", 0}, {"31", 31}, {"32", 0}, {"58", 26}, {"-1", 31}, {"many", 26}, {"", 26},
    };
    for (const auto& [value, params] : cases) {
        writeFile(path(), std::string("[Mirror]\nLocal=/srv\nDirection=1\nFile Exists=9\n") +
                              (value ? std::string("Params=") + value + "\n" : ""));
        TRecMirror task{"", "/pub", ""};
        EXPECT_TRUE(LoadMirrorProfile(task, path()));
        EXPECT_EQ(taskText(task), "/srv|/pub||1|0|" + std::to_string(params) + "|loaded") << (value ? value : "no key");
    }
}

// A file that is not there, or cannot be read, loads nothing but still counts as loaded; a file
// that cannot be written is named in the error.
TEST_F(MirrorProfileTest, FilesThatCannotBeReadOrWritten)
{
    std::filesystem::create_directories(home() + "folder.cpf");
    for (const std::string& missing : {home() + "none.cpf", home() + "folder.cpf"}) {
        TRecMirror task{"/srv", "", ""};
        EXPECT_FALSE(LoadMirrorProfile(task, missing)) << missing;
        EXPECT_EQ(taskText(task), "/srv|||0|0|26|loaded");
    }
    const std::string blocked = home() + "no such dir/task.cpf";
    try {
        SaveMirrorProfile(TRecMirror{}, blocked);
        ADD_FAILURE() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + blocked);
    }
}

using Words = std::vector<std::string>;
using cli::ApplyMirrorArgs;
using cli::MirrorArgs;
using cli::ParseMirrorArgs;


TEST(MirrorOptions, UsageErrors)
{
    const struct {
        Words args;
        std::string error;
    } cases[] = {
        {{"--direction", "up", "l", "r"}, "--direction must be local, remote or both: up"},
        {{"--if-exists", "ask", "l", "r"}, "--if-exists must be overwrite, newer or skip: ask"},
        {{"--recursive", "l", "r"}, "unknown option for mirror: --recursive"},
        {{"l", "r", "--exclude"}, "missing value for --exclude"},
        {{"l"}, "mirror needs a local and a remote directory"},
        {{}, "mirror needs a local and a remote directory"},
        {{"l", "r", "x"}, "mirror needs a local and a remote directory"},
    };
    for (const auto& c : cases) {
        MirrorArgs parsed;
        EXPECT_EQ(ParseMirrorArgs(c.args, parsed), c.error) << testing::PrintToString(c.args);
    }
}

TEST(MirrorOptions, DirectionsAndPoliciesMapOntoTheTask)
{
    const struct {
        Words flags;
        std::string task;   // direction|policy
    } cases[] = {
        {{"--direction", "remote", "--if-exists", "overwrite"}, "0|0"},
        {{"--direction", "local", "--if-exists", "newer"}, "1|1"},
        {{"--direction", "both", "--if-exists", "skip"}, "2|2"},
    };
    for (const auto& c : cases) {
        Words args = c.flags;
        args.insert(args.end(), {"here", "/there"});
        MirrorArgs parsed;
        ASSERT_EQ(ParseMirrorArgs(args, parsed), "");
        TRecMirror task;
        ApplyMirrorArgs(parsed, task);
        EXPECT_EQ(taskText(task), "here|/there||" + c.task + "|26");
    }
}

// A profile's settings stay where no flag is given; flags add to its options and exclusions.
TEST(MirrorOptions, FlagsOverrideOnlyWhatTheyName)
{
    TRecMirror task{"", "", "*.bak", 1, MirrorFileExists::Skip, mpAllBinary};
    MirrorArgs parsed;
    ASSERT_EQ(ParseMirrorArgs({"--profile", "p.cpf", "--delete", "--subdirs", "--exclude", "*.tmp", "--exclude",
                               "", "--dry-run", "l", "r"},
                              parsed),
              "");
    EXPECT_EQ(parsed.profile, "p.cpf");
    EXPECT_TRUE(parsed.dryRun);
    ApplyMirrorArgs(parsed, task);
    EXPECT_EQ(taskText(task), "l|r|*.bak|*.tmp|1|2|" + std::to_string(mpAllBinary | mpDeleteMissing | mpIncludeSubfolders));

    TRecMirror fresh;
    MirrorArgs none;
    ASSERT_EQ(ParseMirrorArgs({"l", "r"}, none), "");
    ApplyMirrorArgs(none, fresh);
    EXPECT_EQ(taskText(fresh), "l|r||0|0|26");
}

class MirrorFormTest : public TempHomeTest {
protected:
    MirrorForm& shown()
    {
        form.show();
        return form;
    }
    std::string savedExclusions()
    {
        form.read();
        return task.Exclusions;
    }

    TRecMirror task;
    test::ScriptedUserInterface ui;
    MainMessages mainMessages;
    MirrorForm form{task, ui, mainMessages};
};

// Unknown choices show and read back as the first one; a local root that is not a directory
// shows ProgramDir, which Execute then keeps.
TEST_F(MirrorFormTest, ShowsTheTaskAndReadsItBack)
{
    writeFile(home() + "file", "x");
    const struct {
        std::string local;
        int direction, fileExists, params;
        std::string shownLocal;
        int shownDirection, shownFileExists;
        std::array<bool, 5> boxes;
    } cases[] = {
        {home(), 2, 1, 5, home(), 2, 1, {true, false, true, false, false}},
        {home() + "gone", 3, 4, 26, home(), 0, 0, {false, true, false, true, true}},
        {home() + "file", 255, 255, 0, home(), 0, 0, {}},
        {"", 1, 3, 31, home(), 1, 3, {true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        task = {c.local, "/pub", "", uint8_t(c.direction), MirrorFileExists(c.fileExists), uint8_t(c.params), true};
        shown();
        EXPECT_EQ(form.local, c.shownLocal) << c.local;
        EXPECT_EQ(form.direction, c.shownDirection) << c.local;
        EXPECT_EQ(form.fileExists, c.shownFileExists) << c.local;
        EXPECT_EQ(form.params, c.boxes) << c.local;
        form.read();
        EXPECT_EQ(taskText(task), c.shownLocal + "|/pub||" + std::to_string(c.shownDirection) + '|' +
                                      std::to_string(c.shownFileExists) + '|' + std::to_string(c.params) + "|loaded");
    }
    for (const bool temp : {false, true}) {
        task.TempUpload = temp;
        shown();
        EXPECT_EQ(form.tempUpload, temp);
        form.tempUpload = !temp;
        form.read();
        EXPECT_EQ(task.TempUpload, !temp);
    }
}

// Items are listed as typed and saved trimmed; a blank or cancelled answer changes nothing, a long
// one is cut to 255 characters, never inside a UTF-8 character.
TEST_F(MirrorFormTest, AddAndEditAskForItemsAsTyped)
{
    task.Exclusions = "*.bak";
    shown();
    std::string longItem;
    for (int i = 0; i < 300; ++i)
        longItem += "\xC3\xA9";
    const std::vector<std::optional<std::string>> answers = {"  *.tmp  ", "   ", std::nullopt, longItem};
    for (const std::optional<std::string>& answer : answers) {
        answer ? ui.answerPrompt(*answer) : ui.cancelPrompt();
        form.addItem();
    }
    EXPECT_EQ(form.exclusions(), (Strings{"*.bak", "  *.tmp  ", longItem.substr(0, 2 * 255)}));
    EXPECT_EQ(savedExclusions(), "*.bak|*.tmp|" + longItem.substr(0, 2 * 255));
    EXPECT_EQ(ui.prompt(0), "Exclusion / Enter new item: /  / 255");

    form.select(1);
    ui.answerPrompt(" logs/ ");
    ui.answerPrompt("");
    form.editItem();
    form.editItem();
    EXPECT_EQ(form.exclusions()[1], " logs/ ");
    EXPECT_EQ(ui.prompt(4), "Exclusion / Edit item: /   *.tmp   / 255");
    EXPECT_EQ(ui.prompts[5].text, " logs/ ");
    EXPECT_TRUE(ui.scriptUsedUp());
}

// Exclusions show without empty pieces, the first one selected, and save joined by one bar; edit
// and remove act only while an item is selected.
TEST_F(MirrorFormTest, ExclusionsShowAndGoOnlyWhileOneIsSelected)
{
    task.Exclusions = " | ";
    EXPECT_TRUE(shown().exclusions().empty());
    EXPECT_EQ(form.selected(), -1);
    EXPECT_FALSE(form.canEditItem());
    form.editItem();   // nothing to edit: no prompt
    task.Exclusions = "a|   |b|c|";
    EXPECT_EQ(shown().exclusions(), (Strings{"a", "b", "c"}));
    EXPECT_EQ(form.selected(), 0);
    const std::pair<int, bool> clicks[] = {{2, true}, {3, false}, {-1, false}, {1, true}};
    for (const auto& [index, selected] : clicks) {
        form.select(index);
        EXPECT_EQ(form.canEditItem(), selected) << index;
    }
    form.removeItem();
    EXPECT_FALSE(form.canEditItem());
    form.removeItem();
    EXPECT_EQ(savedExclusions(), "a|c");
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(MirrorFormTest, LocalChooserStartsAtTheTypedPath)
{
    shown().local = "/typed/path";
    ui.answerChooser(std::nullopt);
    form.chooseLocal();
    EXPECT_EQ(form.local, "/typed/path");
    ui.answerChooser("/chosen");
    form.chooseLocal();
    EXPECT_EQ(form.local, "/chosen");
    EXPECT_EQ(ui.choosers[0].kind + " " + ui.choosers[0].request.fileName, "directory /typed/path");
}

// Each file chooser starts at its own last confirmed name, else the other's, else Default.cpf.
TEST_F(MirrorFormTest, OpenAndSaveAsStartAtTheLastNames)
{
    shown();
    const std::string a = home() + "a.cpf", b = home() + "b.cpf";
    for (const std::optional<std::string>& answer : std::vector<std::optional<std::string>>{{}, a, b, {}, {}})
        ui.answerChooser(answer);
    form.open();
    form.saveAs();
    form.open();
    form.open();
    form.saveAs();
    Strings starts;
    for (const auto& chooser : ui.choosers) {
        starts.push_back(chooser.kind + " " + chooser.request.title + " " + chooser.request.fileName);
        EXPECT_EQ(chooser.request.filter,
                  "Compare parameters file (*.cpf)|*.cpf|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    }
    const std::string open = "open Opening compare parameters ", save = "save Saving compare parameters ";
    EXPECT_EQ(starts, (Strings{open + home() + "Default.cpf", save + home() + "Default.cpf", open + a, open + b,
                               save + a}));
}

// Save As takes the dialog into the task; Open loads on top of the task and shows it again, and a
// failed save is shown with the task keeping the dialog.
TEST_F(MirrorFormTest, SaveAsAndOpenGoThroughTheTask)
{
    const std::string file = home() + "site.cpf", blocked = home() + "missing/site.cpf";
    shown().remote = "/edited";
    ui.answerChooser(file);
    form.saveAs();
    EXPECT_EQ(task.Remote, "/edited");
    EXPECT_NE(readFile(file).find("Remote=/edited\n"), std::string::npos);

    writeFile(file, "[Mirror]\nRemote=/loaded\nExclusions=x|y\n");
    form.remote = "/typed";
    ui.answerChooser(file);
    EXPECT_TRUE(form.open());
    EXPECT_EQ(form.remote + " " + task.Remote, "/loaded /loaded");
    EXPECT_EQ(form.exclusions(), (Strings{"x", "y"}));
    form.remote = "/typed";
    ui.answerChooser(home() + "gone.cpf");
    EXPECT_FALSE(form.open());
    EXPECT_EQ(form.remote, "/typed");

    ui.answerChooser(blocked);
    form.saveAs();
    EXPECT_EQ(task.Remote, "/typed");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption + ": " + ui.messages[0].text, "Attention: Unable to write to " + blocked);
}

} // namespace
} // namespace brisk
