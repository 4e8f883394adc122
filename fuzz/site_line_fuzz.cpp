// Site lines as read from a list file: any line must parse without harm, and a record written back
// must read back the same. A second record is built field by field from the input, written and read
// back; its values come back cut where the line format cuts them.
#include "sites/site_line.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace {

using brisk::TFTPServerInfo;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A list file holds one site per line, so a line never carries its line break.
std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

// What reading gives for a text value: the default when it was empty and so not written, else the
// value cut at the separator and to the field's limit.
std::string readBack(const std::string& value, const std::string& fallback, size_t limit = std::string::npos)
{
    return value.empty() ? fallback : value.substr(0, value.find_first_of(";\r\n")).substr(0, limit);
}

TFTPServerInfo expectedAfterRoundTrip(const TFTPServerInfo& s, const TFTPServerInfo& d)
{
    namespace limit = brisk::SiteLimits;
    TFTPServerInfo e = s;
    e.Name = readBack(s.Name, d.Name, limit::Name);
    e.Server = readBack(s.Server, d.Server);
    e.User = readBack(s.User, d.User);
    e.Account = readBack(s.Account, d.Account);
    e.Description = readBack(s.Description, d.Description, limit::Description);
    e.LocalDir = readBack(s.LocalDir, d.LocalDir, limit::LocalDir);
    e.InitialDir = readBack(s.InitialDir, d.InitialDir, limit::InitialDir);
    e.ModifiedDate = readBack(s.ModifiedDate, d.ModifiedDate, limit::ModifiedDate);
    e.EMail = readBack(s.EMail, d.EMail, limit::EMail);
    e.Port = readBack(s.Port, d.Port);
    e.Desc = readBack(s.Desc, d.Desc);
    e.Answer = readBack(s.Answer, d.Answer, limit::Answer);
    e.AnswerName = readBack(s.AnswerName, d.AnswerName, limit::AnswerName);
    for (uint8_t* flag : {&e.Anonymous, &e.SavePassword, &e.Pasv, &e.CheckPSW, &e.CheckVHost, &e.ShowHidden, &e.MkDir})
        *flag = *flag != 0;
    if (e.TimeZone < -12 || e.TimeZone > 12)
        e.TimeZone = 0;
    return e;
}

TFTPServerInfo recordFrom(FuzzedDataProvider& input)
{
    TFTPServerInfo s;
    for (std::string* text : {&s.Name, &s.Server, &s.Password, &s.User, &s.Account, &s.Description,
             &s.LocalDir, &s.InitialDir, &s.ModifiedDate, &s.EMail, &s.Port, &s.Desc, &s.Answer, &s.AnswerName})
        *text = input.ConsumeRandomLengthString(300);
    for (uint8_t* flag : {&s.Anonymous, &s.SavePassword, &s.Pasv, &s.CheckPSW, &s.CheckVHost, &s.ShowHidden, &s.MkDir})
        *flag = input.ConsumeIntegral<uint8_t>();
    s.TimeZone = input.ConsumeIntegral<int16_t>();
    s.TimeZoneV = input.ConsumeIntegral<int16_t>();
    return s;
}

void checkRoundTrip(const TFTPServerInfo& site, const TFTPServerInfo& expected, const brisk::SiteDefaults& defaults)
{
    TFTPServerInfo back;
    check(brisk::ParseSiteLine(brisk::SerializeSite(site), back, defaults));
    check(back == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    brisk::SiteDefaults defaults;
    defaults.EMail = input.ConsumeRandomLengthString(80);
    defaults.TimeZone = input.ConsumeIntegralInRange<int16_t>(-12, 12);
    TFTPServerInfo fresh;
    brisk::InitSiteDefaults(fresh, defaults);

    const TFTPServerInfo built = recordFrom(input);
    checkRoundTrip(built, expectedAfterRoundTrip(built, fresh), defaults);

    TFTPServerInfo read;
    if (brisk::ParseSiteLine(firstLine(input.ConsumeRemainingBytesAsString()), read, defaults))
        checkRoundTrip(read, expectedAfterRoundTrip(read, fresh), defaults);
    return 0;
}
