#include "listing/text_util.h"
#include "local/local_entries.h"
#include "local/local_panel.h"
#include "local/local_paths.h"

#include <unistd.h>

#include <cstdio>

namespace brisk {

void LocalPanel::renameSelected()
{
    const int index = panel_.selectedIndex();
    if (index < 0)
        return;
    const std::string oldName = panel_.rows()[static_cast<size_t>(index)].caption;
    const std::optional<std::string> typed = askName(msgRename, msgEnterNewName, oldName);
    if (!typed)
        return;
    // Only the last component counts: the entry stays in the current directory.
    const std::string newName = FileNamePart(*typed);
    if (newName.empty() || newName == "." || newName == "..")
        return;
    // Letter case alone is change case's job.
    if (lowerAscii(newName) == lowerAscii(oldName))
        return;
    if (renameAfterOverwriteCheck(oldName, newName))
        RefreshLocalPanel();
}

bool LocalPanel::renameAfterOverwriteCheck(const std::string& oldName, const std::string& newName)
{
    const std::string target = JoinLocalPath(currentDir_, newName);
    if (IsRealDirectory(target))
        return false;
    if (LocalEntryExists(target)) {
        const std::string question = messages_[msgFileExists] + " :" + newName + "\n" + messages_[msgRewrite] + "?";
        if (!ui_.AskYesNo(messages_[msgAttention], question))
            return false;
        if (::unlink(target.c_str()) != 0)
            return false;
    }
    return std::rename(JoinLocalPath(currentDir_, oldName).c_str(), target.c_str()) == 0;
}

void LocalPanel::changeCase(int mode)
{
    // An unknown mode throws here, before anything is renamed.
    ChangeNameCase({}, mode);
    std::vector<std::string> captions;
    for (size_t index : panel_.selectedIndices())
        captions.push_back(panel_.rows()[index].caption);
    for (const std::string& oldName : captions) {
        const std::string newName = ChangeNameCase(oldName, mode);
        const std::string from = JoinLocalPath(currentDir_, oldName);
        const std::string to = JoinLocalPath(currentDir_, newName);
        // Names differing only in case are distinct entries here: never replace another one.
        if (newName == oldName || (LocalEntryExists(to) && !SameLocalEntry(from, to)))
            continue;
        if (std::rename(from.c_str(), to.c_str()) != 0)
            continue;
        for (size_t i = 0; i < panel_.size(); ++i)
            if (panel_.rows()[i].caption == oldName) {
                panel_.setCaption(i, newName);
                break;
            }
    }
}

} // namespace brisk
