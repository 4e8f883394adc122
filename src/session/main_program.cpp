#include "session/main_program.h"

#include "config/options_store.h"
#include "config/quick_connect_history.h"
#include "platform/directories.h"
#include "platform/ini_file.h"
#include "platform/program_dir.h"
#include "platform/spawn.h"

namespace brisk {

ProgramSettings::ProgramSettings()
{
    LoadCommands(commands);
    LoadOptions(options, lang, fonts);
}

MainProgram::MainProgram(UserInterface& ui)
    : session(ui, settings.options, local), local(ui, session.msl, HomeDirectory()),
      lineEndings(ui, session.msl, local,
                  {[this](const std::string& text) { return session.AddLog(text); },
                   [this](size_t line, const std::string& text) { session.log.appendToLine(line, text); }}),
      quickConnect(settings.options, LoadQuickConnectHistory()), helpFile(ProgramDir() + "tolvax.hlp"),
      queueRunner(queue, session.msl, ui.Progress(), [this](const std::string& text) { session.AddLog(text); }),
      queueStore(queue), ui_(ui)
{
    connectQueue();
    session.sites.siteList.LoadSiteList("");
    session.sites.selectSite(-1);
    session.ApplyOptions();
    session.SetTransferTypeMenu(settings.options.TransferMode);
    local.setDateOrder(settings.options.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst);
    local.RefreshLocalPanel();
}

void MainProgram::connectQueue()
{
    session.transferChain().toQueue = [this](const WorkerTask& task) { return queueRunner.enqueue(task); };
    session.onLoggedIn = [this] {
        queueRunner.attach(session.engine(), session.queueSite(), settings.options.Transfers, settings.options.TimeOut);
    };
    session.onSessionEnded = [this] { queueRunner.detach(); };
    session.onStop = [this] { queueRunner.stop(); };
    queueRunner.onRunningChanged = [this] { ui_.Changed(); };
    queueRunner.wantsAscii = [this](const std::string& name) { return session.transferChain().wantsAscii(name); };
    queueRunner.onIdle = [this](bool uploaded, bool downloaded) {
        if (downloaded)
            local.RefreshLocalPanel();
        if (uploaded && session.canTransfer())
            session.Refresh3Click();
    };
}

void MainProgram::OfferSavedQueue()
{
    if (!queueStore.claim())
        return;
    const QueueLoadResult loaded = queueStore.load();
    if (!loaded.problem.empty())
        ui_.ShowMessage(session.msl[msgAttention], loaded.message());
    const QueueCounts counts = queue.counts();
    const size_t unfinished = counts.queued + counts.running + counts.failed;
    if (unfinished == 0)
        return queue.clearSuccessful();
    const std::string question = FormatMessage(session.msl[xmsgResumeQueue], {std::to_string(unfinished)});
    if (!ui_.AskYesNo(session.msl[msgAttention], question))
        queue.restore({}, queue.nextId());
}

MainProgram::~MainProgram()
{
    SaveCommands(settings.commands);
}

bool MainProgram::CloseQuery()
{
    return ui_.AskYesNo(session.msl[msgAttention], session.msl[msgQuitQuestion]);
}

bool MainProgram::Close()
{
    try {
        SaveOptions(settings.options, settings.lang, settings.fonts);
        SaveQuickConnectHistory(quickConnect.history());
        queueStore.flush();
        return true;
    } catch (const IniWriteError& e) {
        ui_.ShowMessage(session.msl[msgAttention], e.what());
        return false;
    }
}

bool MainProgram::SaveLayout(const LayoutSizes& sizes)
{
    try {
        SaveLayouts(sizes);
        return true;
    } catch (const IniWriteError& e) {
        ui_.ShowMessage(session.msl[msgAttention], e.what());
        return false;
    }
}

void MainProgram::QuickConnectOpen()
{
    if (!session.canOpenSite())
        return;
    std::string error;
    if (const std::optional<TFTPServerInfo> site = quickConnect.take(session.msl, error))
        session.OpenSite(*site);
    else
        ui_.ShowMessage(session.msl[msgAttention], error);
}

void MainProgram::QuickConnectSave()
{
    if (quickConnect.knownSite())
        session.sites.SaveSiteAs(*quickConnect.knownSite());
}

void MainProgram::SpawnSession()
{
    SpawnDetached(OwnExecutablePath());
}

} // namespace brisk
