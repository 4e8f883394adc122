#pragma once
#include "platform/event_loop.h"
#include "ui/file_list_view.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"
#include "ui/site_properties_dialog.h"
#include "modal.h"
#include "qt_wait.h"
#include "site_dialog_fill.h"
#include "temp_home.h"
#include "vsftpd_server.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace brisk::test {

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

    // Saves the site the New Server dialog is filled with for the test's vsftpd ("Local vsftpd").
    void createSite()
    {
        onNextModal<TFFtpBase>([port = server_->port()](TFFtpBase* dialog) {
            fillVsftpdSite(dialog, port);
            dialog->findChild<QPushButton*>("btSave")->click();
        });
        w().action("actNewSite")->trigger();
    }

    // Creates the site, connects and waits until the first listing shows `expectedRows`.
    void connect(const QStringList& expectedRows, int timeoutMs = 20000)
    {
        createSite();
        select(w().FTPView, {"Local vsftpd"});
        const uint64_t shown = session().listingsShown();
        emit w().FTPView->activated(w().FTPView->currentIndex());
        ASSERT_TRUE(waitFor([&] {
            return session().listingsShown() > shown && captions(w().FTPView) == expectedRows && session().canTransfer();
        }, timeoutMs))
            << log().toStdString();
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
