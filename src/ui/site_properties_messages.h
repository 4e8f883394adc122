#pragma once
#include "i18n/main_messages.h"

namespace brisk {

// The site properties dialog's message list, read by position.
enum SitePropertiesMessage : int {
    spmDefault = 0, spmMissingName, spmAttention, spmNewHostType, spmEnter, spmEditHostType, spmBadServer,
    spmBadPort,
};

// The English texts, in order.
MessageList SitePropertiesMessagesEnglish();

} // namespace brisk
