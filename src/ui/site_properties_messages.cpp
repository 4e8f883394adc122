#include "ui/site_properties_messages.h"

#include "sites/site_field_rules.h"
#include "sites/site_properties.h"

namespace brisk {

MessageList SitePropertiesMessagesEnglish()
{
    return MessageList({"Default", SiteProperties::kMissingNameMessage, "Attention", "New Host Type", "Enter",
                        "Edit Host Type", std::string("Server: ") + kServerFieldRule,
                        std::string("Port: ") + kPortFieldRule});
}

} // namespace brisk
