#include "session/raw_command_box.h"

namespace brisk {

void RawCommandBox::select(int index)
{
    if (index < 0 || size_t(index) >= items_.size())
        return;
    selected_ = index;
    text_ = items_[size_t(index)];
}

std::optional<std::string> RawCommandBox::take()
{
    if (text_.empty())
        return std::nullopt;
    addUnlessPicked(text_);
    return items_[size_t(selected_)];
}

void RawCommandBox::put(const std::string& command)
{
    if (command.empty())
        return;
    addUnlessPicked(command);
    text_ = command;
}

void RawCommandBox::addUnlessPicked(const std::string& command)
{
    if (selected_ >= 0 && items_[size_t(selected_)] == command)
        return;
    items_.push_back(command);
    selected_ = int(items_.size()) - 1;
}

} // namespace brisk
