#include "ui/site_properties_messages.h"

#include "sites/site_properties.h"

namespace brisk {

MessageList SitePropertiesMessagesEnglish()
{
    return MessageList({"Default", SiteProperties::kMissingNameMessage, "Attention", "New Host Type", "Enter",
                        "Edit Host Type", "Server: enter a host name or address without blanks.",
                        "Port: enter a number from 1 to 65535."});
}

} // namespace brisk
