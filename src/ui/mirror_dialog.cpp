#include "ui/mirror_dialog.h"

#include "ui/qt_text.h"
#include "ui/window_language.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace brisk {

namespace {

constexpr const char* kDirectionNames[] = {"rbMirrorLocal", "rbMirrorRemote", "rbMirrorBoth"};
constexpr const char* kFileExistsNames[] = {"rbOverwrite", "rbOverwriteNewest", "rbSkip", "rbAsk"};
constexpr const char* kParamNames[] = {"cbSubfolders", "cbIgnoreLinks", "cbDeleteMissing", "cbPromptDelete",
                                       "cbBinary"};

// A group of radio buttons, one per caption, whose ids are their indexes; `columns` per row.
template <size_t N>
QButtonGroup* addRadios(QGroupBox* box, const std::array<const char*, N>& captions, const char* const* names,
                        int columns)
{
    auto* group = new QButtonGroup(box);
    auto* grid = new QGridLayout(box);
    for (size_t i = 0; i < N; ++i) {
        auto* radio = new QRadioButton(captions[i], box);
        radio->setObjectName(names[i]);
        group->addButton(radio, int(i));
        grid->addWidget(radio, int(i) / columns, int(i) % columns);
    }
    return group;
}

} // namespace

T_Mirror::T_Mirror(MirrorForm& form, QWidget* parent) : QDialog(parent), form_(form)
{
    setObjectName("T_Mirror");
    setWindowTitle(MirrorForm::kCaption);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* choices = new QVBoxLayout;
    choices->addWidget(buildDirection());
    choices->addWidget(buildFileExists());
    choices->addWidget(buildOptions());
    choices->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(choices, 3);
    middle->addWidget(buildExclusions(), 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildPaths());
    layout->addLayout(middle, 1);
    layout->addSpacing(6);
    layout->addLayout(buildButtons());
    ApplyLanguage(*this, "T_Mirror", {{"msl", &form_.msl}});
    showAll();
}

QLayout* T_Mirror::buildPaths()
{
    edLocal_ = new QLineEdit(this);
    edLocal_->setObjectName("edLocal");
    connect(edLocal_, &QLineEdit::textEdited, this, [this](const QString& text) { form_.local = fromQt(text); });
    edRemote_ = new QLineEdit(this);
    edRemote_->setObjectName("edRemote");
    connect(edRemote_, &QLineEdit::textEdited, this, [this](const QString& text) { form_.remote = fromQt(text); });
    auto* browse = addButton("btLocalBrowse", "...", &T_Mirror::chooseLocal);
    browse->setToolTip("Choose the local folder");
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance("...") + 24);

    auto* grid = new QGridLayout;
    auto* lbLocal = new QLabel("Local folder:", this);
    lbLocal->setBuddy(edLocal_);
    auto* lbRemote = new QLabel("Remote folder:", this);
    lbRemote->setBuddy(edRemote_);
    grid->addWidget(lbLocal, 0, 0);
    grid->addWidget(edLocal_, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(lbRemote, 1, 0);
    grid->addWidget(edRemote_, 1, 1);
    return grid;
}

QGroupBox* T_Mirror::buildDirection()
{
    auto* box = new QGroupBox("Direction", this);
    box->setObjectName("gbDirection");
    direction_ = addRadios(box, MirrorForm::kDirections, kDirectionNames, 1);
    connect(direction_, &QButtonGroup::idClicked, this, [this](int id) { form_.direction = id; });
    return box;
}

QGroupBox* T_Mirror::buildFileExists()
{
    auto* box = new QGroupBox("If file exists", this);
    box->setObjectName("gbFileExists");
    fileExists_ = addRadios(box, MirrorForm::kFileExists, kFileExistsNames, 2);
    connect(fileExists_, &QButtonGroup::idClicked, this, [this](int id) { form_.fileExists = id; });
    return box;
}

