#pragma once
#include <string>
#include <vector>

namespace brisk {

// A named custom column layout; entry 0 of a layout list is the built-in default.
struct CustomLayout {
    std::string name;
    std::string descriptor;
    bool operator==(const CustomLayout&) const = default;
};

// ProgramDir + "Answer.txt".
std::string AnswerFilePath();

// The layouts of "Answer.txt" (none when it is missing). Entry 0 always gets the default
// descriptor, and the default name when the file names nothing.
std::vector<CustomLayout> LoadCustomLayouts(const std::string& defaultName);

// One line per layout: the name in double quotes (inner quotes doubled), a comma, the descriptor.
bool SaveCustomLayouts(const std::vector<CustomLayout>& layouts);

} // namespace brisk
