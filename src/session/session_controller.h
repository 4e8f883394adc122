#pragma once
#include "config/ftp_options.h"
#include "ftp/ftp_client.h"
#include "i18n/main_messages.h"
#include "listing/calendar_date.h"
#include "listing/remote_panel.h"
#include "platform/interval_timer.h"
#include "session/chain_context.h"
#include "session/chmod_chain.h"
#include "session/connected_actions.h"
#include "session/delete_chain.h"
#include "session/ftp_connection.h"
#include "session/listing_file.h"
#include "session/log_pane.h"
#include "session/rename_chain.h"
#include "session/session_operation.h"
#include "session/site_list_controller.h"
#include "session/transfer_chain.h"
#include "session/transfer_job.h"
#include "session/user_interface.h"
#include "sites/server_info.h"

#include <memory>
#include <set>
#include <string>

namespace brisk {

class LocalDirectory;

// The main window's session: one FTP engine, the remote panel and the chains of requests that user
// commands start, with the site list it opens sites from. It reaches the user only through
// UserInterface.
class SessionController {
public:
    SessionController(UserInterface& ui, TFTPOptions& options, LocalDirectory& local);
    ~SessionController();
    SessionController(const SessionController&) = delete;
    SessionController& operator=(const SessionController&) = delete;

    TFtpClient Ftp1;
    MainMessages msl;
    LogPane log;
    // The site list the remote panel shows while no session is open; sites are opened from it.
    SiteListController sites;
    RemotePanel remote;

    // --- session lifecycle
    void OpenSelectedSite();
    // Opens a site given as a record rather than from the site list (the command-line tool, the
    // quick-connect bar).
    void OpenSite(const TFTPServerInfo& site);
    // No session open or being opened: OpenSite would start one.
    bool canOpenSite() const { return !Ftp1.Connected() && Ftp1.State() == fsReady && !busyCursor_; }
    void Connect();
    void Disconnect();
    void StopTransfer();
    void ApplyOptions();
    size_t AddLog(const std::string& text);
    // The message lists were translated: texts made from them before are made again, and the engine
    // takes its log lines from them.
    void MessagesChanged();

    // --- remote navigation and commands
    // Make directory: a site folder in the site list, MKD during a session.
    void MakeRemoteDir();
    void remoteDoubleClick(int row);
    void FTPPathChange(int index);
    void FTPOneLevelUpClick();
    void ChandDirect1Click();
    // Into `dir`, listed in the panel; a directory that cannot be entered lists the base one.
    void ChangeRemoteDir(const std::string& dir);
    // PWD, and the directory it names listed in the panel.
    void AskRemoteDir();
    // The server's current directory as the session knows it.
    const std::string& remoteDir() const { return connection_.dir(); }
    // Connected, with no request under way.
    bool sessionReady() const { return connection_.ready(); }
    // The engine's settings and state, for those that show them or copy the login.
    const TFtpClient& engine() const { return Ftp1; }
    // Download and upload budgets that every connection of the session shares.
    void setRateBudgets(std::shared_ptr<RateBudget> download, std::shared_ptr<RateBudget> upload);
    void Refresh3Click();
    void FTPViewChange() { SetConnectedUI(!SiteListMode_); }
    void ShowListing();
    void RefreshListingCopy();
    void FillRemotePanel();
    void remoteColumnClick(int tag);
    void remoteSelectionCommand(int tag);
    void remoteFilter();
    void ChangeCaseRemote(int mode);
    void RenameRemote();
    void DeleteRemote();
    void RenameInPlace(size_t row, const std::string& newText);
    // "File Attributes": the attribute dialog on the selected entries, then SITE CHMOD for those it
    // changed (attribute_commands.cpp).
    void ChangeAttributes();
    bool canChangeAttributes() const;
    // A raw command typed by the user (raw_command.cpp); only while the session is idle.
    bool canSendRawCommand() const;
    void SendRawCommand(const std::string& command);

