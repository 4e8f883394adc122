#pragma once
#include "platform/user_prompts.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;

namespace brisk {

// The one-line prompt: a label, an edit limited to the request's length and, for secrets, a
// "Mask password" check box that hides the typed text. Enter confirms, Escape cancels.
class TInputForm : public QDialog {
    Q_OBJECT
public:
    explicit TInputForm(const PromptRequest& request, QWidget* parent = nullptr);

    // The edit text, cut to the request's maximum length (in characters).
    std::string text() const;

private:
    QLineEdit* edText_;
    QCheckBox* cbMask_;
    int maxLength_;
};

// Shows the prompt modally. When confirmed, answer := the edited text and true; otherwise answer
// stays as it was.
bool InputPrompt(QWidget* parent, const PromptRequest& request, std::string& answer);

} // namespace brisk
