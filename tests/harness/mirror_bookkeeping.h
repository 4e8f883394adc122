#pragma once
#include "mirror/mirror_run.h"
#include "mirror/mirror_state_file.h"

#include <string>
#include <vector>

namespace brisk::test {

// The shape of a downloaded tree: directories below the root, each with its files; every
// `unlistedEvery`-th directory cannot be listed (0: none).
struct BookkeepingShape {
    int dirs = 0;
    int filesPerDir = 0;
    int unlistedEvery = 0;
};

// A mirror run's bookkeeping without a server: the plans placed and the steps taken through them
// as MirrorRunner takes them (the root's plan appended, each entered directory's inserted before its
// "omDir", each record started and then done), ending with the state file's text. Returns the
// number of operations.
inline int RunMirrorBookkeeping(TMirrorRun& run, const BookkeepingShape& shape, std::string& stateText)
{
    std::vector<TMirrorRec> root;
    for (int d = 0; d < shape.dirs; ++d) {
        const std::string name = "d" + std::to_string(d);
        root.push_back({name, "", 0, 0, omMkdLoc, smNone});
        root.push_back({name, name, 0, 0, omDir, smNone});
        root.push_back({name, name, 0, 0, omDirUp, smNone});
    }
    std::vector<TMirrorRec> files;
    for (int f = 0; f < shape.filesPerDir; ++f)
        files.push_back({"f" + std::to_string(f), "f" + std::to_string(f), 0, 10, omGet, smNone});
    run.Items.Place(root, true, 0);
    int next = -1;
    int entered = 0;
    while (run.FindNext(next)) {
        run.Current = next;
        TMirrorRec r = run.Items.at(next);
        r.State = smProgress;
        run.Items.PutItem(next, r);
        if (r.Operation != omDir)
            run.MarkDone();
        else if (shape.unlistedEvery > 0 && ++entered % shape.unlistedEvery == 0)
            run.MarkUnlisted();
        else
            run.Items.Place(files, false, run.Current);
    }
    stateText = FormatMirrorState(run.StateHeader(), run.Items.items());
    return run.Items.Count();
}

} // namespace brisk::test
