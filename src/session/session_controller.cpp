#include "session/session_controller.h"

#include "platform/event_loop.h"

namespace brisk {

SessionController::SessionController(UserInterface& ui, TFTPOptions& options, LocalDirectory& local)
    : sites(ui, msl, options, [this] { return SiteListMode_; }, [this] { SetConnectedUI(!SiteListMode_); }),
      ui_(ui), options_(options), local_(local), StartDate_(localToday())
{
    Ftp1.Timeout = 999;
    Ftp1.MultiThreaded = true;
    Ftp1.Port = "ftp";
    Ftp1.DisplayFileFlag = false;
    Ftp1.Binary = true;
    Ftp1.SetShareMode(ftpShareExclusive);
    Ftp1.Options = ftpAcceptLF;
    Ftp1.SetConnectionType(ftpDirect);
    Ftp1.OnDisplay = [this](TCustomFtpCli*, std::string& text) { Ftp1Display(text); };
    // A command the engine refuses (busy, not connected) is reported, never thrown into the event loop.
    Ftp1.OnError = [this](TCustomFtpCli*, std::string& text) { AddLog(msl[msgError] + " " + text); };
    Ftp1.OnProgress = [this](TCustomFtpCli*, int64_t count, bool& abort) { Ftp1Progress(count, abort); };
    Ftp1.OnSessionConnected = [this](TCustomFtpCli*, uint16_t) { Ftp1SessionConnected(); };
    Ftp1.OnSessionClosed = [this](TCustomFtpCli*, uint16_t) { Ftp1SessionClosed(); };
    Ftp1.OnStateChange = [this](TCustomFtpCli*) { Ftp1StateChange(); };
    Ftp1.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest kind, uint16_t error) {
        Ftp1RequestDone(kind, error);
    };
    remote.panel.stopRequested = [this] { return abortMark_; };
    cTimer_.onTick = [this] { keepAliveTick(); };
}

void SessionController::MessagesChanged()
{
    sites.MessagesChanged();
    static_assert(xmsgFtpRemarksEnd - xmsgFtpRemarks == frCount, "the engine's remarks and their messages differ");
    std::vector<std::string> remarks;
    for (int i = 0; i < frCount; ++i)
        remarks.push_back(msl[MainExtraMessage(xmsgFtpRemarks + i)]);
    Ftp1.Remarks.assign(remarks);
}

SessionController::~SessionController()
{
    *alive_ = false;
    listing_.remove();
    Ftp1.OnDisplay = nullptr;
    Ftp1.OnError = nullptr;
    Ftp1.OnSessionClosed = nullptr;
    Ftp1.OnRequestDone = nullptr;
    Ftp1.OnStateChange = nullptr;
}

void SessionController::post(std::function<void()> task)
{
    std::weak_ptr<bool> alive = alive_;
    EventLoop::instance().post([alive, task = std::move(task)] {
        if (auto a = alive.lock(); a && *a)
            task();
    });
}

size_t SessionController::AddLog(const std::string& text)
{
    const size_t index = log.AddLog(text);
    changed();
    return index;
}

void SessionController::SetConnectedUI(bool connected)
{
    abortMark_ = false;
    const bool entrySelected = SiteListMode_ && sites.siteSelection() >= 0;
    actions_ = ConnectedActions(connected, entrySelected);
    changed();
}

void SessionController::changed()
{
    ui_.Changed();
}

} // namespace brisk
