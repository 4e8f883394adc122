#include "session/transfer_chain.h"

#include "listing/listing_date.h"
#include "listing/time_of_day.h"
#include "local/local_paths.h"
#include "session/download_target.h"
#include "session/entry_names.h"
#include "session/queue_entry.h"
#include "session/remote_paths.h"

#include <sys/stat.h>

#include <cerrno>

namespace brisk {

// Enters the remote directory; its listing comes back to `scanDownloadListing`.
void TransferChain::enterDownloadDir()
{
    currentDir_ = dirs_.front();
    dirs_.pop_front();
    ctx_.flags.set(ofDownloadTree);
    ctx_.ftp.HostDirName = currentDir_.source;
    ctx_.ftp.HostFileName.clear();
    ctx_.ftp.CwdAsync();
}

// A directory of the tree: made, or already there as a real directory (never a link, which could
// lead outside the directory the user chose).
bool TransferChain::makeLocalDir(const std::string& path)
{
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    struct stat info {};
    if (errno == EEXIST && lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return true;
    ctx_.log(SkippedText(ctx_.msl, path, xmsgNoLocalDirectory));
    return false;
}

// The local directory is made only once the remote one has been listed whole, so a directory that
// could not be read leaves nothing that looks like an empty copy.
void TransferChain::scanDownloadListing()
{
    const ParsedListing parsed = ctx_.listing.take(ctx_.site.Answer);
    if (!makeLocalDir(currentDir_.target)) {
        tally_.fail(currentDir_.source);
        return;
    }
    for (const RemoteEntry& entry : parsed.entries)
        queueRemoteEntry(entry, currentDir_.target);
}

// Names from the server are never trusted as paths: only plain names are written, always inside
// the directory being filled; a line that could not be read is never taken for a name. Links to
// directories are not entered (a loop would never end); a link to a file is fetched as the file.
void TransferChain::queueRemoteEntry(const RemoteEntry& entry, const std::string& localDir)
{
    EntryCheck check = CheckListedEntry(entry, xmsgNotWritableName);
    if (check.verdict == EntryVerdict::Usable && entry.isDirectory && IsSymbolicLink(entry.attributes))
        check = {EntryVerdict::Skipped, xmsgLinkToDirectory};
    if (check.verdict != EntryVerdict::Usable) {
        ctx_.log(SkippedText(ctx_.msl, entry.name, currentDir_.source, check.why));
        if (check.verdict == EntryVerdict::Skipped)
            ++tally_.skipped;
        else
            tally_.fail(WithSlash(currentDir_.source) + entry.name);
        return;
    }
    const std::string localPath = JoinLocalPath(localDir, entry.name);
    if (entry.isDirectory) {
        dirs_.push_back({WithSlash(currentDir_.source) + entry.name, localPath});
        return;
    }
    const DateOrder order = ctx_.options.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst;
    const int64_t time = PanelDateTime(FormatListingDate(entry.date, order, entry.year), entry.time, order);
    files_.push_back({entry.name, localPath, ParseSizeText(entry.size), time, TimeShowsSeconds(entry.time)});
}

void TransferChain::receiveFile()
{
    TFtpClient& ftp = ctx_.ftp;
    const TransferFile file = files_.front();
    files_.pop_front();
    ctx_.ui.Progress().open();
    ftp.HostFileName = file.source;
    receiving_ = file;
    ctx_.log(ctx_.msl[msgStartingTransfer] + " " + LastComponent(file.target));
    if (!SelectTransferType(file.target) && !ftp.Connected()) {
        ++tally_.failed;
        return FinishTransfer();
    }
    ctx_.ui.Progress().startFile(file.source, file.size, false);
    const DownloadStart start = PrepareDownload(ftp, file.target, file.size, resumeThis);
    ftp.AskModifiedTime = !file.exactTime;
    if (start == DownloadStart::WholeNotResumable)
        ctx_.log(FormatMessage(ctx_.msl[xmsgNotResumed], {file.target}));
    fileUnderWay_ = true;
    StartPreparedDownload(ftp, start);
}

// The part file becomes the target, with MDTM's exact time where the server gave it, else the time
// the listing showed.
bool TransferChain::commitDownload()
{
    const int64_t exact = ctx_.ftp.RemoteModified();
    const std::string problem = CommitDownload(ctx_.msl, receiving_.target,
                                               ExpectedDownloadSize(ctx_.ftp.Binary, receiving_.size),
                                               exact > 0 ? exact : receiving_.time);
    if (!problem.empty())
        ctx_.log(ctx_.msl[msgError] + " " + problem);
    return problem.empty();
}

} // namespace brisk
