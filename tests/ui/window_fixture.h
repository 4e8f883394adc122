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

namespace brisk::test {

// Fills the site dialog for the test's vsftpd ("Local vsftpd" on host:port), password saved, passive mode.
inline void fillVsftpdSite(TFFtpBase* dialog, uint16_t port, const QString& host = "127.0.0.1")
{
    auto set = [dialog](const char* name, const QString& text) {
        auto* edit = dialog->findChild<QLineEdit*>(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    };
    set("edName", "Local vsftpd");
    set("edServer", host);
    set("edPort", QString::number(port));
    set("edUser", QString(kFtpUser));
    set("edPassword", QString(kFtpPassword));
    dialog->findChild<QCheckBox*>("cbSavePsw")->setChecked(true);
    dialog->findChild<QCheckBox*>("cbPasv")->setChecked(true);
}

// The parent's widget of this type and name; a missing one is a failure.
template <class T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Answers the next text prompt with `text`.
inline void answerInput(const QString& text)
{
    onNextModal<TInputForm>([text](TInputForm* form) {
        form->findChild<QLineEdit*>("edText")->setText(text);
        form->accept();
    });
}

// Answers the next message box with the button.
inline void answerBox(QMessageBox::StandardButton button = QMessageBox::Yes)
{
    onNextModal<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); });
}

inline bool hasEntry(const QMenu* menu, const QString& text)
{
    for (const QAction* entry : menu->actions())
        if (entry->text() == text)
            return true;
    return false;
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
// asks for one (skipped where vsftpd is not installed).
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

    // False (and the test skipped) where vsftpd cannot run.
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

    // Saves the site "Local vsftpd" from the New Server dialog; `security` is the Security box's row.
    void createSite(uint16_t port, const QString& host = "127.0.0.1", std::optional<int> security = {})
    {
        onNextModal<TFFtpBase>([port, host, security](TFFtpBase* dialog) {
            fillVsftpdSite(dialog, port, host);
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

    // Creates the site, connects and waits until the first listing shows `expectedRows`.
    void connect(const QStringList& expectedRows, int timeoutMs = 20000)
    {
        createSite();
        const uint64_t shown = session().listingsShown();
        activate(w().FTPView, "Local vsftpd");
        ASSERT_TRUE(waitFor([&] {
            return session().listingsShown() > shown && captions(w().FTPView) == expectedRows && session().canTransfer();
        }, timeoutMs))
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
