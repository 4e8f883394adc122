#include "config/ftp_options.h"

namespace brisk {

TFTPOptions FtpOptions;
TLang tLang;

} // namespace brisk
