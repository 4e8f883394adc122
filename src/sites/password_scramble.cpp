#include "sites/password_scramble.h"

namespace brisk {
namespace {

// Maps ASCII to bytes above 0x7F, so a typed password never turns into ";" or a line break.
constexpr unsigned char kKey = 0xA5;

} // namespace

std::string ScramblePassword(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ kKey);
    return out;
}

} // namespace brisk
