#pragma once
#include "session/chmod_item.h"
#include "session/file_mode.h"

#include <array>
#include <string>
#include <vector>

namespace brisk {

// One entry of the attribute dialog: a name of the remote panel and the mode its attribute column
// shows.
struct AttributeEntry {
    std::string name;
    int mode = 0;
};

enum class BoxState { Unchecked, Checked, Mixed };

// The attribute dialog's logic: nine boxes (owner, group, public × read, write, execute) and the
// mode as three octal digits in the "Manual" edit. A box whose bit differs between the entries
// opens mixed and leaves every entry's own bit as it is; once clicked it is checked or unchecked
// like the others, and the user cannot make it mixed again.
class AttributeForm {
public:
    static constexpr const char* kCaption = "Change File Attributes";
    static constexpr const char* kManual = "Manual";
    static constexpr const char* kApply = "Apply";
    static constexpr const char* kCancel = "Cancel";
    static constexpr int kApplyTag = 1;
    static constexpr int kCancelTag = 2;
    static constexpr size_t kModeDigits = 3;
    static constexpr const char* kModeCharacters = "01234567";

    explicit AttributeForm(std::vector<AttributeEntry> entries);

    const std::vector<AttributeEntry>& entries() const { return entries_; }
    BoxState box(int bit) const { return boxes_[size_t(bit)]; }
    const std::string& modeText() const { return modeText_; }
    // The boxes as the attribute column writes them ("rwxr-xr-x"), a mixed bit as "?".
    std::string symbolicText() const;

    // A click on a box: mixed and unchecked become checked, checked unchecked. The edit then shows
    // the checked boxes.
    void clickBox(int bit);
    // The edit's new text. Text with more than three digits or with characters other than 0-7 is
    // refused (false) and changes nothing; otherwise the boxes follow its digits.
    bool editModeText(const std::string& text);

    // "Apply": every entry's new mode from the boxes; true when at least one entry changes. An
    // edit that holds no number changes nothing.
    bool apply();
    // The entries "Apply" changed, with their new modes.
    const std::vector<ChmodItem>& changes() const { return changes_; }

private:
    int checkedMode() const;
    int modeFor(const AttributeEntry& entry) const;

    std::vector<AttributeEntry> entries_;
    std::array<BoxState, kModeBitCount> boxes_{};
    std::string modeText_;
    std::vector<ChmodItem> changes_;
};

} // namespace brisk
