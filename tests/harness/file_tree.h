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

} // namespace brisk::test
