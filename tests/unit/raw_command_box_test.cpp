// The raw-command bar's and the custom command dialog's logic, and the library file they share.
#include "scripted_user_interface.h"
#include "session/custom_command_editor.h"
#include "session/main_program.h"
#include "session/raw_command_box.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

using Strings = std::vector<std::string>;

// One step of the box: the edit text set (or an item picked), then Do It or a dialog's Select.
struct BoxStep {
    enum Kind { Type, Pick, DoIt, Put } kind;
    std::string text;   // typed or put; for Pick the index
    std::optional<std::string> sent;
    Strings items;
    int selected;
};

TEST(RawCommandBox, HistoryGrowsOnlyByCommandsThatAreNotThePickedOne)
{
    const BoxStep steps[] = {
        {BoxStep::DoIt, "", std::nullopt, {}, -1},                     // nothing typed: nothing happens
        {BoxStep::Type, "FEAT", std::nullopt, {}, -1},
        {BoxStep::DoIt, "", "FEAT", {"FEAT"}, 0},
        {BoxStep::DoIt, "", "FEAT", {"FEAT"}, 0},                     // sent twice, one entry
        {BoxStep::Type, "SYST", std::nullopt, {"FEAT"}, 0},
        {BoxStep::DoIt, "", "SYST", {"FEAT", "SYST"}, 1},             // a new one appended and picked
        {BoxStep::Pick, "0", std::nullopt, {"FEAT", "SYST"}, 0},
        {BoxStep::DoIt, "", "FEAT", {"FEAT", "SYST"}, 0},
        {BoxStep::Type, "SYST", std::nullopt, {"FEAT", "SYST"}, 0},
        {BoxStep::DoIt, "", "SYST", {"FEAT", "SYST", "SYST"}, 2},     // equal to an item not picked
        {BoxStep::Put, "HELP", std::nullopt, {"FEAT", "SYST", "SYST", "HELP"}, 3},
        {BoxStep::Put, "HELP", std::nullopt, {"FEAT", "SYST", "SYST", "HELP"}, 3},
        {BoxStep::DoIt, "", "HELP", {"FEAT", "SYST", "SYST", "HELP"}, 3},
        {BoxStep::Pick, "9", std::nullopt, {"FEAT", "SYST", "SYST", "HELP"}, 3},   // no such item
    };
    RawCommandBox box;
    for (size_t n = 0; n < std::size(steps); ++n) {
        const BoxStep& step = steps[n];
        std::optional<std::string> sent;
        switch (step.kind) {
        case BoxStep::Type: box.setText(step.text); break;
        case BoxStep::Pick: box.select(std::stoi(step.text)); break;
        case BoxStep::DoIt: sent = box.take(); break;
        case BoxStep::Put: box.put(step.text); break;
        }
        // Apart from typing, the edit shows the picked item.
        const bool typed = step.kind == BoxStep::Type || step.selected < 0;
        const std::string shown = typed ? box.text() : step.items[size_t(step.selected)];
        EXPECT_EQ(std::tuple(sent, box.items(), box.selected(), box.text()),
                  std::tuple(step.sent, step.items, step.selected, shown)) << "step " << n;
    }
}

TEST(CustomCommandEditor, EditsFollowThePickedEntryAndNeedOne)
{
    CustomCommandEditor editor({{"Features", "Help"}, {"FEAT", "HELP"}});
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_FALSE(editor.editable());
    editor.setLabel("lost");
    editor.setCommand("lost");
    editor.remove();
    EXPECT_EQ(editor.library().labels, (Strings{"Features", "Help"})) << "nothing picked: nothing changes";
    EXPECT_EQ(editor.library().commands, (Strings{"FEAT", "HELP"}));

    editor.select(1);
    EXPECT_TRUE(editor.editable());
    EXPECT_EQ(editor.label() + "|" + editor.command(), "Help|HELP");
    editor.setCommand("SITE HELP\r\nDELE x");
    EXPECT_EQ(editor.command(), "SITE HELPDELE x") << "an entry stays one line of commands.txt";

    editor.add();
    EXPECT_EQ(std::to_string(editor.selected()) + "|" + editor.label(), "0|");
    editor.setLabel("Status");
    editor.setCommand("  STAT  ");
    EXPECT_EQ(editor.library().labels, (Strings{"Status", "Features", "Help"}));
    EXPECT_EQ(editor.chosenCommand(), "STAT") << "trimmed";

    editor.select(1);
    editor.remove();
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_EQ(editor.library().labels, (Strings{"Status", "Help"}));
    EXPECT_EQ(editor.library().commands, (Strings{"  STAT  ", "SITE HELPDELE x"}));
    EXPECT_EQ(editor.chosenCommand(), std::nullopt) << "nothing picked";
    editor.select(5);
    EXPECT_EQ(editor.selected(), -1);
}

TEST(CustomCommandEditor, ListsOfUnequalLengthAreEvenedOut)
{
    CustomCommandEditor editor({{"a", "b", "c"}, {"NOOP"}});
    EXPECT_EQ(editor.library().commands, (Strings{"NOOP", "", ""}));
    editor.select(2);
    EXPECT_EQ(editor.command(), "");
    EXPECT_EQ(editor.chosenCommand(), std::nullopt) << "a blank command is not chosen";
    EXPECT_EQ(CustomCommandEditor({{}, {"PWD"}}).library().labels, (Strings{""}));
}

class CustomCommandsFile : public TempHomeTest {};

TEST_F(CustomCommandsFile, CommasQuotesBlanksAndEmptyEntriesSurviveSaveAndLoad)
{
    const CustomCommands saved{{"List, long", "Say \"hi\"", "", " padded "},
                               {"LIST -a,-l", "SITE \"EXEC\" x", "", "SITE  IDLE 60"}};
    ASSERT_TRUE(SaveCommands(saved));
    CustomCommands loaded;
    LoadCommands(loaded);
    EXPECT_EQ(std::tie(loaded.labels, loaded.commands), std::tie(saved.labels, saved.commands));
}

// The dialog works on a copy; the library takes its lists however it ends, and only Select fills
// the box, with the picked entry's trimmed command (the window test shows that it is not sent).
TEST_F(CustomCommandsFile, TheDialogsEditsAreKeptAndSelectFillsTheBox)
{
    test::ScriptedUserInterface ui;
    MainProgram program(ui);
    program.settings.commands = {{"Features"}, {"FEAT"}};
    ui.commandEditor = [](CustomCommandEditor& editor) {
        editor.add();
        editor.setLabel("Help");
        editor.setCommand(" HELP ");
        return false;   // Close
    };
    program.PickCustomCommand();
    EXPECT_EQ(std::tie(program.settings.commands.labels, program.settings.commands.commands),
              std::tuple(Strings{"Help", "Features"}, Strings{" HELP ", "FEAT"}));
    EXPECT_TRUE(program.rawCommand.items().empty()) << "Close fills nothing in";

    ui.commandEditor = [](CustomCommandEditor& editor) {
        EXPECT_EQ(editor.labels(), (Strings{"Help", "Features"})) << "the dialog opens on the library";
        editor.select(0);
        return true;   // Select
    };
    program.PickCustomCommand();
    EXPECT_EQ(std::pair(program.rawCommand.items(), program.rawCommand.text()),
              std::pair(Strings{"HELP"}, std::string("HELP")));

    ui.commandEditor = [](CustomCommandEditor&) { return true; };   // Select with nothing picked
    program.PickCustomCommand();
    EXPECT_EQ(program.rawCommand.items(), (Strings{"HELP"}));
    EXPECT_EQ(ui.commandDialogs, 3);
}

} // namespace
} // namespace brisk
