#pragma once
#include "platform/event_loop.h"
#include "ui/main_window.h"
#include "ui/qt_loop_driver.h"
#include "temp_home.h"

#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace brisk::test {

// A fresh ProgramDir whose "user" folder stands in for HOME, so the local panel starts in a known
// place; open() shows a main window on it, and again after a close for a restart.
class MainWindowFixture : public TempHomeTest {
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
    }
    void TearDown() override
    {
        window_.reset();
        driver_.reset();
        if (savedHome_)
            ::setenv("HOME", savedHome_->c_str(), 1);
        else
            ::unsetenv("HOME");
        TempHomeTest::TearDown();
    }

    void open()
    {
        window_.reset();  // one window at a time: each installs the program-wide error handler
        window_ = std::make_unique<T_Main>();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    T_Main& w() { return *window_; }

    std::string userHome_;

private:
    std::unique_ptr<QtLoopDriver> driver_;
    std::unique_ptr<T_Main> window_;
    std::optional<std::string> savedHome_;
};

} // namespace brisk::test
