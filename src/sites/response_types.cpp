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

} // namespace brisk
