#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

// A fresh ProgramDir for each test: BRISKLANE_HOME points at a new temp directory.
class TempHomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "brisk-home-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home_ = pattern + "/";
        ::setenv("BRISKLANE_HOME", home_.c_str(), 1);
        workingDir_ = std::filesystem::current_path();
    }
    // The local panel makes its directory the working one; the next test must not start in a
    // directory that no longer exists.
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::current_path(workingDir_, ec);
        std::filesystem::remove_all(home_, ec);
    }

    const std::string& home() const { return home_; }

    static std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeFile(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static unsigned modeOf(const std::string& path)
    {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
    }

private:
    std::string home_;
    std::filesystem::path workingDir_;
};
