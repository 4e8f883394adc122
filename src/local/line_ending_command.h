#pragma once
#include "i18n/main_messages.h"
#include "local/line_ending_file.h"
#include "platform/user_prompts.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace brisk {

class LocalPanel;

// Where the conversion reports: a new log line (its index comes back) and more text for that line.
struct LogLines {
    std::function<size_t(const std::string&)> add;
    std::function<void(size_t, const std::string&)> append;
};

// The paths of the local panel's selected file rows, in row order; directories are left out.
std::vector<std::string> SelectedFilePaths(const LocalPanel& local);
// Whether any selected row is a file: when "Carriage Return" is offered.
bool HasSelectedFile(const LocalPanel& local);

// One file: "Converting file: PATH ..." in the log, then " Ok!", " Open file error!", " Read file
// error!" or " Write file error!" appended to that line (nothing for an empty file). A path that
// no longer exists is passed over without a line.
void ConvertFile(const std::string& path, LineEnding value, const LogLines& log, const MainMessages& messages,
                 uint64_t memoryBudget = kLineEndingMemoryBudget);

// "Carriage Return" on the local panel: asks for the line ending, then converts the selected files
// one per turn of the event loop, so that the window shows each file's line while a long batch runs.
// A second command while one runs joins the queue. The panel is not refreshed afterwards.
class LineEndingCommand {
public:
    LineEndingCommand(UserPrompts& ui, const MainMessages& messages, LocalPanel& local, LogLines log);
    LineEndingCommand(const LineEndingCommand&) = delete;
    LineEndingCommand& operator=(const LineEndingCommand&) = delete;

    void ConvertLineEndings();
    // Files still waiting for their turn.
    size_t pending() const { return queue_.size(); }

    // Files bigger than this are converted block by block.
    uint64_t memoryBudget = kLineEndingMemoryBudget;

private:
    void convertNext();

    UserPrompts& ui_;
    const MainMessages& messages_;
    LocalPanel& local_;
    LogLines log_;
    std::deque<std::pair<std::string, LineEnding>> queue_;
    // Posted turns hold it weakly: none runs once the command is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisk
