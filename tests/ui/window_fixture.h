#pragma once
#include "ui/file_list_view.h"
#include "ui/input_form.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"
#include "ui/site_properties_dialog.h"
#include "ftp_users.h"
#include "modal.h"
#include "qt_wait.h"
#include "screenshots.h"
#include "temp_home.h"
#include "vsftpd_server.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdlib>
#include <memory>
#include <optional>

// Starts the test's vsftpd, or skips the test where it cannot run.
#define NEED_VSFTPD()      \
    if (!startVsftpd())    \
    GTEST_SKIP() << skipReason_

namespace brisk::test {

// The parent's widget of this type and name; a missing one is a failure.
template <class T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Clears the edit and types into it, as a user would.
inline void type(QLineEdit* edit, const QString& text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

inline void answerInput(const QString& text)
{
    onNextModal<TInputForm>([text](TInputForm* form) {
        form->findChild<QLineEdit*>("edText")->setText(text);
        form->accept();
    });
}

inline void answerBox(QMessageBox::StandardButton button = QMessageBox::Yes)
{
    onNextModal<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); });
}

inline QAction* entry(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

inline QStringList texts(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.push_back(box->itemText(i));
    return out;
}

// The main window on a fresh ProgramDir whose "user" folder stands in for HOME (so the local panel
// starts in a known place), driven by the program's event loop, with a real vsftpd when the test
// asks for one.
class WindowTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        if (const char* real = std::getenv("HOME"))
            savedHome_ = real;
        userHome_ = home() + "user";
        std::filesystem::create_directories(userHome_);
        ::setenv("HOME", userHome_.c_str(), 1);
        driver_ = std::make_unique<QtLoopDriver>(EventLoop::instance());
        open();
    }
    void TearDown() override
    {
        window_.reset();
        driver_.reset();
        server_.reset();
        if (savedHome_)
            ::setenv("HOME", savedHome_->c_str(), 1);
        else
            ::unsetenv("HOME");
        TempHomeTest::TearDown();
    }

    // A new main window in place of the old one, as after a restart.
    void open()
    {
        window_.reset();  // one window at a time: each installs the program-wide error handler
        window_ = std::make_unique<T_Main>();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    // Closes the window, answering Yes to the quit question.
    void quit()
    {
        answerBox(QMessageBox::Yes);
        ASSERT_TRUE(window_->close());
    }

    bool startVsftpd()
    {
        if (auto why = VsftpdServer::unavailableReason()) {
            skipReason_ = *why;
            return false;
        }
        server_ = std::make_unique<VsftpdServer>();
        return true;
    }

    T_Main& w() { return *window_; }
    SessionController& session() { return window_->program().session; }
    QString log() const { return window_->logPane->toPlainText(); }
    static QStringList captions(const FileListView* view) { return test::captions(view->model()); }

    // The menu with this object name, or the menu bar's menu with this title.
    QMenu* menu(const QString& name)
    {
        if (auto* byName = window_->findChild<QMenu*>(name))
            return byName;
        for (QAction* entry : window_->menuBar()->actions())
            if (entry->text() == name)
                return entry->menu();
        return nullptr;
    }

    void showLocal(const std::string& dir)
    {
        ASSERT_TRUE(w().program().local.changeDirectory(dir));
        w().refreshViews();
    }

    // Saves the site "Local vsftpd" on host:port from the New Server dialog, password saved, passive
    // mode; `security` is the Security box's row.
    void createSite(uint16_t port, const QString& host = "127.0.0.1", std::optional<int> security = {})
    {
        onNextModal<TFFtpBase>([port, host, security](TFFtpBase* dialog) {
            const std::pair<const char*, QString> fields[] = {{"edName", "Local vsftpd"}, {"edServer", host},
                                                              {"edPort", QString::number(port)},
                                                              {"edUser", kFtpUser}, {"edPassword", kFtpPassword}};
            for (const auto& [name, text] : fields)
                type(dialog->findChild<QLineEdit*>(name), text);
            dialog->findChild<QCheckBox*>("cbSavePsw")->setChecked(true);
            dialog->findChild<QCheckBox*>("cbPasv")->setChecked(true);
            if (security)
                dialog->findChild<QComboBox*>("cbSecurity")->setCurrentIndex(*security);
            saveScreenshot(*dialog, "main_site_dialog");
            dialog->findChild<QPushButton*>("btSave")->click();
        });
        w().action("actNewSite")->trigger();
    }
    void createSite() { createSite(server_->port()); }

    // Makes the row current and activates it, as a double-click does.
    void activate(FileListView* view, const QString& caption)
    {
        select(view, {caption});
        emit view->activated(view->currentIndex());
    }

    void waitForRows(const QStringList& rows)
    {
        ASSERT_TRUE(waitFor([&] { return captions(w().FTPView) == rows; })) << log().toStdString();
    }

    // Creates the site, connects and waits until the first listing shows `expectedRows`.
    void connect(const QStringList& expectedRows)
    {
        createSite();
        const uint64_t shown = session().listingsShown();
        activate(w().FTPView, "Local vsftpd");
        ASSERT_TRUE(waitFor([&] {
            return session().listingsShown() > shown && captions(w().FTPView) == expectedRows && session().canTransfer();
        }))
            << log().toStdString();
    }

    // Gives the keyboard focus to the widget, as a click would; the window must be active for it.
    void focus(QWidget* widget)
    {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        widget->setFocus();
        ASSERT_TRUE(waitFor([widget] { return widget->hasFocus(); }));
    }

    // Makes exactly these rows the view's selection, as a user's clicks would.
    static void select(FileListView* view, const QStringList& names)
    {
        view->clearSelection();
        for (const QString& name : names) {
            const int row = int(captions(view).indexOf(name));
            ASSERT_GE(row, 0) << name.toStdString();
            const QModelIndex index = view->model()->index(row, 0);
            view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    std::unique_ptr<VsftpdServer> server_;
    std::string skipReason_;
    std::string userHome_;
    std::unique_ptr<QtLoopDriver> driver_;
    std::unique_ptr<T_Main> window_;

private:
    std::optional<std::string> savedHome_;
};

} // namespace brisk::test
