#include "session/overwrite_prompt.h"

namespace brisk {

OverwritePrompt::OverwritePrompt(std::vector<std::string> messages, std::string path)
    : messages_(std::move(messages)), path_(std::move(path))
{
    messages_.items().resize(3);
}

const std::vector<std::string>& OverwritePrompt::ButtonTexts()
{
    static const std::vector<std::string> texts = {"Resume", "Overwrite", "All", "Skip", "Save as", "Cancel"};
    return texts;
}

PromptRequest OverwritePrompt::saveAsRequest() const
{
    PromptRequest request;
    request.title = messages_[1];
    request.label = messages_[2];
    request.text = path_;
    request.maxLength = 4096;
    return request;
}

bool OverwritePrompt::press(OverwriteChoice button, const std::optional<std::string>& newPath)
{
    if (button == OverwriteChoice::SaveAs) {
        if (!newPath || newPath->empty())
            return false;
        path_ = *newPath;
    }
    choice_ = button;
    return true;
}

} // namespace brisk
