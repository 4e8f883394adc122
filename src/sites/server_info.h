#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace brisk {

// The longest texts the fields hold; longer input is cut.
namespace SiteLimits {
constexpr size_t Name = 50;
constexpr size_t Description = 200;
constexpr size_t LocalDir = 255;
constexpr size_t InitialDir = 255;
constexpr size_t ModifiedDate = 80;
constexpr size_t EMail = 60;
constexpr size_t Answer = 7;
constexpr size_t AnswerName = 255;
} // namespace SiteLimits

constexpr const char* kDefaultAnswer = "0957681";

// One stored site. Flags are 0 or 1. Password is plain text in memory, scrambled on disk.
struct TFTPServerInfo {
    std::string Name;
    std::string Server;       // may carry user, password, port and path
    std::string Password;
    std::string User;
    std::string Account;
    std::string Description;
    std::string LocalDir;
    std::string InitialDir;
    std::string ModifiedDate;
    std::string EMail;
    uint8_t Anonymous = 0;
    uint8_t SavePassword = 0;
    std::string Port;
    uint8_t Pasv = 0;
    std::string Desc;         // lines joined by "`"
    std::string Answer;       // response type descriptor for listings
    std::string AnswerName;
    uint8_t CheckPSW = 0;
    uint8_t CheckVHost = 0;
    int16_t TimeZone = 0;     // server offset from GMT in hours, -12..12
    int16_t TimeZoneV = 0;    // index in the time-zone list, -1 for none
    uint8_t ShowHidden = 0;
    uint8_t MkDir = 0;
    uint8_t Security = 0;     // 0 plain, 1 explicit TLS if available, 2 explicit TLS required, 3 implicit TLS

    bool operator==(const TFTPServerInfo&) const = default;
};

// Where the defaults of a new site come from: the options and the dialog's layout name.
struct SiteDefaults {
    std::string EMail;                    // the Anonymous option when MailAno is on
    int16_t TimeZone = 0;                 // the TimeZone option
    std::string AnswerName = "Default";   // the translated name of the default layout
};

// The defaults of a new site.
void InitSiteDefaults(TFTPServerInfo& site, const SiteDefaults& defaults);

} // namespace brisk
