#include "sites/descriptor.h"

#include "platform/ini_file.h"

namespace brisk {
namespace {

const char kHexDigits[] = "0123456789abcdef";

char hexDigitOf(const std::string& field)
{
    int32_t value = -1;
    const bool digitsOnly = !field.empty() && field.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly || !parseInt32(field, value) || value > 15)
        return '0';
    return kHexDigits[value];
}

int hexValueOf(char c)
{
    for (int i = 0; i < 16; ++i)
        if (kHexDigits[i] == c || (i >= 10 && kHexDigits[i] - 'a' + 'A' == c))
            return i;
    return 0;
}

} // namespace

std::string BuildDescriptor(int responseType, const PositionFields& fields)
{
    std::string out(1, static_cast<char>('0' + ((responseType >= 0 && responseType <= 9) ? responseType : 0)));
    for (const std::string& field : fields)
        out += hexDigitOf(field);
    return out;
}

PositionFields PositionFieldsOf(const std::string& descriptor)
{
    PositionFields fields;
    for (size_t i = 0; i < fields.size(); ++i)
        fields[i] = std::to_string(i + 1 < descriptor.size() ? hexValueOf(descriptor[i + 1]) : 0);
    return fields;
}

std::string TypePositionKey(const std::string& field, char key)
{
    if (key >= '0' && key <= '9')
        return field.size() < 2 ? field + key : field;
    return field.empty() ? field : field.substr(0, field.size() - 1);
}

} // namespace brisk
