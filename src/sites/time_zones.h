#pragma once
#include <ctime>
#include <string>
#include <vector>

namespace brisk {

// The system's time zones as the properties dialog lists them.
struct TimeZoneList {
    std::vector<std::string> texts;   // "(GMT+05:30) Asia/Kolkata", ordered by offset, then name
    int current = -1;                 // the system's own zone, -1 when it is not listed
};

// "(GMT+hh:mm) Name" for an offset east of GMT in seconds.
std::string ZoneDisplayText(long offsetSeconds, const std::string& name);

// The whole hours of a display text: the sign and the digits before ":" of "(GMT±hh:mm)";
// 0 for anything else.
int ZoneOffsetHours(const std::string& displayText);

// The zones named by zone1970.tab (else zone.tab) in zoneinfoDir, plus "UTC", each with its
// offset at `now`. currentZone is matched by name ("Etc/UTC" and its aliases count as "UTC").
// Offsets are looked up through the TZ variable, which is restored afterwards; call it from the
// thread that owns the environment.
TimeZoneList BuildTimeZoneList(const std::string& zoneinfoDir, const std::string& currentZone, std::time_t now);

// The name of the system's zone: $TZ, else the target of /etc/localtime, else /etc/timezone.
std::string SystemTimeZoneName();

// BuildTimeZoneList for the system database, the system zone and the current time.
TimeZoneList SystemTimeZoneList();

} // namespace brisk
