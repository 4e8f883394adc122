#include "mirror/mirror_deletion.h"

#include "local/local_delete.h"
#include "local/local_entries.h"

namespace brisk {

bool ConfirmMirrorDelete(const TRecMirror& task, const std::string& path, bool isDirectory, UserInterface& ui,
                         const MainMessages& messages)
{
    if (!(task.Params & mpPromptBeforeDelete))
        return true;
    const std::string text =
        messages[msgWishToRemove] + " " + path + " " + messages[isDirectory ? msgFolders : msgFiles];
    return ui.AskYesNo(messages[msgAttention], text);
}

void DeleteLocalTree(const std::string& root)
{
    LocalDeleteList list;
    (IsRealDirectory(root) ? list.directories : list.files).push_back(root);
    ExpandLocalDeleteList(list);
    DeleteLocalEntries(list);
}

} // namespace brisk
