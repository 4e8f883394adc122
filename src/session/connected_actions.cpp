#include "session/connected_actions.h"

namespace brisk {

std::set<Action> ConnectedActions(bool connected, bool entrySelected)
{
    std::set<Action> on = {Action::RemoteMakeDirButton, Action::RemoteDeleteButton};
    if (connected) {
        on.insert({Action::Stop, Action::Disconnect, Action::RemoteRenameButton, Action::UploadArrow,
                   Action::DownloadArrow, Action::MakeDirectory, Action::Rename, Action::ChangeDirectory,
                   Action::CompareDirectories, Action::SynchronizeDirectories, Action::FileAttributes,
                   Action::DownloadSelected, Action::UploadSelected, Action::Sorting, Action::Select,
                   Action::ChangeCase, Action::Filter});
        return on;
    }
    on.insert({Action::Connect, Action::NewServer, Action::Properties, Action::Preferences});
    if (entrySelected)
        on.insert(Action::ServerProperties);
    return on;
}

} // namespace brisk
