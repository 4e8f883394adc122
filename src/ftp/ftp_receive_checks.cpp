#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"

namespace brisk {

bool TCustomFtpCli::ReceivingListing() const
{
    return dataCommand_.rfind("LIST", 0) == 0 || dataCommand_ == "NLST" || dataCommand_ == "MLSD";
}

// A listing that writes nothing must never leave the previous one to be read as its own. The file is
// emptied in place rather than removed, so that a caller holding it open keeps reading the same file.
bool TCustomFtpCli::EmptyListingTarget()
{
    if (!ReceivingListing())
        return true;
    const auto file = LocalFile::Open(LocalFileName, LocalFile::Mode::CreateTruncate);
    return file && file->Close();
}

// The server called the transfer complete; what arrived decides whether it was.
void TCustomFtpCli::JudgeReceived()
{
    if (DisplayFileFlag)
        return;
    if (ReceivingListing())
        JudgeListing();
    else
        JudgeDownload();
}

// vsftpd answers a directory it may enter but not read with "226 Transfer done (but failed to open
// directory)" and no data; an empty directory's 226 says nothing of the kind.
void TCustomFtpCli::JudgeListing()
{
    if (dataCutShort_)
        return FailReceived(426, "426 The server ended the data connection without closing TLS: the listing may be "
                                 "incomplete");
    if (ByteCount == 0 && FtpReplyTellsOfFailure(transferReply_))
        FailReceived(550, "550 The directory could not be listed: " + transferReply_);
}

// A known size is the proof of a whole file, and the only one for a file that came empty: a data
// connection the server dropped before the transfer began looks just the same, and which of its close
// and the server's answer came first cannot be told from here. Without a size, a TLS connection cut
// short proves nothing either.
void TCustomFtpCli::JudgeDownload()
{
    const int64_t size = ResumeAt + ByteCount;
    if (ExpectedSize >= 0 && size != ExpectedSize)
        return FailReceived(426, "426 Size differs: " + std::to_string(size) + " bytes received in all, " +
                                     std::to_string(ExpectedSize) + " expected");
    if (ExpectedSize < 0 && dataCutShort_)
        return FailReceived(426, "426 The server ended the data connection without closing TLS: the file may be "
                                 "incomplete");
    if (dataCutShort_)
        Display("! " + Remarks[frUnclosedDataTls]);
}

void TCustomFtpCli::FailReceived(int code, const std::string& text)
{
    Display("! " + text);
    NoteDataError(code, text);
}

} // namespace brisk
