#include "listing/remote_entry.h"

namespace brisk {

std::string joinEntryFields(const RemoteEntry& entry, std::string_view separator)
{
    std::string out;
    out.reserve(entry.name.size() + entry.size.size() + entry.date.size() + entry.time.size()
                + entry.attributes.size() + entry.link.size() + 6 * separator.size() + 1);
    out += entry.isDirectory ? '0' : '1';
    for (const std::string* field :
         {&entry.name, &entry.size, &entry.date, &entry.time, &entry.attributes, &entry.link}) {
        out += separator;
        out += *field;
    }
    return out;
}

std::string formatEntryTabbed(const RemoteEntry& entry)
{
    return joinEntryFields(entry, "\t");
}

} // namespace brisk
