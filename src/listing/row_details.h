#pragma once
#include "i18n/main_messages.h"
#include "listing/panel_row.h"

#include <string>

namespace brisk {

// What a Properties box says about one panel row, a line per figure: its name, the directory it is
// in, what it is, its exact size, when it was changed, its attributes and where a link points.
// Figures the row does not have are left out.
std::string RowDetailsText(const MainMessages& msl, const PanelRowView& row, const std::string& location);

} // namespace brisk
