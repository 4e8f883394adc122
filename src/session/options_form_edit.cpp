#include "session/options_form.h"

#include "i18n/language_list.h"
#include "platform/ascii.h"

namespace brisk {
namespace {

int indexIn(const std::vector<std::string>& items, int index)
{
    return index >= 0 && size_t(index) < items.size() ? index : -1;
}

void eraseAt(std::vector<std::string>& items, int& selected)
{
    if (selected < 0)
        return;
    items.erase(items.begin() + selected);
    selected = -1;
}

} // namespace

bool OptionsForm::askItem(const std::string& title, const std::string& label, std::string& text)
{
    std::string answer = text;
    if (!ui_.InputPrompt({title, label, text, kItemLength, false}, answer))
        return false;
    text = firstCharacters(answer, kItemLength);
    return true;
}

void OptionsForm::selectCommand(int index)
{
    selectedCommand_ = indexIn(commands_, index);
}

void OptionsForm::addCommand()
{
    std::string command;
    if (askItem(msl[omAdd] + " " + msl[omCommand], msl[omEnter] + " " + msl[omCommand], command))
        commands_.push_back(command);
}

void OptionsForm::deleteCommand()
{
    eraseAt(commands_, selectedCommand_);
}

void OptionsForm::selectExtension(int index)
{
    selectedExtension_ = indexIn(extensions_, index);
}

void OptionsForm::addExtension()
{
    std::string extension;
    if (askItem(msl[omAdd] + " " + msl[omExtension], msl[omEnter], extension))
        extensions_.push_back(extension);
}

void OptionsForm::modifyExtension()
{
    if (selectedExtension_ < 0) {
        addExtension();
        return;
    }
    askItem(msl[omEdit] + " " + msl[omExtension], msl[omEnter], extensions_[size_t(selectedExtension_)]);
}

void OptionsForm::removeExtension()
{
    eraseAt(extensions_, selectedExtension_);
}

void OptionsForm::chooseLogFile()
{
    std::string path;
    if (ui_.AskOpenFile({kLogTitle, kLogFilter, logFile, {}}, path))
        logFile = path;
}

void OptionsForm::chooseDirectory()
{
    std::string path = iniPath;
    if (ui_.AskDirectory(msl[omChoiceDirectory], path))
        iniPath = path;
}

void OptionsForm::chooseFont()
{
    FontChoice chosen = font;
    if (ui_.AskFont(chosen))
        font = chosen;
}

void OptionsForm::openLanguages()
{
    languages_ = ListLanguages(languageDir_);
    lang_.LangOn = lang_.LangOn && !languages_.empty();
    langOn = lang_.LangOn;
    selectedLanguage_ = -1;
    if (!langOn)
        return;
    // Listed names are lower case and carry no extension.
    const std::string name = lowerAscii(lang_.LangFile.substr(0, lang_.LangFile.find('.')));
    for (size_t i = 0; i < languages_.size(); ++i)
        if (languages_[i] == name)
            selectedLanguage_ = int(i);
}

void OptionsForm::selectLanguage(int index)
{
    selectedLanguage_ = indexIn(languages_, index);
    if (!langOn || selectedLanguage_ < 0 || !previewLanguage)
        return;
    // The preview reads the language settings; the choice counts only once "OK" confirms it.
    struct Restore {
        std::string& target;
        std::string saved;
        ~Restore() { target = saved; }
    } restore{lang_.LangFile, lang_.LangFile};
    lang_.LangFile = languages_[size_t(selectedLanguage_)];
    previewLanguage(lang_.LangFile);
}

} // namespace brisk
