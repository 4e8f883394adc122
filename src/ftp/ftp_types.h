#pragma once
#include <cstdint>
#include <string>

namespace brisk {

enum TFtpClientState : uint8_t {
    fsNotConnected,
    fsReady,
    fsInternalReady,
    fsDnsLookup,
    fsConnected,
    fsAbort,
    fsInternalAbort,
    fsWaitingBanner,
    fsWaitingResponse,
};

enum TFtpRequest : uint8_t {
    ftpNone, ftpOpenAsync, ftpUserAsync, ftpPassAsync, ftpCwdAsync, ftpConnectAsync, ftpReceiveAsync,
    ftpDirAsync, ftpLsAsync, ftpPortAsync, ftpGetAsync, ftpDirectoryAsync, ftpListAsync, ftpSystemAsync,
    ftpSystAsync, ftpQuitAsync, ftpSizeAsync, ftpPutAsync, ftpAppendAsync, ftpFileSizeAsync, ftpRqAbort,
    ftpMkdAsync, ftpRmdAsync, ftpRenameAsync, ftpDeleAsync, ftpRenAsync, ftpRenToAsync, ftpRenFromAsync,
    ftpDeleteAsync, ftpMkdirAsync, ftpRmdirAsync, ftpPwdAsync, ftpQuoteAsync, ftpCDupAsync, ftpDoQuoteAsync,
    ftpTransmitAsync, ftpTypeSetAsync, ftpRestAsync, ftpRestGetAsync, ftpRestartGetAsync, ftpRestPutAsync,
    ftpRestartPutAsync,
};

// "none", "OpenAsync", ... for the first 40 kinds; the last two have no name and give "".
std::string FtpRequestName(TFtpRequest rq);

enum TFtpConnectionType : uint8_t { ftpDirect, ftpProxy, ftpSocks4, ftpSocks4A, ftpSocks5 };

enum TFtpShareMode : uint8_t {
    ftpShareCompat = 0x00,
    ftpShareExclusive = 0x10,
    ftpShareDenyWrite = 0x20,
    ftpShareDenyRead = 0x30,
    ftpShareDenyNone = 0x40,
};

enum TFtpOption : unsigned { ftpAcceptLF = 1, ftpNoAutoResumeAt = 2 };
using TFtpOptions = unsigned;

// Steps of a multi-step operation; they also name the primitive in flight for the reply's data.
enum TFtpStep : uint8_t {
    stepNone, stepOpen, stepUser, stepPass, stepCwd, stepSize, stepMkd, stepRmd, stepRenFrom, stepRenTo,
    stepGet, stepDir, stepQuit, stepSyst, stepDele, stepPwd, stepQuote, stepPut, stepTypeSet, stepRest,
    stepCDup, stepLs, stepAppend, stepPort, stepSecure, stepFeat, stepOptsUtf8, stepOptsMlst, stepMdtm,
    stepMfmt, stepVerifySize,
};

} // namespace brisk
