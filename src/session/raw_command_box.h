#pragma once
#include <optional>
#include <string>
#include <vector>

namespace brisk {

// The raw-command box above the remote panel: the commands of this run to pick from, the one
// picked, the text in the edit, and whether the bar shows at all (hidden at start-up).
class RawCommandBox {
public:
    const std::vector<std::string>& items() const { return items_; }
    // The picked item, -1 for none.
    int selected() const { return selected_; }
    const std::string& text() const { return text_; }
    bool visible() const { return visible_; }

    // What the user typed.
    void setText(std::string text) { text_ = std::move(text); }
    // An item picked from the list; its text fills the edit.
    void select(int index);
    // The "Custom Command" menu entries.
    void toggle() { visible_ = !visible_; }

    // "Do It": a text that is not the picked item becomes a new item, picked; then the picked
    // item is the command to send (none for an empty text).
    std::optional<std::string> take();
    // A command chosen in the custom command dialog: put into the box and picked, not sent.
    void put(const std::string& command);

private:
    void addUnlessPicked(const std::string& command);

    std::vector<std::string> items_;
    int selected_ = -1;
    std::string text_;
    bool visible_ = false;
};

} // namespace brisk
