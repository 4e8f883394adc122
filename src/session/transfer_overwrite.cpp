#include "session/transfer_chain.h"

#include "platform/ascii.h"
#include "session/download_target.h"
#include "session/entry_names.h"
#include "session/remote_paths.h"

#include <sys/stat.h>

namespace brisk {

namespace {

bool localEntryExists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

} // namespace

// Asks about (or decides, without prompting) every queued target that exists, from the first
// one on, until a file is to be transferred or the queue is empty.
void TransferChain::CheckOverwrite()
{
    resumeThis = false;
    const bool download = direction_ == Direction::Download;
    const bool prompting = download ? ctx_.options.PromptDownLoad : ctx_.options.PromptUpLoad;
    while (!files_.empty()) {
        if (files_.front().checked) {
            resumeThis = files_.front().resume;
            return;
        }
        if (download && localTargetIsLink(files_.front()))
            continue;
        if (overwriteAll || !targetExists(files_.front()))
            return;
        if (!prompting) {
            if (ctx_.options.DefPrompt != 0) {
                resumeThis = ctx_.options.DefPrompt == 2;
                return;
            }
            if (download && !localEntryExists(files_.front().target))
                return;   // only a part file is there: nothing of the user's to keep
            ++tally_.skipped;
            files_.pop_front();
            continue;
        }
        std::string path = files_.front().target;
        if (answerOverwrite(ctx_.ui.AskOverwrite(path), path))
            return;
    }
}

// Acts on the prompt's answer; true when the first file is to be transferred (or nothing is left).
bool TransferChain::answerOverwrite(OverwriteChoice choice, const std::string& newPath)
{
    switch (choice) {
    case OverwriteChoice::Resume:
        resumeThis = true;
        return true;
    case OverwriteChoice::Overwrite:
        return true;
    case OverwriteChoice::All:
        overwriteAll = true;
        return true;
    case OverwriteChoice::Skip:
        ++tally_.skipped;
        files_.pop_front();
        return false;
    case OverwriteChoice::SaveAs:
        files_.front().target = newPath;
        return false;
    case OverwriteChoice::Cancel:
        break;
    }
    tally_.skipped += int(files_.size());
    dropWork();
    return true;
}

// A download's target also counts as there when a failed download left its part file, which a
// resume continues.
bool TransferChain::targetExists(const TransferFile& file) const
{
    if (direction_ == Direction::Upload)
        return RemoteFileExists(file.target);
    return localEntryExists(file.target) || localEntryExists(PartFileOf(file.target));
}

// A download never writes through a symbolic link: it could lead anywhere outside the directory
// the user chose. Such a target is skipped.
bool TransferChain::localTargetIsLink(const TransferFile& file)
{
    struct stat info {};
    if (lstat(file.target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return false;
    ctx_.log(SkippedText(ctx_.msl, file.target, xmsgTargetIsLink));
    ++tally_.skipped;
    files_.pop_front();
    return true;
}

// By the last component, without regard to case, in the listing of the directory being uploaded into.
bool TransferChain::RemoteFileExists(const std::string& path) const
{
    if (remoteDirMade_)
        return false;
    const std::string name = toLowerAscii(LastComponent(path));
    const RemoteListing& listing = *ctx_.remote.listingCopy;
    for (size_t i = 0; i < listing.size(); ++i)
        if (toLowerAscii(std::string(listing.name(i))) == name)
            return true;
    return false;
}

} // namespace brisk
