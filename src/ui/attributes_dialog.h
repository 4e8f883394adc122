#pragma once
#include "session/attribute_form.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brisk {

// The attribute dialog ("Change File Attributes") over AttributeForm: the entries it acts on, nine
// check boxes (a mixed bit shown partially checked until it is clicked), the "Manual" edit that
// takes three digits 0-7, the symbolic view of the boxes, and "Apply" (tag 1) and "Cancel" (tag 2),
// whose tag is the dialog's result. Escape and closing the window count as "Cancel".
class T_ChMod : public QDialog {
    Q_OBJECT
public:
    explicit T_ChMod(AttributeForm& form, QWidget* parent = nullptr);

    // The box of a bit (0 owner read ... 8 public execute), for tests and translations.
    QCheckBox* box(int bit) const { return boxes_[bit]; }
    QLineEdit* modeEdit() const { return edManual_; }

    void reject() override;

private:
    QWidget* buildBoxes();
    void showBoxes();
    void showMode();

    AttributeForm& form_;
    QCheckBox* boxes_[kModeBitCount] = {};
    QLineEdit* edManual_ = nullptr;
    QLabel* lbSymbolic_ = nullptr;
};

// Runs the dialog modally; true when "Apply" was chosen (the form has applied the boxes).
bool EditAttributes(QWidget* parent, AttributeForm& form);

} // namespace brisk
