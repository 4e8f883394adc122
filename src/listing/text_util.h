#pragma once
#include "platform/ascii.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace brisk {

// Plain decimal digits only (no sign, no blanks) whose value fits 64 bits; nothing otherwise.
std::optional<int64_t> decimalValue(std::string_view text);

// Month 1..12 from the position of `word` (lowercased) inside "janfebmar...dec"; 0 when it does not occur.
int monthFromWordPosition(std::string_view word);

} // namespace brisk
