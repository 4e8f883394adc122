#include "sites/response_types.h"

namespace brisk {
namespace {

const char* const kNames[kResponseTypeCount] = {
    "Default", "Text", "Microsoft FTP-v.4.0.", "Mac", "Custom", "VMS", "Microsoft FTP-v.5.0.",
    "UNIX,BSD,WU-FTP server", "Windows 2000 Advanced Server", "WU-FTP-2 server"};

} // namespace

std::string ResponseTypeName(int code)
{
    return kNames[(code >= 0 && code < kResponseTypeCount) ? code : 0];
}

int ResponseTypeOf(const std::string& descriptor)
{
    if (descriptor.empty() || descriptor[0] < '1' || descriptor[0] > '9')
        return 0;
    return descriptor[0] - '0';
}

} // namespace brisk
