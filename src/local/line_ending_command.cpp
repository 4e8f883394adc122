#include "local/line_ending_command.h"

#include "local/local_panel.h"
#include "local/local_paths.h"
#include "platform/event_loop.h"

#include <sys/stat.h>

namespace brisk {

namespace {

const std::string& messageOf(ConvertOutcome outcome, const MainMessages& messages)
{
    switch (outcome) {
    case ConvertOutcome::Ok: return messages[msgOk];
    case ConvertOutcome::OpenError: return messages[msgOpenFileError];
    case ConvertOutcome::ReadError: return messages[msgReadFileError];
    default: return messages[xmsgWriteFileError];
    }
}

// A file, or a link to one; a dangling link is not.
bool fileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

std::vector<std::string> SelectedFilePaths(const LocalPanel& local)
{
    std::vector<std::string> paths;
    const FilePanel& panel = local.panel();
    for (size_t index : panel.selectedIndices())
        if (panel.rows().image(index) == kImageFile)
            paths.push_back(JoinLocalPath(local.currentDir(), std::string(panel.rows().caption(index))));
    return paths;
}

bool HasSelectedFile(const LocalPanel& local)
{
    const FilePanel& panel = local.panel();
    for (size_t index = 0; index < panel.size(); ++index)
        if (panel.isSelected(index) && panel.rows().image(index) == kImageFile)
            return true;
    return false;
}

void ConvertFile(const std::string& path, LineEnding value, const LogLines& log, const MainMessages& messages,
                 uint64_t memoryBudget)
{
    if (!fileExists(path))
        return;
    const size_t line = log.add(messages[msgConvertingFile] + ": " + path + " ...");
    const ConvertOutcome outcome = ConvertFileLineEnds(path, value, memoryBudget);
    if (outcome != ConvertOutcome::Empty && outcome != ConvertOutcome::Missing)
        log.append(line, " " + messageOf(outcome, messages) + "!");
}

LineEndingCommand::LineEndingCommand(UserPrompts& ui, const MainMessages& messages, LocalPanel& local,
                                     LogLines log)
    : ui_(ui), messages_(messages), local_(local), log_(std::move(log))
{
}

void LineEndingCommand::ConvertLineEndings()
{
    const std::vector<std::string> paths = SelectedFilePaths(local_);
    if (paths.empty())
        return;
    const int choice = ui_.ChooseLineEnding();
    if (choice < int(LineEnding::CrLf) || choice > int(LineEnding::Cr))
        return;
    const bool idle = queue_.empty();
    for (const std::string& path : paths)
        queue_.emplace_back(path, LineEnding(choice));
    if (idle)
        convertNext();
}

// The next turn is booked before this file's, so that a file that fails in any way cannot stall
// the files after it.
void LineEndingCommand::convertNext()
{
    const auto [path, value] = queue_.front();
    queue_.pop_front();
    if (!queue_.empty()) {
        std::weak_ptr<bool> alive = alive_;
        EventLoop::instance().post([this, alive] {
            if (alive.lock())
                convertNext();
        });
    }
    ConvertFile(path, value, log_, messages_, memoryBudget);
    ui_.Changed();
}

} // namespace brisk
