#include "ui/message_boxes.h"

#include "ui/qt_text.h"

#include <QMessageBox>

namespace brisk {
namespace {

int showBox(QWidget* parent, QMessageBox::Icon icon, const std::string& caption, const std::string& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton escape)
{
    QMessageBox box(icon, toQt(caption), toQt(text), buttons, parent);
    // Texts carry file and server names: never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escape);
    return box.exec();
}

} // namespace

bool AskYesNo(QWidget* parent, const std::string& caption, const std::string& text)
{
    return showBox(parent, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No) == QMessageBox::Yes;
}

void ShowMessage(QWidget* parent, const std::string& caption, const std::string& text)
{
    showBox(parent, QMessageBox::NoIcon, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowError(QWidget* parent, const std::string& caption, const std::string& text)
{
    showBox(parent, QMessageBox::Critical, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace brisk
