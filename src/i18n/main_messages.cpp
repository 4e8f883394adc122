#include "i18n/main_messages.h"

namespace brisk {

const std::vector<std::string>& MainMessagesEnglish()
{
    static const std::vector<std::string> texts = {
        "Enter password", "Password", "Connecting to", "Error", "Can not create the directory", "Attention",
        "SERVER LIST", "Renaming file", "Starting transfer of", "Change Directory", "No internet connection..",
        "Create Directory", "Enter new directory name", "Rename", "Enter new name", "File already exists",
        "Rewrite", "Do you wish to remove", "file(s)", "and", "folder(es)", "Can Not Create the Directory",
        "Enter new", "name", "Mask", "Local", "FTP", "Filter", "byte", "in", "Do you want to quit the program?",
        "Converting file", "Ok", "Read file error", "Open file error", "Connection closed",
    };
    return texts;
}

const std::vector<std::string>& MainExtraMessagesEnglish()
{
    static const std::vector<std::string> texts = {
        "Transfer finished:", "transferred", "skipped", "failed", "Connection failed",
        "Reading the directory listing", "Attributes changed:", "Write file error",
    };
    return texts;
}

const std::string& MessageList::operator[](int index) const
{
    static const std::string empty;
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        return empty;
    return items_[static_cast<size_t>(index)];
}

} // namespace brisk
