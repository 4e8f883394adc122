#pragma once
#include "session/chain_context.h"
#include "session/request_chain.h"
#include "session/transfer_type.h"

#include <cstdint>
#include <string>

namespace brisk {

// Uploads and downloads of files and trees. Transfers are not offered yet: should one of their
// flags be left set, the chain only refreshes the panel. The state below is what the transfer
// engine will work with.
class TransferChain : public RequestChain {
public:
    explicit TransferChain(ChainContext& ctx) : RequestChain(ctx) {}

    TransferType type = TransferType::Auto;
    bool overwriteAll = false;    // "All" in the overwrite prompt: no more prompts in this transfer
    bool resumeThis = false;      // the current file is resumed (REST)
    int64_t remoteFileTime = 0;   // time of the current file, seconds since the epoch

    void continueDownload();
    void continueUpload();
    // A tree upload's CWD failed: the missing directory is created, level by level when the
    // site's MkDir option asks for it.
    void uploadCwdFailed();
    void uploadParentEntered();
    void uploadDirMade();

    bool running() const override { return ctx_.flags.has(ofDownloadTree) || ctx_.flags.has(ofUploadTree); }
    void failed(TFtpRequest kind) override;

private:
    void end() override;

    std::string uploadTargetDir_;   // the directory the upload left, or the one to create next
};

} // namespace brisk
