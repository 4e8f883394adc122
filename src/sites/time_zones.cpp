#include "sites/time_zones.h"

#include "platform/ascii.h"
#include "platform/directories.h"
#include "platform/text_file.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace brisk {
namespace {

const char* const kZoneinfo = "/usr/share/zoneinfo";

struct Zone {
    long offset;
    std::string name;
};

std::vector<std::string> zoneNames(const std::string& dir)
{
    std::vector<std::string> lines;
    if (!readTextLines(dir + "/zone1970.tab", lines))
        readTextLines(dir + "/zone.tab", lines);
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t first = line.find('\t');
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos)
            continue;
        const std::string name = line.substr(second + 1, line.find('\t', second + 1) - second - 1);
        if (!name.empty() && name.find("..") == std::string::npos && fileExists(dir + "/" + name))
            names.push_back(name);
    }
    if (fileExists(dir + "/UTC"))
        names.push_back("UTC");
    return names;
}

// Restores TZ (and the C library's idea of it) when the lookups are done.
class TzScope {
public:
    TzScope()
    {
        if (const char* tz = std::getenv("TZ"))
            saved_ = tz;
    }
    ~TzScope()
    {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    long offsetOf(const std::string& file, std::time_t now)
    {
        ::setenv("TZ", (":" + file).c_str(), 1);
        ::tzset();
        std::tm local {};
        return ::localtime_r(&now, &local) ? local.tm_gmtoff : 0;
    }

private:
    std::optional<std::string> saved_;
};

std::string canonicalName(std::string name)
{
    if (!name.empty() && name[0] == ':')
        name.erase(0, 1);
    const size_t at = name.find("zoneinfo/");
    if (at != std::string::npos)
        name.erase(0, at + 9);
    for (const char* alias : {"Etc/UTC", "Etc/UCT", "UCT", "Etc/Universal", "Universal", "Etc/Zulu", "Zulu",
                              "Etc/GMT", "GMT", "Etc/GMT0", "GMT0", "Etc/Greenwich", "Greenwich"})
        if (name == alias)
            return "UTC";
    return name;
}

} // namespace

std::string ZoneDisplayText(long offsetSeconds, const std::string& name)
{
    const long minutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    char text[32];
    std::snprintf(text, sizeof text, "(GMT%c%02ld:%02ld) ", offsetSeconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text + name;
}

int ZoneOffsetHours(const std::string& displayText)
{
    const size_t open = displayText.find('(');
    const size_t close = open == std::string::npos ? open : displayText.find(')', open);
    if (close == std::string::npos)
        return 0;
    std::string inner = trimmed(displayText.substr(open + 1, close - open - 1));
    if (inner.compare(0, 3, "GMT") != 0)
        return 0;
    inner = trimmed(inner.substr(3));
    int sign = 1;
    if (!inner.empty() && (inner[0] == '+' || inner[0] == '-')) {
        sign = inner[0] == '-' ? -1 : 1;
        inner.erase(0, 1);
    }
    const std::string hours = trimmed(inner.substr(0, inner.find(':')));
    if (hours.empty() || hours.size() > 4 || hours.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return sign * std::atoi(hours.c_str());
}

TimeZoneList BuildTimeZoneList(const std::string& zoneinfoDir, const std::string& currentZone, std::time_t now)
{
    std::vector<Zone> zones;
    {
        TzScope scope;
        for (const std::string& name : zoneNames(zoneinfoDir))
            zones.push_back({scope.offsetOf(zoneinfoDir + "/" + name, now), name});
    }
    std::sort(zones.begin(), zones.end(), [](const Zone& a, const Zone& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.name < b.name;
    });
    zones.erase(std::unique(zones.begin(), zones.end(),
                            [](const Zone& a, const Zone& b) { return a.name == b.name; }),
                zones.end());
    TimeZoneList list;
    const std::string current = canonicalName(currentZone);
    for (const Zone& zone : zones) {
        if (zone.name == current)
            list.current = static_cast<int>(list.texts.size());
        list.texts.push_back(ZoneDisplayText(zone.offset, zone.name));
    }
    return list;
}

std::string SystemTimeZoneName()
{
    if (const char* tz = std::getenv("TZ"); tz && *tz)
        return canonicalName(tz);
    char target[4096];
    const ssize_t n = ::readlink("/etc/localtime", target, sizeof target - 1);
    if (n > 0)
        return canonicalName(std::string(target, static_cast<size_t>(n)));
    std::vector<std::string> lines;
    if (readTextLines("/etc/timezone", lines) && !lines.empty())
        return canonicalName(trimmed(lines[0]));
    return {};
}

TimeZoneList SystemTimeZoneList()
{
    return BuildTimeZoneList(kZoneinfo, SystemTimeZoneName(), std::time(nullptr));
}

} // namespace brisk
