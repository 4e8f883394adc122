#include "local/local_delete.h"
#include "local/local_entries.h"
#include "local/local_panel.h"
#include "local/local_paths.h"

namespace brisk {

void LocalPanel::deleteSelected()
{
    LocalDeleteList list;
    collectForDelete(list);
    if (list.files.empty() && list.directories.empty())
        return;
    ExpandLocalDeleteList(list);
    if (ui_.AskYesNo(messages_[msgAttention], LocalDeleteQuestion(list, messages_)))
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
void LocalPanel::collectForDelete(LocalDeleteList& list)
{
    const std::vector<size_t> selected = panel_.selectedIndices();
    for (size_t index : selected) {
        const std::string path = rowPath(index);
        if (IsRealDirectory(path))
            list.directories.push_back(path);
        else
            list.files.push_back(path);
    }
    if (!selected.empty() || chooser_.selected() <= 0)
        return;
    const std::string dir = chooser_.path(chooser_.selected());
    if (IsRealDirectory(dir))
        list.directories.push_back(dir);
    else
        list.files.push_back(dir);
    changeDirectory(chooser_.path(chooser_.selected() - 1));
}

} // namespace brisk
