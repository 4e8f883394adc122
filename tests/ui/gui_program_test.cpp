#include "command_runner.h"

#include <gtest/gtest.h>

using brisk::test::runCommand;

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
