#include "session/session_controller.h"

namespace brisk {

// Downloads are not offered yet; should the flag be left set, the panel is simply refreshed.
void SessionController::continueDownloadChain()
{
    OperationFlags_.remove(ofDownloadTree);
    ListCurrentDir();
}

} // namespace brisk
