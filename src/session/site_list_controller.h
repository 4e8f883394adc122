#pragma once
#include "config/ftp_options.h"
#include "i18n/main_messages.h"
#include "session/user_interface.h"
#include "sites/server_info.h"
#include "sites/site_list.h"

#include <functional>
#include <string>
#include <vector>

namespace brisk {

// The site list the remote panel shows while no session is open: the entry selected and the
// commands that edit the list. Commands on the list's entries do nothing while a session has the
// panel.
class SiteListController {
public:
    // `shown` tells whether the remote panel shows the list. `selectionChanged` runs when a command
    // has selected an entry or none, since the actions offered depend on it.
    SiteListController(UserInterface& ui, const MainMessages& msl, const TFTPOptions& options,
                       std::function<bool()> shown, std::function<void()> selectionChanged);
    SiteListController(const SiteListController&) = delete;
    SiteListController& operator=(const SiteListController&) = delete;

    SiteList siteList;

    // The selected entry's row, or -1.
    int siteSelection() const { return selection_; }
    void selectSite(int index);
    // The selected entry when it is a site, else null.
    const SiteEntry* selectedSite() const;
    // What a double-click on the list opens: without a selection the new site the user makes, on a
    // folder (or "..") nothing, the folder being opened; null when there is no site to open.
    const SiteEntry* siteToOpen();

    // --- site records (site_commands.cpp)
    void NewSite();
    void EditSiteProperties();
    // Stores a site made elsewhere (the quick-connect bar's) in the list's current folder under a
    // name the user gives, the host offered.
    void SaveSiteAs(const TFTPServerInfo& site);

    // --- folders and entries (site_list_commands.cpp)
    // Make directory in the list: the folder `name`, selected.
    void MakeFolder(const std::string& name);
    void RenameSiteFolder();
    void DeleteSiteEntries(const std::vector<size_t>& selected);
    void MoveSiteIntoFolder(size_t source, size_t target);
    void SiteListUp();
    void OpenSiteListFolder(size_t index);

    // --- the folder shown, each dropping the selection without telling
    // The path box's item `index`.
    void choosePathItem(int index);
    // Refresh: the folder read again.
    void refresh();
    // After a session: the root folder; then, for a site that could not be opened, the folder it
    // came from with that site (by caption) selected again, so that its properties can be mended.
    void showRoot();
    void reselectSite(const std::string& folder, const std::string& caption);

    void ApplyOptions();
    // The message lists were translated.
    void MessagesChanged();

private:
    UserInterface& ui_;
    const MainMessages& msl_;
    const TFTPOptions& options_;
    std::function<bool()> shown_;
    std::function<void()> selectionChanged_;
    int selection_ = -1;
};

} // namespace brisk
