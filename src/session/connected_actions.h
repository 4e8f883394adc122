#pragma once
#include <set>

namespace brisk {

// The user actions whose availability depends on whether a session is open.
enum class Action {
    // connected only
    Stop, Disconnect, RemoteRenameButton, UploadArrow, DownloadArrow, MakeDirectory, Rename, ChangeDirectory,
    CompareDirectories, SynchronizeDirectories, FileAttributes, DownloadSelected, UploadSelected, Sorting,
    Select, ChangeCase, Filter,
    // not connected only
    Connect, NewServer, Properties, Preferences, ServerProperties,
    // both
    RemoteMakeDirButton, RemoteDeleteButton,
};

// The actions SetConnectedUI enables; "Server Properties" needs a selected entry besides.
std::set<Action> ConnectedActions(bool connected, bool entrySelected);

} // namespace brisk
