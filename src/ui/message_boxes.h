#pragma once
#include <string>

class QWidget;

namespace brisk {

// A question with a question icon and Yes/No buttons; true only when Yes is chosen.
bool AskYesNo(QWidget* parent, const std::string& caption, const std::string& text);

// A message with an OK button and no icon.
void ShowMessage(QWidget* parent, const std::string& caption, const std::string& text);

// A refusal or failure: like ShowMessage, with an error icon.
void ShowError(QWidget* parent, const std::string& caption, const std::string& text);

} // namespace brisk
