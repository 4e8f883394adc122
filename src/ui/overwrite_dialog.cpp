#include "ui/overwrite_dialog.h"

#include "i18n/window_messages.h"
#include "ui/input_form.h"
#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"
#include "ui/window_language.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace brisk {

namespace {

// Object names by tag; they are the keys the translations will use.
constexpr const char* kButtonNames[6] = {"btResume", "btOverwrite", "btAll", "btSkip", "btSaveAs", "btCancel"};
// The widest the file name may make the window; a longer path is shortened in the middle.
constexpr int kNameWidth = 520;

} // namespace

TFReWrite::TFReWrite(OverwritePrompt& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName("TFReWrite");
    setWindowTitle(OverwritePrompt::kCaption);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setObjectName("imWarning");
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);

    auto* lbNotice = new QLabel(this);
    lbNotice->setObjectName("lbNotice");
    QFont bold = lbNotice->font();
    bold.setBold(true);
    lbNotice->setFont(bold);

    const QString path = toQt(model_.path());
    auto* lbFileName = new QLabel(this);
    lbFileName->setObjectName("lbFileName");
    lbFileName->setTextFormat(Qt::PlainText);
    lbFileName->setText(lbFileName->fontMetrics().elidedText(path, Qt::ElideMiddle, kNameWidth));
    lbFileName->setToolTip(path);
    lbFileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    KeepUntranslated(lbFileName);

    auto* lbQuestion = new QLabel(OverwritePrompt::kQuestion, this);
    lbQuestion->setObjectName("lbQuestion");

    auto* texts = new QVBoxLayout;
    texts->addWidget(lbNotice);
    texts->addWidget(lbFileName);
    texts->addSpacing(6);
    texts->addWidget(lbQuestion);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addLayout(texts, 1);

    auto* row = new QHBoxLayout;
    const std::vector<std::string>& captions = OverwritePrompt::ButtonTexts();
    for (int tag = 0; tag < 6; ++tag) {
        auto* button = new QPushButton(toQt(captions[size_t(tag)]), this);
        button->setObjectName(kButtonNames[tag]);
        button->setProperty("tag", tag);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, tag] { press(OverwriteChoice(tag)); });
        row->addWidget(button);
        buttons_[tag] = button;
    }
    // Enter answers with what loses nothing.
    QPushButton* safe = buttons_[int(OverwriteChoice::Skip)];
    safe->setDefault(true);
    safe->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The notice is message 0 of the prompt's own list: set once the list is translated.
    ApplyLanguage(*this, "TFReWrite", {{"msl", &model_.messages()}});
    lbNotice->setText(toQt(model_.notice()));
}

QPushButton* TFReWrite::button(OverwriteChoice choice) const
{
    return buttons_[int(choice)];
}

void TFReWrite::press(OverwriteChoice choice)
{
    if (choice == OverwriteChoice::SaveAs) {
        std::string answer = model_.path();
        const bool confirmed = InputPrompt(this, model_.saveAsRequest(), answer);
        if (!model_.press(choice, confirmed ? std::optional<std::string>(answer) : std::nullopt))
            return;   // cancelled (or nothing typed): the question stays
    } else {
        model_.press(choice);
    }
    done(int(choice));
}

void TFReWrite::reject()
{
    model_.press(OverwriteChoice::Cancel);
    done(int(OverwriteChoice::Cancel));
}

OverwriteChoice AskOverwrite(QWidget* parent, std::string& path)
{
    OverwritePrompt model(OverwriteMessagesEnglish(), path);
    TFReWrite dialog(model, parent);
    dialog.exec();
    if (model.choice() == OverwriteChoice::SaveAs)
        path = model.path();
    return model.choice();
}

} // namespace brisk
