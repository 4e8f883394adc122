#pragma once
#include <string>

namespace brisk {

constexpr int kResponseTypeCount = 10;
constexpr int kCustomResponseType = 4;

// The name shown for a response type code 0..9 ("Default" for anything else).
std::string ResponseTypeName(int code);

// The type a descriptor selects: its first character "1".."9", else 0.
int ResponseTypeOf(const std::string& descriptor);

} // namespace brisk
