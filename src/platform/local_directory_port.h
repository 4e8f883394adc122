#pragma once
#include <string>

namespace brisk {

// What the session needs of the local side: where it is, and moving it (opening a site may).
class LocalDirectory {
public:
    virtual ~LocalDirectory() = default;
    virtual const std::string& currentDir() const = 0;
    // Makes dir the current local directory and re-lists it; false when it cannot be entered.
    virtual bool changeDirectory(const std::string& dir) = 0;
    // Re-lists the current directory (a download has changed it).
    virtual void refresh() {}
};

} // namespace brisk
