#include "ui/position_edit.h"

#include "sites/descriptor.h"
#include "ui/qt_text.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace brisk {

PositionEdit::PositionEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(2);
    // Pasted text bypasses keyPressEvent; the validator keeps it to digits too.
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), this));
}

void PositionEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool printable = typed.size() == 1 && typed.at(0).isPrint();
    if (!printable || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const char key = typed.at(0).unicode() < 0x80 ? static_cast<char>(typed.at(0).unicode()) : '\0';
    setText(toQt(TypePositionKey(fromQt(text()), key)));
    event->accept();
}

} // namespace brisk
