#include "sites/site_line.h"

#include "platform/ini_file.h"
#include "sites/password_scramble.h"

#include <iterator>
#include <map>

namespace brisk {
namespace {

// A scrambled password that holds ";" or a line break cannot be stored as it is; it goes into
// this item as hex digits instead, so it survives the round trip.
const char* const kPasswordHexKey = "PasswordHex";

std::string cutAtSeparator(const std::string& value)
{
    return value.substr(0, value.find_first_of(";\r\n"));
}

bool storableAsIs(const std::string& value)
{
    return value.find_first_of(";\r\n") == std::string::npos;
}

std::string toHex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool fromHex(const std::string& hex, std::string& bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hexValue(hex[i]);
        const int lo = hexValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

class LineWriter {
public:
    void text(const char* key, const std::string& value)
    {
        if (!value.empty())
            line_ += std::string(key) + "=" + cutAtSeparator(value) + ";";
    }
    void number(const char* key, int value) { line_ += std::string(key) + "=" + std::to_string(value) + ";"; }
    void password(const std::string& plain)
    {
        const std::string stored = ScramblePassword(plain);
        if (storableAsIs(stored))
            text("Password", stored);
        else
            text(kPasswordHexKey, toHex(stored));
    }
    const std::string& line() const { return line_; }

private:
    std::string line_;
};

using Items = std::map<std::string, std::string>;

Items splitItems(const std::string& line)
{
    Items items;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(';', start);
        if (end == std::string::npos)
            end = line.size();
        const std::string item = line.substr(start, end - start);
        const size_t eq = item.find('=');
        if (eq != std::string::npos)
            items.emplace(item.substr(0, eq), item.substr(eq + 1));   // the first one wins
        start = end + 1;
    }
    return items;
}

// Leading optional "-" and digits, within 16 bits; 0 when there are none.
int16_t leadingNumber(const std::string& text)
{
    size_t end = (!text.empty() && text[0] == '-') ? 1 : 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    int32_t value = 0;
    if (!parseInt32(text.substr(0, end), value))
        return 0;
    return static_cast<int16_t>(value);
}

class LineReader {
public:
    explicit LineReader(const std::string& line) : items_(splitItems(line)) {}

    bool any(const char* const* keys, size_t count) const
    {
        for (size_t i = 0; i < count; ++i)
            if (items_.count(keys[i]))
                return true;
        return false;
    }
    void text(const char* key, std::string& field, size_t limit = std::string::npos) const
    {
        if (const auto it = items_.find(key); it != items_.end())
            field = it->second.substr(0, limit);
    }
    void flag(const char* key, uint8_t& field, uint8_t fallback) const
    {
        int32_t value = 0;
        if (const auto it = items_.find(key); it != items_.end())
            field = parseInt32(it->second, value) ? uint8_t(value != 0) : fallback;
    }
    void timeZone(int16_t& field, int16_t fallback) const
    {
        int32_t value = 0;
        if (const auto it = items_.find("TimeZone"); it != items_.end())
            field = parseInt32(it->second, value) ? static_cast<int16_t>(value) : fallback;
        if (field < -12 || field > 12)
            field = 0;
    }
    void timeZoneIndex(int16_t& field) const
    {
        int32_t value = 0;
        if (const auto it = items_.find("TimeZoneV"); it != items_.end())
            field = parseInt32(it->second, value) ? static_cast<int16_t>(value) : leadingNumber(it->second);
    }
    // A line without the key comes from before TLS: plain FTP, not the new sites' default.
    void security(uint8_t& field) const
    {
        int32_t value = 0;
        const auto it = items_.find("Security");
        field = it != items_.end() && parseInt32(it->second, value) && value >= 0 && value <= 3 ? uint8_t(value) : 0;
    }
    void password(std::string& field) const
    {
        std::string stored;
        const auto hex = items_.find(kPasswordHexKey);
        if (hex == items_.end() || !fromHex(hex->second, stored))
            text("Password", stored);
        field = ScramblePassword(stored);
    }

private:
    Items items_;
};

const char* const kKeys[] = {"Name", "Server", "Password", "User", "Account", "Description",
    "LocalDir", "InitialDir", "ModifiedDate", "EMail", "Anonymous", "SavePassword", "Port", "Pasv",
    "Desc", "Answer", "AnswerName", "CheckPSW", "CheckVHost", "TimeZone", "TimeZoneV", "ShowHidden",
    "MkDir", "Security", kPasswordHexKey};

} // namespace

std::string SerializeSite(const TFTPServerInfo& s)
{
    LineWriter w;
    w.text("Name", s.Name);
    w.text("Server", s.Server);
    w.text("Port", s.Port);
    w.password(s.Password);
    w.text("User", s.User);
    w.text("Account", s.Account);
    w.text("Description", s.Description);
    w.text("InitialDir", s.InitialDir);
    w.number("Anonymous", s.Anonymous);
    w.number("SavePassword", s.SavePassword);
    w.text("ModifiedDate", s.ModifiedDate);
    w.text("EMail", s.EMail);
    w.text("LocalDir", s.LocalDir);
    w.number("Pasv", s.Pasv);
    w.text("Desc", s.Desc);
    w.text("Answer", s.Answer);
    w.text("AnswerName", s.AnswerName);
    w.number("CheckPSW", s.CheckPSW);
    w.number("CheckVHost", s.CheckVHost);
    w.number("TimeZone", s.TimeZone);
    w.number("TimeZoneV", s.TimeZoneV);
    w.number("ShowHidden", s.ShowHidden);
    w.number("MkDir", s.MkDir);
    if (s.Security != 0)
        w.number("Security", s.Security); // left out when plain, so older lines stay as they were
    return w.line();
}

bool ParseSiteLine(const std::string& line, TFTPServerInfo& s, const SiteDefaults& defaults)
{
    s = TFTPServerInfo{};
    InitSiteDefaults(s, defaults);
    const LineReader r(line);
    r.text("Name", s.Name, SiteLimits::Name);
    r.text("Server", s.Server);
    r.password(s.Password);
    r.text("User", s.User);
    r.text("Account", s.Account);
    r.text("Description", s.Description, SiteLimits::Description);
    r.text("LocalDir", s.LocalDir, SiteLimits::LocalDir);
    r.text("InitialDir", s.InitialDir, SiteLimits::InitialDir);
    r.text("ModifiedDate", s.ModifiedDate, SiteLimits::ModifiedDate);
    r.text("EMail", s.EMail, SiteLimits::EMail);
    r.flag("Anonymous", s.Anonymous, 1);
    r.flag("SavePassword", s.SavePassword, 1);
    r.text("Port", s.Port);
    r.flag("Pasv", s.Pasv, 0);
    r.text("Desc", s.Desc);
    r.text("Answer", s.Answer, SiteLimits::Answer);
    r.text("AnswerName", s.AnswerName, SiteLimits::AnswerName);
    r.flag("CheckPSW", s.CheckPSW, 1);
    r.flag("CheckVHost", s.CheckVHost, 0);
    r.timeZone(s.TimeZone, defaults.TimeZone);
    r.timeZoneIndex(s.TimeZoneV);
    r.flag("ShowHidden", s.ShowHidden, 0);
    r.flag("MkDir", s.MkDir, 0);
    r.security(s.Security);
    return r.any(kKeys, std::size(kKeys));
}

} // namespace brisk
