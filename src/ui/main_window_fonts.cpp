#include "ui/main_window.h"

#include "ui/file_list_view.h"
#include "ui/qt_text.h"
#include "ui/stored_font.h"

#include <QApplication>
#include <QFontDialog>

namespace brisk {

namespace {

QFont listFont(const ListFont& stored, QFont font)
{
    if (stored.Name != kDefaultFontName)
        font.setFamily(toQt(stored.Name));
    font.setBold(stored.Bold);
    font.setItalic(stored.Italic);
    font.setUnderline(stored.UnderLine);
    font.setStrikeOut(stored.StrikeOut);
    return font;
}

void storeFont(const QFont& font, ListFont& stored)
{
    stored.Name = fromQt(font.family());
    stored.Bold = font.bold();
    stored.Italic = font.italic();
    stored.UnderLine = font.underline();
    stored.StrikeOut = font.strikeOut();
}

} // namespace

void T_Main::applyFonts()
{
    const SessionController& s = program_->session;
    // From the application's font, so that a return to the default face takes effect at once.
    setFont(storedFont({s.fontName, s.fontSize, s.fontColor}, QApplication::font()));
    lvLoc->setFont(listFont(program_->settings.fonts.Left, font()));
    FTPView->setFont(listFont(program_->settings.fonts.Right, font()));
}

// tag 0: the local list, otherwise the remote one.
void T_Main::chooseListFont(int tag)
{
    FileListView* view = tag == 0 ? lvLoc : FTPView;
    bool ok = false;
    QString title = action(tag == 0 ? "actLocalFont" : "actRemoteFont")->text(); // in the window's language
    title.remove("...");
    title.remove('&');
    const QFont chosen = QFontDialog::getFont(&ok, view->font(), this, title.trimmed());
    if (!ok)
        return;
    view->setFont(chosen);
    storeFont(chosen, tag == 0 ? program_->settings.fonts.Left : program_->settings.fonts.Right);
}

} // namespace brisk
