#include "remote_commands.h"

#include <cstring>

namespace brisk::cli {

const RemoteCommandInfo* findRemoteCommand(const std::string& name)
{
    static const RemoteCommandInfo table[] = {
        {"ls", 0, 6, runLs},       {"nlst", 0, 1, runNlst},   {"get", 1, 2, runGet},   {"put", 1, 2, runPut},
        {"append", 2, 2, runAppend}, {"mkdir", 1, 1, runMkdir}, {"rmdir", 1, 1, runRmdir}, {"rm", 1, 1, runRm},
        {"mv", 2, 2, runMv},       {"size", 1, 1, runSize},   {"pwd", 0, 0, runPwd},
    };
    for (const RemoteCommandInfo& info : table)
        if (name == info.name)
            return &info;
    return nullptr;
}

} // namespace brisk::cli
