#include "mirror/mirroring.h"

#include "mirror/mirror_profile.h"

namespace brisk {

Mirroring::Mirroring(SessionController& session, const LocalDirectory& local, UserInterface& ui,
                     MirrorEditor& editor)
    : session_(session), local_(local), editor_(editor), form_(task, ui, session.msl)
{
}

bool Mirroring::EditMirrorProfile()
{
    if (!task.Loaded)
        LoadMirrorProfile(task, DefaultMirrorProfilePath());
    form_.show();
    return editor_.EditMirror(form_) && form_.saveTo(DefaultMirrorProfilePath());
}

bool Mirroring::canSynchronize() const
{
    return session_.enabled(Action::SynchronizeDirectories) && session_.sessionReady();
}

void Mirroring::miSyncDir1Click(int tag)
{
    if (!canSynchronize())
        return;
    task.Local = local_.currentDir();
    task.Remote = session_.remoteDir();
    task.Direction = tag != 0 ? 1 : 0;
    task.Loaded = true;
    if (EditMirrorProfile())
        runner_.start();
}

} // namespace brisk
