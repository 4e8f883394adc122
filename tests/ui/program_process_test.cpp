// The desktop program as a process: without a display it explains and exits; with one it runs; and
// closing its window while the engine waits synchronously ends it. The last is run as a child process
// (this test binary, filtered to the child test below), set up as the program's main() sets it up, so
// that a hang or a crash at exit fails the parent instead of the suite.
#include "command_runner.h"
#include "modal.h"
#include "platform/event_loop.h"
#include "scripted_ftp_peer.h"
#include "temp_home.h"
#include "ui/main_window.h"
#include "ui/program_shutdown.h"
#include "ui/qt_loop_driver.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace brisk;
using brisk::test::runCommand;

namespace {

constexpr const char* kPeerPortVariable = "BRISKLANE_TEST_SILENT_PEER_PORT";

TEST(GuiProgram, WithoutADisplayItExplainsAndExitsWithOne)
{
    const auto result = runCommand({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                    BRISKLANE_GUI_PATH});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "brisklane: no graphical display found (DISPLAY is not set); start it from a desktop session\n");
}

TEST(GuiProgram, WithAPlatformItStartsAndKeepsRunning)
{
    const auto result = runCommand({"env", "QT_QPA_PLATFORM=offscreen", BRISKLANE_GUI_PATH}, {},
                                   std::chrono::milliseconds(1500));
    EXPECT_TRUE(result.timedOut) << "exit " << result.exitCode << ": " << result.err;
}

TEST(ShutdownDuringWait, ClosingTheWindowDuringACwdEndsTheProgram)
{
    test::ScriptedFtpPeer peer("220 ready\r\n");
    peer.on("CWD", test::ScriptedFtpPeer::silence());
    const test::CommandResult result = runCommand(
        // From "/": an earlier test may have left this process in a directory that is gone since.
        {"env", "-i", "-C", "/", "PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen",
         std::string(kPeerPortVariable) + "=" + std::to_string(peer.port()),
         std::filesystem::read_symlink("/proc/self/exe").string(), "--gtest_filter=ShutdownChild.*"},
        {}, std::chrono::seconds(20));
    ASSERT_FALSE(result.timedOut) << "the program did not end\n" << result.out << result.err;
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("[  PASSED  ] 1 test"), std::string::npos) << result.out << result.err;
    EXPECT_EQ(peer.lines(), (std::vector<std::string>{"CWD /never"})) << "the wait never started";
}

// The child's side: only runs when the parent above started it.
class ShutdownChild : public TempHomeTest {};

TEST_F(ShutdownChild, RunsTheProgramUntilItsWindowCloses)
{
    const char* port = std::getenv(kPeerPortVariable);
    if (!port)
        GTEST_SKIP() << "started by ShutdownDuringWait only";
    EventLoop& loop = EventLoop::instance();
    QtLoopDriver driver(loop);
    endLoopWithLastWindow(*qApp, loop);
    T_Main window;
    window.show();

    TCustomFtpCli& ftp = window.program().session.Ftp1;
    ftp.HostName = "127.0.0.1";
    ftp.Port = port;
    ftp.Timeout = 600;
    ASSERT_TRUE(ftp.Synchronize([&ftp] { ftp.OpenAsync(); })) << ftp.ErrorMessage();

    bool waitEnded = false;
    QTimer::singleShot(0, &window, [&] {
        test::onNextModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        QTimer::singleShot(300, &window, [&window] { window.close(); });
        ftp.HostDirName = "/never";
        EXPECT_FALSE(ftp.Cwd());
        waitEnded = true;
    });
    EXPECT_EQ(QApplication::exec(), 0);
    loop.terminate();
    EXPECT_TRUE(waitEnded);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
