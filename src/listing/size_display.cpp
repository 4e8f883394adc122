#include "listing/size_display.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

namespace brisk {

namespace {

std::optional<uint64_t> plainBytes(std::string_view text)
{
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string grouped(uint64_t bytes)
{
    const std::string digits = std::to_string(bytes);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ' ';
        out += digits[i];
    }
    return out;
}

std::string binary(uint64_t bytes)
{
    static constexpr std::array<const char*, 7> kUnits = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    size_t unit = 0;
    double value = double(bytes);
    // 1023.95 and more would round to "1024.0": that is one of the next unit.
    while (value >= 1023.95 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    // Two decimals only while they still round below "10.00".
    const int decimals = value < 9.995 ? 2 : 1;
    // to_chars, unlike printf, writes a decimal point whatever the process locale.
    std::array<char, 32> text{};
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    return std::string(text.data(), result.ptr) + " " + kUnits[unit];
}

} // namespace

std::string FormatSizeForDisplay(std::string_view bytesText, SizeDisplay display)
{
    const std::optional<uint64_t> bytes = plainBytes(bytesText);
    if (!bytes || display == SizeDisplay::Bytes)
        return std::string(bytesText);
    return display == SizeDisplay::Grouped ? grouped(*bytes) : binary(*bytes);
}

std::string ExactSizeText(std::string_view bytesText)
{
    const std::optional<uint64_t> bytes = plainBytes(bytesText);
    if (!bytes)
        return {};
    return std::to_string(*bytes) + (*bytes == 1 ? " byte" : " bytes");
}

} // namespace brisk
