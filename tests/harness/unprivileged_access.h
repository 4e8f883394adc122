#pragma once
#include <sys/fsuid.h>
#include <unistd.h>

namespace brisk::test {

// While it lives, this thread's file accesses are checked as those of the user nobody (65534) when
// the tests run as root, whom no permission bits stop; for anyone else nothing changes. Files the
// test makes inaccessible must lie below directories that nobody may enter (TempDir(0755)).
class UnprivilegedAccess {
public:
    UnprivilegedAccess()
    {
        if (::geteuid() != 0)
            return;
        ::setfsgid(kNobody);
        ::setfsuid(kNobody);
    }
    ~UnprivilegedAccess()
    {
        if (::geteuid() != 0)
            return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    UnprivilegedAccess(const UnprivilegedAccess&) = delete;
    UnprivilegedAccess& operator=(const UnprivilegedAccess&) = delete;

private:
    static constexpr unsigned kNobody = 65534;
};

} // namespace brisk::test
