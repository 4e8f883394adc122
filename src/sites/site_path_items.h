#pragma once
#include <string>
#include <vector>

namespace brisk {

// The path box above the site-list panel: item 0 is the root, then one item per folder level.
// Items below the selected one are kept while they still match, so the box offers the way back.
class SitePathItems {
public:
    explicit SitePathItems(std::string rootText) : items_{std::move(rootText)} {}

    const std::vector<std::string>& items() const { return items_; }
    // The first item, which leads back to the root (its text comes from the language chosen).
    void setRootText(std::string text) { items_[0] = std::move(text); }
    int selected() const { return selected_; }

    // Makes the box show folder (components lowercased) and selects its last level.
    void sync(const std::string& folder);

    // The folder of the items 1..index, each followed by "/"; empty for the root.
    std::string folderAt(int index) const;
    std::string CurrentSiteFolder() const { return folderAt(selected_); }

private:
    std::vector<std::string> items_;
    int selected_ = 0;
};

} // namespace brisk
