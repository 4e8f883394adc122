#pragma once
#include "mirror/mirror_form.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace brisk {

// The mirror dialog ("Compare folders") over MirrorForm: the local path with its "..." chooser,
// the remote path, the direction, the policy for existing files, the five options, the exclusion
// list with Add, Edit and Remove, and Open, Save As, Execute and Close. Every change goes to the
// form at once; Execute accepts, Close and Escape reject. No button is the default, so Enter in a
// path box does not start a run.
class T_Mirror : public QDialog {
    Q_OBJECT
public:
    explicit T_Mirror(MirrorForm& form, QWidget* parent = nullptr);

private:
    QLayout* buildPaths();
    QGroupBox* buildDirection();
    QGroupBox* buildFileExists();
    QGroupBox* buildOptions();
    QGroupBox* buildExclusions();
    QLayout* buildButtons();
    QPushButton* addButton(const char* name, const QString& text, void (T_Mirror::*run)());

    void showAll();
    void showExclusions();
    void showItemButtons();
    void chooseLocal();
    void open();
    void saveAs();
    void addItem();
    void editItem();
    void removeItem();

    MirrorForm& form_;
    QLineEdit* edLocal_ = nullptr;
    QLineEdit* edRemote_ = nullptr;
    QButtonGroup* direction_ = nullptr;
    QButtonGroup* fileExists_ = nullptr;
    std::array<QCheckBox*, kMirrorParamCount> params_{};
    QCheckBox* cbTempUpload_ = nullptr;
    QListWidget* lbExclusions_ = nullptr;
    QPushButton* btEdit_ = nullptr;
    QPushButton* btRemove_ = nullptr;
};

// Runs the dialog modally; true when the user left it with "Execute".
bool EditMirror(QWidget* parent, MirrorForm& form);

} // namespace brisk
