#include "session/session_controller.h"

namespace brisk {

// Tree transfers are not offered yet; should a flag be left set, the panel is simply refreshed.
void SessionController::continueDownloadChain()
{
    OperationFlags_.remove(ofDownloadTree);
    ListCurrentDir();
}

void SessionController::continueUploadChain()
{
    OperationFlags_.remove(ofUploadTree | ofUploadParentCwd);
    ListCurrentDir();
}

void SessionController::postMirrorMessage(int param, int value)
{
    post([this, param, value] {
        if (onMirrorMessage)
            onMirrorMessage(param, value);
    });
}

} // namespace brisk
