#include "config/quick_connect_history.h"

#include "config/options_store.h"
#include "platform/ini_file.h"

namespace brisk {
namespace {

const char* const kSection = "QuickConnect";

std::string keyOf(size_t index)
{
    return "Address" + std::to_string(index + 1);
}

} // namespace

std::vector<std::string> LoadQuickConnectHistory()
{
    const IniFile ini(OptionsFilePath());
    std::vector<std::string> addresses;
    for (size_t i = 0; ini.hasKey(kSection, keyOf(i)); ++i)
        if (std::string address = ini.readString(kSection, keyOf(i), ""); !address.empty())
            addresses.push_back(std::move(address));
    return addresses;
}

void SaveQuickConnectHistory(const std::vector<std::string>& addresses)
{
    IniFile ini(OptionsFilePath());
    size_t i = 0;
    for (; i < addresses.size(); ++i)
        ini.writeString(kSection, keyOf(i), addresses[i]);
    for (; ini.hasKey(kSection, keyOf(i)); ++i)
        ini.writeString(kSection, keyOf(i), "");
    ini.save();
}

} // namespace brisk
