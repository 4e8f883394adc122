#include "local/local_panel.h"

#include "local/directory_chooser.h"
#include "local/line_ending_command.h"
#include "local/local_delete.h"
#include "local/local_paths.h"
#include "platform/event_loop.h"
#include "file_io.h"
#include "file_tree.h"
#include "scripted_user_interface.h"
#include "temp_dir.h"
#include "unprivileged_access.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace brisk {
namespace {

namespace fs = std::filesystem;

using Strings = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;

// Each test gets a real temp directory as the panel's start; the process's directory, which the
// panel changes, is put back afterwards.
class LocalPanelTest : public ::testing::Test {
protected:
    LocalPanelTest() : saved_(fs::current_path().string()), root_(fs::canonical(temp_.path()).string()) {}
    ~LocalPanelTest() override { EXPECT_EQ(::chdir(saved_.c_str()), 0); }

    std::string path(const std::string& relative) const { return root_ + "/" + relative; }
    void write(const std::string& relative, const std::string& bytes) { test::writeFileBytes(path(relative), bytes); }
    void mkdir(const std::string& relative) { fs::create_directories(path(relative)); }
    bool exists(const std::string& relative) const { return fs::exists(fs::symlink_status(path(relative))); }
    std::string read(const std::string& relative) const { return test::readFileBytes(path(relative)); }
    Tree tree() const { return test::treeOf(root_); }

    LocalPanel& open()
    {
        panel_.emplace(ui, messages, root_);
        return *panel_;
    }
    Strings captions() const
    {
        Strings result;
        for (const PanelRow& row : panel_->panel().rows())
            result.push_back(row.caption);
        return result;
    }
    std::optional<PanelRow> rowNamed(const std::string& caption) const
    {
        for (const PanelRow& row : panel_->panel().rows())
            if (row.caption == caption)
                return row;
        return std::nullopt;
    }
    // Adds the rows named to the selection.
    template <class... Names>
    void select(const Names&... names)
    {
        (selectOne(names), ...);
    }
    void selectOne(const std::string& caption)
    {
        const auto& rows = panel_->panel().rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].caption == caption)
                return panel_->panel().setSelected(i, true);
        ADD_FAILURE() << "no row " << caption;
    }
    // The questions asked since the last call, each as "caption: text".
    Strings asked() { return take(ui.questions); }
    Strings told() { return take(ui.messages); }
    static Strings take(std::vector<test::ScriptedUserInterface::Question>& boxes)
    {
        Strings result;
        for (const auto& box : boxes)
            result.push_back(box.caption + ": " + box.text);
        boxes.clear();
        return result;
    }

    std::string saved_;
    test::TempDir temp_;
    std::string root_;
    test::ScriptedUserInterface ui;
    MainMessages messages;
    std::optional<LocalPanel> panel_;
};

TEST_F(LocalPanelTest, RefreshShowsHiddenEntriesWithSizesDatesImagesAndANewStatus)
{
    write("data.bin", std::string(1536, 'x'));
    write(".hidden", "abc");
    mkdir("sub");
    std::tm parts{};
    ASSERT_NE(::strptime("2026-03-04 05:06", "%Y-%m-%d %H:%M", &parts), nullptr);
    parts.tm_isdst = -1;
    const std::time_t when = std::mktime(&parts);
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path("data.bin").c_str(), times, 0), 0);

    LocalPanel& local = open();
    EXPECT_EQ(captions(), (Strings{"sub", ".hidden", "data.bin"}));
    const PanelRow data = rowNamed("data.bin").value();
    EXPECT_EQ(data.image, kImageFile);
    EXPECT_EQ(data.size + " " + data.date + " " + data.time, "1536 04.03.2026 05:06");
    EXPECT_EQ(rowNamed("sub")->image, kImageDirectory);
    EXPECT_EQ(rowNamed("sub")->size + "|" + rowNamed(".hidden")->size, "|3");

    local.setDateOrder(DateOrder::MonthFirst);
    EXPECT_EQ(rowNamed("data.bin")->date, "03.04.2026");

    select("sub", "data.bin");
    EXPECT_EQ(local.selectionStatusText(), "1536 byte (1.50 Kb) in 1 file(s)");
    local.RefreshLocalPanel();   // counters start again with the new rows
    EXPECT_EQ(local.selectionStatusText(), "");
}

