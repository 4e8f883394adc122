#include "local/local_panel.h"

#include "listing/row_details.h"
#include "listing/selection_commands.h"
#include "local/local_paths.h"
#include "local/local_rows.h"
#include "platform/directories.h"

#include <sys/stat.h>
#include <unistd.h>


namespace brisk {

namespace {

constexpr size_t kNameLength = 255;

} // namespace

LocalPanel::LocalPanel(UserPrompts& ui, const MainMessages& messages, const std::string& startDir)
    : ui_(ui), messages_(messages)
{
    if (!changeDirectory(startDir) && !changeDirectory(currentDirectory()))
        changeDirectory("/");
}

void LocalPanel::setDateOrder(DateOrder order)
{
    order_ = order;
    panel_.setDateOrder(order);
    RefreshLocalPanel();
}

bool LocalPanel::changeDirectory(const std::string& dir)
{
    const std::string normal = NormalizeLocalDir(dir);
    if (::chdir(normal.c_str()) != 0)
        return false;
    currentDir_ = normal;
    chooser_.setDirectory(currentDir_);
    RefreshLocalPanel();
    return true;
}

void LocalPanel::RefreshLocalPanel()
{
    panel_.setRows(LocalPanelRows(ListLocalDirectory(currentDir_), filterMask_, order_));
    panel_.resetStatus();
}

void LocalPanel::openRow(size_t index)
{
    if (index >= panel_.size() || panel_.rows()[index].image != kImageDirectory)
        return;
    changeDirectory(rowPath(index));
}

void LocalPanel::openChooserItem(int index)
{
    changeDirectory(chooser_.path(index));
}

void LocalPanel::upOneLevel()
{
    const std::string parent = ParentLocalDir(currentDir_);
    if (parent != currentDir_)
        changeDirectory(parent);
}

void LocalPanel::makeDirectory()
{
    const std::optional<std::string> name = askName(msgCreateDirectory, msgEnterNewDirName, "");
    if (!name || name->empty())
        return;
    const std::string path = JoinLocalPath(currentDir_, *name);
    if (::mkdir(path.c_str(), 0777) != 0) {
        ui_.ShowMessage(messages_[msgAttention], messages_[msgCanNotCreateDirectory] + " :" + path);
        return;
    }
    changeDirectory(path);
}

void LocalPanel::viewAsText()
{
    if (selectedRowIsFile())
        ui_.ViewTextFile(rowPath(static_cast<size_t>(panel_.selectedIndex())));
}

void LocalPanel::runApplication()
{
    if (selectedRowIsFile())
        ui_.OpenWithAssociatedProgram(rowPath(static_cast<size_t>(panel_.selectedIndex())), currentDir_);
}

void LocalPanel::filter()
{
    const std::optional<std::string> mask = AskPanelMask(ui_, messages_, msgLocal, filterMask_);
    if (!mask)
        return;
    filterMask_ = *mask;
    RefreshLocalPanel();
}

std::string LocalPanel::selectionStatusText() const
{
    return SelectionStatusText(panel_.selectedTotal(), panel_.selectedCount(), messages_[msgByte], messages_[msgIn],
                               messages_[msgFiles]);
}

bool LocalPanel::selectedRowIsFile() const
{
    const int index = panel_.selectedIndex();
    return index >= 0 && panel_.rows()[static_cast<size_t>(index)].image == kImageFile;
}

std::vector<std::string> LocalPanel::selectedPaths() const
{
    std::vector<std::string> paths;
    for (size_t index : panel_.selectedIndices())
        paths.push_back(rowPath(index));
    return paths;
}

void LocalPanel::showProperties()
{
    const int index = panel_.selectedIndex();
    if (index >= 0)
        ui_.ShowMessage(std::string(panel_.rows().caption(size_t(index))),
                        RowDetailsText(messages_, panel_.rows().view(size_t(index)), currentDir_));
}

std::string LocalPanel::rowPath(size_t index) const
{
    return JoinLocalPath(currentDir_, panel_.rows().at(index).caption);
}

std::optional<std::string> LocalPanel::askName(MainMessage title, MainMessage label, const std::string& start)
{
    PromptRequest request;
    request.title = messages_[title];
    request.label = messages_[label] + ":";
    request.text = start;
    request.maxLength = kNameLength;
    std::string answer = start;
    if (!ui_.InputPrompt(request, answer))
        return std::nullopt;
    if (answer.size() > kNameLength)
        answer.resize(kNameLength);
    return answer;
}

} // namespace brisk
