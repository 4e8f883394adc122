#include "session/custom_commands.h"

#include "platform/comma_text.h"
#include "platform/program_dir.h"
#include "platform/text_file.h"

namespace brisk {

std::string CommandsFilePath()
{
    return ProgramDir() + "commands.txt";
}

void LoadCommands(CustomCommands& library)
{
    library = {};
    std::vector<std::string> lines;
    if (!readTextLines(CommandsFilePath(), lines) || lines.size() < 2)
        return;
    library.labels = SplitCommaText(lines[0]);
    library.commands = SplitCommaText(lines[1]);
}

bool SaveCommands(const CustomCommands& library)
{
    return writePrivateFile(CommandsFilePath(),
                            joinLines({JoinCommaText(library.labels), JoinCommaText(library.commands)}));
}

} // namespace brisk
