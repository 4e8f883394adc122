#include "session/session_controller.h"

#include "session/attribute_form.h"
#include "session/file_mode.h"

namespace brisk {

namespace {

bool isUpRow(const PanelRowView& row)
{
    return row.image == kImageUp || row.caption == "..";
}

// The selected rows without "..", each with the mode its attribute column shows.
std::vector<AttributeEntry> selectedEntries(const FilePanel& panel)
{
    std::vector<AttributeEntry> entries;
    for (size_t index : panel.selectedIndices())
        if (const PanelRowView row = panel.rows().view(index); !isUpRow(row))
            entries.push_back({std::string(row.caption), ModeFromAttributes(row.attributes)});
    return entries;
}

bool entrySelected(const FilePanel& panel)
{
    for (size_t index : panel.selectedIndices())
        if (!isUpRow(panel.rows().view(index)))
            return true;
    return false;
}

} // namespace

bool SessionController::canChangeAttributes() const
{
    return enabled(Action::FileAttributes) && !SiteListMode_ && Ftp1.Connected() && Ftp1.State() == fsReady &&
           entrySelected(remote.panel);
}

void SessionController::ChangeAttributes()
{
    if (!canChangeAttributes())
        return;
    AttributeForm form(selectedEntries(remote.panel));
    if (!ui_.EditAttributes(form) || form.changes().empty())
        return;
    // The dialog may have let other events run: the engine must still be free.
    if (!Ftp1.Connected() || Ftp1.State() != fsReady)
        return;
    chmod_.start(form.changes());
    changed();
}

} // namespace brisk
