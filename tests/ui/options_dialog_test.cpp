// The Preferences dialog ("Program Options") opened from the main window: its pages, a change
// confirmed with "OK", and the options applied to the session afterwards.
#include "config/options_store.h"
#include "ui/input_form.h"
#include "ui/options_dialog.h"
#include "modal.h"
#include "screenshots.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::onNextModal;

namespace {

template <class T> T* child(QWidget* dialog, const char* name)
{
    T* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

bool silver(QWidget* box)
{
    return box->palette().color(QPalette::Base) == QColor(192, 192, 192);
}

class OptionsWindowTest : public test::WindowTest {};

TEST_F(OptionsWindowTest, PreferencesEditsTheOptionsAndAppliesThem)
{
    w().program().settings.options.LogSize = 50;
    QStringList nodes, pages;
    onNextModal<T_Options>([&](T_Options* d) {
        auto* tree = child<QTreeWidget>(d, "tvOptions");
        auto* stack = child<QStackedWidget>(d, "pcOptions");
        for (QTreeWidgetItemIterator node(tree); *node; ++node) {
            tree->setCurrentItem(*node);
            nodes << (*node)->text(0);
            pages << stack->currentWidget()->objectName();
            EXPECT_FALSE(test::saveScreenshot(*d, QString("options_page%1").arg(stack->currentIndex())).isEmpty());
        }
        d->showPage(4);
        child<QTabWidget>(d, "pcProxy")->setCurrentIndex(1);
        EXPECT_FALSE(test::saveScreenshot(*d, "options_page4_firewall").isEmpty());
        auto* address = child<QLineEdit>(d, "edAnonymous");
        EXPECT_TRUE(!address->isEnabled() && silver(address));
        child<QCheckBox>(d, "cbAno")->setChecked(true);
        EXPECT_TRUE(address->isEnabled() && !silver(address));
        EXPECT_TRUE(silver(child<QLineEdit>(d, "edProxyServer")));
        EXPECT_FALSE(child<QWidget>(d, "gbFwType")->isEnabled());
        child<QSpinBox>(d, "seTimeOut")->setValue(42);
        onNextModal<TInputForm>([](TInputForm* prompt) {
            EXPECT_EQ(prompt->windowTitle(), "Add extention");
            prompt->findChild<QLineEdit*>("edText")->setText("md");
            prompt->accept();
        });
        child<QPushButton>(d, "btExtModify")->click();
        EXPECT_EQ(child<QListWidget>(d, "lbExt")->count(), 1);
        child<QPushButton>(d, "btOK")->click();
    });
    w().action("actPreferences")->trigger();

    EXPECT_EQ(nodes, QStringList({"Connection", "ASCII/Binary", "Log", "Connection Keep Alive", "Proxy / Firewall ",
                                  "Display / Prompts", "Language"}));
    EXPECT_EQ(pages, QStringList({"tsPage0", "tsPage1", "tsPage2", "tsPage3", "tsPage4", "tsPage5", "tsPage6"}));
    TFTPOptions saved;
    TLang lang;
    ListFonts fonts;
    LoadOptions(saved, lang, fonts);
    EXPECT_EQ(saved.TimeOut, 42);
    EXPECT_EQ(saved.Ext, "md");
    EXPECT_TRUE(saved.MailAno);
    EXPECT_EQ(session().Ftp1.Timeout, 42);
    EXPECT_EQ(session().log.logSize(), 100);
}

} // namespace
