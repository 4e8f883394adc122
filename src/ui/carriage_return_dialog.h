#pragma once
#include "local/line_ending_choice.h"

#include <QDialog>

class QRadioButton;

namespace brisk {

// "Carriage Return" over LineEndingChoice: one radio button per line ending (its tag the value,
// "Do not change" checked at first), Apply and Cancel. Escape and closing the window cancel.
class T_Carrage : public QDialog {
    Q_OBJECT
public:
    explicit T_Carrage(LineEndingChoice& model, QWidget* parent = nullptr);

    QRadioButton* button(LineEnding value) const { return buttons_[size_t(value)]; }

    void accept() override;
    void reject() override;

private:
    LineEndingChoice& model_;
    QRadioButton* buttons_[LineEndingChoice::kOptions.size()] = {};
};

// Runs the dialog modally; the chosen value, 0 for "Do not change" and Cancel.
int ChooseLineEnding(QWidget* parent);

} // namespace brisk
