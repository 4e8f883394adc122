#include "local/directory_chooser.h"

#include <stdexcept>

namespace brisk {

void DirectoryChooser::setDirectory(const std::string& dir)
{
    items_.assign(1, "/");
    size_t start = 0;
    while (start < dir.size()) {
        const size_t slash = dir.find('/', start);
        const size_t end = slash == std::string::npos ? dir.size() : slash;
        if (end > start)
            items_.push_back(dir.substr(start, end - start));
        start = end + 1;
    }
    selected_ = static_cast<int>(items_.size()) - 1;
}

void DirectoryChooser::select(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        throw std::out_of_range("no such directory chooser item");
    selected_ = index;
}

std::string DirectoryChooser::path(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        throw std::out_of_range("no such directory chooser item");
    std::string path;
    for (int i = 1; i <= index; ++i)
        path += "/" + items_[static_cast<size_t>(i)];
    return path.empty() ? "/" : path;
}

} // namespace brisk
