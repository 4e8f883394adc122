#include "sites/site_defaults.h"

namespace brisk {

SiteDefaults SiteDefaultsFrom(const TFTPOptions& options, const std::string& answerName)
{
    SiteDefaults d;
    d.EMail = options.MailAno ? options.Anonymous : std::string();
    d.TimeZone = options.TimeZone;
    d.AnswerName = answerName;
    return d;
}

} // namespace brisk
