#pragma once
#include "i18n/main_messages.h"
#include "listing/file_panel.h"
#include "platform/user_prompts.h"

#include <optional>
#include <string>

namespace brisk {

// The selection commands of either panel, by the magnitude of the menu tag (its sign only names
// the panel).
enum SelectionCommand : int {
    kSelectAll = 1,
    kUnselectMatching = 2,
    kSelectMatching = 3,
    kInvertSelection = 4,
};

// The "<panel word> Filter" prompt labelled "Mask" (at most 255 characters), starting with `mask`;
// `panelWord` is msgLocal or msgFtp. The edited text when confirmed, nothing when cancelled.
std::optional<std::string> AskPanelMask(UserPrompts& ui, const MainMessages& messages, MainMessage panelWord,
                                        const std::string& mask);

// Runs the command |tag| on `panel`. Unselect and Mask ask for a mask first and, when confirmed,
// keep it in `selectionMask` for the next time. Throws std::invalid_argument for an unknown tag.
void RunSelectionCommand(int tag, FilePanel& panel, UserPrompts& ui, const MainMessages& messages,
                         MainMessage panelWord, std::string& selectionMask);

} // namespace brisk
