#pragma once
#include "listing/response_type.h"

#include <string>

namespace brisk {

constexpr int kResponseTypeCount = 10;

// The name shown for a response type code 0..9, the position in the site dialog's list
// ("Default" for anything else).
std::string ResponseTypeName(int code);
inline std::string ResponseTypeName(ResponseType type) { return ResponseTypeName(static_cast<int>(type)); }

} // namespace brisk
