#pragma once
#include "config/ftp_options.h"
#include "i18n/main_messages.h"
#include "listing/remote_panel.h"
#include "platform/local_directory_port.h"
#include "listing/response_type.h"
#include "session/entry_names.h"
#include "session/ftp_connection.h"
#include "session/listing_file.h"
#include "session/user_interface.h"
#include "sites/server_info.h"

#include <functional>
#include <string>

namespace brisk {

// The part of the controller that the chains of requests share. The controller owns all of it.
struct ChainContext {
    FtpConnection& conn;
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

    // Back to `baseRemoteDir` (at the root of a virtual-host site, where it is empty, the directory
    // is asked with PWD), and the panel shows it.
    std::function<void()> returnToBase;
    // Lists the current directory (or `path`) into the panel.
    std::function<void(const std::string& path)> refreshPanel;

    ResponseType responseType() const { return responseTypeOf(site.Answer); }
    void logError() const { log(msl[msgError] + " " + conn.errorMessage()); }
};

} // namespace brisk
