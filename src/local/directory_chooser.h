#pragma once
#include <string>
#include <vector>

namespace brisk {

// The local panel's directory chooser, modelled as a path bar: item 0 is the root "/", then one
// item per component of the current directory, so the last item is the current directory itself.
// One item is selected: the current directory whenever it changes, or any item the user picks.
// Picking an item does not change the directory (entering one does, through the panel); the
// selection says which directory Delete removes when no row is selected.
class DirectoryChooser {
public:
    // Rebuilds the items for the absolute, normalized `dir` and selects its last item.
    void setDirectory(const std::string& dir);

    const std::vector<std::string>& items() const { return items_; }
    int selected() const { return selected_; }
    // Throws std::out_of_range for an index outside the items.
    void select(int index);
    // The directory of item `index`: "/" for item 0, "/a/b" for item 2 of "/a/b/c".
    std::string path(int index) const;

private:
    std::vector<std::string> items_ {"/"};
    int selected_ = 0;
};

} // namespace brisk
