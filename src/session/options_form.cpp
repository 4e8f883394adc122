#include "session/options_form.h"

#include "config/options_store.h"
#include "i18n/language_list.h"
#include "i18n/window_messages.h"
#include "platform/comma_text.h"
#include "platform/ini_file.h"

namespace brisk {
namespace {

// A radio group's tag: `value` when a button carries it, else 0 (the first button).
int tagOf(int value, int count)
{
    return value >= 0 && value < count ? value : 0;
}

constexpr int kConnectionTypes = 5;
constexpr int kTransferModes = 3;
constexpr int kFirewallTypes = 7;
constexpr int kDefaultActions = 3;
constexpr int kDateFormats = 2;

} // namespace

OptionsForm::OptionsForm(TFTPOptions& options, TLang& lang, ListFonts& fonts, UserInterface& ui,
                         const MessageList& mainMessages, std::string languageDir)
    : msl(OptionsMessagesEnglish()), options_(options), lang_(lang), fonts_(fonts), ui_(ui),
      mainMessages_(mainMessages), languageDir_(std::move(languageDir))
{
}

void OptionsForm::open()
{
    openConnection();
    openSession();
    openDisplay();
    langOn = lang_.LangOn;
    langInit = lang_.LangInit;
    openLanguages();
}

void OptionsForm::openConnection()
{
    connectionType = tagOf(options_.ConnectionType, kConnectionTypes);
    // A value no button stands for would be written back as nothing sensible.
    options_.TransferMode = tagOf(options_.TransferMode, kTransferModes);
    transferMode = options_.TransferMode;
    proxyServer = options_.ProxyServer;
    proxyPort = options_.ProxyPort;
    proxyPsw = options_.ProxyPsw;
    proxyPswMask = options_.ProxyPswMask;
    socksServer = options_.SocksServer;
    socksPort = options_.SocksPort;
    socksPsw = options_.SocksPsw;
    socksUC = options_.SocksUC;
    socksPswMask = options_.SocksPswMask;
}

void OptionsForm::openSession()
{
    passive = options_.PassiveTransfer;
    sync = options_.Sync;
    log = options_.Log;
    logFile = options_.LogFile;
    logSize.load(options_.LogSize);
    timeOut.load(options_.TimeOut);
    retry.load(options_.Retry);
    transfers.load(options_.Transfers);
    downLimit.load(options_.DownLimit);
    upLimit.load(options_.UpLimit);
    keep = options_.Keep;
    startKeep.load(options_.StartKeep);
    durationKeep.load(options_.DurationKeep);
    commands_ = SplitCommaText(options_.CmdKeep);
    extensions_ = SplitCommaText(options_.Ext);
    mailAno = options_.MailAno;
    anonymous = options_.Anonymous;
}

void OptionsForm::openDisplay()
{
    fwSimbol = options_.fwSimbol;
    // Firewall logins are not offered: the box always opens unchecked, so "OK" turns them off.
    fwEnable = false;
    fwType = tagOf(options_.fwType, kFirewallTypes);
    iniPath = options_.IniPath;
    font = {options_.FontName, options_.FontSize, options_.FontColor};
    promptDownLoad = options_.PromptDownLoad;
    promptUpLoad = options_.PromptUpLoad;
    defPrompt = tagOf(options_.DefPrompt, kDefaultActions);
    dateType = tagOf(options_.DateType, kDateFormats);
}

void OptionsForm::ok()
{
    writeConnection();
    writeSession();
    writeDisplay();
    writeLanguage();
    save();
    if (retranslateMainWindow)
        retranslateMainWindow();
}

void OptionsForm::writeConnection()
{
    options_.ConnectionType = uint8_t(tagOf(connectionType, kConnectionTypes));
    options_.TransferMode = tagOf(transferMode, kTransferModes);
    options_.ProxyServer = proxyServer;
    options_.ProxyPort = proxyPort;
    options_.ProxyPsw = proxyPsw;
    options_.ProxyPswMask = proxyPswMask;
    options_.SocksServer = socksServer;
    options_.SocksPort = socksPort;
    options_.SocksPsw = socksPsw;
    options_.SocksUC = socksUC;
    options_.SocksPswMask = socksPswMask;
}

void OptionsForm::writeSession()
{
    options_.PassiveTransfer = passive;
    options_.Sync = sync;
    options_.Log = log;
    options_.LogFile = logFile;
    options_.LogSize = logSize.value();
    options_.TimeOut = timeOut.value();
    options_.Retry = retry.value();
    options_.Transfers = transfers.value();
    options_.DownLimit = downLimit.value();
    options_.UpLimit = upLimit.value();
    options_.StartKeep = startKeep.value();
    options_.DurationKeep = durationKeep.value();
    options_.CmdKeep = JoinCommaText(commands_);
    options_.Keep = keep && !commands_.empty();
    options_.Ext = JoinCommaText(extensions_);
    options_.MailAno = mailAno;
    options_.Anonymous = anonymous;
}

void OptionsForm::writeDisplay()
{
    options_.fwEnable = fwEnable;
    options_.fwType = tagOf(fwType, kFirewallTypes);
    options_.fwSimbol = fwSimbol;
    options_.IniPath = iniPath;
    options_.FontName = font.name;
    options_.FontSize = font.size;
    options_.FontColor = font.color;
    options_.PromptDownLoad = promptDownLoad;
    options_.PromptUpLoad = promptUpLoad;
    options_.DefPrompt = tagOf(defPrompt, kDefaultActions);
    options_.DateType = tagOf(dateType, kDateFormats);
}

void OptionsForm::writeLanguage()
{
    lang_.LangOn = langOn;
    lang_.LangInit = langInit;
    // Without a chosen entry the built-in language stays: an empty name would stand for a file ".lan".
    lang_.LangFile = selectedLanguage_ >= 0 ? languages_[size_t(selectedLanguage_)] : kTemplateLanguage;
}

void OptionsForm::save()
{
    try {
        SaveOptions(options_, lang_, fonts_);
    } catch (const IniWriteError& e) {
        ui_.ShowMessage(mainMessages_[msgAttention], e.what());
    }
}

} // namespace brisk
