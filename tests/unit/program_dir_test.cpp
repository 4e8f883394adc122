#include "platform/program_dir.h"

#include "temp_home.h"

#include <gtest/gtest.h>

#include <optional>

// Puts HOME and XDG_CONFIG_HOME back as they were.
class ProgramDirTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        save("HOME", home_);
        save("XDG_CONFIG_HOME", xdg_);
    }
    void TearDown() override
    {
        restore("HOME", home_);
        restore("XDG_CONFIG_HOME", xdg_);
        TempHomeTest::TearDown();
    }

private:
    static void save(const char* name, std::optional<std::string>& slot)
    {
        if (const char* v = std::getenv(name))
            slot = v;
    }
    static void restore(const char* name, const std::optional<std::string>& slot)
    {
        if (slot)
            ::setenv(name, slot->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> home_, xdg_;
};

TEST_F(ProgramDirTest, EnvironmentDecidesAndTheDirectoryIsCreated)
{
    const std::string base = home();
    ::setenv("BRISKLANE_HOME", (base + "own").c_str(), 1);
    EXPECT_EQ(brisk::ProgramDir(), base + "own/");
    EXPECT_TRUE(std::filesystem::is_directory(base + "own"));

    ::unsetenv("BRISKLANE_HOME");
    ::setenv("XDG_CONFIG_HOME", (base + "xdg").c_str(), 1);
    EXPECT_EQ(brisk::ProgramDir(), base + "xdg/brisklane/");
    EXPECT_EQ(modeOf(base + "xdg/brisklane"), 0700u);

    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", (base + "user").c_str(), 1);
    EXPECT_EQ(brisk::ProgramDir(), base + "user/.config/brisklane/");
    EXPECT_TRUE(std::filesystem::is_directory(base + "user/.config/brisklane"));
}
