#pragma once
#include "config/ftp_options.h"
#include "sites/server_info.h"

namespace brisk {

// The new-site defaults the options give: the e-mail address when MailAno is on, the time zone.
SiteDefaults SiteDefaultsFrom(const TFTPOptions& options, const std::string& answerName = "Default");

} // namespace brisk
