#pragma once
#include "i18n/delete_question.h"
#include "i18n/main_messages.h"
#include "listing/date_order.h"
#include "listing/file_panel.h"
#include "local/directory_chooser.h"
#include "platform/local_directory_port.h"
#include "platform/user_prompts.h"

#include <optional>
#include <string>
#include <vector>

namespace brisk {

struct LocalDeleteList;
struct LocalDeleteOutcome;

// The left-hand panel: the current local directory (also the process's current directory, so bare
// file names resolve against it), its rows, the directory chooser and every local file command.
// Failures to create, rename or delete are silent; the panel shows the file system as it is
// after the refresh that follows each command.
class LocalPanel : public LocalDirectory {
public:
    // Enters `startDir`; when that fails, the process's current directory.
    LocalPanel(UserPrompts& ui, const MainMessages& messages, const std::string& startDir);

    const std::string& currentDir() const override { return currentDir_; }
    FilePanel& panel() { return panel_; }
    const FilePanel& panel() const { return panel_; }
    DirectoryChooser& chooser() { return chooser_; }
    const DirectoryChooser& chooser() const { return chooser_; }
    const std::string& filterMask() const { return filterMask_; }
    std::string& selectionMask() { return selectionMask_; }

    // The "DateType" option; the rows are rebuilt with the new date form.
    void setDateOrder(DateOrder order);
    // Makes `dir` the current directory and refreshes; false (nothing changes) when it cannot be entered.
    bool changeDirectory(const std::string& dir) override;
    void refresh() override { RefreshLocalPanel(); }

    void RefreshLocalPanel();
    // Double-click: a directory row is entered, a file row does nothing.
    void openRow(size_t index);
    // Enters chooser item `index` (0 is the root).
    void openChooserItem(int index);
    void upOneLevel();
    void makeDirectory();
    void renameSelected();
    void deleteSelected();
    // UPPER CASE (0), lower case (1), As sentence (2) for every selected row.
    void changeCase(int mode);
    void viewAsText();
    void runApplication();
    void filter();

    std::string selectionStatusText() const;
    // Copy Path: the selected rows' full paths. Properties: the first selected row's figures.
    std::vector<std::string> selectedPaths() const;
    void showProperties();

    // View as Text File, Run Application, the Rename menu entries and the main menu's Delete.
    bool selectedRowIsFile() const;
    // The Rename button: files and directories alike.
    bool hasSelectedRow() const { return panel_.selectedIndex() >= 0; }
    // The Delete button and the panel menu's Delete: a row, or a chooser item below the root.
    bool canDeleteFromButton() const { return hasSelectedRow() || chooser_.selected() > 0; }

private:
    std::string rowPath(size_t index) const;
    bool renameAfterOverwriteCheck(const std::string& oldName, const std::string& typedName);
    std::vector<DeleteItem> collectForDelete(LocalDeleteList& list);
    void tellFailures(const LocalDeleteOutcome& outcome);
    std::optional<std::string> askName(MainMessage title, MainMessage label, const std::string& start);

    UserPrompts& ui_;
    const MainMessages& messages_;
    std::string currentDir_;
    FilePanel panel_;
    DirectoryChooser chooser_;
    std::string filterMask_ = "*.*";
    std::string selectionMask_ = "*.*";
    DateOrder order_ = DateOrder::DayFirst;
};

} // namespace brisk
