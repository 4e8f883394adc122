#include "ui/main_window.h"

#include "ui/file_list_view.h"
#include "ui/panel_icons.h"
#include "ui/qt_text.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>

namespace brisk {

namespace {

QIcon rowIcon(const PanelRow& row)
{
    if (row.image == kImageDirectory)
        return panelIcon(PanelIcon::Folder);
    if (row.image == kImageUp)
        return panelIcon(PanelIcon::Up);
    return panelIcon(row.link.empty() ? PanelIcon::File : PanelIcon::Link);
}

QTreeWidgetItem* rowItem(const PanelRow& row, int columns)
{
    QStringList texts = {toQt(row.caption), toQt(row.size), toQt(row.date), toQt(row.time),
                         toQt(row.attributes), toQt(row.link)};
    auto* item = new QTreeWidgetItem(texts.mid(0, columns));
    item->setIcon(0, rowIcon(row));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void fillRows(FileListView* view, const FilePanel& panel, int columns, bool editable)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(panel.size()));
    for (const PanelRow& row : panel.rows()) {
        items.push_back(rowItem(row, columns));
        if (editable)
            items.back()->setFlags(items.back()->flags() | Qt::ItemIsEditable);
    }
    view->clear();
    view->addTopLevelItems(items);
}

void syncSelection(FileListView* view, const FilePanel& panel)
{
    const int count = std::min(view->topLevelItemCount(), int(panel.size()));
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* item = view->topLevelItem(i);
        if (item->isSelected() != panel.isSelected(size_t(i)))
            item->setSelected(panel.isSelected(size_t(i)));
    }
}

void setItems(QComboBox* box, const std::vector<std::string>& items, int selected)
{
    QStringList texts;
    for (const std::string& item : items)
        texts.push_back(toQt(item));
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown.push_back(box->itemText(i));
    if (shown != texts) {
        box->clear();
        box->addItems(texts);
    }
    box->setCurrentIndex(selected);
}

} // namespace

void T_Main::refreshViews()
{
    refreshPending_ = false;
    if (refreshing_)
        return;
    refreshing_ = true;
    refreshRemote();
    refreshLocal();
    refreshPathBoxes();
    refreshLog();
    refreshActions();
    setCursor(program_->session.busyCursor() ? Qt::BusyCursor : Qt::ArrowCursor);
    refreshing_ = false;
}

void T_Main::refreshRemote()
{
    const SessionController& s = program_->session;
    const QSignalBlocker block(FTPView);
    if (s.SiteListMode())
        refreshSiteRows();
    else
        refreshRemoteRows();
    remoteInfo->setVisible(s.remoteInfoBarVisible());
    remoteInfo->setText(toQt(s.remoteStatusText()));
}

void T_Main::refreshSiteRows()
{
    const SessionController& s = program_->session;
    std::vector<std::string> rows;
    for (const SiteEntry& entry : s.siteList.entries())
        rows.push_back(std::to_string(int(entry.kind)) + entry.caption + "\n" + entry.site.Server);
    if (shownSiteList_ && rows == shownSiteRows_)
        return;
    shownSiteList_ = true;
    shownSiteRows_ = rows;
    shownRemoteVersion_ = ~0ull;
    FTPView->clear();
    FTPView->setColumnCount(2);
    FTPView->setHeaderLabels({"FTP Servers", "Server"});
    for (const SiteEntry& entry : s.siteList.entries()) {
        auto* item = new QTreeWidgetItem({toQt(entry.caption), toQt(entry.site.Server)});
        item->setIcon(0, panelIcon(entry.kind == SiteEntryKind::Up       ? PanelIcon::Up
                                   : entry.kind == SiteEntryKind::Folder ? PanelIcon::Folder
                                                                         : PanelIcon::Site));
        FTPView->addTopLevelItem(item);
    }
    if (s.siteSelection() >= 0 && s.siteSelection() < FTPView->topLevelItemCount())
        FTPView->topLevelItem(s.siteSelection())->setSelected(true);
    FTPView->header()->resizeSection(0, 260);
}

void T_Main::refreshRemoteRows()
{
    const FilePanel& panel = program_->session.remote.panel;
    if (shownSiteList_ || panel.version() != shownRemoteVersion_) {
        if (shownSiteList_) {
            FTPView->setColumnCount(6);
            FTPView->setHeaderLabels({"Filename", "Size", "Date", "Time", "Attribute", "Links"});
            FTPView->header()->resizeSection(0, 260);
        }
        shownSiteList_ = false;
        shownSiteRows_.clear();
        shownRemoteVersion_ = panel.version();
        fillRows(FTPView, panel, 6, true);
    }
    syncSelection(FTPView, panel);
}

void T_Main::refreshLocal()
{
    const LocalPanel& local = program_->local;
    localInfo->setText(toQt(local.selectionStatusText()));
    const QSignalBlocker block(lvLoc);
    if (local.panel().version() != shownLocalVersion_) {
        shownLocalVersion_ = local.panel().version();
        fillRows(lvLoc, local.panel(), 4, false);
    }
    syncSelection(lvLoc, local.panel());
}

void T_Main::refreshPathBoxes()
{
    const SessionController& s = program_->session;
    {
        const QSignalBlocker block(FTPPath);
        if (s.SiteListMode())
            setItems(FTPPath, s.siteList.pathItems().items(), s.siteList.pathItems().selected());
        else
            setItems(FTPPath, s.remote.pathItems(), s.remote.pathSelected());
        FTPPath->setEnabled(s.pathBoxEnabled());
    }
    const QSignalBlocker block(localPath);
    setItems(localPath, program_->local.chooser().items(), program_->local.chooser().selected());
}

void T_Main::refreshLog()
{
    const LogPane& log = program_->session.log;
    if (log.generation() == shownLogGeneration_)
        return;
    shownLogGeneration_ = log.generation();
    QString text;
    for (const std::string& line : log.lines()) {
        text += toQt(line);
        text += '\n';
    }
    logPane->setPlainText(text);
    logPane->verticalScrollBar()->setValue(logPane->verticalScrollBar()->maximum());
}

} // namespace brisk
