#pragma once
#include "mirror/mirror_editor.h"
#include "mirror/mirror_form.h"
#include "mirror/mirror_runner.h"
#include "mirror/mirror_task.h"
#include "platform/local_directory_port.h"
#include "session/session_controller.h"

namespace brisk {

// The program's mirroring: the one mirror task of the run, the dialog that edits it and the
// "Synchronize Directories" command of both panels' menus.
class Mirroring {
public:
    Mirroring(SessionController& session, const LocalDirectory& local, UserInterface& ui, MirrorEditor& editor);
    Mirroring(const Mirroring&) = delete;
    Mirroring& operator=(const Mirroring&) = delete;

    TRecMirror task;

    // The mirror dialog on the task (Default.cpf is read first while nothing has filled it). True
    // when the user left it with "Execute": the task then holds the dialog and is saved as
    // Default.cpf. "Close" drops the dialog's edits.
    bool EditMirrorProfile();
    // "Synchronize Directories": only while a session is open and the engine ready. The task takes
    // the local panel's directory, the remote directory and the direction of the menu's panel
    // (tag 0 local, 1 remote), then goes to the dialog; "Execute" starts a mirror run.
    void miSyncDir1Click(int tag);
    bool canSynchronize() const;
    const MirrorRunner& runner() const { return runner_; }

private:
    SessionController& session_;
    const LocalDirectory& local_;
    MirrorEditor& editor_;
    MirrorForm form_;
    MirrorRunner runner_{session_, task};
};

} // namespace brisk