// The panel's directory is the process's; Open enters directories only, Up stops at the root, a
// missing start falls back to the current directory, and the chooser is a path bar.
TEST_F(LocalPanelTest, NavigatesAndKeepsTheProcessDirectory)
{
    mkdir("sub/y");
    write("file.txt", "x");
    LocalPanel& local = open();
    EXPECT_EQ(fs::current_path().string(), root_);
    for (const int row : {1, 7})
        local.openRow(row);
    EXPECT_EQ(local.currentDir(), root_);
    local.openRow(0);
    local.openRow(0);
    EXPECT_EQ(local.currentDir(), path("sub/y"));
    EXPECT_EQ(fs::current_path().string(), path("sub/y"));
    EXPECT_TRUE(captions().empty());

    const Strings& items = local.chooser().items();
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(Strings(items.end() - 2, items.end()), (Strings{"sub", "y"}));
    EXPECT_EQ(items[0], "/");
    EXPECT_EQ(local.chooser().selected(), int(items.size()) - 1);
    EXPECT_EQ(local.chooser().path(0), "/");
    local.openChooserItem(int(items.size()) - 2);
    EXPECT_EQ(local.currentDir(), path("sub"));
    EXPECT_THROW(local.chooser().select(100), std::out_of_range);
    EXPECT_THROW(local.openChooserItem(-1), std::out_of_range);
    local.upOneLevel();
    EXPECT_EQ(local.currentDir(), root_);
    EXPECT_TRUE(rowNamed("sub").has_value());

    LocalPanel missing(ui, messages, path("missing"));
    EXPECT_EQ(missing.currentDir(), root_);
    LocalPanel atRoot(ui, messages, "/");
    atRoot.upOneLevel();
    EXPECT_EQ(atRoot.currentDir(), "/");
    EXPECT_EQ(fs::current_path().string(), "/");
}

TEST_F(LocalPanelTest, FilterKeepsDirectoriesAndHidesOtherFiles)
{
    for (const char* name : {"a.txt", "a.tar.txt", "notes", "B.TXT"})
        write(name, "x");
    mkdir("dir.bin");
    LocalPanel& local = open();
    ui.answerPrompt("*.txt");
    ui.cancelPrompt();
    local.filter();
    EXPECT_EQ(ui.prompt(0), "Local Filter / Mask / *.* / 255");
    EXPECT_EQ(captions(), (Strings{"dir.bin", "a.txt", "B.TXT"}));
    local.filter();
    EXPECT_EQ(ui.prompts[1].text, "*.txt");
    EXPECT_EQ(local.filterMask(), "*.txt");
    EXPECT_EQ(captions().size(), 3u);
}

TEST_F(LocalPanelTest, MakeDirectoryCreatesAndEntersItOrSaysWhyNot)
{
    mkdir("taken");
    LocalPanel& local = open();
    ui.answerPrompt("taken");
    ui.answerPrompt("new dir");
    ui.cancelPrompt();
    local.makeDirectory();
    EXPECT_EQ(told(), Strings{"Attention: Can Not Create the Directory :" + path("taken")});
    EXPECT_EQ(local.currentDir(), root_);

    local.makeDirectory();
    EXPECT_EQ(ui.prompt(1), "Create Directory / Enter new directory name: /  / 255");
    EXPECT_TRUE(fs::is_directory(path("new dir")));
    EXPECT_EQ(local.currentDir(), path("new dir"));
    EXPECT_TRUE(captions().empty());

    local.makeDirectory();
    EXPECT_EQ(local.currentDir(), path("new dir"));
    EXPECT_TRUE(told().empty());
}

TEST(LocalPaths, JoiningAndParents)
{
    EXPECT_EQ(JoinLocalPath("/", "x"), "/x");
    EXPECT_EQ(JoinLocalPath("/home/u", "x"), "/home/u/x");
    EXPECT_EQ(ParentLocalDir("/home/u"), "/home");
    EXPECT_EQ(ParentLocalDir("/home"), "/");
    EXPECT_EQ(ParentLocalDir("/"), "/");
    EXPECT_EQ(NormalizeLocalDir("/a//b/./c/../"), "/a/b");
    EXPECT_EQ(NormalizeLocalDir("//"), "/");
    EXPECT_EQ(FileNamePart("sub/b.txt"), "b.txt");
    EXPECT_EQ(FileNamePart("sub/"), "");
}

