#include "session/entry_names.h"

namespace brisk {

bool IsPlainEntryName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string("/\r\n\0", 4)) == std::string::npos;
}

EntryCheck CheckListedEntry(const RemoteEntry& entry, MainExtraMessage badName)
{
    if (entry.unreadable)
        return {EntryVerdict::Refused, xmsgUnreadableLine};
    if (entry.name == "." || entry.name == "..")
        return {EntryVerdict::Skipped, xmsgDotName};
    if (!IsPlainEntryName(entry.name))
        return {EntryVerdict::Refused, badName};
    return {EntryVerdict::Usable, badName};
}

bool IsSymbolicLink(const std::string& attributes)
{
    return !attributes.empty() && (attributes[0] == 'l' || attributes[0] == 'L');
}

std::string PrintableName(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return out;
}

std::string SkippedText(const MainMessages& msl, const std::string& name, MainExtraMessage why)
{
    return FormatMessage(msl[xmsgSkippedName], {PrintableName(name), msl[why]});
}

std::string FailedText(const MainMessages& msl, const std::string& name)
{
    return FormatMessage(msl[xmsgFailedName], {PrintableName(name)});
}

std::string SkippedText(const MainMessages& msl, const std::string& name, const std::string& dir,
                        MainExtraMessage why)
{
    return FormatMessage(msl[xmsgSkippedNameIn], {PrintableName(name), PrintableName(dir), msl[why]});
}

} // namespace brisk
