#pragma once
#include "platform/format_message.h"

#include <string>
#include <vector>

namespace brisk {

// The main window's message list, read by position; a language file may replace the texts.
enum MainMessage : int {
    msgEnterPassword = 0, msgPassword, msgConnectingTo, msgError, msgCannotCreateDir, msgAttention,
    msgServerList, msgRenamingFile, msgStartingTransfer, msgChangeDirectory, msgNoInternet,
    msgCreateDirectory, msgEnterNewDirName, msgRename, msgEnterNewName, msgFileExists, msgRewrite,
    msgWishToRemove, msgFiles, msgAnd, msgFolders, msgCanNotCreateDirectory, msgEnterNew, msgName,
    msgMask, msgLocal, msgFtp, msgFilter, msgByte, msgIn, msgQuitQuestion, msgConvertingFile, msgOk,
    msgReadFileError, msgOpenFileError, msgConnectionClosed,
};

// The main window's further texts, in a second list ("mslExtra") so that the first keeps its fixed
// length and a language file's line past its end changes nothing.
enum MainExtraMessage : int {
    xmsgTransferFinished = 0, xmsgTransferred, xmsgSkipped, xmsgFailed, xmsgConnectionFailed, xmsgReadingListing,
    xmsgAttributesChanged, xmsgWriteFileError,
    // why a connection failed: %1 the host, %2 the port, %3 the system's words
    xmsgRefused, xmsgNameNotFound, xmsgTryAgain, xmsgNoAnswer, xmsgUnreachable, xmsgClosedEarly, xmsgBadPort,
    xmsgConnectFailed,
    xmsgHostNameEmpty, xmsgUnableToWrite, xmsgSaveAsSite, xmsgSiteName, xmsgMissingSiteName, xmsgDirectory,
    xmsgFile, xmsgAttempt,
    // a name passed over: %1 the name, %2 why (or %2 the directory and %3 why)
    xmsgSkippedName, xmsgSkippedNameIn, xmsgNotSendable, xmsgLinkToDirectory, xmsgNotRegularFile,
    xmsgNotWritableName, xmsgNoLocalDirectory, xmsgTargetIsLink, xmsgNoLongerExists, xmsgDirNotCreated,
    xmsgNotDeletable, xmsgNotChmodable,
    // a row's Properties
    xmsgSymbolicLink, xmsgRowName, xmsgRowLocation, xmsgRowType, xmsgRowSize, xmsgRowBytes, xmsgRowModified,
    xmsgRowAttributes, xmsgRowLinkTo,
    // the quick-connect bar's fields
    xmsgBadHostField, xmsgBadPortField,
    // the question about a server certificate: %1 the host, %2 what is wrong with it
    xmsgCertificateTitle, xmsgCertificateUntrusted, xmsgCertificateChanged, xmsgCertificateSubject,
    xmsgCertificateIssuer, xmsgCertificateValidFrom, xmsgCertificateValidUntil, xmsgCertificateFingerprint,
    xmsgTrustOnce, xmsgTrustAlways,
    // the grey hints of the quick-connect bar's address and of the raw command box
    xmsgAddressHint, xmsgRawCommandHint,
    // what a tree operation could not do: the closing line of a delete, each failure by name (%1),
    // and why a directory or entry was passed over
    xmsgDeleteFinished, xmsgDeleted, xmsgFailedName, xmsgNotEntered, xmsgNotListed, xmsgUnreadableLine,
    xmsgLocalNotReadable, xmsgDotName,
    // a listing the panel could not show: %1 the directory, %2 the server's answer
    xmsgListingFailed,
    // the mirror: a name passed over as an unfinished transfer's part; %1 an upload sent directly
    xmsgPartialFile, xmsgRenameRefused,
    // a resume that cannot be right (no shorter part file, size unknown, ASCII): %1 the file
    xmsgNotResumed,
    // a download that did not reach its size: %1 the part file it stays in, %2 its bytes, %3 the size
    xmsgIncomplete,
    // why the mirror passed over a pair of files or a whole local directory
    xmsgUnreadableDate, xmsgLocalDirUnreadable,
    // transfers on connections of their own: the server took no more of them (%1 how many it took),
    // and a connection lost during the file %1
    xmsgConnectionsLowered, xmsgResuming,
    // the transfer queue: a walk's files queued (%1 how many), an item no connection could take, and
    // the question at start about the last session's unfinished items (%1 how many)
    xmsgFilesQueued, xmsgNoConnection, xmsgResumeQueue, xmsgStoppedByUser,
    // a file a transfer connection's server refused for now (a 4xx reply): %1 the file
    xmsgTriedAgain,
    // how many go in a delete: one, and %1 of them
    xmsgOneFile, xmsgFileCount, xmsgOneFolder, xmsgFolderCount,
    // the FTP engine's own log lines, in the order of its remarks (src/ftp/ftp_remarks.h)
    xmsgFtpRemarks, xmsgFtpRemarksEnd = xmsgFtpRemarks + 29,
};

// The English texts, in order.
const std::vector<std::string>& MainMessagesEnglish();
const std::vector<std::string>& MainExtraMessagesEnglish();

// The list a window reads its texts from.
class MessageList {
public:
    explicit MessageList(std::vector<std::string> items) : items_(std::move(items)) {}
    const std::string& operator[](int index) const;
    std::vector<std::string>& items() { return items_; }
    const std::vector<std::string>& items() const { return items_; }

private:
    std::vector<std::string> items_;
};

// The main window's two lists; code reads either by its enum.
struct MainMessages {
    MessageList msl{MainMessagesEnglish()};
    MessageList mslExtra{MainExtraMessagesEnglish()};

    const std::string& operator[](MainMessage index) const { return msl[index]; }
    const std::string& operator[](MainExtraMessage index) const { return mslExtra[index]; }
};

} // namespace brisk
