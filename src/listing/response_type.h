#pragma once
#include <string_view>

namespace brisk {

// The listing layout chosen per site by the first character of its response type descriptor.
enum class ResponseType {
    Automatic,      // "0" and any character other than "1".."9"
    Text,           // "1"
    MsFtp4,         // "2"
    Mac,            // "3"
    Custom,         // "4"
    Vms,            // "5"
    MsFtp5,         // "6"
    UnixBsd,        // "7"
    Windows2000,    // "8"
    WuFtp2,         // "9"
};

ResponseType responseTypeOf(std::string_view descriptor);

// Column positions of the "Custom" type, each taken from one hexadecimal digit of the descriptor
// (characters 2 to 7); 0 when the digit is missing or invalid.
struct CustomColumns {
    int name = 0;
    int size = 0;
    int firstDatePart = 0;
    int secondDatePart = 0;
    int time = 0;
    int attributes = 0;
};

CustomColumns customColumnsOf(std::string_view descriptor);

} // namespace brisk
