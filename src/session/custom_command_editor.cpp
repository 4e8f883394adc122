#include "session/custom_command_editor.h"

#include "platform/ascii.h"

#include <algorithm>

namespace brisk {

namespace {

std::string oneLine(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\0')
            out += c;
    return out;
}

} // namespace

CustomCommandEditor::CustomCommandEditor(CustomCommands library) : library_(std::move(library))
{
    const size_t size = std::max(library_.labels.size(), library_.commands.size());
    library_.labels.resize(size);
    library_.commands.resize(size);
}

void CustomCommandEditor::select(int index)
{
    selected_ = index >= 0 && size_t(index) < library_.labels.size() ? index : -1;
}

const std::string& CustomCommandEditor::label() const
{
    static const std::string none;
    return editable() ? library_.labels[size_t(selected_)] : none;
}

const std::string& CustomCommandEditor::command() const
{
    static const std::string none;
    return editable() ? library_.commands[size_t(selected_)] : none;
}

void CustomCommandEditor::setLabel(const std::string& text)
{
    if (editable())
        library_.labels[size_t(selected_)] = oneLine(text);
}

void CustomCommandEditor::setCommand(const std::string& text)
{
    if (editable())
        library_.commands[size_t(selected_)] = oneLine(text);
}

void CustomCommandEditor::add()
{
    library_.labels.insert(library_.labels.begin(), std::string());
    library_.commands.insert(library_.commands.begin(), std::string());
    selected_ = 0;
}

void CustomCommandEditor::remove()
{
    if (!editable())
        return;
    library_.labels.erase(library_.labels.begin() + selected_);
    library_.commands.erase(library_.commands.begin() + selected_);
    selected_ = -1;
}

std::optional<std::string> CustomCommandEditor::chosenCommand() const
{
    const std::string text = trimmed(command());
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace brisk
