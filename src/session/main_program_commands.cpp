#include "session/custom_command_editor.h"
#include "session/main_program.h"

namespace brisk {

void MainProgram::SendRawCommand()
{
    if (!session.canSendRawCommand())
        return;
    if (const std::optional<std::string> command = rawCommand.take())
        session.SendRawCommand(*command);
}

void MainProgram::PickCustomCommand()
{
    CustomCommandEditor editor(settings.commands);
    const bool select = ui_.EditCustomCommands(editor);
    settings.commands = editor.library();
    if (const std::optional<std::string> command = editor.chosenCommand(); select && command)
        rawCommand.put(*command);
}

} // namespace brisk
