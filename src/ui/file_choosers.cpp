#include "ui/file_choosers.h"

#include "ui/qt_text.h"
#include "ui/stored_font.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QStringList>

namespace brisk {
namespace {

// "Text files (*.txt)" without its own list of patterns: "Text files".
QString descriptionText(const QString& description)
{
    const QString text = description.trimmed();
    const qsizetype open = text.lastIndexOf('(');
    return text.endsWith(')') && open > 0 ? text.left(open).trimmed() : text;
}

QString patternsText(const QString& patterns)
{
    QStringList out;
    for (const QString& pattern : patterns.split(';', Qt::SkipEmptyParts))
        out << (pattern.trimmed() == "*.*" ? QString("*") : pattern.trimmed());
    return out.join(' ');
}

bool runChooser(QFileDialog& dialog, std::string& path)
{
    dialog.setObjectName("fileChooser");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = fromQt(dialog.selectedFiles().constFirst());
    return true;
}

bool askFile(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode, std::string& path)
{
    QFileDialog dialog(parent, toQt(request.title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileFilter(request.filter));
    dialog.setDefaultSuffix(toQt(request.defaultSuffix));
    const QFileInfo start(toQt(request.fileName));
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    return runChooser(dialog, path);
}

} // namespace

QString QtFileFilter(const std::string& filter)
{
    const QStringList parts = toQt(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QString("%1 (%2)").arg(descriptionText(parts[i]), patternsText(parts[i + 1]));
    return filters.join(";;");
}

bool AskOpenFile(QWidget* parent, const FileDialogRequest& request, std::string& path)
{
    return askFile(parent, request, QFileDialog::AcceptOpen, path);
}

bool AskSaveFile(QWidget* parent, const FileDialogRequest& request, std::string& path)
{
    return askFile(parent, request, QFileDialog::AcceptSave, path);
}

bool AskDirectory(QWidget* parent, const std::string& title, std::string& path)
{
    QFileDialog dialog(parent, toQt(title), toQt(path));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return runChooser(dialog, path);
}

bool AskFont(QWidget* parent, FontChoice& font)
{
    QFontDialog dialog(storedFont(font, parent ? parent->font() : QApplication::font()), parent);
    dialog.setObjectName("fontChooser");
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = fontChoiceOf(dialog.selectedFont(), font);
    return true;
}

} // namespace brisk
