#pragma once
#include "session/overwrite_prompt.h"

#include <QDialog>

class QPushButton;

namespace brisk {

// The overwrite prompt ("Rewrite Files Prompt") over OverwritePrompt: the notice, the file name,
// the question and six buttons whose tags (0..5) are the answer. "Save as" asks for the new path
// with the one-line prompt; cancelling that keeps this prompt open. Escape and closing the window
// count as "Cancel". The answer is the model's choice() (and path() for "Save as").
class TFReWrite : public QDialog {
    Q_OBJECT
public:
    explicit TFReWrite(OverwritePrompt& model, QWidget* parent = nullptr);

    // The button of a tag (OverwriteChoice), for tests and translations.
    QPushButton* button(OverwriteChoice choice) const;

    void reject() override;

private:
    void press(OverwriteChoice choice);

    OverwritePrompt& model_;
    QPushButton* buttons_[6] = {};
};

// Runs the prompt modally for `path`; with "Save as", `path` becomes the new path.
OverwriteChoice AskOverwrite(QWidget* parent, std::string& path);

} // namespace brisk
