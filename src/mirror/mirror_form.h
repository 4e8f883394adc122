#pragma once
#include "i18n/main_messages.h"
#include "mirror/mirror_task.h"
#include "session/user_interface.h"

#include <array>
#include <string>
#include <vector>

namespace brisk {

// The mirror dialog's message list, read by position.
enum MirrorMessage : int { mmExclusion = 0, mmEnterNewItem, mmEditItem };

// The logic of the mirror dialog ("Compare folders") over the program's mirror task: the two
// paths, the direction, the policy for existing files, the five options and the exclusion list,
// and the dialog's Open, Save As and exclusion commands. The controls' state lives here; the
// dialog shows it and writes each change back.
class MirrorForm {
public:
    static constexpr const char* kCaption = "Compare folders";
    static constexpr const char* kOpenTitle = "Opening compare parameters";
    static constexpr const char* kSaveTitle = "Saving compare parameters";
    static constexpr const char* kFilter =
        "Compare parameters file (*.cpf)|*.cpf|Text files (*.txt)|*.txt|All files (*.*)|*.*";
    static constexpr const char* kChooserTitle = "Local folder";
    static constexpr size_t kItemLength = 255;
    static constexpr std::array<const char*, 3> kDirections = {
        "Mirror Local     (Make the remote side just like the local)",
        "Mirror Remote (Make the local side just like the remote)",
        "Mirror Both      (duplicate the contents on both sides    )",
    };
    static constexpr std::array<const char*, 4> kFileExists = {"Overwrite", "Overwrite only newest", "Skip", "Ask"};
    // The check boxes, bit 0 (value 1) first.
    static constexpr std::array<const char*, kMirrorParamCount> kParams = {
        "Include subfolders", "Ignore symbolic link", "Delete destination file if it does not exist in source folder",
        "Always prompt before deleting", "Transfer all files in binary",
    };
    static constexpr const char* kTempUpload = "Upload under a temporary name, rename when complete";

    // The main window's messages caption the failures shown ("Attention").
    MirrorForm(TRecMirror& task, UserInterface& ui, const MainMessages& mainMessages);

    // What the controls hold.
    std::string local;
    std::string remote;
    int direction = 0;
    int fileExists = 0;
    std::array<bool, kMirrorParamCount> params{};
    bool tempUpload = true;
    const std::vector<std::string>& exclusions() const { return exclusions_; }
    int selected() const { return selected_; }
    // Remove and Edit: exactly while an item is selected.
    bool canEditItem() const { return selected_ >= 0; }
    MessageList msl;

    // The task into the controls; a local root that is not a directory shows ProgramDir.
    void show();
    // The controls into the task.
    void read();

    // A click in the list: the item at `index`, or none for an index outside it.
    void select(int index);
    void addItem();
    void editItem();
    void removeItem();
    // "..." beside the local path: a chosen directory replaces it.
    void chooseLocal();
    // "Open": a profile read into the task is shown; true then.
    bool open();
    // "Save As": the controls go into the task and to the chosen file.
    void saveAs();
    // The controls into the task, then the task to `path`; false (after telling the user) when the
    // file cannot be written.
    bool saveTo(const std::string& path);

private:
    std::string startName(const std::string& mine, const std::string& other) const;
    FileDialogRequest fileRequest(const char* title, const std::string& mine, const std::string& other) const;
    bool askItem(int label, std::string& text);

    TRecMirror& task_;
    UserInterface& ui_;
    const MainMessages& mainMessages_;
    std::vector<std::string> exclusions_;
    int selected_ = -1;
    std::string openName_;   // the names last confirmed in the Open and the Save As choosers
    std::string saveName_;
};

} // namespace brisk
