#include "sites/site_properties.h"

#include "platform/ascii.h"
#include "sites/response_types.h"
#include "sites/site_field_rules.h"

namespace brisk {
namespace {

const char kDescSeparator = '`';

std::vector<std::string> splitDesc(const std::string& desc)
{
    std::vector<std::string> lines;
    if (desc.empty())
        return lines;
    size_t start = 0;
    for (size_t sep; (sep = desc.find(kDescSeparator, start)) != std::string::npos; start = sep + 1)
        lines.push_back(desc.substr(start, sep - start));
    lines.push_back(desc.substr(start));
    return lines;
}

std::string joinDesc(const std::vector<std::string>& lines)
{
    std::string desc;
    for (size_t i = 0; i < lines.size(); ++i)
        desc += (i ? std::string(1, kDescSeparator) : std::string()) + lines[i];
    return desc;
}

std::string stored(const std::string& text, size_t limit = std::string::npos)
{
    return trimmed(text).substr(0, limit);
}

} // namespace

SiteProperties::SiteProperties(const TFTPServerInfo& site, TimeZoneList zones, std::string defaultLayoutName)
    : site_(site), zones_(std::move(zones)), defaultName_(std::move(defaultLayoutName))
{
    fillForm();
    const int count = static_cast<int>(zones_.texts.size());
    form.zoneIndex = (site_.TimeZoneV >= 0 && site_.TimeZoneV < count) ? site_.TimeZoneV : zones_.current;
    openResponseType();
    form.descLines = splitDesc(site_.Desc);
}

void SiteProperties::fillForm()
{
    form.name = site_.Name;
    form.server = site_.Server;
    form.port = site_.Port;
    form.user = site_.User;
    form.password = site_.Password;
    form.account = site_.Account;
    form.email = site_.EMail;
    form.anonymous = site_.Anonymous;
    form.savePassword = site_.SavePassword;
    form.maskPassword = site_.CheckPSW;
    form.passive = site_.Pasv;
    form.security = site_.Security < securityTexts().size() ? site_.Security : 0;
    form.sharedVirtualHost = site_.CheckVHost;
    form.showHidden = site_.ShowHidden;
    form.relativePath = site_.MkDir;
    form.initialDir = site_.InitialDir;
    form.addSlash = !site_.InitialDir.empty() && site_.InitialDir[0] == '/';
    form.localDir = site_.LocalDir;
}

// In the order of TFTPServerInfo::Security's values.
const std::vector<std::string>& SiteProperties::securityTexts()
{
    static const std::vector<std::string> texts = {"Plain FTP (no encryption)", "Explicit TLS if available",
                                                   "Explicit TLS required", "Implicit TLS"};
    return texts;
}

int SiteProperties::layoutNamed(const std::string& name) const
{
    for (size_t i = 0; i < layouts_.size(); ++i)
        if (equalsNoCase(layouts_[i].name, name))
            return static_cast<int>(i);
    return -1;
}

void SiteProperties::openResponseType()
{
    layouts_ = LoadCustomLayouts(defaultName_);
    ResponseType type = responseTypeOf(site_.Answer);
    if (site_.Answer.size() != 7 || type == ResponseType::Automatic) {
        site_.Answer = kDefaultAnswer;
        site_.AnswerName = defaultName_;
        type = ResponseType::Automatic;
    }
    form.responseType = static_cast<int>(type);
    layout_ = layoutNamed(site_.AnswerName);
    if (type == ResponseType::Custom) {
        if (layout_ > 0)
            site_.Answer = layouts_[static_cast<size_t>(layout_)].descriptor;
        else
            site_.Answer = kDefaultAnswer;
    }
    if (layout_ < 0)
        layout_ = 0;
    form.positions = PositionFieldsOf(site_.Answer);
}

void SiteProperties::setAddSlash(bool on)
{
    std::string dir = trimmed(form.initialDir);
    if (on && (dir.empty() || dir[0] != '/'))
        dir = "/" + dir;
    if (!on && !dir.empty() && dir[0] == '/')
        dir = trimmed(dir.substr(1));
    form.initialDir = dir;
    form.addSlash = on;
}

std::string SiteProperties::BuildDescriptor() const
{
    return brisk::BuildDescriptor(form.responseType, form.positions);
}

void SiteProperties::storeFieldsIntoLayout()
{
    if (layout_ > 0 && layout_ < static_cast<int>(layouts_.size()))
        layouts_[static_cast<size_t>(layout_)].descriptor = BuildDescriptor();
}

void SiteProperties::selectLayout(int index)
{
    if (index < 0 || index >= static_cast<int>(layouts_.size()))
        return;
    storeFieldsIntoLayout();
    layout_ = index;
    form.positions = PositionFieldsOf(layouts_[static_cast<size_t>(index)].descriptor);
}

void SiteProperties::addLayout(const std::string& name)
{
    storeFieldsIntoLayout();
    layouts_.push_back({name.substr(0, SiteLimits::AnswerName), kDefaultAnswer});
    site_.Answer = kDefaultAnswer;
    layout_ = static_cast<int>(layouts_.size()) - 1;
    form.positions = PositionFieldsOf(kDefaultAnswer);
}

void SiteProperties::editLayout(const std::string& name)
{
    if (layout_ > 0)
        layouts_[static_cast<size_t>(layout_)].name = name.substr(0, SiteLimits::AnswerName);
    else
        addLayout(name);
}

bool SiteProperties::deleteLayout()
{
    if (layout_ <= 0)
        return false;
    layouts_.erase(layouts_.begin() + layout_);
    layout_ -= 1;
    form.positions = PositionFieldsOf(layouts_[static_cast<size_t>(layout_)].descriptor);
    return true;
}

void SiteProperties::storeForm()
{
    site_.Name = stored(form.name, SiteLimits::Name);
    site_.Server = stored(form.server);
    site_.Port = stored(form.port);
    site_.User = stored(form.user);
    site_.Password = form.password;
    site_.Account = stored(form.account);
    site_.EMail = stored(form.email, SiteLimits::EMail);
    site_.Anonymous = form.anonymous;
    site_.SavePassword = form.savePassword;
    site_.CheckPSW = form.maskPassword;
    site_.Pasv = form.passive;
    site_.Security = uint8_t(form.security >= 0 && size_t(form.security) < securityTexts().size() ? form.security : 0);
    site_.CheckVHost = form.sharedVirtualHost;
    site_.ShowHidden = form.showHidden;
    site_.MkDir = form.relativePath;
    site_.InitialDir = stored(form.initialDir, SiteLimits::InitialDir);
    site_.LocalDir = stored(form.localDir, SiteLimits::LocalDir);
}

SiteFormError SiteProperties::check() const
{
    if (trimmed(form.name).empty())
        return SiteFormError::MissingName;
    if (!ServerFieldValid(form.server))
        return SiteFormError::BadServer;
    if (!PortFieldValid(form.port))
        return SiteFormError::BadPort;
    return SiteFormError::None;
}

bool SiteProperties::save()
{
    if (check() != SiteFormError::None)
        return false;
    storeForm();
    const bool zoneChosen = form.zoneIndex >= 0 && form.zoneIndex < static_cast<int>(zones_.texts.size());
    site_.TimeZoneV = static_cast<int16_t>(zoneChosen ? form.zoneIndex : -1);
    if (zoneChosen)
        site_.TimeZone = static_cast<int16_t>(ZoneOffsetHours(zones_.texts[static_cast<size_t>(form.zoneIndex)]));
    site_.Answer = BuildDescriptor();
    storeFieldsIntoLayout();
    const bool layoutChosen = layout_ >= 0 && layout_ < static_cast<int>(layouts_.size());
    site_.AnswerName = layoutChosen ? layouts_[static_cast<size_t>(layout_)].name : std::string();
    site_.Desc = joinDesc(form.descLines);
    close();
    return true;
}

void SiteProperties::cancel()
{
    close();
}

void SiteProperties::close()
{
    answerWritten_ = SaveCustomLayouts(layouts_);
}

} // namespace brisk
