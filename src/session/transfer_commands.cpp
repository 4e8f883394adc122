#include "session/session_controller.h"

#include "local/local_paths.h"
#include "local/upload_source.h"
#include "session/queue_entry.h"
#include "session/remote_paths.h"

namespace brisk {

namespace {

std::string lastWord(const std::string& line)
{
    const size_t blank = line.find_last_of(' ');
    return blank == std::string::npos ? line : line.substr(blank + 1);
}

} // namespace

bool SessionController::canTransfer() const
{
    return !SiteListMode_ && !NavigationBusy_ && Ftp1.Connected() && Ftp1.State() == fsReady;
}

void SessionController::SetTransferTypeMenu(int mode)
{
    transfer_.type = mode == 1 ? TransferType::Ascii : mode == 2 ? TransferType::Binary : TransferType::Auto;
    changed();
}

// Files are sent first, as bare names into the remote directory shown; each directory is then
// visited with everything below it.
void SessionController::StartUpload(const std::vector<std::string>& localNames)
{
    if (!canTransfer() || localNames.empty())
        return;
    BaseRemoteDir_ = RemoteDirRule(connection_.dir(), CurrentSite_.CheckVHost != 0);
    BaseLocalDir_ = WithSlash(local_.currentDir());
    std::vector<TransferFile> files;
    std::vector<TransferDir> dirs;
    for (const std::string& name : localNames) {
        const UploadSource source = ClassifyUploadSource(local_.currentDir(), name);
        const std::string path = JoinLocalPath(local_.currentDir(), name);
        if (!IsPlainEntryName(name))
            AddLog(SkippedText(msl, name, xmsgNotSendable));
        else if (source.kind == UploadKind::File)
            files.push_back({path, name, source.size, int64_t(source.modified)});
        else if (source.kind == UploadKind::Directory)
            dirs.push_back({path, BaseRemoteDir_ + name});
        else if (source.kind == UploadKind::DirectoryLink)
            AddLog(SkippedText(msl, path, xmsgLinkToDirectory));
        else
            AddLog(SkippedText(msl, path, xmsgNotRegularFile));
    }
    transfer_.startUpload(std::move(files), std::move(dirs));
    changed();
}

void SessionController::StartDownload()
{
    if (!canTransfer() || remote.panel.selectedIndices().empty())
        return;
    BaseRemoteDir_ = RemoteDirRule(connection_.dir(), CurrentSite_.CheckVHost != 0);
    BaseLocalDir_ = WithSlash(local_.currentDir());
    const DateOrder order = options_.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst;
    std::vector<TransferFile> files;
    std::vector<TransferDir> dirs;
    for (size_t index : remote.panel.selectedIndices()) {
        const PanelRow& row = remote.panel.rows()[index];
        if (row.image == kImageUp)
            continue;
        // The rows of a "Text" site are whole lines; the name is their last word.
        const std::string name = responseType() == ResponseType::Text ? lastWord(row.caption) : row.caption;
        if (!IsPlainEntryName(name)) {
            if (!name.empty())
                AddLog(SkippedText(msl, name, xmsgNotWritableName));
            continue;
        }
        const std::string local = BaseLocalDir_ + name;
        if (row.image == kImageFile)
            files.push_back({BaseRemoteDir_ + name, local, ParseSizeText(row.size),
                             PanelDateTime(row.date, row.time, order)});
        else
            dirs.push_back({BaseRemoteDir_ + name, local});
    }
    transfer_.startDownload(std::move(files), std::move(dirs));
    changed();
}

} // namespace brisk
