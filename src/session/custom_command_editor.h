#pragma once
#include "session/custom_commands.h"

#include <optional>
#include <string>

namespace brisk {

// The custom command dialog's logic, on a copy of the library: the labels to pick from, the label
// and command text of the picked entry (editable only while one is picked), Add and Remove, and
// the command that Select hands to the raw-command box.
class CustomCommandEditor {
public:
    // A library whose lists differ in length (a hand-edited file) is evened out with empty entries.
    explicit CustomCommandEditor(CustomCommands library);

    const CustomCommands& library() const { return library_; }
    const std::vector<std::string>& labels() const { return library_.labels; }

    // The picked entry, -1 for none.
    int selected() const { return selected_; }
    // Any index outside the list picks none.
    void select(int index);
    bool editable() const { return selected_ >= 0; }

    // The picked entry's texts; empty without one.
    const std::string& label() const;
    const std::string& command() const;
    // Edits of the picked entry; nothing changes without one. Each entry stays one line of its
    // list: CR, LF and NUL are dropped.
    void setLabel(const std::string& text);
    void setCommand(const std::string& text);

    // Add: an empty entry at the top, picked.
    void add();
    // Remove: the picked entry goes from both lists; none is picked after it.
    void remove();

    // Select: the picked entry's command text without surrounding blanks; none when nothing is
    // picked or the text is blank.
    std::optional<std::string> chosenCommand() const;

private:
    CustomCommands library_;
    int selected_ = -1;
};

} // namespace brisk
