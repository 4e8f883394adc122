#include "ftp/ftp_client.h"

#include "ftp/ftp_reply.h"
#include "platform/ascii.h"
#include "platform/utc_stamp.h"

#include <sys/stat.h>

namespace brisk {

namespace {

constexpr size_t kMaxReplyBody = 256;

// The local file's time, -1 when it cannot be read.
int64_t localModified(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 ? int64_t(info.st_mtime) : -1;
}

// The facts a listing row is made of, among those the server offers; empty when it sends them all
// already (each marked "*") or offers no permissions.
std::string wantedMlstFacts(const std::string& offered)
{
    static constexpr std::string_view kWanted[] = {"type", "size", "sizd", "modify", "unix.mode"};
    std::string facts;
    bool modeOff = false;
    std::string_view rest = offered;
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        std::string_view fact = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        const bool on = fact.ends_with('*');
        if (on)
            fact.remove_suffix(1);
        for (std::string_view wanted : kWanted) {
            if (!equalsNoCase(fact, wanted))
                continue;
            facts += std::string(fact) + ";";
            modeOff = modeOff || (wanted == "unix.mode" && !on);
        }
    }
    return modeOff ? facts : std::string();
}

int64_t mdtmResult(const std::string& line)
{
    size_t after = 0;
    if (FtpReplyCode(line, &after) != 213)
        return 0;
    const int64_t t = ParseUtcStamp(trimBlanks(std::string_view(line).substr(after)));
    return t > 0 ? t : 0;
}

} // namespace

void TCustomFtpCli::ForgetServer()
{
    features_ = {};
    mlsdRefused_ = false;
    listOnce_ = false;
    epsvRefused_ = false;
    serverType_ = 0;
    listingMlsd_ = false;
    replyBody_.clear();
    serverBanner_.clear();
}

// vsftpd takes "MDTM time path" as setting the time (its mdtm_write); other servers would read it as
// asking for the time of a file named "time path".
bool TCustomFtpCli::SetsTimeWithMdtm() const
{
    return features_.has("MDTM") && serverBanner_.find("(vsFTPd ") != std::string::npos;
}

bool TCustomFtpCli::ServerOffersStep(TFtpStep step) const
{
    switch (step) {
    case stepOptsUtf8: return features_.has("UTF8");
    case stepOptsMlst: return UseMlsd && !wantedMlstFacts(features_.params("MLST")).empty();
    case stepMdtm: return features_.has("MDTM");
    case stepMfmt:
        return (features_.has("MFMT") || SetsTimeWithMdtm()) && localModified(LocalFileName) > 0;
    default: return true;
    }
}

// Steps whose refusal costs nothing: FEAT, OPTS UTF8, and the file times around a transfer. Their
// reply is logged and read, and the sequence goes on whatever it says.
void TCustomFtpCli::ExtensionStep(TFtpStep step)
{
    std::string cmd;
    switch (step) {
    case stepFeat:
        replyBody_.clear();
        cmd = "FEAT";
        break;
    case stepOptsUtf8: cmd = "OPTS UTF8 ON"; break;
    case stepOptsMlst: cmd = "OPTS MLST " + wantedMlstFacts(features_.params("MLST")); break;
    case stepMdtm: cmd = "MDTM " + HostFileName; break;
    case stepMfmt: {
        const std::string stamp = UtcStamp(localModified(LocalFileName));
        cmd = (features_.has("MFMT") ? "MFMT " : "MDTM ") + stamp + " " + HostFileName;
        break;
    }
    default: return;
    }
    fctPrv_ = step;
    ExecAsync(requestType_, cmd, {});
    if (state_ == fsWaitingResponse)
        next_ = &TCustomFtpCli::OptionalReply;
}

void TCustomFtpCli::OptionalReply()
{
    Display("< " + lastResponse_);
    statusCode_ = FtpReplyCode(lastResponse_);
    const bool good = statusCode_ >= 200 && statusCode_ < 300;
    switch (fctPrv_) {
    case stepFeat:
        features_ = statusCode_ == 211 ? FtpFeatures::Parse(replyBody_) : FtpFeatures{};
        replyBody_.clear();
        break;
    case stepMdtm: remoteModified_ = good ? mdtmResult(lastResponse_) : 0; break;
    case stepMfmt:
        if (!good)
            Display("! " + Remarks[frKeepsUploadTime]);
        break;
    default: break;
    }
    requestResult_ = 0;
    TriggerRequestDone(0);
}

std::string TCustomFtpCli::ListingCommand()
{
    listingMlsd_ = UseMlsd && features_.has("MLST") && !mlsdRefused_ && !listOnce_;
    listOnce_ = false;
    return listingMlsd_ ? "MLSD" : ListHiddenFiles ? "LIST -aL" : "LIST";
}

// A refused MLSD is asked again as LIST within the same request, so that a listing fails only as LIST
// fails (pyftpdlib answers 501 to MLSD where LIST says 550). A server that does not know MLSD after
// all (500, 502) gets LIST for the rest of the session.
bool TCustomFtpCli::RetryListingWithList()
{
    if (dataCommand_ != "MLSD" || !seqRunning_ || statusCode_ < 500)
        return false;
    if (statusCode_ == 500 || statusCode_ == 502)
        mlsdRefused_ = true;
    else
        listOnce_ = true;
    listingMlsd_ = false;
    dataCommandSent_ = false;
    if (dataSocket_.State() != wsClosed)
        dataSocket_.Close();
    steps_ |= (uint32_t(1) << stepPort) | (uint32_t(1) << stepDir);
    requestResult_ = 0;
    TriggerRequestDone(0);
    return true;
}

// EPSV names only a port, so it also works where the address in a 227 reply would be wrong; an FTP
// proxy, though, relays only PASV.
bool TCustomFtpCli::UsesExtendedPassive() const
{
    return features_.has("EPSV") && !epsvRefused_ && connectionType_ != ftpProxy;
}

// A server that offers EPSV but refuses it as unknown gets PASV, now and for the rest of the session.
void TCustomFtpCli::ExtendedPassiveReply()
{
    const int code = FtpReplyCode(lastResponse_);
    if (code == 500 || code == 502) {
        Display("< " + lastResponse_);
        epsvRefused_ = true;
        SetState(fsInternalReady);
        return PortAsync();
    }
    if (code == 229)
        passiveReply_ = lastResponse_;
    NextExecAsync();
}

void TCustomFtpCli::KeepReplyBody(const std::string& line)
{
    if (fctPrv_ == stepFeat && replyBody_.size() < kMaxReplyBody)
        replyBody_.push_back(line);
}

// The reply to an MDTM sent ahead of PASV/EPSV (PortStep): the file's time, then that command's turn.
void TCustomFtpCli::TimeAskedAhead()
{
    Display("< " + lastResponse_);
    const int code = FtpReplyCode(lastResponse_);
    remoteModified_ = code >= 200 && code < 300 ? mdtmResult(lastResponse_) : 0;
    next_ = afterPipelined_;
    afterPipelined_ = nullptr;
}

} // namespace brisk