// Only Yes replaces; a typed path keeps the entry in the current directory, and the question names
// the real target there ("sub/b.txt" asks about b.txt, which No leaves alone, as it does sub/b.txt).
TEST_F(LocalPanelTest, RenameOverAnExistingFileAsksFirst)
{
    const Tree kept{{"a.txt", "A"}, {"b.txt", "B"}, {"sub", "<dir>"}, {"sub/b.txt", "S"}};
    const Tree replaced{{"b.txt", "A"}, {"sub", "<dir>"}, {"sub/b.txt", "S"}};
    const std::tuple<const char*, bool, Tree> cases[] = {{"sub/b.txt", false, kept}, {"b.txt", false, kept},
                                                         {"b.txt", true, replaced}};
    write("sub/b.txt", "S");
    for (const auto& [typed, yes, after] : cases) {
        write("a.txt", "A");
        write("b.txt", "B");
        LocalPanel& local = open();
        select("a.txt");
        ui.answerPrompt(typed);
        yes ? ui.answerYes() : ui.answerNo();
        local.renameSelected();
        EXPECT_EQ(asked(), Strings{"Attention: File already exists :b.txt\nRewrite?"});
        EXPECT_EQ(tree(), after);
        EXPECT_EQ(captions().size(), after.size() - 1);
        fs::remove(path("a.txt"));
    }
}

// A directory or a path elsewhere, to itself included, is no new name; a free one is taken at once.
TEST_F(LocalPanelTest, RenameMovesTheSelectedEntryWithinItsDirectory)
{
    write("a.txt", "A");
    mkdir("folder");
    write("target/inside", "I");
    LocalPanel& local = open();
    for (const char* typed : {"target", "sub/a.txt", "..", "x/", "b.txt"}) {
        select("a.txt");
        ui.answerPrompt(typed);
        local.renameSelected();
    }
    EXPECT_EQ(ui.prompt(0), "Rename / Enter new name: / a.txt / 255");
    EXPECT_EQ(captions(), (Strings{"folder", "target", "b.txt"}));
    select("folder");
    ui.answerPrompt("renamed");
    local.renameSelected();
    EXPECT_EQ(tree(), (Tree{{"b.txt", "A"}, {"renamed", "<dir>"}, {"target", "<dir>"}, {"target/inside", "I"}}));
    EXPECT_TRUE(asked().empty());
}

// Rename ignores a change of case only; Change Case does it, but never replaces another entry.
TEST_F(LocalPanelTest, ChangeCaseRenamesButNeverReplacesAnotherEntry)
{
    write("b.txt", "B");
    LocalPanel& local = open();
    select("b.txt");
    ui.answerPrompt("B.TXT");
    local.renameSelected();
    EXPECT_TRUE(exists("b.txt") && !exists("B.TXT"));
    local.changeCase(0);
    EXPECT_EQ(read("B.TXT"), "B");
    EXPECT_FALSE(exists("b.txt"));
    EXPECT_TRUE(local.panel().isSelected(0));
    fs::remove(path("B.TXT"));

    write("a.txt", "lower");
    write("A.TXT", "upper");
    write("Mixed.Doc", "m");
    local.RefreshLocalPanel();
    local.panel().selectAll();
    local.changeCase(0);
    EXPECT_EQ(tree(), (Tree{{"A.TXT", "upper"}, {"MIXED.DOC", "m"}, {"a.txt", "lower"}}));
    EXPECT_EQ(captions().size(), 3u);
    EXPECT_TRUE(rowNamed("MIXED.DOC") && rowNamed("a.txt"));

    local.panel().unselectAll();
    select("MIXED.DOC");
    local.changeCase(2);
    EXPECT_EQ(read("Mixed.doc"), "m");
    EXPECT_TRUE(rowNamed("Mixed.doc"));
    EXPECT_THROW(local.changeCase(3), std::invalid_argument);
}

