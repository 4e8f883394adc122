#pragma once
#include <string>
#include <vector>

namespace brisk {

// The user's named raw commands, kept for the whole run: entry i of labels belongs to entry i of commands.
struct CustomCommands {
    std::vector<std::string> labels;
    std::vector<std::string> commands;
};

// "commands.txt" in ProgramDir.
std::string CommandsFilePath();
// Line 1 holds the labels, line 2 the commands, each as comma text; a shorter file gives empty lists.
void LoadCommands(CustomCommands& library);
bool SaveCommands(const CustomCommands& library);

} // namespace brisk
