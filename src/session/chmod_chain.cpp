#include "session/session_controller.h"

namespace brisk {

// One SITE CHMOD per queued entry; the mode travels in TargetQueue beside the name.
void SessionController::chmodNext()
{
    if (abortMark_) {
        FileQueue.clear();
        TargetQueue.clear();
        abortMark_ = false;
    }
    if (FileQueue.empty()) {
        OperationFlags_.remove(ofChmodTree);
        Ftp1.LocalFileName = options_.ListingTempFile;
        Ftp1.DirAsync();
        return;
    }
    const std::string command = "SITE CHMOD " + TargetQueue.front() + " " + FileQueue.front();
    FileQueue.pop_front();
    TargetQueue.pop_front();
    Ftp1.LocalFileName = command;
    Ftp1.QuoteAsync();
}

} // namespace brisk
