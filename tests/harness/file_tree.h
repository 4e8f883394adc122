#pragma once
#include "file_io.h"

#include <filesystem>
#include <map>
#include <string>

namespace brisk::test {

// Every file and directory below `root`, with the files' contents, for comparing two trees whole.
inline std::map<std::string, std::string> treeOf(const std::filesystem::path& root)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        tree[std::filesystem::relative(entry.path(), root).string()] =
            entry.is_directory() ? "<dir>" : readFileBytes(entry.path());
    return tree;
}

// As treeOf, but a symbolic link shows as "<link> " and its target and is never followed, so that
// a link replaced by what it pointed to, or written through, shows.
inline std::map<std::string, std::string> treeWithLinksOf(const std::filesystem::path& root)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = std::filesystem::relative(entry.path(), root).string();
        if (entry.is_symlink())
            tree[name] = "<link> " + std::filesystem::read_symlink(entry.path()).string();
        else
            tree[name] = entry.is_directory() ? "<dir>" : readFileBytes(entry.path());
    }
    return tree;
}

} // namespace brisk::test
