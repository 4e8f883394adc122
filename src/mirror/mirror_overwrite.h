#pragma once
#include "mirror/mirror_run.h"
#include "session/user_interface.h"

#include <functional>

namespace brisk {

// What the overwrite check of a mirror transfer works with: the run's answers so far, the options
// for the transfer's direction, how to test the target and whom to ask.
struct MirrorOverwriteContext {
    bool& OverwriteAll;
    bool& ResumeThis;
    bool prompting;        // PromptDownLoad for downloads, PromptUpLoad for uploads
    int defPrompt;         // without prompting: 0 skip, 1 overwrite, 2 resume
    std::function<bool(const TMirrorRec&)> targetExists;   // the local file, or the remote listing's
    UserInterface& ui;
};

// Whether record `index` (an "omGet" or "omPut") is to be transferred. Only the "Ask" policy gets
// here with OverwriteAll off; an existing target is then asked about, or settled by `defPrompt`.
// "Skip" marks the record done, "Save as" renames its target and checks again, "Cancel" stops
// the run. Changes to the record are written back into the list.
bool CheckMirrorOverwrite(TMirrorRun& run, int index, MirrorOverwriteContext& context);

} // namespace brisk