// The question names what will go, as the remote one does; only Yes removes it, and the panel
// shows what is left.
TEST_F(LocalPanelTest, DeleteNamesWhatGoesAndOnlyYesRemoves)
{
    const Tree files{{"a.txt", "A"}, {"b.txt", "B"}, {"d/one", "1"}, {"d/sub/two", "2"}};
    const Tree dir{{"d", "<dir>"}, {"d/one", "1"}, {"d/sub", "<dir>"}, {"d/sub/two", "2"}};
    const struct {
        Strings selected;  // empty: all
        bool yes;
        const char* question;
        Strings left;
        Tree afterYes;
    } cases[] = {
        {{"a.txt", "b.txt"}, true, "Do you wish to remove \"a.txt\" and \"b.txt\"?", {"d"}, dir},
        {{"d"}, true, "Do you wish to remove \"d/\"?", {"a.txt", "b.txt"}, {{"a.txt", "A"}, {"b.txt", "B"}}},
        {{}, false, "Do you wish to remove \"d/\", \"a.txt\" and \"b.txt\"?", {"d", "a.txt", "b.txt"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        for (const auto& [name, bytes] : files)
            write(name, bytes);
        const Tree before = tree();
        LocalPanel& local = open();
        if (c.selected.empty())
            local.panel().selectAll();
        for (const std::string& name : c.selected)
            select(name);
        c.yes ? ui.answerYes() : ui.answerNo();
        local.deleteSelected();
        EXPECT_EQ(asked(), Strings{std::string("Attention: ") + c.question});
        EXPECT_EQ(captions(), c.left);
        EXPECT_EQ(tree(), c.yes ? c.afterYes : before);
        fs::remove_all(path("d"));
    }
}

TEST_F(LocalPanelTest, DeleteNeverFollowsLinksToDirectories)
{
    test::TempDir outside;
    test::writeFileBytes(outside.path() / "precious", "P");
    write("d/file", "1");
    fs::create_directory_symlink(outside.path(), path("d/link"));
    fs::create_directory_symlink(outside.path(), path("toplink"));
    LocalPanel& local = open();
    EXPECT_EQ(rowNamed("toplink")->image, kImageDirectory);
    select("d", "toplink");
    ui.answerYes();
    local.deleteSelected();
    EXPECT_EQ(asked(), Strings{"Attention: Do you wish to remove \"d/\" and \"toplink\"?"});
    EXPECT_FALSE(exists("d"));
    EXPECT_FALSE(exists("toplink"));
    EXPECT_EQ(test::readFileBytes(outside.path() / "precious"), "P");
}

// A deletion that fails is told and counted as failed, and the directories above it stay (their
// removal could only fail); the rest of the selection goes.
TEST_F(LocalPanelTest, DeleteTellsWhatCouldNotBeDeleted)
{
    write("d/one", "1");
    write("d/locked/two", "2");
    write("e/three", "3");
    for (const char* dir : {"", "d", "e"})
        fs::permissions(path(dir), fs::perms::all);
    fs::permissions(path("d/locked"), fs::perms(0555));
    LocalPanel& local = open();
    select("d", "e");
    ui.answerYes();
    {
        const test::UnprivilegedAccess nobody;
        local.deleteSelected();
    }
    fs::permissions(path("d/locked"), fs::perms(0755));
    EXPECT_EQ(told(), Strings{"Attention: Failed: " + path("d/locked/two")});
    EXPECT_EQ(tree(), (Tree{{"d", "<dir>"}, {"d/locked", "<dir>"}, {"d/locked/two", "2"}}));
}

// Deleting a tree with an exclusion list leaves every excluded entry and the directories holding
// it; everything else below the root goes, nothing outside it is touched.
TEST_F(LocalPanelTest, TreeDeleteHonoursExclusions)
{
    write("outside.txt", "O");
    write("r/a.txt", "a");
    write("r/keep.me", "k");
    write("r/s/b.txt", "b");
    write("r/s/t/keep.me", "k2");
    write("r/u/c.txt", "c");
    write("r/v/keep.dir/x", "x");
    LocalDeleteList list;
    list.directories.push_back(path("r"));
    ExpandLocalDeleteList(list, [](const std::string& name) { return name.rfind("keep.", 0) == 0; });
    const LocalDeleteOutcome outcome = DeleteLocalEntries(list);
    EXPECT_EQ(outcome.deleted, 4);
    EXPECT_TRUE(outcome.failed.empty());
    EXPECT_EQ(tree(), (Tree{{"outside.txt", "O"}, {"r", "<dir>"}, {"r/keep.me", "k"}, {"r/s", "<dir>"},
                            {"r/s/t", "<dir>"}, {"r/s/t/keep.me", "k2"}, {"r/v", "<dir>"}, {"r/v/keep.dir", "<dir>"},
                            {"r/v/keep.dir/x", "x"}}));
}

TEST_F(LocalPanelTest, DeleteWithoutRowsRemovesTheChosenDirectoryAndMovesUpButNeverTheRoot)
{
    write("d/inner/file", "1");
    LocalPanel& local = open();
    local.openRow(0);
    ASSERT_EQ(local.currentDir(), path("d"));
    EXPECT_TRUE(local.canDeleteFromButton());
    ui.answerYes();
    local.deleteSelected();
    EXPECT_EQ(asked(), Strings{"Attention: Do you wish to remove \"d/\"?"});
    EXPECT_FALSE(exists("d"));
    EXPECT_EQ(local.currentDir(), root_);
    EXPECT_TRUE(captions().empty());

    LocalPanel atRoot(ui, messages, "/");
    EXPECT_FALSE(atRoot.canDeleteFromButton());
    atRoot.deleteSelected();
    EXPECT_TRUE(asked().empty());
    EXPECT_EQ(atRoot.currentDir(), "/");
}

// Only a file is viewed or run: what a directory row asked for would show in the lists.
TEST_F(LocalPanelTest, ViewAndRunHandTheFullPathToTheDesktop)
{
    write("notes.txt", "n");
    mkdir("sub");
    LocalPanel& local = open();
    EXPECT_FALSE(local.hasSelectedRow() || local.selectedRowIsFile());
    select("sub");
    EXPECT_TRUE(local.hasSelectedRow());
    EXPECT_FALSE(local.selectedRowIsFile());
    local.viewAsText();
    local.runApplication();
    local.panel().unselectAll();
    select("notes.txt");
    EXPECT_TRUE(local.selectedRowIsFile());
    local.viewAsText();
    local.runApplication();
    EXPECT_EQ(ui.viewedFiles, (Strings{path("notes.txt")}));
    ASSERT_EQ(ui.openedFiles.size(), 1u);
    EXPECT_EQ(ui.openedFiles[0].path + " in " + ui.openedFiles[0].workingDir, path("notes.txt") + " in " + root_);
}

// "Carriage Return" on the local panel: which rows it takes, the dialog's answer, and one file per
// turn of the event loop.
class LineEndingCommandTest : public LocalPanelTest {
protected:
    LineEndingCommandTest()
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            write(name, "x\r\ny\r\n");
        mkdir("dir");
        command.emplace(ui, messages, open(),
                        LogLines{[this](const std::string& text) {
                                     lines.push_back(text);
                                     return lines.size() - 1;
                                 },
                                 [this](size_t index, const std::string& text) { lines.at(index) += text; }});
    }
    // Runs one posted turn of the event loop, if there is one.
    static void oneTurn() { EventLoop::instance().pumpOnce(0); }

    Strings lines;
    std::optional<LineEndingCommand> command;
};

TEST_F(LineEndingCommandTest, ConvertsTheSelectedFilesOnePerTurnAndSkipsDirectories)
{
    select("dir", "a.txt", "c.txt");
    ui.answerLineEnding(int(LineEnding::Lf));
    command->ConvertLineEndings();
    EXPECT_EQ(lines, Strings{"Converting file: " + path("a.txt") + " ... Ok!"});
    EXPECT_EQ(command->pending(), 1u);
    oneTurn();
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "Converting file: " + path("c.txt") + " ... Ok!");
    EXPECT_EQ(command->pending(), 0u);
    EXPECT_EQ(read("a.txt"), "x\ny\n");
    EXPECT_EQ(read("b.txt"), "x\r\ny\r\n");
    EXPECT_EQ(read("c.txt"), "x\ny\n");
    EXPECT_EQ(panel_->panel().selectedCount(), 2);   // the panel is left as it was
}

// "Do not change" (and Cancel, which answers the same) converts nothing; a directory alone asks
// nothing; a command gone takes its turns with it.
TEST_F(LineEndingCommandTest, NothingHappensWithoutAChoiceAFileOrTheCommand)
{
    select("a.txt");
    ui.answerLineEnding(int(LineEnding::Unchanged));
    command->ConvertLineEndings();
    oneTurn();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(read("a.txt"), "x\r\ny\r\n");

    panel_->panel().unselectAll();
    select("dir");
    EXPECT_FALSE(HasSelectedFile(*panel_));
    command->ConvertLineEndings();
    EXPECT_EQ(ui.lineEndingDialogs, 1);

    select("a.txt", "b.txt", "c.txt");
    ui.answerLineEnding(int(LineEnding::Lf));
    command->ConvertLineEndings();
    command.reset();
    for (int turn = 0; turn < 3; ++turn)
        oneTurn();
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(read("c.txt"), "x\r\ny\r\n");
}

} // namespace
} // namespace brisk
