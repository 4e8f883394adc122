#include "session/delete_chain.h"

#include "platform/ascii.h"
#include "session/remote_paths.h"

namespace brisk {

namespace {

int64_t sizeOf(const std::string& text)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoll(text);
}

} // namespace

void DeleteChain::start(std::vector<WorkItem> files, std::vector<WorkItem> dirs)
{
    dropWork();
    tally_ = {};
    files_.assign(files.begin(), files.end());
    toScan_.assign(dirs.begin(), dirs.end());
    stopping_ = false;
    running_ = !files_.empty() || !toScan_.empty();
    if (!files_.empty()) {
        ctx_.ftp.HostFileName = files_.front().path;
        files_.pop_front();
        ctx_.ftp.DeleAsync();
    } else if (!toScan_.empty()) {
        enterNextDir();
    }
}

void DeleteChain::listingDone()
{
    scanListing();
    next();
}

// The listing of the directory just entered: its files are deleted next, its directories visited
// later. An entry that cannot be deleted keeps the directory.
void DeleteChain::scanListing()
{
    const ParsedListing parsed = ctx_.listing.take(ctx_.site.Answer);
    const std::string dir = WithSlash(ctx_.ftp.HostDirName);
    for (const RemoteEntry& entry : parsed.entries)
        queueEntry(entry, dir);
}

void DeleteChain::queueEntry(const RemoteEntry& entry, const std::string& dir)
{
    const EntryCheck check = CheckListedEntry(entry, xmsgNotDeletable);
    if (check.verdict != EntryVerdict::Usable) {
        ctx_.log(SkippedText(ctx_.msl, entry.name, dir, check.why));
        if (check.verdict == EntryVerdict::Refused) {
            fail(dir + entry.name);
            keepWithParents(dir);
        }
        return;
    }
    // A symbolic link is removed as a file: entering it would delete what it points to.
    if (entry.isDirectory && !IsSymbolicLink(entry.attributes))
        toScan_.push_back({dir + entry.name});
    else
        files_.push_back({entry.name, sizeOf(entry.size)});
}

void DeleteChain::fileDone()
{
    if (!running_)
        return;
    ++tally_.deleted;
    next();
}

// The file step: files of the current directory first, then the next directory to list.
void DeleteChain::next()
{
    if (!running_)
        return;
    if (ctx_.ftp.Binary) {
        ctx_.ftp.Binary = false;
        ctx_.ftp.TypeSet();
    }
    if (!files_.empty()) {
        ctx_.ftp.HostFileName = files_.front().path;
        files_.pop_front();
        ctx_.ftp.DeleAsync();
        return;
    }
    ctx_.flags.assign(ofDeleteScan, !toScan_.empty());
    if (!toScan_.empty())
        return enterNextDir();
    if (!entered_.empty())
        return removeDone();
    end();
}

void DeleteChain::enterNextDir()
{
    ctx_.flags.set(ofDeleteScan);
    priorDir_ = ctx_.ftp.HostDirName;
    ctx_.ftp.HostDirName = toScan_.front().path;
    entered_.push_back(toScan_.front());
    toScan_.pop_front();
    ctx_.ftp.LocalFileName = ctx_.listing.path();
    ctx_.ftp.CwdAsync();
}

void DeleteChain::dirRemoved()
{
    if (!running_)
        return;
    ++tally_.deleted;
    removeDone();
}

// The removal step: directories come off the entered list last-in first-out.
void DeleteChain::removeDone()
{
    if (!running_)
        return;
    ctx_.ftp.TypeAscii();
    ctx_.flags.assign(ofDeleteRemove, !entered_.empty());
    if (entered_.empty())
        return end();
    const std::string last = entered_.back().path;
    if (last == ctx_.ftp.HostDirName && ctx_.responseType() == ResponseType::Windows2000) {
        // These servers remove a directory only by its name, from its parent.
        entered_.back().path = LastComponent(last);
        return stepOutOf(last);
    }
    if (ctx_.ftp.HostDirName != last) {
        ctx_.ftp.HostFileName = last;
        entered_.pop_back();
        ctx_.ftp.RmdAsync();
        return;
    }
    const std::string trimmedLast = trimmed(last);
    ctx_.ftp.HostDirName = trimmedLast.find('/') == std::string::npos ? ctx_.baseRemoteDir : UpDir(trimmedLast);
    ctx_.ftp.CDupAsync();
}

