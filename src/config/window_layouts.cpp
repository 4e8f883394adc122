#include "config/window_layouts.h"

#include "config/options_store.h"
#include "platform/ini_file.h"

namespace brisk {
namespace {

const char* const kSection = "Layouts";

} // namespace

const std::array<LayoutKey, 14> kLayoutKeys = {{
    {"LogHeight", &LayoutSizes::LogHeight},
    {"Local", &LayoutSizes::Local},
    {"Ftp", &LayoutSizes::Ftp},
    {"LocDirList", &LayoutSizes::LocDirList},
    {"LocFile", &LayoutSizes::LocFile},
    {"LocSize", &LayoutSizes::LocSize},
    {"LocDate", &LayoutSizes::LocDate},
    {"LocTime", &LayoutSizes::LocTime},
    {"FtpFile", &LayoutSizes::FtpFile},
    {"FtpSize", &LayoutSizes::FtpSize},
    {"FtpDate", &LayoutSizes::FtpDate},
    {"FtpTime", &LayoutSizes::FtpTime},
    {"FtpAttribute", &LayoutSizes::FtpAttribute},
    {"FtpLinks", &LayoutSizes::FtpLinks},
}};

void LoadLayouts(LayoutSizes& sizes)
{
    const IniFile ini(OptionsFilePath());
    for (const LayoutKey& key : kLayoutKeys)
        sizes.*key.field = ini.readInteger(kSection, key.name, sizes.*key.field);
}

void SaveLayouts(const LayoutSizes& sizes)
{
    IniFile ini(OptionsFilePath());
    for (const LayoutKey& key : kLayoutKeys)
        ini.writeInteger(kSection, key.name, sizes.*key.field);
    ini.save();
}

} // namespace brisk
