#include "session/main_program.h"

#include "local/directory_compare.h"

namespace brisk {

void MainProgram::CompareDirectories()
{
    // A listing that failed is no remote side: against it every local row would look new.
    if (!session.enabled(Action::CompareDirectories) || !session.listingError().empty())
        return;
    const TFTPOptions& options = settings.options;
    brisk::CompareDirectories({local.panel(), options.TimeZone}, {session.remote.panel, session.CurrentSite().TimeZone},
                              options.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst);
    ui_.Changed();
}

} // namespace brisk
