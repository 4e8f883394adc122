#include "mirror/mirror_overwrite.h"

namespace brisk {

namespace {

std::string& targetName(TMirrorRec& rec)
{
    return rec.Operation == omGet ? rec.LocalName : rec.RemoteName;
}

bool skip(TMirrorRun& run, int index, TMirrorRec& rec)
{
    rec.State = smDone;
    run.Items.PutItem(index, rec);
    return false;
}

bool withoutPrompt(TMirrorRun& run, int index, TMirrorRec& rec, MirrorOverwriteContext& context)
{
    if (context.defPrompt == 0)
        return skip(run, index, rec);
    context.ResumeThis = context.defPrompt == 2;
    return true;
}

} // namespace

bool CheckMirrorOverwrite(TMirrorRun& run, int index, MirrorOverwriteContext& context)
{
    if (context.OverwriteAll)
        return true;
    context.ResumeThis = false;
    TMirrorRec rec;
    if (!run.Items.GetItem(index, rec))
        return false;
    while (context.targetExists(rec)) {
        if (!context.prompting)
            return withoutPrompt(run, index, rec, context);
        std::string name = targetName(rec);
        switch (context.ui.AskOverwrite(name)) {
        case OverwriteChoice::Resume: context.ResumeThis = true; return true;
        case OverwriteChoice::Overwrite: return true;
        case OverwriteChoice::All: context.OverwriteAll = true; return true;
        case OverwriteChoice::Skip: return skip(run, index, rec);
        case OverwriteChoice::SaveAs:
            targetName(rec) = name;
            run.Items.PutItem(index, rec);
            continue;
        case OverwriteChoice::Cancel: break;
        }
        run.Stop();
        return false;
    }
    return true;
}

} // namespace brisk
