// What the benchmarks measure of one client run against the local vsftpd: wall time, the client's CPU
// time and peak memory, and the CPU time vsftpd's session processes spent meanwhile.
#pragma once
#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace bench {

struct Run;

// One program moving data in one direction; its result lands at `copy`. A case without argv is
// measured by its own function instead.
struct Case {
    const char* direction;
    const char* program;
    std::vector<std::string> argv;
    std::filesystem::path copy;
    std::function<Run()> measureBy = {};
};

// Whether a case's program is ours, whose copies must be intact.
inline bool isOurs(const Case& c)
{
    return std::string(c.program).starts_with("brisklane-cli");
}

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    double serverCpuSeconds = 0;
    long peakRssKiB = 0;
    int status = -1;
};

inline double seconds(const timeval& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// CPU time of our vsftpd child, counting the session processes it has reaped.
inline double serverCpuSeconds()
{
    double total = 0;
    DIR* proc = opendir("/proc");
    if (!proc)
        return 0;
    while (dirent* entry = readdir(proc)) {
        std::ifstream in(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(in, line) || line.find("(vsftpd)") == std::string::npos)
            continue;
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string state;
        long ppid = 0, skip = 0, utime = 0, stime = 0, cutime = 0, cstime = 0;
        fields >> state >> ppid;
        for (int i = 0; i < 9; ++i)
            fields >> skip;
        fields >> utime >> stime >> cutime >> cstime;
        if (ppid == getpid())
            total += double(utime + stime + cutime + cstime) / double(sysconf(_SC_CLK_TCK));
    }
    closedir(proc);
    return total;
}

// Runs a command and measures its wall time, CPU time and peak resident memory.
inline Run measure(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    sync();
    const double serverBefore = serverCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakRssKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the server reaps its session processes
    run.serverCpuSeconds = serverCpuSeconds() - serverBefore;
    return run;
}

inline Run measure(const Case& c)
{
    return c.measureBy ? c.measureBy() : measure(c.argv);
}

// Each figure's own median, so that one disturbed run does not decide; the status is the first failure's.
inline Run median(std::vector<Run> runs)
{
    auto mid = [&runs](auto field) {
        std::sort(runs.begin(), runs.end(), [&](const Run& a, const Run& b) { return a.*field < b.*field; });
        return runs[runs.size() / 2].*field;
    };
    Run m;
    m.seconds = mid(&Run::seconds);
    m.cpuSeconds = mid(&Run::cpuSeconds);
    m.serverCpuSeconds = mid(&Run::serverCpuSeconds);
    m.peakRssKiB = mid(&Run::peakRssKiB);
    m.status = runs.front().status;
    for (const Run& r : runs)
        m.status = r.status != 0 ? r.status : m.status;
    return m;
}

// The settings both benchmarks give lftp: passive, plain FTP, one try.
inline std::string lftpScript(const std::string& command)
{
    return "set ftp:passive-mode on; set ftp:ssl-allow no; set ftp:prefer-epsv no; set net:max-retries 1; " +
           command + "; quit";
}

} // namespace bench
