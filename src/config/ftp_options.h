#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// The most connections the transfer queue opens to one site.
constexpr int32_t kMaxTransfers = 10;

// Every program-wide setting of the options file. Defaults are those of a missing file, except
// the ones LoadOptions derives from ProgramDir (LogFile, ListingTempFile).
struct TFTPOptions {
    uint8_t ConnectionType = 0;     // 0 direct, 1 proxy, 2 SOCKS 4, 3 SOCKS 4A, 4 SOCKS 5
    int32_t TransferMode = 0;       // 0 auto-detect, 1 ASCII, 2 binary
    std::string ProxyServer;
    std::string ProxyPort;
    std::string ProxyPsw;
    bool ProxyPswMask = false;
    std::string SocksServer;
    std::string SocksPort;
    std::string SocksPsw;
    std::string SocksUC;
    bool SocksPswMask = false;
    bool PassiveTransfer = true;
    bool Sync = false;
    bool Log = false;
    std::string LogFile;
    int32_t TimeOut = 15;
    int32_t Retry = 0;
    std::string Ext;
    bool Keep = false;
    int32_t StartKeep = 100;
    int32_t DurationKeep = 10;
    std::string CmdKeep;
    bool MailAno = false;
    std::string Anonymous;
    std::string fwHost;
    std::string fwPort = "21";
    std::string fwID;
    std::string fwPsw;
    std::string fwSimbol = "@";
    int32_t fwType = 0;
    bool fwEnable = false;
    std::string ListingTempFile;    // never stored
    std::string IniPath;            // the local panel's start folder; empty: the home directory
    std::string FontName = "MS Sans Serif";
    int32_t FontSize = 8;
    int32_t FontColor = 0;
    bool PromptDownLoad = true;
    bool PromptUpLoad = true;
    int32_t DefPrompt = 0;          // 0 skip, 1 overwrite, 2 resume
    int32_t DateType = 0;           // 0 day first, 1 month first
    int32_t LogSize = 10000;
    int16_t TimeZone = 0;           // local offset from GMT in whole hours
    int32_t MaxListingMiB = 1024;   // a longer listing fails instead of filling the disk; 0 no limit
    int32_t SizeDisplayMode = 1;    // the panels' sizes: 0 bytes, 1 digit groups, 2 KiB/MiB/GiB
    int32_t Transfers = 2;          // simultaneous transfers of the queue, 1-10
    int32_t DownLimit = 0;          // KiB/s for all downloads together; 0 no limit
    int32_t UpLimit = 0;            // KiB/s for all uploads together; 0 no limit

    bool operator==(const TFTPOptions&) const = default;
};

// Language settings.
struct TLang {
    bool LangOn = false;
    bool LangInit = false;
    std::string LangFile = "language";

    bool operator==(const TLang&) const = default;
};

// The colour value that stands for the system's window-text colour (a system colour reference,
// not an RGB value); the GUI maps it to its palette.
constexpr int32_t kWindowTextColor = static_cast<int32_t>(0x80000008u);

// The font of one file list, as plain data for the GUI to apply.
struct ListFont {
    std::string Name = "MS Sans Serif";
    int32_t CharSet = 1;            // the default character set
    int32_t Color = kWindowTextColor;
    bool Bold = false;
    bool Italic = false;
    bool UnderLine = false;
    bool StrikeOut = false;

    bool operator==(const ListFont&) const = default;
};

// The fonts of the local (left) and remote (right) file lists.
struct ListFonts {
    ListFont Left;
    ListFont Right;

    bool operator==(const ListFonts&) const = default;
};

} // namespace brisk
