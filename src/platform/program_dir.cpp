#include "platform/program_dir.h"

#include "platform/directories.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace brisk {
namespace {

std::string envValue(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

} // namespace

std::string HomeDirectory()
{
    std::string home = envValue("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

std::string ProgramDir()
{
    std::string dir = envValue("BRISKLANE_HOME");
    if (dir.empty()) {
        const std::string xdg = envValue("XDG_CONFIG_HOME");
        dir = (xdg.empty() ? withSlash(HomeDirectory()) + ".config" : xdg) + "/brisklane";
    }
    dir = withSlash(dir);
    makeDirectories(dir, 0700);
    return dir;
}

} // namespace brisk
