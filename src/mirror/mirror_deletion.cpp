#include "mirror/mirror_deletion.h"

#include "i18n/delete_question.h"
#include "local/local_entries.h"
#include "mirror/mirror_side.h"

namespace brisk {

bool ConfirmMirrorDelete(const TRecMirror& task, const std::string& path, bool isDirectory, UserInterface& ui,
                         const MainMessages& messages)
{
    if (!(task.Params & mpPromptBeforeDelete))
        return true;
    return ui.AskYesNo(messages[msgAttention], DeleteQuestion({{path, isDirectory}}, messages));
}

LocalDeleteOutcome DeleteLocalTree(const std::string& root, const TRecMirror& task)
{
    LocalDeleteList list;
    (IsRealDirectory(root) ? list.directories : list.files).push_back(root);
    const MirrorEntryFilter filter(task);
    ExpandLocalDeleteList(list, [&filter](const std::string& name) { return !filter.keeps(name); });
    return DeleteLocalEntries(list);
}

} // namespace brisk
