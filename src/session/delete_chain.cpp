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
    if (running_)
        next();
}

// The listing of the directory just entered: its files are deleted next, its directories visited
// later. An entry that cannot be deleted keeps the directory.
void DeleteChain::scanListing()
{
    const ParsedListing parsed = ctx_.listing.take(ctx_.site.Answer);
    const std::string dir = WithSlash(ctx_.conn.dir());
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

// The file step: files of the current directory first, then the next directory to list, then
// the removal of the directories entered. A refused DELE ends the chain.
void DeleteChain::next()
{
    if (!running_)
        return;
    if (files_.empty() && toScan_.empty())
        return removeNext();
    if (files_.empty())
        return enterNextDir();
    const std::string name = files_.front().path;
    files_.pop_front();
    ctx_.conn.dele(name, then([this, name](bool ok) {
        if (!ok)
            return failAndEnd(name.rfind('/', 0) == 0 ? name : WithSlash(ctx_.conn.dir()) + name);
        ++tally_.deleted;
        next();
    }));
}

// A directory that cannot be entered or listed is kept whole and the chain goes on with the next.
void DeleteChain::enterNextDir()
{
    const std::string priorDir = ctx_.conn.dir();
    entered_.push_back(toScan_.front());
    toScan_.pop_front();
    ctx_.conn.cwd(entered_.back().path, then([this, priorDir](bool ok) {
        if (!ok) {
            ctx_.conn.setDir(priorDir);   // the server is still where it was
            return keepCurrentDir(xmsgNotEntered);
        }
        ctx_.conn.list(then([this](bool listed) {
            if (!listed)
                return keepCurrentDir(xmsgNotListed);
            scanListing();
            next();
        }));
    }));
}

// The removal step: directories come off the entered list last-in first-out. A refused RMD, or
// a failed step out of a directory, ends the chain.
void DeleteChain::removeNext()
{
    if (entered_.empty())
        return end();
    const std::string last = entered_.back().path;
    const std::string here = ctx_.conn.dir();
    if (last == here && ctx_.responseType() == ResponseType::Windows2000) {
        // These servers remove a directory only by its name, from its parent.
        entered_.back().path = LastComponent(last);
        return stepOutOf(last);
    }
    if (here == last) {
        const std::string trimmedLast = trimmed(last);
        const std::string parent = trimmedLast.find('/') == std::string::npos ? ctx_.baseRemoteDir : UpDir(trimmedLast);
        return ctx_.conn.cdup(parent, afterStepOut());
    }
    entered_.pop_back();
    ctx_.conn.rmd(last, then([this, last](bool ok) {
        if (!ok)
            return failAndEnd(last);
        ++tally_.deleted;
        removeNext();
    }));
}

// Into the parent of `dir` by its path; a path relative to the login directory has none, so CDUP.
void DeleteChain::stepOutOf(const std::string& dir)
{
    if (dir.find('/') == std::string::npos)
        return ctx_.conn.cdup(ctx_.baseRemoteDir, afterStepOut());
    ctx_.conn.cwd(UpDir(dir), afterStepOut());
}

FtpConnection::Done DeleteChain::afterStepOut()
{
    return then([this](bool ok) { ok ? removeNext() : failAndEnd(entered_.back().path); });
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

void DeleteChain::failAndEnd(const std::string& name)
{
    fail(name);
    dropWork();
    end();
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
    if (ctx_.conn.connected())
        ctx_.returnToBase();
}

void DeleteChain::dropWork()
{
    files_.clear();
    toScan_.clear();
    entered_.clear();
}

} // namespace brisk
