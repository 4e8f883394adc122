#include "listing/response_type.h"

namespace brisk {

namespace {

int hexDigitAt(std::string_view descriptor, size_t index)
{
    static constexpr std::string_view kDigits = "0123456789abcdef";
    if (index >= descriptor.size())
        return 0;
    const size_t p = kDigits.find(descriptor[index]);
    return p == std::string_view::npos ? 0 : int(p);
}

} // namespace

ResponseType responseTypeOf(std::string_view descriptor)
{
    if (descriptor.empty() || descriptor[0] < '1' || descriptor[0] > '9')
        return ResponseType::Automatic;
    return static_cast<ResponseType>(descriptor[0] - '0');
}

CustomColumns customColumnsOf(std::string_view descriptor)
{
    return {hexDigitAt(descriptor, 1), hexDigitAt(descriptor, 2), hexDigitAt(descriptor, 3),
            hexDigitAt(descriptor, 4), hexDigitAt(descriptor, 5), hexDigitAt(descriptor, 6)};
}

} // namespace brisk
