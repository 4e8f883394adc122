#include "session/main_program.h"

#include "local/directory_compare.h"

namespace brisk {

void MainProgram::CompareDirectories()
{
    if (!session.enabled(Action::CompareDirectories))
        return;
    const TFTPOptions& options = settings.options;
    brisk::CompareDirectories({local.panel(), options.TimeZone}, {session.remote.panel, session.CurrentSite().TimeZone},
                              options.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst);
    ui_.Changed();
}

} // namespace brisk
