#include "listing/selection_commands.h"

#include <stdexcept>

namespace brisk {

namespace {

constexpr size_t kMaskLength = 255;

void selectByPrompt(FilePanel& panel, UserPrompts& ui, const MainMessages& messages, MainMessage panelWord,
                    std::string& selectionMask, bool on)
{
    const std::optional<std::string> mask = AskPanelMask(ui, messages, panelWord, selectionMask);
    if (!mask)
        return;
    selectionMask = *mask;
    panel.selectMatching(selectionMask, on);
}

} // namespace

std::optional<std::string> AskPanelMask(UserPrompts& ui, const MainMessages& messages, MainMessage panelWord,
                                        const std::string& mask)
{
    PromptRequest request;
    request.title = messages[panelWord] + " " + messages[msgFilter];
    request.label = messages[msgMask];
    request.text = mask;
    request.maxLength = kMaskLength;
    std::string answer = mask;
    if (!ui.InputPrompt(request, answer))
        return std::nullopt;
    // The masks are at most 255 characters whatever the dialog hands back.
    if (answer.size() > kMaskLength)
        answer.resize(kMaskLength);
    return answer;
}

void RunSelectionCommand(int tag, FilePanel& panel, UserPrompts& ui, const MainMessages& messages,
                         MainMessage panelWord, std::string& selectionMask)
{
    switch (tag < 0 ? -int64_t(tag) : tag) {
    case kSelectAll: panel.selectAll(); return;
    case kUnselectMatching: selectByPrompt(panel, ui, messages, panelWord, selectionMask, false); return;
    case kSelectMatching: selectByPrompt(panel, ui, messages, panelWord, selectionMask, true); return;
    case kInvertSelection: panel.invertSelection(); return;
    default: throw std::invalid_argument("selection command tag must be 1 to 4 or -1 to -4");
    }
}

} // namespace brisk