    // --- transfers
    // Uploads the named entries of the local directory (files and whole directories) into the
    // remote directory shown; a drop of local rows on the remote panel and the upload button.
    void StartUpload(const std::vector<std::string>& localNames);
    // Downloads the selected remote rows (files and whole directories) into the local directory;
    // a drop of remote rows on the local panel and the download button.
    void StartDownload();
    // Copy Path and Properties of the right-hand panel (row_paths.cpp).
    std::vector<std::string> selectedRemotePaths() const;
    void ShowRemoteProperties();
    // The "Transfer Type" menu: 0 Auto, 1 ASCII, 2 Binary.
    void SetTransferTypeMenu(int mode);
    int transferTypeMenu() const { return int(transfer_.type); }
    bool canTransfer() const;
    // A row of the remote panel was selected or deselected by the user.
    void setRemoteSelected(size_t row, bool on);
    std::string remoteStatusText() const;

    // --- state the views show
    const TFTPServerInfo& CurrentSite() const { return CurrentSite_; }
    bool SiteListMode() const { return SiteListMode_; }
    bool NavigationBusy() const { return NavigationBusy_; }
    int ConnectAttempt() const { return ConnectAttempt_; }
    // A command (a chain of requests or a mirror run) is under way on the session's connection.
    bool commandRunning() const;
    const std::string& BaseRemoteDir() const { return BaseRemoteDir_; }
    const std::string& BaseLocalDir() const { return BaseLocalDir_; }
    int KeepAliveSent() const { return KeepAliveSent_; }
    bool abortMark() const { return abortMark_; }
    // The progress window's Cancel: Stop, from a posted message.
    void postStop() { post([this] { StopTransfer(); }); }
    bool busyCursor() const { return busyCursor_; }
    // A directory listing is on its way, and how many of its bytes have come so far.
    bool listingLoading() const { return listingLoading_; }
    int64_t listingBytes() const { return listingBytes_; }
    // "Reading the directory listing: 12 MB" while one loads, else empty.
    std::string listingStatusText() const;
    bool enabled(Action action) const { return actions_.count(action) != 0; }
    // Stop Transfer has something to end: a request under way (the connection being made
    // included), a chain of requests or a mirror run.
    bool canStop() const;
    bool pathBoxEnabled() const { return !NavigationBusy_; }
    bool remoteInfoBarVisible() const { return remoteInfoBar_; }
    bool keepAliveRunning() const { return cTimer_.enabled(); }
    const CalendarDate& StartDate() const { return StartDate_; }
    // Counts the listings shown in the remote panel, so views (and tests) can tell a new one.
    uint64_t listingsShown() const { return listingsShown_; }
    // Counts the listings of the panel that failed; the panel then shows `listingError` instead.
    uint64_t listingsFailed() const { return listingsFailed_; }
    const std::string& listingError() const { return listingError_; }
    // The main window's font, as the options give it.
    std::string fontName;
    int fontSize = 8;
    int fontColor = 0;

    // The chains of requests; commands start them, request completions continue them.
    DeleteChain& deleteChain() { return delete_; }
    RenameChain& renameChain() { return rename_; }
    ChmodChain& chmodChain() { return chmod_; }
    TransferChain& transferChain() { return transfer_; }
    // What the mirror runner works with: the connection, the base directories, the panels and the
    // user interface, as the chains of requests share them.
    ChainContext& mirrorContext() { return chains_; }
    // The operation of a higher layer that Stop reaches and the progress window follows; one at a
    // time, null when none.
    void setOperation(SessionOperation* operation) { operation_ = operation; }

    // The session logged in, and it ended; the transfer queue follows them.
    std::function<void()> onLoggedIn;
    std::function<void()> onSessionEnded;
    // Stop Transfer: the transfer queue stops as well.
    std::function<void()> onStop;
    // The open session's site as the transfer queue names it: its place in the site list, or the
    // address of a site opened otherwise.
    QueueSite queueSite() const;

    // The keep-alive timer's tick; one second in the program, shorter in tests.
    void setKeepAliveTickMs(uint64_t ms) { keepAliveTickMs_ = ms; }

private:
    // engine events
    void Ftp1Display(std::string& text);
    void Ftp1Progress(int64_t count, bool& abort);
    bool showStepCurrent(uint64_t generation) const;
    void buildListingRows(uint64_t generation);
    void finishShowListing(uint64_t generation);
    DateOrder dateOrder() const;
    void listingProgress(int64_t count);
    void Ftp1SessionConnected();
    void Ftp1SessionClosed();
    void Ftp1StateChange();
    void Ftp1RequestDone(TFtpRequest kind, uint16_t error);

