#include "session/session_controller.h"

namespace brisk {

// Nothing under way: a reply to the command must not be taken for a step of a chain.
bool SessionController::canSendRawCommand() const
{
    return !SiteListMode_ && Ftp1.Connected() && !requestPending() && !commandRunning();
}

// The completion (rawCommandDone) changes to the current directory again, which refreshes the panel.
void SessionController::SendRawCommand(const std::string& command)
{
    if (command.empty() || !canSendRawCommand())
        return;
    connection_.quote(command, afterCommand());
    changed();
}

} // namespace brisk
