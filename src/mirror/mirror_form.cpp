#include "mirror/mirror_form.h"

#include "i18n/window_messages.h"
#include "mirror/exclusion_list.h"
#include "mirror/mirror_profile.h"
#include "platform/ascii.h"
#include "platform/directories.h"
#include "platform/ini_file.h"
#include "platform/program_dir.h"

namespace brisk {
namespace {

int choiceOf(int value, int count)
{
    return value >= 0 && value < count ? value : 0;
}

} // namespace

MirrorForm::MirrorForm(TRecMirror& task, UserInterface& ui, const MainMessages& mainMessages)
    : msl(MirrorMessagesEnglish()), task_(task), ui_(ui), mainMessages_(mainMessages)
{
}

void MirrorForm::show()
{
    local = directoryExists(task_.Local) ? task_.Local : ProgramDir();
    remote = task_.Remote;
    direction = choiceOf(task_.Direction, int(kDirections.size()));
    fileExists = choiceOf(int(task_.FileExists), int(kFileExists.size()));
    for (int bit = 0; bit < kMirrorParamCount; ++bit)
        params[size_t(bit)] = (task_.Params >> bit) & 1;
    tempUpload = task_.TempUpload;
    exclusions_ = SplitExclusions(task_.Exclusions);
    selected_ = exclusions_.empty() ? -1 : 0;
}

void MirrorForm::read()
{
    task_.Local = local;
    task_.Remote = remote;
    task_.Direction = uint8_t(choiceOf(direction, int(kDirections.size())));
    task_.FileExists = MirrorFileExists(choiceOf(fileExists, int(kFileExists.size())));
    task_.Params = 0;
    for (int bit = 0; bit < kMirrorParamCount; ++bit)
        if (params[size_t(bit)])
            task_.Params |= uint8_t(1 << bit);
    task_.TempUpload = tempUpload;
    task_.Exclusions = JoinExclusions(exclusions_);
}

void MirrorForm::select(int index)
{
    selected_ = index >= 0 && size_t(index) < exclusions_.size() ? index : -1;
}

bool MirrorForm::askItem(int label, std::string& text)
{
    const PromptRequest request{msl[mmExclusion], msl[label] + ":", text, kItemLength, false};
    std::string answer = text;
    if (!ui_.InputPrompt(request, answer))
        return false;
    answer = firstCharacters(answer, kItemLength);
    if (trimBlanks(answer).empty())
        return false;
    text = answer;
    return true;
}

void MirrorForm::addItem()
{
    std::string item;
    if (askItem(mmEnterNewItem, item))
        exclusions_.push_back(item);
}

void MirrorForm::editItem()
{
    if (canEditItem())
        askItem(mmEditItem, exclusions_[size_t(selected_)]);
}

void MirrorForm::removeItem()
{
    if (!canEditItem())
        return;
    exclusions_.erase(exclusions_.begin() + selected_);
    selected_ = -1;
}

void MirrorForm::chooseLocal()
{
    std::string path = local;
    if (ui_.AskDirectory(kChooserTitle, path))
        local = path;
}

// The chooser's own last name, else the other chooser's, else Default.cpf.
std::string MirrorForm::startName(const std::string& mine, const std::string& other) const
{
    return !mine.empty() ? mine : !other.empty() ? other : DefaultMirrorProfilePath();
}

FileDialogRequest MirrorForm::fileRequest(const char* title, const std::string& mine, const std::string& other) const
{
    return {title, kFilter, startName(mine, other), "cpf"};
}

bool MirrorForm::open()
{
    std::string path;
    if (!ui_.AskOpenFile(fileRequest(kOpenTitle, openName_, saveName_), path))
        return false;
    openName_ = path;
    if (!LoadMirrorProfile(task_, path))
        return false;
    show();
    return true;
}

void MirrorForm::saveAs()
{
    std::string path;
    if (!ui_.AskSaveFile(fileRequest(kSaveTitle, saveName_, openName_), path))
        return;
    saveName_ = path;
    saveTo(path);
}

bool MirrorForm::saveTo(const std::string& path)
{
    read();
    try {
        SaveMirrorProfile(task_, path);
        return true;
    } catch (const IniWriteError& e) {
        ui_.ShowError(mainMessages_[msgAttention], e.what());
        return false;
    }
}

} // namespace brisk
