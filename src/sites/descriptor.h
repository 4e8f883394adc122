#pragma once
#include <array>
#include <string>

namespace brisk {

// The six column positions of a custom layout: Name, Size, Month, Day, Time, Attribute.
using PositionFields = std::array<std::string, 6>;

// The type as one decimal digit, then each field as one hex digit ("0" for an empty field, a
// non-number or a number outside 0..15).
std::string BuildDescriptor(int responseType, const PositionFields& fields);

// Characters 2..7 of a descriptor as decimal texts ("0" where a digit is missing or invalid).
PositionFields PositionFieldsOf(const std::string& descriptor);

// What typing key into a position field gives: a digit is added while the field holds fewer
// than two characters; any other key acts as a backspace.
std::string TypePositionKey(const std::string& field, char key);

} // namespace brisk
