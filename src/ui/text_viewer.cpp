#include "ui/text_viewer.h"

#include "ui/qt_text.h"
#include "ui/window_language.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace brisk {

TextViewer::TextViewer(QWidget* parent) : QWidget(parent, Qt::Window), view_(new QPlainTextEdit(this))
{
    view_->setObjectName("meText");
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(720, 540);
    ApplyLanguage(*this, "T_Viewer");
}

bool TextViewer::load(const std::string& path)
{
    QFile file(toQt(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(kMaxBytes);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        return false;
    view_->setPlainText(QString::fromUtf8(bytes));
    setWindowTitle(QFileInfo(file).fileName());
    return true;
}

QString TextViewer::text() const
{
    return view_->toPlainText();
}

} // namespace brisk
