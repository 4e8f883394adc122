#include "ftp/ftp_remarks.h"

#include "platform/format_message.h"

namespace brisk {

const std::array<const char*, frCount>& FtpRemarksEnglish()
{
    static const std::array<const char*, frCount> texts = {
        "%1 bytes received/sent in %2 seconds",
        "%1 bytes received/sent in %2 seconds (%3 Bytes/sec)",
        "Abort requested",
        "No reply to %1 after the data connection failed: closing the session",
        "The remote file keeps the time of the upload",
        "Data connection from %1 refused: not the server (%2)",
        "Data: Receive error %1",
        "Unable to open local file %1",
        "Error writing local file",
        "Error reading file",
        "Error #%1 sending data",
        "RETR/LIST/NLST Failed",
        "STOR Failed",
        "The server ended the data connection without closing TLS: the data may be incomplete",
        "REST refused: the whole file is transferred",
        "APPE refused: resuming with REST and STOR",
        "Not resumed: %1; the whole file is sent",
        "an ASCII transfer cannot be resumed",
        "the remote file is not there",
        "the server gives no size (SIZE answered %1)",
        "the remote file (%1 bytes) is not shorter than the local one",
        "The server does not offer TLS; the session goes on without encryption",
        "TLS connection established: %1",
        "Certificate trusted by the user: %1",
        "The certificate of %1 has changed since it was trusted",
        "Could not store the trusted certificate in %1",
        "Data connection: a new TLS session (the server did not resume the control connection's)",
        "The server answers a transfer command only after the data connection's TLS handshake",
        "Data connection: %1",
    };
    return texts;
}

FtpRemarks::FtpRemarks()
{
    assign({});
}

void FtpRemarks::assign(const std::vector<std::string>& texts)
{
    for (size_t i = 0; i < texts_.size(); ++i)
        texts_[i] = i < texts.size() && !texts[i].empty() ? texts[i] : FtpRemarksEnglish()[i];
}

std::string FtpRemarks::format(FtpRemark remark, const std::vector<std::string>& args) const
{
    return FormatMessage((*this)[remark], args);
}

} // namespace brisk
