#pragma once
#include "ftp/ftp_client.h"
#include "i18n/main_messages.h"
#include "listing/remote_listing.h"

#include <cstdint>
#include <string>

namespace brisk {

// A download is written to "NAME.part" beside its target and takes the target's name only when it is
// complete, so that the file that was there stays whole until the new one is. A failed download leaves
// its bytes under the part name, and a resumed one continues them.
std::string PartFileOf(const std::string& target);

// The size a download must reach: the source's size (from SIZE, MLSD or the listing) in binary mode;
// -1 when it is not known or in ASCII mode, where the byte count differs from the remote size.
int64_t ExpectedDownloadSize(bool binary, int64_t sourceSize);

// The size the listing gives for the file `name`; -1 when it lists no such file or no byte count.
int64_t ListedFileSize(const RemoteListing& listing, const std::string& name);

enum class DownloadStart {
    Whole,              // RETR into an emptied part file
    Resume,             // REST from the part file's end, then RETR
    WholeNotResumable,  // a resume was asked for, but no part file shorter than a source of known size
                        // is there to continue: the whole file comes
};

// Points the engine at the part file of `target` and tells it the size the download must reach. A
// resume is chosen only where it can be right.
DownloadStart PrepareDownload(TFtpClient& ftp, const std::string& target, int64_t sourceSize, bool wantResume);

// Starts RETR, or REST and RETR, as PrepareDownload decided.
void StartPreparedDownload(TFtpClient& ftp, DownloadStart start);

// A finished download whose part file has the expected size (when known) replaces the target (a link
// there is replaced, never written through) and gets the time `seconds` since the epoch (none for 0).
// Returns "" when done, else the log line saying why not; the bytes then stay in the part file.
std::string CommitDownload(const MainMessages& msl, const std::string& target, int64_t expectedSize, int64_t seconds);

} // namespace brisk