    // the browsing steps (browse_steps.cpp)
    void loggedIn();
    FtpConnection::Done afterCwd();
    FtpConnection::Done afterDirStep();
    FtpConnection::Done afterCommand();
    void startPanelListing(const std::string& path = {});
    void panelListingFailed();
    void backToShownDir();
    void returnToBase();
    void logError();
    void abortSession();

    // Stop's view of the chains
    RequestChain* runningChain();
    RequestChain* stoppingChain();
    bool requestPending() const;

    // opening
    bool openFromSiteList();
    bool takeSite(const TFTPServerInfo& site);
    bool hostGiven();
    bool askPassword();
    void applySiteLocalDir();
    void startConnect();
    void startAttempt();
    void applyConnectionOptions();
    void applyRateLimits();

    // the end of a connection attempt or of a session
    void connectFailed(uint16_t error);
    void attemptFailed(uint16_t error);
    void askPasswordAgain(const std::string& reply);
    void sessionEnded();

    // keep-alive
    void startKeepAlive();
    void keepAliveTick();
    void requestCompleted();

    void SetConnectedUI(bool connected);
    void changed();
    ResponseType responseType() const { return responseTypeOf(CurrentSite_.Answer); }
    void post(std::function<void()> task);
    void logFileFromOptions();

    UserInterface& ui_;
    TFTPOptions& options_;
    LocalDirectory& local_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    TFTPServerInfo CurrentSite_;
    bool SiteListMode_ = true;
    bool NavigationBusy_ = false;
    int ConnectAttempt_ = 0;
    std::string BaseRemoteDir_;
    std::string BaseLocalDir_;
    int KeepAliveSent_ = 0;
    int KeepAliveNext_ = 0;
    std::string LogFileName_;
    CalendarDate StartDate_;

    IntervalTimer cTimer_;
    uint64_t keepAliveTickMs_ = 1000;
    int idleTicks_ = 0;
    int keepAliveTicks_ = 0;
    bool keepAliveChain_ = false;

    uint64_t listingsShown_ = 0;
    uint64_t listingsFailed_ = 0;
    std::string listingError_;   // why the directory in the path box shows no listing
    bool abortMark_ = false;
    bool busyCursor_ = false;
    bool listingLoading_ = false;
    uint64_t showGeneration_ = 0;
    PanelRows pendingRows_;   // a shown listing's rows between making and sorting them
    int64_t listingBytes_ = 0;
    bool remoteInfoBar_ = false;
    // Connecting: from ConnectAsync to the greeting; its end is decided by the connect request's
    // completion, which comes exactly once per attempt. Open: from the greeting to the close.
    enum class Phase { Idle, Connecting, Open };
    Phase phase_ = Phase::Idle;
    bool connectStopped_ = false;   // Stop while connecting: no further attempt
    // Where the open site came from, so that a failed attempt leaves it selected for editing.
    std::string openedFolder_;
    std::string openedCaption_;
    std::set<Action> actions_;

    ListingFile listing_{options_.ListingTempFile, StartDate_, Ftp1};
    FtpConnection connection_{Ftp1, listing_};
    uint16_t lastError_ = 0;   // how the last request ended
    SessionOperation* operation_ = nullptr;
    ChainContext chains_{connection_, BaseRemoteDir_, BaseLocalDir_, listing_, ui_, CurrentSite_,
                         abortMark_, [this](std::function<void()> task) { post(std::move(task)); },
                         [this](const std::string& text) { AddLog(text); },
                         options_, local_, remote,
                         [this] { RefreshListingCopy(); },
                         [this](bool busy) { NavigationBusy_ = busy; }, msl,
                         [this] { returnToBase(); },
                         [this](const std::string& path) { startPanelListing(path); }};
    DeleteChain delete_{chains_};
    RenameChain rename_{chains_};
    ChmodChain chmod_{chains_};
    TransferChain transfer_{chains_};
};

} // namespace brisk
