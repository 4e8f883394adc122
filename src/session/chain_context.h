#pragma once
#include "config/ftp_options.h"
#include "ftp/ftp_client.h"
#include "i18n/main_messages.h"
#include "listing/remote_panel.h"
#include "platform/local_directory_port.h"
#include "listing/response_type.h"
#include "session/entry_names.h"
#include "session/listing_file.h"
#include "session/operation_flags.h"
#include "session/user_interface.h"
#include "sites/server_info.h"

#include <functional>
#include <string>

namespace brisk {

// The part of the controller that the chains of requests share. The controller owns all of it.
struct ChainContext {
    TFtpClient& ftp;
    OperationFlags& flags;
    std::string& baseRemoteDir;   // where a chain started and returns to
    std::string& baseLocalDir;
    ListingFile& listing;
    UserInterface& ui;
    const TFTPServerInfo& site;   // the open site
    bool& abortMark;              // Stop's mark, which the progress event turns into an abort
    std::function<void(std::function<void()>)> post;
    std::function<void(const std::string&)> log;
    const TFTPOptions& options;
    LocalDirectory& local;
    const RemotePanel& remote;
    std::function<void()> refreshListingCopy;   // the directory just listed becomes `remote.listingCopy`
    std::function<void(bool)> setBusy;          // NavigationBusy: the path box is disabled while set
    const MainMessages& msl;

    ResponseType responseType() const { return responseTypeOf(site.Answer); }

    // Back to `baseRemoteDir`; the completion refreshes the panel. At the root of a virtual-host
    // site the base is empty and there is nothing to CWD to, so the directory is asked with PWD.
    void returnToBase()
    {
        ftp.HostFileName.clear();
        ftp.LocalFileName = listing.path();
        ftp.HostDirName = baseRemoteDir;
        if (baseRemoteDir.empty())
            ftp.PwdAsync();
        else
            ftp.CwdAsync();
    }
    // Lists the current directory into the listing file; the completion shows it.
    void refresh()
    {
        ftp.LocalFileName = listing.path();
        ftp.TypeAscii();
        ftp.DirAsync();
    }
};

} // namespace brisk
