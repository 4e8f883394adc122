#include "ui/qt_user_interface.h"
#include "ui/text_viewer.h"

#include "modal.h"
#include "temp_home.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

class TextViewerTest : public TempHomeTest {};

TEST_F(TextViewerTest, ShowsTheFileAsUtf8ReadOnlyAndTitledWithItsName)
{
    const std::string path = home() + "notes.txt";
    const char bytes[] = "Grüße\r\nline\0two\n\xff end";
    writeFile(path, std::string(bytes, sizeof bytes - 1));
    TextViewer viewer;
    ASSERT_TRUE(viewer.load(path));
    EXPECT_EQ(viewer.windowTitle(), "notes.txt");
    EXPECT_TRUE(viewer.findChild<QPlainTextEdit*>("meText")->isReadOnly());
    const QString text = viewer.text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Grüße")));
    EXPECT_TRUE(text.contains(QChar(0xFFFD))) << "an invalid byte shows as the replacement character";
    EXPECT_TRUE(text.endsWith(" end"));
}

TEST_F(TextViewerTest, AMissingFileIsReportedNotShown)
{
    EXPECT_FALSE(TextViewer().load(home() + "missing.txt"));

    QtUserInterface ui;
    QString text;
    onNextModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
    ui.ViewTextFile(home() + "missing.txt");
    EXPECT_EQ(text, QString::fromStdString("Read file error :" + home() + "missing.txt"));
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TextViewer*>(window), nullptr);
}
