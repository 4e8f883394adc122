#include "local/local_delete.h"
#include "local/local_entries.h"
#include "local/local_panel.h"
#include "local/local_paths.h"

namespace brisk {

void LocalPanel::deleteSelected()
{
    LocalDeleteList list;
    const std::vector<DeleteItem> items = collectForDelete(list);
    if (items.empty())
        return;
    ExpandLocalDeleteList(list);
    if (ui_.AskYesNo(messages_[msgAttention], DeleteQuestion(items, messages_)))
        tellFailures(DeleteLocalEntries(list));
    RefreshLocalPanel();
}

// What could not be deleted is named; the rest of the selection went.
void LocalPanel::tellFailures(const LocalDeleteOutcome& outcome)
{
    if (outcome.failed.empty())
        return;
    std::string text;
    for (const std::string& path : outcome.failed)
        text += (text.empty() ? "" : "\n") + FormatMessage(messages_[xmsgFailedName], {path});
    ui_.ShowError(messages_[msgAttention], text);
}

// Selected rows, or else the chooser's directory when it is not the root; then the panel moves
// to that directory's parent. A link to a directory is collected as a file: only the link goes.
// The items are what the question names.
std::vector<DeleteItem> LocalPanel::collectForDelete(LocalDeleteList& list)
{
    std::vector<DeleteItem> items;
    const auto collect = [&](const std::string& path) {
        const bool directory = IsRealDirectory(path);
        (directory ? list.directories : list.files).push_back(path);
        items.push_back({FileNamePart(path), directory});
    };
    const std::vector<size_t> selected = panel_.selectedIndices();
    for (size_t index : selected)
        collect(rowPath(index));
    if (!selected.empty() || chooser_.selected() <= 0)
        return items;
    collect(chooser_.path(chooser_.selected()));
    changeDirectory(chooser_.path(chooser_.selected() - 1));
    return items;
}

} // namespace brisk
