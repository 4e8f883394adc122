#pragma once
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
    msgReadFileError, msgOpenFileError, msgConnectionClosed, msgTransferFinished, msgTransferred, msgSkipped,
    msgFailed, msgConnectionFailed, msgReadingListing, msgAttributesChanged, msgWriteFileError,
};

// The English texts, in order.
const std::vector<std::string>& MainMessagesEnglish();

// The list a window reads its texts from.
class MessageList {
public:
    MessageList() : items_(MainMessagesEnglish()) {}
    explicit MessageList(std::vector<std::string> items) : items_(std::move(items)) {}
    const std::string& operator[](int index) const;
    std::vector<std::string>& items() { return items_; }

private:
    std::vector<std::string> items_;
};

} // namespace brisk
