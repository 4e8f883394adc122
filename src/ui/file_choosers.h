#pragma once
#include "platform/user_prompts.h"

#include <QString>

#include <string>

class QWidget;

namespace brisk {

// The program's file types ("description|patterns|...", patterns separated by ";") as Qt writes
// them: "description (patterns);;...", the patterns separated by blanks and "*.*" as "*", since a
// name without a dot is a file too.
QString QtFileFilter(const std::string& filter);

// The file and directory choosers of UserPrompts as Qt file dialogs (object name "fileChooser").
bool AskOpenFile(QWidget* parent, const FileDialogRequest& request, std::string& path);
bool AskSaveFile(QWidget* parent, const FileDialogRequest& request, std::string& path);
bool AskDirectory(QWidget* parent, const std::string& title, std::string& path);
// The font chooser of UserPrompts as a Qt font dialog (object name "fontChooser"); it offers no
// colour, so the colour stays.
bool AskFont(QWidget* parent, FontChoice& font);

} // namespace brisk
