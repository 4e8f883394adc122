#include "sites/site_field_rules.h"

#include "platform/ascii.h"

namespace brisk {

bool ServerFieldValid(const std::string& server)
{
    const std::string text = trimmed(server);
    return !text.empty() && text.find_first_of(" \t") == std::string::npos;
}

bool PortFieldValid(const std::string& port)
{
    const std::string text = trimmed(port);
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int value = std::stoi(text);
    return value >= 1 && value <= 65535;
}

} // namespace brisk