// Into the parent of `dir` by its path; a path relative to the login directory has none, so CDUP.
void DeleteChain::stepOutOf(const std::string& dir)
{
    ctx_.ftp.LocalFileName = ctx_.listing.path();
    if (dir.find('/') == std::string::npos) {
        ctx_.ftp.HostDirName = ctx_.baseRemoteDir;
        ctx_.ftp.CDupAsync();
        return;
    }
    ctx_.ftp.HostDirName = UpDir(dir);
    ctx_.ftp.CwdAsync();
}

// A directory that could not be entered or listed is kept whole and the chain goes on with the
// next one. A refused DELE or RMD, or a failed step out of a directory, ends the chain.
void DeleteChain::failed(TFtpRequest kind)
{
    stopping_ = false;
    const bool scanning = ctx_.flags.has(ofDeleteScan) && !ctx_.flags.has(ofDeleteRemove) && !entered_.empty();
    if (scanning && kind == ftpCwdAsync) {
        ctx_.ftp.HostDirName = priorDir_;   // the server is still where it was
        return keepCurrentDir(xmsgNotEntered);
    }
    if (scanning && (kind == ftpDirAsync || kind == ftpLsAsync || kind == ftpDirectoryAsync || kind == ftpListAsync))
        return keepCurrentDir(xmsgNotListed);
    if (kind == ftpDeleAsync)
        fail(ctx_.ftp.HostFileName.rfind('/', 0) == 0 ? ctx_.ftp.HostFileName
                                                      : WithSlash(ctx_.ftp.HostDirName) + ctx_.ftp.HostFileName);
    else if (kind == ftpRmdAsync)
        fail(ctx_.ftp.HostFileName);
    else if (!entered_.empty())
        fail(entered_.back().path);
    dropWork();
    end();
}

// The directory entered last is not emptied: nothing below it is deleted, and neither it nor the
// directories above it are removed.
void DeleteChain::keepCurrentDir(MainExtraMessage why)
{
    const std::string dir = entered_.back().path;
    ctx_.log(SkippedText(ctx_.msl, dir, why));
    fail(dir);
    keepWithParents(dir);
    next();
}

// `dir` and every entered directory above it stay; their RMD would only fail.
void DeleteChain::keepWithParents(const std::string& dir)
{
    const std::string inside = WithSlash(dir);
    std::erase_if(entered_, [&inside](const WorkItem& item) { return inside.rfind(WithSlash(item.path), 0) == 0; });
}

void DeleteChain::fail(const std::string& name)
{
    ++tally_.failed;
    tally_.failedNames.push_back(name);
}

// The chain is over: one line with what it did and one per failure; the panel goes back to where
// it started and shows what is left there.
void DeleteChain::end()
{
    dropWork();
    if (running_) {
        ctx_.log(ctx_.msl[xmsgDeleteFinished] + " " + std::to_string(tally_.deleted) + " " + ctx_.msl[xmsgDeleted] +
                 ", " + std::to_string(tally_.failed) + " " + ctx_.msl[xmsgFailed]);
        for (const std::string& name : tally_.failedNames)
            ctx_.log(FailedText(ctx_.msl, name));
    }
    running_ = false;
    ctx_.flags.remove(ofDeleteScan | ofDeleteRemove);
    if (ctx_.ftp.Connected())
        ctx_.returnToBase();
}

void DeleteChain::dropWork()
{
    files_.clear();
    toScan_.clear();
    entered_.clear();
}

} // namespace brisk
