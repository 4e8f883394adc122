#include "config/options_store.h"

#include "platform/ini_file.h"
#include "platform/program_dir.h"

#include <algorithm>
#include <unistd.h>

namespace brisk {
namespace {

const char* const kCommon = "Common";
const char* const kProxy = "Proxy";
const char* const kSocks = "Socks";
const char* const kLanguage = "Language";
const char* const kFontLeft = "Font Left";
const char* const kFontRight = "Font Right";
const char* const kView = "View";
constexpr int32_t kDefaultMaxListingMiB = 1024;
constexpr int32_t kDefaultSizeDisplay = 1;
constexpr int32_t kSizeDisplayModes = 3;

void loadProxyAndSocks(const IniFile& ini, TFTPOptions& o)
{
    o.ProxyServer = ini.readString(kProxy, "Server", "");
    o.ProxyPort = ini.readString(kProxy, "Port", "");
    o.ProxyPsw = ini.readString(kProxy, "Psw", "");
    o.ProxyPswMask = ini.readBool(kProxy, "PswMask", false);
    o.SocksServer = ini.readString(kSocks, "Server", "");
    o.SocksPort = ini.readString(kSocks, "Port", "");
    o.SocksPsw = ini.readString(kSocks, "Psw", "");
    o.SocksUC = ini.readString(kSocks, "UC", "");
    o.SocksPswMask = ini.readBool(kSocks, "PswMask", false);
}

void loadSessionKeys(const IniFile& ini, TFTPOptions& o, const std::string& defaultLog)
{
    o.PassiveTransfer = ini.readBool(kCommon, "PassiveTransfer", true);
    o.Sync = ini.readBool(kCommon, "Sync", false);
    o.Log = ini.readBool(kCommon, "Log", false);
    const std::string logFile = ini.readString(kCommon, "LogFile", defaultLog);
    o.LogFile = logFile.empty() ? defaultLog : logFile;
    o.LogSize = ini.readInteger(kCommon, "LogSize", 10000);
    o.TimeOut = ini.readInteger(kCommon, "TimeOut", 15);
    o.Retry = ini.readInteger(kCommon, "retry", 0);
    o.Keep = ini.readBool(kCommon, "Keep", false);
    o.StartKeep = ini.readInteger(kCommon, "StartKeep", 100);
    o.DurationKeep = ini.readInteger(kCommon, "DurationKeep", 10);
    o.CmdKeep = ini.readString(kCommon, "CmdKeep", "");
    o.Ext = ini.readString(kCommon, "Ext", "");
    o.Anonymous = ini.readString(kCommon, "Anonymous", "");
    o.MailAno = ini.readBool(kCommon, "MailAno", false);
}

// Values out of range get the defaults, as a value that is no number does.
void loadTransferKeys(const IniFile& ini, TFTPOptions& o)
{
    o.Transfers = ini.readInteger(kCommon, "Transfers", 2);
    if (o.Transfers < 1 || o.Transfers > kMaxTransfers)
        o.Transfers = 2;
    o.DownLimit = std::max(0, ini.readInteger(kCommon, "DownLimit", 0));
    o.UpLimit = std::max(0, ini.readInteger(kCommon, "UpLimit", 0));
}

void loadFirewallAndDisplay(const IniFile& ini, TFTPOptions& o, const std::string& programDir)
{
    o.fwHost = ini.readString(kCommon, "fwHost", "");
    o.fwPort = ini.readString(kCommon, "fwPort", "21");
    o.fwID = ini.readString(kCommon, "fwID", "");
    o.fwPsw = ini.readString(kCommon, "fwPsw", "");
    o.fwType = ini.readInteger(kCommon, "fwType", 0);
    o.fwSimbol = ini.readString(kCommon, "fwSimbol", "@");
    o.fwEnable = ini.readBool(kCommon, "fwEnable", false);
    // Older versions wrote the settings folder back as the start folder when none was chosen; the
    // local panel never starts among the settings files unless the user goes there.
    o.IniPath = ini.readString(kCommon, "IniPath", "");
    if (o.IniPath == programDir || o.IniPath + "/" == programDir)
        o.IniPath.clear();
    o.FontName = ini.readString(kCommon, "FontName", "MS Sans Serif");
    o.FontSize = ini.readInteger(kCommon, "FontSize", 8);
    o.FontColor = ini.readInteger(kCommon, "FontColor", 0);
    o.PromptDownLoad = ini.readBool(kCommon, "PromptDownLoad", true);
    o.PromptUpLoad = ini.readBool(kCommon, "PromptUpLoad", true);
    o.DefPrompt = ini.readInteger(kCommon, "DefPrompt", 0);
    o.DateType = ini.readInteger(kCommon, "DateType", 0);
    o.TimeZone = static_cast<int16_t>(ini.readInteger(kCommon, "TimeZone", 0));
    // A negative cap means nothing sensible; it gets the default, as a value that is no number does.
    o.MaxListingMiB = ini.readInteger(kCommon, "MaxListing", kDefaultMaxListingMiB);
    if (o.MaxListingMiB < 0)
        o.MaxListingMiB = kDefaultMaxListingMiB;
    loadTransferKeys(ini, o);
}

void loadFont(const IniFile& ini, const char* section, ListFont& f)
{
    f.Name = ini.readString(section, "Name", f.Name);
    f.CharSet = static_cast<uint8_t>(ini.readInteger(section, "CharSet", f.CharSet));
    f.Color = ini.readInteger(section, "Color", f.Color);
    f.Bold = ini.readBool(section, "Style_Bold", f.Bold);
    f.Italic = ini.readBool(section, "Style_Italic", f.Italic);
    f.UnderLine = ini.readBool(section, "Style_UnderLine", f.UnderLine);
    f.StrikeOut = ini.readBool(section, "Style_StrikeOut", f.StrikeOut);
}

void saveProxyAndSocks(IniFile& ini, const TFTPOptions& o)
{
    ini.writeString(kProxy, "Server", o.ProxyServer);
    ini.writeString(kProxy, "Port", o.ProxyPort);
    ini.writeString(kProxy, "Psw", o.ProxyPsw);
    ini.writeBool(kProxy, "PswMask", o.ProxyPswMask);
    ini.writeString(kSocks, "Server", o.SocksServer);
    ini.writeString(kSocks, "Port", o.SocksPort);
    ini.writeString(kSocks, "Psw", o.SocksPsw);
    ini.writeString(kSocks, "UC", o.SocksUC);
    ini.writeBool(kSocks, "PswMask", o.SocksPswMask);
}

void saveCommon(IniFile& ini, const TFTPOptions& o)
{
    ini.writeBool(kCommon, "PassiveTransfer", o.PassiveTransfer);
    ini.writeBool(kCommon, "Sync", o.Sync);
    ini.writeBool(kCommon, "Log", o.Log);
    ini.writeString(kCommon, "LogFile", o.LogFile);
    ini.writeInteger(kCommon, "LogSize", o.LogSize);
    ini.writeInteger(kCommon, "TimeOut", o.TimeOut);
    ini.writeInteger(kCommon, "retry", o.Retry);
    ini.writeBool(kCommon, "Keep", o.Keep);
    ini.writeInteger(kCommon, "StartKeep", o.StartKeep);
    ini.writeInteger(kCommon, "DurationKeep", o.DurationKeep);
    ini.writeString(kCommon, "CmdKeep", o.CmdKeep);
    ini.writeString(kCommon, "Ext", o.Ext);
    ini.writeString(kCommon, "Anonymous", o.Anonymous);
    ini.writeBool(kCommon, "MailAno", o.MailAno);
    ini.writeString(kCommon, "fwHost", o.fwHost);
    ini.writeString(kCommon, "fwPort", o.fwPort);
    ini.writeString(kCommon, "fwID", o.fwID);
    ini.writeString(kCommon, "fwPsw", o.fwPsw);
    ini.writeInteger(kCommon, "fwType", o.fwType);
    ini.writeString(kCommon, "fwSimbol", o.fwSimbol);
    ini.writeBool(kCommon, "fwEnable", o.fwEnable);
    ini.writeString(kCommon, "IniPath", o.IniPath);
    ini.writeString(kCommon, "FontName", o.FontName);
    ini.writeInteger(kCommon, "FontSize", o.FontSize);
    ini.writeInteger(kCommon, "FontColor", o.FontColor);
    ini.writeBool(kCommon, "PromptDownLoad", o.PromptDownLoad);
    ini.writeBool(kCommon, "PromptUpLoad", o.PromptUpLoad);
    ini.writeInteger(kCommon, "DefPrompt", o.DefPrompt);
    ini.writeInteger(kCommon, "DateType", o.DateType);
    ini.writeInteger(kCommon, "TimeZone", o.TimeZone);
    ini.writeInteger(kCommon, "MaxListing", o.MaxListingMiB);
    ini.writeInteger(kCommon, "Transfers", o.Transfers);
    ini.writeInteger(kCommon, "DownLimit", o.DownLimit);
    ini.writeInteger(kCommon, "UpLimit", o.UpLimit);
}

void saveFont(IniFile& ini, const char* section, const ListFont& f)
{
    ini.writeString(section, "Name", f.Name);
    ini.writeInteger(section, "CharSet", f.CharSet);
    ini.writeInteger(section, "Color", f.Color);
    ini.writeBool(section, "Style_Bold", f.Bold);
    ini.writeBool(section, "Style_Italic", f.Italic);
    ini.writeBool(section, "Style_UnderLine", f.UnderLine);
    ini.writeBool(section, "Style_StrikeOut", f.StrikeOut);
}

} // namespace

std::string OptionsFilePath()
{
    return ProgramDir() + "options.ftp";
}

std::string MakeListingTempFile()
{
    return ProgramDir() + "FTPDIR" + std::to_string(::getpid()) + ".TXT";
}

void LoadOptions(TFTPOptions& options, TLang& lang, ListFonts& fonts)
{
    const std::string programDir = ProgramDir();
    const std::string defaultLog = programDir + "tolvaxe.log";
    options.ListingTempFile = MakeListingTempFile();
    options.LogFile = defaultLog;

    const IniFile ini(OptionsFilePath());
    options.ConnectionType = static_cast<uint8_t>(ini.readInteger(kCommon, "ConnectionType", 0));
    options.TransferMode = ini.readInteger(kCommon, "TransferMode", 0);
    loadProxyAndSocks(ini, options);
    loadSessionKeys(ini, options, defaultLog);
    loadFirewallAndDisplay(ini, options, programDir);

    lang.LangOn = ini.readBool(kLanguage, "LangOn", false);
    lang.LangInit = ini.readBool(kLanguage, "LangInit", false);
    lang.LangFile = ini.readString(kLanguage, "LangFile", "language");

    loadFont(ini, kFontLeft, fonts.Left);
    loadFont(ini, kFontRight, fonts.Right);

    // A mode a later version may add reads as the default here.
    options.SizeDisplayMode = ini.readInteger(kView, "SizeDisplay", kDefaultSizeDisplay);
    if (options.SizeDisplayMode < 0 || options.SizeDisplayMode >= kSizeDisplayModes)
        options.SizeDisplayMode = kDefaultSizeDisplay;
}

void SaveOptions(const TFTPOptions& options, const TLang& lang, const ListFonts& fonts)
{
    IniFile ini(OptionsFilePath());
    ini.writeInteger(kCommon, "ConnectionType", options.ConnectionType);
    ini.writeInteger(kCommon, "TransferMode", options.TransferMode);
    saveProxyAndSocks(ini, options);
    saveCommon(ini, options);
    ini.writeBool(kLanguage, "LangOn", lang.LangOn);
    ini.writeBool(kLanguage, "LangInit", lang.LangInit);
    ini.writeString(kLanguage, "LangFile", lang.LangFile);
    saveFont(ini, kFontRight, fonts.Right);
    saveFont(ini, kFontLeft, fonts.Left);
    ini.writeInteger(kView, "SizeDisplay", options.SizeDisplayMode);
    ini.save();
}

} // namespace brisk
