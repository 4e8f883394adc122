#include "session/session_controller.h"

namespace brisk {

// Uploads are not offered yet; should the flag be left set, the panel is simply refreshed.
void SessionController::continueUploadChain()
{
    OperationFlags_.remove(ofUploadTree | ofUploadParentCwd);
    ListCurrentDir();
}

} // namespace brisk