QGroupBox* T_Mirror::buildOptions()
{
    auto* box = new QGroupBox("Options", this);
    box->setObjectName("gbOptions");
    auto* column = new QVBoxLayout(box);
    for (size_t bit = 0; bit < params_.size(); ++bit) {
        params_[bit] = new QCheckBox(MirrorForm::kParams[bit], box);
        params_[bit]->setObjectName(kParamNames[bit]);
        connect(params_[bit], &QCheckBox::toggled, this, [this, bit](bool on) { form_.params[bit] = on; });
        column->addWidget(params_[bit]);
    }
    cbTempUpload_ = new QCheckBox(MirrorForm::kTempUpload, box);
    cbTempUpload_->setObjectName("cbTempUpload");
    connect(cbTempUpload_, &QCheckBox::toggled, this, [this](bool on) { form_.tempUpload = on; });
    column->addWidget(cbTempUpload_);
    return box;
}

QGroupBox* T_Mirror::buildExclusions()
{
    auto* box = new QGroupBox("Exclusions", this);
    box->setObjectName("gbExclusions");
    lbExclusions_ = new QListWidget(box);
    lbExclusions_->setObjectName("lbExclusions");
    connect(lbExclusions_, &QListWidget::currentRowChanged, this, [this](int row) {
        form_.select(row);
        showItemButtons();
    });
    connect(lbExclusions_, &QListWidget::itemDoubleClicked, this, &T_Mirror::editItem);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton("btAdd", "Add", &T_Mirror::addItem));
    btEdit_ = addButton("btEdit", "Edit", &T_Mirror::editItem);
    buttons->addWidget(btEdit_);
    btRemove_ = addButton("btRemove", "Remove", &T_Mirror::removeItem);
    buttons->addWidget(btRemove_);
    auto* column = new QVBoxLayout(box);
    column->addWidget(lbExclusions_, 1);
    column->addLayout(buttons);
    return box;
}

QLayout* T_Mirror::buildButtons()
{
    auto* row = new QHBoxLayout;
    row->addWidget(addButton("btOpen", "Open", &T_Mirror::open));
    row->addWidget(addButton("btSaveAs", "Save As", &T_Mirror::saveAs));
    row->addStretch(1);
    row->addWidget(addButton("btExecute", "Execute", &T_Mirror::accept));
    row->addWidget(addButton("btClose", "Close", &T_Mirror::reject));
    return row;
}

QPushButton* T_Mirror::addButton(const char* name, const QString& text, void (T_Mirror::*run)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, run] { (this->*run)(); });
    return button;
}

void T_Mirror::showAll()
{
    edLocal_->setText(toQt(form_.local));
    edRemote_->setText(toQt(form_.remote));
    direction_->button(form_.direction)->setChecked(true);
    fileExists_->button(form_.fileExists)->setChecked(true);
    for (size_t bit = 0; bit < params_.size(); ++bit)
        params_[bit]->setChecked(form_.params[bit]);
    cbTempUpload_->setChecked(form_.tempUpload);
    showExclusions();
}

void T_Mirror::showExclusions()
{
    {
        const QSignalBlocker quiet(lbExclusions_);
        lbExclusions_->clear();
        for (const std::string& item : form_.exclusions())
            lbExclusions_->addItem(toQt(item));
        lbExclusions_->setCurrentRow(form_.selected());
    }
    showItemButtons();
}

void T_Mirror::showItemButtons()
{
    btEdit_->setEnabled(form_.canEditItem());
    btRemove_->setEnabled(form_.canEditItem());
}

void T_Mirror::chooseLocal()
{
    form_.chooseLocal();
    edLocal_->setText(toQt(form_.local));
}

void T_Mirror::open()
{
    if (form_.open())
        showAll();
}

void T_Mirror::saveAs()
{
    form_.saveAs();
}

void T_Mirror::addItem()
{
    form_.addItem();
    showExclusions();
}

void T_Mirror::editItem()
{
    form_.editItem();
    showExclusions();
}

void T_Mirror::removeItem()
{
    form_.removeItem();
    showExclusions();
}

bool EditMirror(QWidget* parent, MirrorForm& form)
{
    T_Mirror dialog(form, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace brisk
