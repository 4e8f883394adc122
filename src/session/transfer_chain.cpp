#include "session/transfer_chain.h"

#include "session/remote_paths.h"

namespace brisk {

void TransferChain::continueDownload()
{
    ctx_.flags.remove(ofDownloadTree);
    ctx_.ftp.HostFileName.clear();
    ctx_.refresh();
}

void TransferChain::continueUpload()
{
    ctx_.flags.remove(ofUploadTree | ofUploadParentCwd);
    ctx_.ftp.HostFileName.clear();
    ctx_.refresh();
}

void TransferChain::uploadCwdFailed()
{
    TFtpClient& ftp = ctx_.ftp;
    if (!ctx_.site.MkDir) {
        ftp.HostFileName = ftp.HostDirName;
        ftp.MkdAsync();
        return;
    }
    if (WithSlash(ParentDir(ftp.HostDirName)) == WithSlash(uploadTargetDir_)) {
        ftp.HostFileName = LastComponent(ftp.HostDirName);
        ftp.MkdAsync();
        return;
    }
    uploadTargetDir_ = ftp.HostDirName;
    ftp.HostDirName = ParentDir(ftp.HostDirName);
    ctx_.flags.set(ofUploadParentCwd);
    ftp.CwdAsync();
}

void TransferChain::uploadParentEntered()
{
    ctx_.flags.remove(ofUploadParentCwd);
    ctx_.ftp.HostFileName = LastComponent(uploadTargetDir_);
    ctx_.ftp.MkdAsync();
    ctx_.ftp.HostDirName = uploadTargetDir_;
}

void TransferChain::uploadDirMade()
{
    if (ctx_.site.MkDir)
        ctx_.ftp.HostDirName = WithSlash(ctx_.ftp.HostDirName);
    ctx_.ftp.CwdAsync();
}

void TransferChain::failed(TFtpRequest kind)
{
    stopping_ = false;
    if (kind == ftpCwdAsync && ctx_.flags.has(ofUploadTree)) {
        ctx_.ftp.TypeAscii();
        return uploadCwdFailed();
    }
    end();
}

void TransferChain::end()
{
    ctx_.flags.remove(ofDownloadTree | ofUploadTree | ofUploadParentCwd);
    if (ctx_.ftp.Connected())
        ctx_.returnToBase();
}

} // namespace brisk
