#include "session/download_target.h"

#include "platform/file_time.h"
#include "session/queue_entry.h"

#include <sys/stat.h>

#include <cstdio>

namespace brisk {

namespace {

// The size of a regular file at `path` itself (a link is no part file of ours); -1 when there is none.
int64_t partSize(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? int64_t(info.st_size) : -1;
}

} // namespace

std::string PartFileOf(const std::string& target)
{
    return target + ".part";
}

int64_t ExpectedDownloadSize(bool binary, int64_t sourceSize)
{
    return binary && sourceSize >= 0 ? sourceSize : -1;
}

int64_t ListedFileSize(const RemoteListing& listing, const std::string& name)
{
    for (size_t i = 0; i < listing.size(); ++i)
        if (!listing.isDirectory(i) && listing.name(i) == name)
            return ParseSizeText(listing.view(i).size);
    return -1;
}

DownloadStart PrepareDownload(TFtpClient& ftp, const std::string& target, int64_t sourceSize, bool wantResume)
{
    ftp.LocalFileName = PartFileOf(target);
    ftp.ResumeAt = 0;
    ftp.ExpectedSize = ExpectedDownloadSize(ftp.Binary, sourceSize);
    if (!wantResume)
        return DownloadStart::Whole;
    const int64_t have = partSize(ftp.LocalFileName);
    const bool resumable = ftp.ExpectedSize > 0 && have > 0 && have < ftp.ExpectedSize;
    return resumable ? DownloadStart::Resume : DownloadStart::WholeNotResumable;
}

void StartPreparedDownload(TFtpClient& ftp, DownloadStart start)
{
    if (start == DownloadStart::Resume)
        ftp.RestGetAsync();
    else
        ftp.GetAsync();
}

std::string CommitDownload(const MainMessages& msl, const std::string& target, int64_t expectedSize, int64_t seconds)
{
    const std::string part = PartFileOf(target);
    const int64_t have = partSize(part);
    if (expectedSize >= 0 && have != expectedSize)
        return FormatMessage(msl[xmsgIncomplete], {part, std::to_string(have), std::to_string(expectedSize)});
    if (std::rename(part.c_str(), target.c_str()) != 0)
        return FormatMessage(msl[xmsgUnableToWrite], {target});
    SetLocalModified(target, seconds);
    return {};
}

} // namespace brisk
