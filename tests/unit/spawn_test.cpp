#include "platform/spawn.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace brisk {
namespace {

TEST(Spawn, StartsTheProgramDetachedWithoutArguments)
{
    test::TempDir dir;
    const auto script = dir.path() / "program.sh";
    const auto marker = dir.path() / "ran";
    std::ofstream(script) << "#!/bin/sh\necho \"$#\" > '" << marker.string() << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    ASSERT_TRUE(SpawnDetached(script.string()));
    for (int i = 0; i < 500 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(marker);
    std::string args;
    std::getline(in, args);
    EXPECT_EQ(args, "0");
}

TEST(Spawn, OwnExecutableAndFailures)
{
    EXPECT_NE(OwnExecutablePath().find("unit_tests"), std::string::npos);
    EXPECT_FALSE(SpawnDetached(""));
}

} // namespace
} // namespace brisk
