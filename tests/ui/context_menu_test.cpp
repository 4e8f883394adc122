// The right-click menus of both panels and of the site list: the entries for the clicked rows,
// Copy Path onto the clipboard and Properties in a box.
#include "screenshots.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;
using brisk::test::waitFor;

namespace {

class ContextMenuTest : public test::WindowTest {
protected:
    // Right-clicks the row and returns the menu that opened, with its enabled entries' texts.
    QMenu* rightClick(FileListView* view, const QString& caption, QStringList& enabled)
    {
        select(view, {caption});
        const int row = int(captions(view).indexOf(caption));
        emit view->customContextMenuRequested(view->visualRect(view->model()->index(row, 0)).center());
        QMenu* open = nullptr;
        waitFor([&] {
            for (QMenu* menu : w().findChildren<QMenu*>())
                if (menu->isVisible() && menu->objectName().startsWith("pm"))
                    open = menu;
            return open != nullptr;
        }, 5000);
        if (open)
            for (QAction* entry : open->actions())
                if (!entry->isSeparator() && entry->isEnabled() && !entry->menu())
                    enabled.push_back(entry->text());
        return open;
    }

    // Triggers the entry as a click on it would, after the menu has closed.
    static void choose(QMenu* menu, const QString& text)
    {
        for (QAction* entry : menu->actions())
            if (entry->text() == text) {
                menu->close();
                entry->trigger();
                return;
            }
        ADD_FAILURE() << "no entry " << text.toStdString();
    }

    QString propertiesText(QMenu* menu)
    {
        QString text;
        onNextModal<QMessageBox>([&text](QMessageBox* box) {
            text = box->text();
            box->accept();
        });
        choose(menu, "Properties");
        return text;
    }
};

TEST_F(ContextMenuTest, LocalRemoteAndSiteMenusActOnTheClickedRows)
{
    if (!startVsftpd())
        GTEST_SKIP() << skipReason_;
    server_->writeDataFile("top.txt", "top");
    const std::string localDir = home() + "local";
    writeFile(localDir + "/a.txt", "12345");
    ASSERT_TRUE(w().program().local.changeDirectory(localDir));
    w().refreshViews();

    QStringList enabled;
    QMenu* menu = rightClick(w().lvLoc, "a.txt", enabled);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "pmLocal");
    for (const char* entry : {"Make directory", "Rename", "Delete", "Copy Path", "Properties", "Refresh"})
        EXPECT_TRUE(enabled.contains(entry)) << entry;
    EXPECT_FALSE(test::saveScreenshot(*menu, "context_menu_local").isEmpty());
    choose(menu, "Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(localDir + "/a.txt"));
    menu = rightClick(w().lvLoc, "a.txt", enabled);
    EXPECT_TRUE(propertiesText(menu).contains("Size: 5 bytes"));

    createSite();
    enabled.clear();
    menu = rightClick(w().FTPView, "Local vsftpd", enabled);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "pmSites");
    for (const char* entry : {"Connect to FTP - Server", "Server Properties", "Copy Path", "Delete Server/Dir/File"})
        EXPECT_TRUE(enabled.contains(entry)) << entry;
    choose(menu, "Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString("ftp://%1@127.0.0.1:%2").arg(test::kFtpUser).arg(server_->port()));

    emit w().FTPView->activated(w().FTPView->currentIndex());
    ASSERT_TRUE(waitFor([&] { return captions(w().FTPView) == QStringList{"top.txt"}; })) << log().toStdString();
    enabled.clear();
    menu = rightClick(w().FTPView, "top.txt", enabled);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "pmRemote");
    for (const char* entry : {"Download", "Make directory", "Rename", "Delete Server/Dir/File", "Copy Path",
                              "Properties", "Refresh"})
        EXPECT_TRUE(enabled.contains(entry)) << entry;
    EXPECT_FALSE(test::saveScreenshot(*menu, "context_menu_remote").isEmpty());
    choose(menu, "Copy Path");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "/top.txt");
    menu = rightClick(w().FTPView, "top.txt", enabled);
    const QString details = propertiesText(menu);
    EXPECT_TRUE(details.contains("Size: 3 bytes")) << details.toStdString();
    EXPECT_TRUE(details.contains("Attributes: -rw")) << details.toStdString();
}

} // namespace
