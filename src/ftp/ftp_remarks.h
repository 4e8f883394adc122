#pragma once
#include <array>
#include <string>
#include <vector>

namespace brisk {

// The lines the engine writes to the log in its own words: its "!" remarks, the statistics after a
// transfer and the TLS lines. %1, %2, ... stand for the values.
enum FtpRemark : int {
    frStatistics, frStatisticsRate, frAbortRequested, frNoReplyAfterDataFailure, frKeepsUploadTime,
    frForeignDataConnection, frReceiveError, frCannotOpenLocal, frCannotWriteLocal, frCannotReadLocal,
    frSendError, frRetrieveFailed, frStoreFailed, frUnclosedDataTls, frRestRefused, frAppeRefused,
    frNotResumed, frAsciiNotResumable, frRemoteMissing, frNoRemoteSize, frRemoteNotShorter,
    frNoTls, frTlsEstablished, frCertificateTrusted, frCertificateChanged, frCertificateNotStored,
    frNewDataTlsSession, frDataTlsFirst, frDataTlsFailed,
    frCount
};

// The English texts, in FtpRemark order.
const std::array<const char*, frCount>& FtpRemarksEnglish();

// The texts an engine writes, English until a caller hands it others (the user's language).
class FtpRemarks {
public:
    FtpRemarks();
    // Texts in FtpRemark order; one that is missing or empty keeps its English text.
    void assign(const std::vector<std::string>& texts);
    const std::string& operator[](FtpRemark remark) const { return texts_[size_t(remark)]; }
    std::string format(FtpRemark remark, const std::vector<std::string>& args) const;

private:
    std::array<std::string, frCount> texts_;
};

} // namespace brisk
