#include "i18n/window_messages.h"

namespace brisk {

const std::vector<std::string>& ProgressMessagesEnglish()
{
    static const std::vector<std::string> texts = {"Sending", "Receiving", "bytes", "K/sec"};
    return texts;
}

const std::vector<std::string>& OverwriteMessagesEnglish()
{
    static const std::vector<std::string> texts = {"File already exists !", "Save as ...", "New Path"};
    return texts;
}

const std::vector<std::string>& MirrorMessagesEnglish()
{
    static const std::vector<std::string> texts = {"Exclusion", "Enter new item", "Edit item"};
    return texts;
}

const std::vector<std::string>& OptionsMessagesEnglish()
{
    static const std::vector<std::string> texts = {"Add", "Edit", "Enter", "Command", "extention", "Choice Directory"};
    return texts;
}

} // namespace brisk
