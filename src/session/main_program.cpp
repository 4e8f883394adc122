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
      quickConnect(settings.options, LoadQuickConnectHistory()), helpFile(ProgramDir() + "tolvax.hlp"), ui_(ui)
{
    session.siteList.LoadSiteList("");
    session.selectSite(-1);
    session.ApplyOptions();
    session.SetTransferTypeMenu(settings.options.TransferMode);
    local.setDateOrder(settings.options.DateType == 1 ? DateOrder::MonthFirst : DateOrder::DayFirst);
    local.RefreshLocalPanel();
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
        session.SaveSiteAs(*quickConnect.knownSite());
}

void MainProgram::SpawnSession()
{
    SpawnDetached(OwnExecutablePath());
}

} // namespace brisk
