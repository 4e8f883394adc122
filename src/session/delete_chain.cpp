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
    fileDone();
}

// The listing of the directory just entered: its files are deleted next, its directories visited later.
void DeleteChain::scanListing()
{
    const ParsedListing parsed = ctx_.listing.take(ctx_.site.Answer);
    const std::string dir = WithSlash(ctx_.ftp.HostDirName);
    for (const RemoteEntry& entry : parsed.entries)
        queueEntry(entry, dir);
}

void DeleteChain::queueEntry(const RemoteEntry& entry, const std::string& dir)
{
    if (entry.unreadable || !IsPlainEntryName(entry.name)) {
        ctx_.log(SkippedText(ctx_.msl, entry.name, dir, xmsgNotDeletable));
        return;
    }
    // A symbolic link is removed as a file: entering it would delete what it points to.
    if (entry.isDirectory && !IsSymbolicLink(entry.attributes))
        toScan_.push_back({dir + entry.name});
    else
        files_.push_back({entry.name, sizeOf(entry.size)});
}

// The file step: files of the current directory first, then the next directory to list.
void DeleteChain::fileDone()
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
    ctx_.ftp.HostDirName = toScan_.front().path;
    entered_.push_back(toScan_.front());
    toScan_.pop_front();
    ctx_.ftp.LocalFileName = ctx_.listing.path();
    ctx_.ftp.CwdAsync();
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

void DeleteChain::failed(TFtpRequest)
{
    dropWork();
    stopping_ = false;
    end();
}

// The chain is over; the panel goes back to where it started and shows what is left there.
void DeleteChain::end()
{
    dropWork();
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
