#include "session/session_controller.h"

namespace brisk {

// The mirror runner is fed through posted messages, so each completion returns before it acts.
void SessionController::postMirrorMessage(int param, int value)
{
    post([this, param, value] {
        if (onMirrorMessage)
            onMirrorMessage(param, value);
    });
}

} // namespace brisk
