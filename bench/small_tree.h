// The tree the tree and mirror benchmarks move: 20 directories of 100 files of 4 KiB of fixed
// pseudo-random bytes, and the byte-for-byte comparison of a copy with it.
#pragma once
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace bench {

constexpr int kDirs = 20;
constexpr int kFilesPerDir = 100;
constexpr size_t kFileSize = 4096;

inline void makeTree(const std::filesystem::path& root)
{
    unsigned x = 12345;
    std::string bytes(kFileSize, '\0');
    for (int d = 0; d < kDirs; ++d) {
        char dir[16];
        std::snprintf(dir, sizeof dir, "d%02d", d);
        std::filesystem::create_directories(root / dir);
        for (int f = 0; f < kFilesPerDir; ++f) {
            char name[16];
            std::snprintf(name, sizeof name, "f%03d.bin", f);
            for (char& c : bytes)
                c = char((x = x * 1103515245 + 12345) >> 16);
            std::ofstream(root / dir / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        }
    }
}

inline std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Same entries, same kinds, same bytes.
inline bool sameTree(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(b, ec))
        return false;
    std::set<std::string> left, right;
    for (const auto& e : std::filesystem::recursive_directory_iterator(a))
        left.insert(std::filesystem::relative(e.path(), a).string());
    for (const auto& e : std::filesystem::recursive_directory_iterator(b))
        right.insert(std::filesystem::relative(e.path(), b).string());
    if (left != right)
        return false;
    for (const std::string& name : left)
        if (std::filesystem::is_directory(a / name) != std::filesystem::is_directory(b / name) ||
            (!std::filesystem::is_directory(a / name) && fileBytes(a / name) != fileBytes(b / name)))
            return false;
    return true;
}

} // namespace bench
