#include "ftp/ftp_types.h"

namespace brisk {

std::string FtpRequestName(TFtpRequest rq)
{
    static const char* const names[] = {
        "none", "OpenAsync", "UserAsync", "PassAsync", "CwdAsync", "ConnectAsync", "ReceiveAsync", "DirAsync",
        "LsAsync", "PortAsync", "GetAsync", "DirectoryAsync", "ListAsync", "SystemAsync", "SystAsync",
        "QuitAsync", "SizeAsync", "PutAsync", "AppendAsync", "FileSizeAsync", "RqAbort", "MkdAsync",
        "RmdAsync", "RenameAsync", "DeleAsync", "RenAsync", "RenToAsync", "RenFromAsync", "DeleteAsync",
        "MkdirAsync", "RmdirAsync", "PwdAsync", "QuoteAsync", "CDupAsync", "DoQuoteAsync", "TransmitAsync",
        "TypeSetAsync", "RestAsync", "RestGetAsync", "RestartGetAsync",
    };
    return rq < sizeof names / sizeof names[0] ? names[rq] : "";
}

} // namespace brisk
