#pragma once
#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace brisk {

class CustomCommandEditor;

// The custom command dialog ("Commands") over CustomCommandEditor: the labels, the picked entry's
// "Label" and "Command text" (read-only while none is picked), Add, Remove, Select (tag 1) and
// Close (tag 2). A double-click on a label selects; Escape and closing the window count as Close.
class T_FCmd : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSelect = 1;
    static constexpr int kClose = 2;

    explicit T_FCmd(CustomCommandEditor& model, QWidget* parent = nullptr);

    void reject() override;

private:
    void buildWidgets();
    QLayout* buildButtons();
    void showEntries();
    void showPicked();
    void picked(int row);

    CustomCommandEditor& model_;
    QListWidget* lbLabels_ = nullptr;
    QLineEdit* edLabel_ = nullptr;
    QLineEdit* edCommand_ = nullptr;
    QPushButton* btRemove_ = nullptr;
};

} // namespace brisk
