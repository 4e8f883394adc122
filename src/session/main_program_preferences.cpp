#include "session/main_program.h"

#include "platform/program_dir.h"
#include "session/options_form.h"

namespace brisk {

void MainProgram::ShowPreferences()
{
    // Only between sessions, as the main window offers it: the engine takes connection settings only then.
    if (!session.enabled(Action::Preferences))
        return;
    TFTPOptions& options = settings.options;
    OptionsForm form(options, settings.lang, settings.fonts, ui_, session.msl.msl, ProgramDir());
    form.retranslateMainWindow = retranslateMainWindow;
    form.open();
    const int transferMode = options.TransferMode;
    if (ui_.EditOptions(form) && options.TransferMode != transferMode)
        session.SetTransferTypeMenu(options.TransferMode);
    session.ApplyOptions();
    local.setDateOrder(options.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst);
}

} // namespace brisk
